// A tool runs no message loop: Ctrl+C and SIGTERM end it at once, by the signal, as the shell expects (130, 143).
// A tool started with its standard streams closed finds them on /dev/null.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A game of some thousand million years: frames of no time with the archer walking and shooting.
constexpr char kEndlessScript[] = "dt 0\n99999999999 RIGHT SPACE\n";

struct Scratch {
    Scratch() {
        char pattern[] = "/tmp/corvalo-tool-XXXXXX";
        directory = mkdtemp(pattern);
    }
    ~Scratch() { std::system(("rm -rf '" + directory + "'").c_str()); }
    std::string directory;
};

pid_t StartReplay(const std::string& script, const std::string& output, bool render) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // Only async-signal-safe calls between fork and exec: the test process has threads.
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, STDOUT_FILENO) < 0) _exit(127);
    for (int number : {SIGINT, SIGTERM}) signal(number, SIG_DFL);
    if (render) {
        execl(REPLAY_PATH, REPLAY_PATH, "--render", script.c_str(), static_cast<char*>(nullptr));
    } else {
        execl(REPLAY_PATH, REPLAY_PATH, script.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
}

bool OutputStarted(const std::string& output) {
    struct stat status = {};
    return stat(output.c_str(), &status) == 0 && status.st_size > 0;
}

// The wait status, or -1 when the tool is still running after a generous time.
int WaitFor(pid_t pid, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status;
}

TEST(ToolSignals, TheReplayToolEndsByTheSignalOnTheNullAndTheRenderingDevice) {
    Scratch scratch;
    const std::string script = scratch.directory + "/endless.replay";
    const int scriptFile = open(script.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const ssize_t length = sizeof kEndlessScript - 1;
    ASSERT_EQ(write(scriptFile, kEndlessScript, length), length);
    close(scriptFile);

    for (bool render : {false, true}) {
        for (int number : {SIGINT, SIGTERM}) {
            const std::string output =
                scratch.directory + "/frames-" + std::to_string(render) + "-" + std::to_string(number) + ".json";
            const pid_t tool = StartReplay(script, output, render);
            for (int i = 0; i < 3000 && !OutputStarted(output); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (!OutputStarted(output)) {
                WaitFor(tool, 0);  // an endless tool left running would hold a core for good
                FAIL() << "no output, render " << render;
            }
            kill(tool, number);
            const int status = WaitFor(tool, 60);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number)
                << "render " << render << ", signal " << number << ": wait status " << status;
        }
    }
}

std::string LinkOf(pid_t pid, int fd) {
    const std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd);
    char target[PATH_MAX] = {};
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length < 0 ? "(closed)" : std::string(target, static_cast<size_t>(length));
}

bool HoldsOpen(pid_t pid, const std::string& path) {
    for (int fd = 0; fd < 64; ++fd) {
        if (LinkOf(pid, fd) == path) return true;
    }
    return false;
}

// With descriptor 2 closed, the next file a program opened became its stderr, and error text went into it (under X,
// into the X connection).
TEST(ToolStreams, StandardStreamsStartedClosedAreOpenOnDevNull) {
    Scratch scratch;
    const std::string input = scratch.directory + "/input";
    ASSERT_EQ(mkfifo(input.c_str(), 0600), 0);
    for (const char* tool : {FXCOMPILE_PATH, REPLAY_PATH}) {
        // Held open for writing: the tool's open of its input returns, and its read waits for us.
        const int writer = open(input.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(writer, 0);
        const pid_t pid = fork();
        if (pid == 0) {
            for (int fd = 0; fd <= 2; ++fd) close(fd);
            execl(tool, tool, input.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        // Until the exec, the child holds our end of the FIFO too.
        const auto opened = [&] {
            char exe[PATH_MAX] = {};
            const std::string link = "/proc/" + std::to_string(pid) + "/exe";
            return readlink(link.c_str(), exe, sizeof exe - 1) > 0 && std::string(exe) == tool && HoldsOpen(pid, input);
        };
        while (!opened() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_TRUE(opened()) << tool;
        for (int fd = 0; fd <= 2; ++fd) EXPECT_EQ(LinkOf(pid, fd), "/dev/null") << tool << ", descriptor " << fd;
        kill(pid, SIGKILL);
        WaitFor(pid, 60);
        close(writer);
    }
}

}  // namespace
