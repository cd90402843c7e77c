// Runs the real game in a real X window and has the X server press Left and Right (XTest) at random moments during
// play, each the key that turns the archer round. Times each press from its send to the first frame handed to the
// window that shows the new facing, and prints the spread of those latencies with the figures that explain them: the
// wait before the update that read the key, that update's way to the present, the pacing sleep after it, the X
// server's round trip, and how many updates began after the server had answered yet did not see the key.
#include <corvalo.h>
#include <game.h>
#include <platform_hooks.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_figures.h"

// After the game's headers: Xlib's macros (None, Bool, Status, ...) would otherwise reach them.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

constexpr int kDefaultPresses = 100;
constexpr double kMinGapMs = 150.0;
constexpr double kMaxGapMs = 400.0;
// The game polls the keys once a frame, so a press released before the next update never shows; held longer than the
// slowest frames seen here.
constexpr double kHoldMs = 100.0;
constexpr double kDeadlineMs = 1000.0;
constexpr double kStartTimeoutMs = 30000.0;
constexpr double kFocusTimeoutMs = 5000.0;
constexpr unsigned kSeed = 20240611;

double MonotonicMs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

std::chrono::steady_clock::time_point SteadyAt(double monotonicMs) {
    const std::chrono::duration<double, std::milli> ahead(monotonicMs - MonotonicMs());
    return std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(ahead);
}

// Main thread only: set when a frame is handed to the window, before Present's pacing sleep.
double gLastPresentMs = -1;

struct Press {
    int generation = 0;
    bool expectRight = false;
    double sentMs = -1;
    double ackMs = -1;        // the server's answer to the round trip after the press: the key event is on its way
    double readMs = -1;       // start of the update that turned the archer
    double shownMs = -1;      // present of the first frame drawn with the new facing
    double renderEndMs = -1;  // return of that frame's Render, after Present's pacing sleep
    int passedUpdates = 0;    // updates begun after the server's answer that did not see the press
    bool discarded = false;   // a game ended or began before it showed
};

struct Figures {
    std::vector<double> latencyMs, inputWaitMs, updateToPresentMs, sleepAfterPresentMs, ackMs;
    int passedUpdatesMax = 0;
    int readLate = 0;
    int missed = 0;
    int discarded = 0;
};

// What the game thread and the key thread share, under one lock.
struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    Window window = 0;
    bool focused = false;
    bool playing = false;
    int generation = 0;
    bool facingRight = true;
    std::optional<Press> pending;
    Figures figures;
    bool done = false;
    bool loopEnded = false;
    std::string failure;
};

// Presses and releases keys on its own X connection, one press at a time, until enough have been measured.
class KeyPresser {
public:
    KeyPresser(Shared& shared, int presses) : mShared(shared), mPresses(presses) {}

    void Run() {
        Display* display = XOpenDisplay(nullptr);
        std::string failure = display ? PressKeys(display) : "cannot open the X display";
        if (display) XCloseDisplay(display);
        std::lock_guard<std::mutex> lock(mShared.mutex);
        mShared.failure = failure;
        mShared.done = true;
    }

private:
    using Lock = std::unique_lock<std::mutex>;

