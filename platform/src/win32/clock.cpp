// The performance counter, Sleep and GetTickCount over CLOCK_MONOTONIC. The counter leaves out the time the
// process spends stopped, as the frame clock leaves out an inactive window's: a step after Ctrl+Z and fg is a normal
// one.
#include <atomic>
#include <cerrno>
#include <sched.h>
#include <time.h>
#include "platform_hooks.h"
#include "signals.h"

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

platform::CounterSource counterSource;
int64_t counterFrequency = kNanosecondsPerSecond;

int64_t MonotonicNanoseconds() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

// Monotonic times; the signal handlers change them, so they are lock-free atomics.
std::atomic<int64_t> stoppedNanoseconds{0};
std::atomic<int64_t> lastReading{0};
std::atomic<int64_t> stopBegan{0};
static_assert(std::atomic<int64_t>::is_always_lock_free, "the stop handlers need lock-free atomics");

void RaiseTo(std::atomic<int64_t>& value, int64_t atLeast) {
    int64_t seen = value.load();
    while (seen < atLeast && !value.compare_exchange_weak(seen, atLeast)) {
    }
}

// A reading taken while a stop's time is being left out is taken again, so the counter never steps back.
int64_t RunningNanoseconds() {
    int64_t stopped = 0;
    int64_t now = 0;
    do {
        stopped = stoppedNanoseconds.load();
        now = MonotonicNanoseconds();
    } while (stopped != stoppedNanoseconds.load());
    RaiseTo(lastReading, now);
    return now - stopped;
}

}  // namespace

namespace platform {

// A non-positive frequency cannot be divided by; such a source is taken to count nanoseconds.
void SetCounterSource(CounterSource source, int64_t frequency) {
    counterSource = std::move(source);
    counterFrequency = counterSource && frequency > 0 ? frequency : kNanosecondsPerSecond;
}

}  // namespace platform

namespace platform::detail {

void MarkStopBegin() {
    int64_t none = 0;
    stopBegan.compare_exchange_strong(none, MonotonicNanoseconds());
}

// From the stop's beginning where it was seen (SIGTSTP), else from the last reading (SIGSTOP cannot be caught);
// never from before a reading, which would step the counter back.
void LeaveOutStoppedTime() {
    const int64_t began = stopBegan.exchange(0);
    const int64_t from = began > lastReading.load() ? began : lastReading.load();
    if (from == 0) return;
    const int64_t now = MonotonicNanoseconds();
    if (now <= from) return;
    stoppedNanoseconds += now - from;
    RaiseTo(lastReading, now);
}

}  // namespace platform::detail

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = counterFrequency;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return FALSE;
    count->QuadPart = counterSource ? counterSource() : RunningNanoseconds();
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec remaining = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
    }
}

DWORD GetTickCount() { return static_cast<DWORD>(MonotonicNanoseconds() / 1000000); }
