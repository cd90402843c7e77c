// Runs the real application: start-up, the splash, five seconds on the title menu, a press on Play, then ten seconds of
// play with scripted keys. Prints the pace and the cost of play, the cost of the menu, and the time to the first frame
// of start-up and of the game. Headless unless a video driver is chosen (SDL_VIDEODRIVER=x11 for a real window);
// --fullscreen shows the game scaled onto the whole screen, as Alt+Enter does.
#include <corvalo.h>
#include <platform_hooks.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "bench_figures.h"

namespace {

constexpr double kPlaySeconds = 10.0;
constexpr double kMenuSeconds = 5.0;

// Seconds since this process started, from the kernel's start time (clock ticks since boot).
double SecondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now = {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - started;
}

// Walks right and left, jumps, flies and shoots in a fixed two-second pattern.
std::set<int> KeysAt(double playSeconds) {
    const double t = playSeconds - 2.0 * static_cast<int>(playSeconds / 2.0);
    std::set<int> keys;
    keys.insert(static_cast<int>(playSeconds) % 4 < 2 ? VK_RIGHT : VK_LEFT);
    if (t < 0.2) keys.insert(VK_UP);
    if (t > 1.0 && t < 1.4) keys.insert({VK_CONTROL, VK_LCONTROL});
    if (t > 0.5) keys.insert(VK_SPACE);
    return keys;
}

// The game with a driver: presses Play when the menu shows and again after a lost or won game, scripts the keys,
// times presented frames and ends the loop after the play time.
class BenchedGame : public Corvalo {
public:
    explicit BenchedGame(HINSTANCE instance) : Corvalo(instance) {
        platform::SetKeySource([this](int key) { return mPlayStart > 0 && mHeld.count(key) != 0; });
    }

    void Update(float dt) override {
        const double now = bench::WallSeconds();
        if (mPlayStart > 0) mHeld = KeysAt(now - mPlayStart);
        PressPlayWhenOffered(now);
        if (mPlayStart > 0 && now - mPlayStart >= kPlaySeconds) PostQuitMessage(0);
        Corvalo::Update(dt);
    }

    void Render() override {
        Corvalo::Render();
        const double now = bench::WallSeconds();
        if (startupMs < 0) startupMs = SecondsSinceProcessStart() * 1000.0;
        if (mPlayStart < 0 && HasScreen(Playing)) StartPlay(now);
        if (mPlayStart > 0 && mLastFrame > 0) frameMs.push_back((now - mLastFrame) * 1000.0);
        if (mPlayStart > 0) ++frames;
        mLastFrame = now;
    }

    bool GoFullscreen() { return mSwapChain && SUCCEEDED(mSwapChain->SetFullscreenState(TRUE, nullptr)); }

    double PlayWallSeconds() const { return mLastFrame - mPlayStart; }
    double PlayCpuSeconds() const { return bench::CpuSeconds() - mPlayCpuStart; }

    double startupMs = -1;
    double gameStartMs = -1;
    double menuCpuPercent = -1;
    int frames = 0;
    std::vector<double> frameMs;

private:
    void PressPlayWhenOffered(double now) {
        if (GetState() == Menu && mMenuStart < 0) {
            mMenuStart = now;
            mMenuCpuStart = bench::CpuSeconds();
        }
        if (GetState() == Menu && mPressTime < 0 && now - mMenuStart >= kMenuSeconds) {
            menuCpuPercent = 100.0 * (bench::CpuSeconds() - mMenuCpuStart) / (now - mMenuStart);
            mPressTime = now;
            MouseDown(MK_LBUTTON, 495, 465);
            MouseUp(MK_LBUTTON, 495, 465);
        }
        if (GetState() == GameOver || GetState() == Win) {
            MouseDown(MK_LBUTTON, 500, 330);
            MouseUp(MK_LBUTTON, 500, 330);
        }
    }

    void StartPlay(double now) {
        gameStartMs = (now - mPressTime) * 1000.0;
        mPlayStart = now;
        mPlayCpuStart = bench::CpuSeconds();
    }

    double mMenuStart = -1;
    double mMenuCpuStart = 0;
    double mPressTime = -1;
    double mPlayStart = -1;
    double mPlayCpuStart = 0;
    double mLastFrame = -1;
    std::set<int> mHeld;
};

}  // namespace

int main(int argc, char** argv) {
    const bool fullscreen = argc > 1 && std::string(argv[1]) == "--fullscreen";
    if (argc > 2 || (argc == 2 && !fullscreen)) {
        std::fprintf(stderr, "usage: bench-game [--fullscreen]\n");
        return 2;
    }
    bench::UseHeadlessDrivers();
    if (chdir(CORVALO_DATA_DIR) != 0) return 1;
    BenchedGame game(GetModuleHandleW(nullptr));
    if (!game.Initialize()) {
        std::fprintf(stderr, "bench-game: the application did not start\n");
        return 1;
    }
    if (fullscreen && !game.GoFullscreen()) {
        std::fprintf(stderr, "bench-game: fullscreen is not available\n");
        return 1;
    }
    game.RunLoop();

    const double wall = game.PlayWallSeconds();
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("fps: %.2f\n", game.frames / wall);
    std::printf("frame_ms_p99: %.3f\n", bench::Percentile(game.frameMs, 0.99));
    std::printf("cpu_percent: %.1f\n", 100.0 * game.PlayCpuSeconds() / wall);
    std::printf("menu_cpu_percent: %.1f\n", game.menuCpuPercent);
    std::printf("startup_ms: %.1f\n", game.startupMs);
    std::printf("game_start_ms: %.1f\n", game.gameStartMs);
    std::printf("peak_rss_mb: %.1f\n", usage.ru_maxrss / 1024.0);
    platform::SetKeySource(nullptr);
    return 0;
}