    std::string PressKeys(Display* display) {
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) return "the X server has no XTest";
        if (std::string focus = Focus(display); !focus.empty()) return focus;
        const KeyCode left = XKeysymToKeycode(display, XK_Left);
        const KeyCode right = XKeysymToKeycode(display, XK_Right);
        std::mt19937 random(kSeed);
        std::uniform_real_distribution<double> gap(kMinGapMs, kMaxGapMs);
        double next = MonotonicMs() + gap(random);
        double lastPlaying = MonotonicMs();
        int measured = 0;
        while (measured < mPresses) {
            Lock lock(mShared.mutex);
            if (mShared.changed.wait_until(lock, SteadyAt(next), [&] { return mShared.loopEnded; })) return "";
            if (!mShared.playing) {
                if (MonotonicMs() - lastPlaying > kStartTimeoutMs) return "the game did not reach play";
                next = MonotonicMs() + gap(random);
                continue;
            }
            lastPlaying = MonotonicMs();
            // Turning round is the effect looked for, so the key is always the one the archer does not face.
            const bool pressRight = !mShared.facingRight;
            mShared.pending = {mShared.generation, pressRight};
            lock.unlock();

            const KeyCode key = pressRight ? right : left;
            XTestFakeKeyEvent(display, key, True, CurrentTime);
            XFlush(display);
            const double sent = MonotonicMs();
            lock.lock();
            mShared.pending->sentMs = sent;
            lock.unlock();
            XSync(display, False);
            const double acknowledged = MonotonicMs();
            lock.lock();
            mShared.pending->ackMs = acknowledged;
            mShared.changed.wait_until(lock, SteadyAt(sent + kHoldMs), [&] { return mShared.loopEnded; });
            lock.unlock();
            XTestFakeKeyEvent(display, key, False, CurrentTime);
            XFlush(display);
            lock.lock();
            mShared.changed.wait_until(lock, SteadyAt(sent + kDeadlineMs), [&] {
                return mShared.loopEnded || mShared.pending->discarded || mShared.pending->shownMs >= 0;
            });
            if (mShared.loopEnded) return "";
            measured += Count(*mShared.pending);
            mShared.pending.reset();
            next = sent + gap(random);
        }
        return "";
    }

    // Without a window manager nothing gives the new window the focus, and keys go to the focused window only.
    std::string Focus(Display* display) {
        Lock lock(mShared.mutex);
        const double start = MonotonicMs();
        if (!mShared.changed.wait_until(lock, SteadyAt(start + kStartTimeoutMs), [&] { return mShared.window != 0; })) {
            return "the game window did not appear";
        }
        const Window window = mShared.window;
        lock.unlock();
        XWindowAttributes attributes = {};
        while (XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsViewable) {
            if (MonotonicMs() - start > kStartTimeoutMs) return "the game window was not mapped";
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
        XSync(display, False);
        lock.lock();
        if (!mShared.changed.wait_until(lock, SteadyAt(MonotonicMs() + kFocusTimeoutMs),
                                        [&] { return mShared.focused; })) {
            return "the game window did not get the keyboard focus";
        }
        return "";
    }

    int Count(const Press& press) {
        Figures& figures = mShared.figures;
        if (press.discarded) {
            ++figures.discarded;
            return 0;
        }
        if (press.shownMs < 0 || press.shownMs - press.sentMs > kDeadlineMs) {
            ++figures.missed;
            return 1;
        }
        figures.latencyMs.push_back(press.shownMs - press.sentMs);
        figures.ackMs.push_back(press.ackMs - press.sentMs);
        figures.inputWaitMs.push_back(press.readMs - press.sentMs);
        figures.updateToPresentMs.push_back(press.shownMs - press.readMs);
        figures.sleepAfterPresentMs.push_back(press.renderEndMs - press.shownMs);
        figures.passedUpdatesMax = std::max(figures.passedUpdatesMax, press.passedUpdates);
        if (press.passedUpdates > 0) ++figures.readLate;
        return 1;
    }

    Shared& mShared;
    const int mPresses;
};

// The game with a driver: presses Play when the menu shows and again after a lost or won game, tells the key thread
// which way the archer faces and marks when a press shows.
class BenchedGame : public Corvalo {
public:
    BenchedGame(HINSTANCE instance, Shared& shared) : Corvalo(instance), mShared(shared) {}

    void Update(float dt) override {
        PressPlayWhenOffered();
        {
            std::lock_guard<std::mutex> lock(mShared.mutex);
            if (mShared.done) PostQuitMessage(0);
        }
        const double start = MonotonicMs();
        Corvalo::Update(dt);
        std::lock_guard<std::mutex> lock(mShared.mutex);
        std::optional<Press>& pending = mShared.pending;
        if (!pending || pending->readMs >= 0) return;
        if (ShowsFacing(pending->expectRight)) {
            pending->readMs = start;
        } else if (pending->ackMs >= 0 && start > pending->ackMs && ShowsFacing(!pending->expectRight)) {
            ++pending->passedUpdates;
        }
    }

    void Render() override {
        const bool playing = GetState() == Playing && GetGame();
        const bool facingRight = playing && GetGame()->IsFacingRight();
        gLastPresentMs = -1;
        Corvalo::Render();
        const double renderEnd = MonotonicMs();
        if (playing && gLastPresentMs >= 0) CountFrame(gLastPresentMs);

        std::lock_guard<std::mutex> lock(mShared.mutex);
        if (playing && !mWasPlaying) ++mShared.generation;
        mWasPlaying = playing;
        mShared.playing = playing;
        mShared.facingRight = facingRight;
        if (!mShared.window) mShared.window = GameWindow();
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        mShared.focused = window && SDL_GetKeyboardFocus() == window;
        std::optional<Press>& pending = mShared.pending;
        if (pending && !pending->discarded && pending->shownMs < 0) {
            if (!playing || pending->generation != mShared.generation) {
                pending->discarded = true;
            } else if (facingRight == pending->expectRight && gLastPresentMs >= 0) {
                pending->shownMs = gLastPresentMs;
                pending->renderEndMs = renderEnd;
            }
        }
        mShared.changed.notify_all();
    }

    double RefreshPeriodMs() const {
        DXGI_SWAP_CHAIN_DESC desc = {};
        if (!GetSwapChain() || FAILED(GetSwapChain()->GetDesc(&desc)) || !desc.BufferDesc.RefreshRate.Numerator) {
            return 0.0;
        }
        return 1000.0 * desc.BufferDesc.RefreshRate.Denominator / desc.BufferDesc.RefreshRate.Numerator;
    }

    std::vector<double> frameMs;

private:
    bool ShowsFacing(bool right) const {
        return GetState() == Playing && GetGame() && GetGame()->IsFacingRight() == right;
    }

