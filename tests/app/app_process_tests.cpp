// How the process ends: quit buttons, closing signals, and start-up with a data file missing. The real executable runs
// as a child under the offscreen video driver and the disk audio driver.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app_fixture.h"

namespace fs = std::filesystem;

namespace {

class AppDeathTest : public AppTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        AppTest::SetUp();
    }
};

TEST_F(AppDeathTest, MenuQuitEndsTheProcessWithZero) {
    PassSplash();
    EXPECT_EXIT(Press(514, 703), ::testing::ExitedWithCode(0), "");
}

TEST_F(AppDeathTest, GameOverQuitEndsTheProcessWithZero) {
    StartGame();
    app->SetState(GameOver);
    Frame();
    EXPECT_EXIT(Press(532, 405), ::testing::ExitedWithCode(0), "");
}

TEST_F(AppDeathTest, WinQuitEndsTheProcessWithZero) {
    StartGame();
    app->SetState(Win);
    Frame();
    EXPECT_EXIT(Press(509, 500), ::testing::ExitedWithCode(0), "");
}

template <class Condition>
bool WaitFor(Condition condition, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A scratch directory that is removed with the test.
struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/corvalo-app-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

// The game's data, linked file by file into a directory, without the one file named.
fs::path MakeDataDir(const TempDir& scratch, const std::string& omitted) {
    const fs::path data = scratch.path / "data";
    const fs::path source = fs::current_path();
    for (const char* folder : {"FX", "Textures", "Sounds"}) {
        fs::create_directories(data / folder);
        for (const fs::directory_entry& entry : fs::directory_iterator(source / folder)) {
            const std::string relative = std::string(folder) + "/" + entry.path().filename().string();
            if (relative != omitted) fs::create_symlink(entry.path(), data / relative);
        }
    }
    return data;
}

struct GameProcess {
    pid_t pid = -1;
    fs::path errors;
    fs::path audio;

    std::string ErrorText() const {
        std::ifstream file(errors);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

bool NameIn(const std::string& entry, const std::vector<std::string>& names) {
    const std::string name = entry.substr(0, entry.find('='));
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The current environment with the drivers and the message-box mode of a headless run, changed: each entry of
// changed removes a variable ("NAME") or sets it ("NAME=VALUE").
std::vector<std::string> ChildEnvironment(const fs::path& audio, const std::vector<std::string>& changed) {
    const std::vector<std::string> overrides = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=disk",
                                                "SDL_DISKAUDIOFILE=" + audio.string(), "PLATFORM_MESSAGEBOX=stderr"};
    std::vector<std::string> environment;
    std::vector<std::string> replaced;
    for (const std::string& entry : changed) {
        replaced.push_back(entry.substr(0, entry.find('=')));
        if (entry.find('=') != std::string::npos) environment.push_back(entry);
    }
    for (const std::string& entry : overrides) {
        if (!NameIn(entry, replaced)) environment.push_back(entry);
    }
    for (const std::string& entry : overrides) replaced.push_back(entry.substr(0, entry.find('=')));
    for (char** variable = environ; *variable; ++variable) {
        if (!NameIn(*variable, replaced)) environment.push_back(*variable);
    }
    return environment;
}

// closedStreams: the game starts with descriptors 0-2 closed, and its errors are not kept.
GameProcess Launch(const fs::path& workingDir, const fs::path& scratch, const std::vector<std::string>& changed = {},
                   bool closedStreams = false) {
    GameProcess game;
    game.errors = scratch / "stderr.txt";
    game.audio = scratch / "audio.raw";
    const std::vector<std::string> environment = ChildEnvironment(game.audio, changed);
    std::vector<char*> envp;
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    const std::string errors = game.errors.string();
    const std::string directory = workingDir.string();
    char* const argv[] = {const_cast<char*>(CORVALO_PATH), nullptr};

    game.pid = fork();
    if (game.pid != 0) return game;
    // Only async-signal-safe calls between fork and exec: the test process has threads.
    if (closedStreams) {
        for (int fd = 0; fd <= 2; ++fd) close(fd);
    } else {
        const int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errorFile, STDERR_FILENO);
    }
    // A test runner started in the background may pass the closing signals on ignored.
    for (int number : {SIGHUP, SIGINT, SIGTERM}) signal(number, SIG_DFL);
    if (chdir(directory.c_str()) != 0) _exit(127);
    execve(CORVALO_PATH, argv, envp.data());
    _exit(127);
}

// The audio output opens after the window, device and signal handling are up: from then on a closing signal is
// answered by the message loop, after the rest of the start-up, so an exit code of 0 shows the game got there.
bool WaitUntilRunning(const GameProcess& game) {
    const bool started = WaitFor([&] { return fs::exists(game.audio) && fs::file_size(game.audio) > 0; }, 60);
    return started && waitpid(game.pid, nullptr, WNOHANG) == 0;
}

// The exit code, or -1 when the process did not end by exiting within a generous time.
int Wait(const GameProcess& game) {
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(game.pid, &status, WNOHANG) == game.pid; }, 30);
    if (!ended) {
        kill(game.pid, SIGKILL);
        waitpid(game.pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int SignalAndWait(const GameProcess& game, int signalNumber) {
    kill(game.pid, signalNumber);
    return Wait(game);
}

// Hang-up is what the game gets when the terminal it was started from closes.
TEST(AppProcess, HangUpTerminateAndInterruptEndTheGameWithZero) {
    for (int signalNumber : {SIGHUP, SIGTERM, SIGINT}) {
        TempDir scratch;
        const GameProcess game = Launch(fs::current_path(), scratch.path);
        ASSERT_TRUE(WaitUntilRunning(game)) << game.ErrorText();
        EXPECT_EQ(SignalAndWait(game, signalNumber), 0) << "signal " << signalNumber << "\n" << game.ErrorText();
    }
}

// Without a display SDL would fall back to its offscreen driver, and the game would run where no one sees it.
TEST(AppProcess, NoDisplayEndsAtTheWindowWithOne) {
    const std::vector<std::vector<std::string>> environments = {
        {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"},
        {"DISPLAY=:4711", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"},
        {"DISPLAY", "WAYLAND_DISPLAY=corvalo-no-compositor", "SDL_VIDEODRIVER=wayland"},
    };
    for (const std::vector<std::string>& environment : environments) {
        TempDir scratch;
        const GameProcess game = Launch(fs::current_path(), scratch.path, environment);
        EXPECT_EQ(Wait(game), 1) << environment[0] << " " << environment[2] << "\n" << game.ErrorText();
        EXPECT_NE(game.ErrorText().find("CreateWindow Failed."), std::string::npos) << game.ErrorText();
        EXPECT_FALSE(fs::exists(game.audio)) << "the game went on past the window";
    }
}

TEST(AppProcess, MissingDataFilesLeaveTheGameRunning) {
    for (const char* omitted : {"Textures/MenuScreen.png", "Sounds/choo.ogg", "Sounds/QivDenofThieves.mp3"}) {
        TempDir scratch;
        const GameProcess game = Launch(MakeDataDir(scratch, omitted), scratch.path);
        EXPECT_TRUE(WaitUntilRunning(game)) << omitted << "\n" << game.ErrorText();
        EXPECT_EQ(SignalAndWait(game, SIGTERM), 0) << omitted << "\n" << game.ErrorText();
    }
}

TEST(AppProcess, AMissingSplashPictureIsReportedWithTheFailedCall) {
    TempDir scratch;
    const GameProcess game = Launch(MakeDataDir(scratch, "Textures/menuBackground.png"), scratch.path);
    ASSERT_TRUE(WaitUntilRunning(game)) << game.ErrorText();
    EXPECT_EQ(SignalAndWait(game, SIGTERM), 0);
    const std::string errors = game.ErrorText();
    EXPECT_NE(errors.find("Unexpected error encountered"), std::string::npos) << errors;
    EXPECT_NE(errors.find("D3DX11CreateShaderResourceViewFromFile(device, L\"Textures/menuBackground.png\", 0, 0, "
                          "&BGimage, 0)"),
              std::string::npos)
        << errors;
}

// SDL opens the joystick devices it is given as the first frame starts; a FIFO nobody writes to held the game there.
TEST(AppProcess, AJoystickDeviceThatIsAFifoIsIgnored) {
    TempDir scratch;
    const fs::path fifo = scratch.path / "joystick";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const GameProcess game = Launch(fs::current_path(), scratch.path, {"SDL_JOYSTICK_DEVICE=" + fifo.string()});
    ASSERT_TRUE(WaitUntilRunning(game)) << game.ErrorText();
    EXPECT_TRUE(WaitFor([&] { return game.ErrorText().find("ignoring") != std::string::npos; }, 60));
    EXPECT_EQ(SignalAndWait(game, SIGTERM), 0) << game.ErrorText();
    EXPECT_NE(game.ErrorText().find(fifo.string()), std::string::npos) << game.ErrorText();
}

// With descriptor 2 closed, the next file the game opened became its stderr; under X that was the X connection, and
// error text written into it froze the game.
TEST(AppProcess, StandardStreamsStartedClosedAreOpenOnDevNull) {
    TempDir scratch;
    const GameProcess game = Launch(fs::current_path(), scratch.path, {}, true);
    ASSERT_TRUE(WaitUntilRunning(game));
    for (int fd = 0; fd <= 2; ++fd) {
        const fs::path link = "/proc/" + std::to_string(game.pid) + "/fd/" + std::to_string(fd);
        std::error_code error;
        EXPECT_EQ(fs::read_symlink(link, error), "/dev/null") << "descriptor " << fd;
    }
    EXPECT_EQ(SignalAndWait(game, SIGTERM), 0);
}

}  // namespace
