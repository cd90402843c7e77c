// Signals: closing signals close the windows of a program with a message loop and end one without; a stop is left
// out of the performance counter.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "d3d11.h"
#include "win32/signals.h"
#include "win32_fixture.h"

using namespace win32_test;

namespace {

constexpr int kClosingSignals[] = {SIGHUP, SIGINT, SIGTERM};

TEST_F(Win32Window, ClosingSignalsCloseTheWindows) {
    for (int number : kClosingSignals) {
        received.clear();
        raise(number);
        PumpAll();
        ASSERT_FALSE(IsWindow(window)) << "signal " << number;
        EXPECT_EQ(ReceivedKinds().front(), static_cast<UINT>(WM_CLOSE)) << "signal " << number;
        window = MakeWindow();
        ASSERT_NE(window, nullptr);
    }
}

class SignalDeathTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// A program with a device and no window (the tools) has no loop that would read a close.
void RaiseWithADevice(int number) {
    ID3D11Device* device = nullptr;
    if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                                 nullptr, nullptr))) {
        std::exit(3);
    }
    raise(number);
    std::exit(0);
}

TEST_P(SignalDeathTest, WithoutAWindowTheSignalEndsTheProgram) {
    EXPECT_EXIT(RaiseWithADevice(GetParam()), ::testing::KilledBySignal(GetParam()), "");
}

TEST_P(SignalDeathTest, ASignalIgnoredAtStartStaysIgnored) {
    EXPECT_EXIT(
        {
            signal(GetParam(), SIG_IGN);
            RaiseWithADevice(GetParam());
        },
        ::testing::ExitedWithCode(0), "");
}

// A loop that never reads its messages can still be stopped: the second signal ends the program.
TEST_P(SignalDeathTest, ASecondSignalBeforeTheLoopReadsTheFirstEndsTheProgram) {
    EXPECT_EXIT(
        {
            if (!MakeWindow()) std::exit(3);
            raise(GetParam());
            raise(GetParam());
            std::exit(0);
        },
        ::testing::KilledBySignal(GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Closing, SignalDeathTest, ::testing::ValuesIn(kClosingSignals));

int64_t CounterNanoseconds() {
    LARGE_INTEGER count = {};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

int64_t MonotonicNanoseconds() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A child that reads the counter every few milliseconds, as a frame loop would, until told to stop; it reports how
// much less the counter advanced than the monotonic clock over its run. Only async-signal-safe calls after the fork:
// the test process has threads.
struct CountingChild {
    pid_t pid = -1;
    int control = -1;  // write: finish
    int result = -1;   // read: nanoseconds left out

    static CountingChild Start() {
        int control[2], result[2];
        EXPECT_EQ(pipe(control), 0);
        EXPECT_EQ(pipe(result), 0);
        CountingChild child;
        child.pid = fork();
        if (child.pid == 0) Count(control[0], result[1]);
        close(control[0]);
        close(result[1]);
        child.control = control[1];
        child.result = result[0];
        char ready = 0;
        EXPECT_EQ(read(child.result, &ready, 1), 1);
        return child;
    }

    [[noreturn]] static void Count(int control, int result) {
        // A group of its own, whose parent is outside it: the kernel stops only such a group on SIGTSTP.
        setpgid(0, 0);
        platform::detail::InstallSignalHandlers();
        fcntl(control, F_SETFL, O_NONBLOCK);
        // Both first readings come before the parent may stop it.
        const int64_t firstCount = CounterNanoseconds();
        const int64_t firstTime = MonotonicNanoseconds();
        const char ready = 1;
        if (write(result, &ready, 1) != 1) _exit(2);
        char finish = 0;
        while (read(control, &finish, 1) != 1) {
            const timespec frame = {0, 5000000};
            nanosleep(&frame, nullptr);
            CounterNanoseconds();
        }
        const int64_t leftOut = (MonotonicNanoseconds() - firstTime) - (CounterNanoseconds() - firstCount);
        _exit(write(result, &leftOut, sizeof leftOut) == sizeof leftOut ? 0 : 2);
    }

    int64_t Finish() {
        const char finish = 1;
        EXPECT_EQ(write(control, &finish, 1), 1);
        int64_t leftOut = -1;
        EXPECT_EQ(read(result, &leftOut, sizeof leftOut), static_cast<ssize_t>(sizeof leftOut));
        close(control);
        close(result);
        int status = 0;
        waitpid(pid, &status, 0);
        return leftOut;
    }
};

// The child is stopped at least from when the parent sees the stop until it sends the continue, however loaded the
// machine; the counter must leave all of that out.
TEST(SignalTest, TheTimeStoppedIsNotCounted) {
    for (int stopSignal : {SIGTSTP, SIGSTOP}) {
        CountingChild child = CountingChild::Start();
        kill(child.pid, stopSignal);
        int status = 0;
        ASSERT_EQ(waitpid(child.pid, &status, WUNTRACED), child.pid);
        ASSERT_TRUE(WIFSTOPPED(status)) << "signal " << stopSignal;
        const auto seenStopped = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const auto stopped = std::chrono::steady_clock::now() - seenStopped;
        kill(child.pid, SIGCONT);
        const int64_t leftOut = child.Finish();
        EXPECT_GE(leftOut, std::chrono::nanoseconds(stopped).count()) << "signal " << stopSignal;
    }
}

}  // namespace
