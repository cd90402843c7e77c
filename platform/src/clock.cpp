// The performance counter, Sleep and GetTickCount over CLOCK_MONOTONIC.
#include <cerrno>
#include <sched.h>
#include <time.h>
#include "platform_hooks.h"

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

platform::CounterSource counterSource;
int64_t counterFrequency = kNanosecondsPerSecond;

int64_t MonotonicNanoseconds() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

}  // namespace

namespace platform {

// A non-positive frequency cannot be divided by; such a source is taken to count nanoseconds.
void SetCounterSource(CounterSource source, int64_t frequency) {
    counterSource = std::move(source);
    counterFrequency = counterSource && frequency > 0 ? frequency : kNanosecondsPerSecond;
}

}  // namespace platform

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = counterFrequency;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return FALSE;
    count->QuadPart = counterSource ? counterSource() : MonotonicNanoseconds();
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