    void PressPlayWhenOffered() {
        if (GetState() == Menu) {
            MouseDown(MK_LBUTTON, 495, 465);
            MouseUp(MK_LBUTTON, 495, 465);
        }
        if (GetState() == GameOver || GetState() == Win) {
            MouseDown(MK_LBUTTON, 500, 330);
            MouseUp(MK_LBUTTON, 500, 330);
        }
    }

    void CountFrame(double presentMs) {
        // Frames of one game only: the gap across a game over would count the screens between.
        if (mWasPlaying && mLastPresentMs >= 0) frameMs.push_back(presentMs - mLastPresentMs);
        mLastPresentMs = presentMs;
    }

    static Window GameWindow() {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
        return info.info.x11.window;
    }

    Shared& mShared;
    bool mWasPlaying = false;
    double mLastPresentMs = -1;
};

double Max(const std::vector<double>& values) { return bench::Percentile(values, 1.0); }

double Sum(const std::vector<double>& values) {
    double sum = 0.0;
    for (double value : values) sum += value;
    return sum;
}

bool ParsePresses(int argc, char** argv, int* presses) {
    *presses = kDefaultPresses;
    if (argc == 1) return true;
    if (argc != 3 || std::strcmp(argv[1], "--presses") != 0) return false;
    char* end = nullptr;
    const long value = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || value < 1 || value > 100000) return false;
    *presses = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int presses = 0;
    if (!ParsePresses(argc, argv, &presses)) {
        std::fprintf(stderr, "usage: bench-latency [--presses N]\n");
        return 2;
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::fprintf(stderr, "bench-latency: needs an X display (DISPLAY is not set), e.g. under Xvfb\n");
        return 1;
    }
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::strcmp(driver, "x11") != 0) {
        std::fprintf(stderr, "bench-latency: needs SDL_VIDEODRIVER=x11, not %s: XTest reaches X windows only\n",
                     driver);
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Two threads use Xlib, each on its own connection.
    XInitThreads();
    if (chdir(CORVALO_DATA_DIR) != 0) return 1;

    platform::SetPresentHook([] { gLastPresentMs = MonotonicMs(); });
    Shared shared;
    BenchedGame game(GetModuleHandleW(nullptr), shared);
    if (!game.Initialize()) {
        std::fprintf(stderr, "bench-latency: the application did not start\n");
        return 1;
    }
    KeyPresser presser(shared, presses);
    std::thread keys([&presser] { presser.Run(); });
    game.RunLoop();
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.loopEnded = true;
    }
    shared.changed.notify_all();
    keys.join();
    if (!shared.failure.empty()) {
        std::fprintf(stderr, "bench-latency: %s\n", shared.failure.c_str());
        return 1;
    }

    const Figures& figures = shared.figures;
    const double playedMs = Sum(game.frameMs);
    std::printf("presses: %zu\n", figures.latencyMs.size() + static_cast<size_t>(figures.missed));
    std::printf("missed: %d\n", figures.missed);
    std::printf("discarded: %d\n", figures.discarded);
    std::printf("latency_ms_p50: %.2f\n", bench::Percentile(figures.latencyMs, 0.5));
    std::printf("latency_ms_p99: %.2f\n", bench::Percentile(figures.latencyMs, 0.99));
    std::printf("latency_ms_max: %.2f\n", Max(figures.latencyMs));
    std::printf("input_wait_ms_p50: %.2f\n", bench::Percentile(figures.inputWaitMs, 0.5));
    std::printf("input_wait_ms_p99: %.2f\n", bench::Percentile(figures.inputWaitMs, 0.99));
    std::printf("input_wait_ms_max: %.2f\n", Max(figures.inputWaitMs));
    std::printf("server_ack_ms_p50: %.2f\n", bench::Percentile(figures.ackMs, 0.5));
    std::printf("server_ack_ms_max: %.2f\n", Max(figures.ackMs));
    std::printf("presses_read_late: %d\n", figures.readLate);
    std::printf("passed_updates_max: %d\n", figures.passedUpdatesMax);
    std::printf("update_to_present_ms_p50: %.2f\n", bench::Percentile(figures.updateToPresentMs, 0.5));
    std::printf("update_to_present_ms_p99: %.2f\n", bench::Percentile(figures.updateToPresentMs, 0.99));
    std::printf("sleep_after_present_ms_p50: %.2f\n", bench::Percentile(figures.sleepAfterPresentMs, 0.5));
    std::printf("frame_ms_p50: %.3f\n", bench::Percentile(game.frameMs, 0.5));
    std::printf("frame_ms_p99: %.3f\n", bench::Percentile(game.frameMs, 0.99));
    std::printf("frame_ms_max: %.3f\n", Max(game.frameMs));
    std::printf("pacing_period_ms: %.3f\n", game.RefreshPeriodMs());
    std::printf("fps: %.2f\n", playedMs > 0 ? 1000.0 * game.frameMs.size() / playedMs : 0.0);
    return 0;
}
