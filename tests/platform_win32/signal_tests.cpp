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

// A child that reads the counter every few milliseconds, as a frame loop would, until told to stop; it reports the
// longest step it saw. Only async-signal-safe calls after the fork: the test process has threads.
struct CountingChild {
    pid_t pid = -1;
    int control = -1;  // write: finish
    int result = -1;   // read: longest step in nanoseconds

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
        const char ready = 1;
        if (write(result, &ready, 1) != 1) _exit(2);
        int64_t longest = 0;
        int64_t previous = CounterNanoseconds();
        char finish = 0;
        while (read(control, &finish, 1) != 1) {
            const timespec frame = {0, 5000000};
            nanosleep(&frame, nullptr);
            const int64_t now = CounterNanoseconds();
            if (now - previous > longest) longest = now - previous;
            previous = now;
        }
        _exit(write(result, &longest, sizeof longest) == sizeof longest ? 0 : 2);
    }

    int64_t Finish() {
        const char finish = 1;
        EXPECT_EQ(write(control, &finish, 1), 1);
        int64_t longest = -1;
        EXPECT_EQ(read(result, &longest, sizeof longest), static_cast<ssize_t>(sizeof longest));
        close(control);
        close(result);
        int status = 0;
        waitpid(pid, &status, 0);
        return longest;
    }
};

TEST(SignalTest, TheTimeStoppedIsNotCounted) {
    const auto stop = std::chrono::seconds(2);
    for (int stopSignal : {SIGTSTP, SIGSTOP}) {
        CountingChild child = CountingChild::Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(child.pid, stopSignal);
        int status = 0;
        ASSERT_EQ(waitpid(child.pid, &status, WUNTRACED), child.pid);
        ASSERT_TRUE(WIFSTOPPED(status)) << "signal " << stopSignal;
        std::this_thread::sleep_for(stop);
        kill(child.pid, SIGCONT);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int64_t longest = child.Finish();
        EXPECT_LT(longest, std::chrono::nanoseconds(stop).count() / 2) << "signal " << stopSignal;
    }
}

}  // namespace
