// Work run in a child process: its answer comes back whole, and its crash or hang comes back as a result.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "isolated_call.h"

using fx::IsolatedResult;
using fx::RunIsolated;
using namespace std::chrono_literals;

namespace {

int OpenDescriptors() {
    DIR* dir = opendir("/proc/self/fd");
    int count = 0;
    while (readdir(dir)) ++count;
    closedir(dir);
    return count;
}

bool HasUnreapedChild() { return waitpid(-1, nullptr, WNOHANG) != -1 || errno != ECHILD; }

}  // namespace

TEST(IsolatedCall, AnswersOfAnySizeArriveWhole) {
    const int descriptors = OpenDescriptors();
    for (size_t size : {size_t(0), size_t(1), size_t(9) << 20}) {
        std::string expected(size, 'x');
        for (size_t i = 0; i < size; i += 4093) expected[i] = static_cast<char>(i);
        IsolatedResult r = RunIsolated([&] { return expected; }, 60s);
        ASSERT_EQ(r.end, IsolatedResult::End::Finished) << size;
        EXPECT_TRUE(r.output == expected) << size;
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_FALSE(HasUnreapedChild());
}

TEST(IsolatedCall, CrashesAndEarlyExitsAreReportedNotSuffered) {
    struct Case {
        const char* what;
        std::function<std::string()> work;
        int signal, exitStatus;  // exitStatus -1: any but 0
        const char* description;
    };
    const Case cases[] = {
        {"segfault",
         [] {
             raise(SIGSEGV);
             return std::string("never");
         },
         SIGSEGV, 0, "crashed (signal 11, "},
        {"abort",
         [] {
             abort();
             return std::string();
         },
         SIGABRT, 0, "crashed (signal 6, "},
        {"exit",
         [] {
             _exit(7);
             return std::string();
         },
         0, 7, "ended with exit status 7 without an answer"},
        {"throw", []() -> std::string { throw 1; }, 0, -1, "ended with exit status "},
    };
    for (const Case& c : cases) {
        IsolatedResult r = RunIsolated(c.work, 60s);
        EXPECT_EQ(r.end, IsolatedResult::End::Crashed) << c.what;
        EXPECT_EQ(r.signal, c.signal) << c.what;
        EXPECT_TRUE(c.exitStatus < 0 ? r.exitStatus != 0 : r.exitStatus == c.exitStatus) << c.what << r.exitStatus;
        EXPECT_EQ(r.Describe(60s).rfind(c.description, 0), 0u) << c.what << ": " << r.Describe(60s);
    }
    EXPECT_FALSE(HasUnreapedChild());
}

TEST(IsolatedCall, HangsAreKilledAtTheTimeLimit) {
    IsolatedResult r = RunIsolated(
        [] {
            for (;;) pause();
            return std::string();
        },
        200ms);
    EXPECT_EQ(r.end, IsolatedResult::End::TimedOut);
    EXPECT_EQ(r.Describe(200ms), "did not finish within 0.2 s");
    EXPECT_FALSE(HasUnreapedChild());
}

TEST(IsolatedCall, AllocationsPastTheMemoryLimitEndTheChild) {
#if defined(CORVALO_SANITIZE)
    GTEST_SKIP() << "no memory limit under the sanitizers";
#endif
    constexpr size_t kLimit = size_t(256) << 20;
    IsolatedResult r = RunIsolated(
        [] {
            // Untouched pages: without the limit this costs address space, not memory.
            char* volatile block = new char[size_t(1) << 30];
            block[0] = 1;
            delete[] block;
            return std::string("allocated");
        },
        60s, kLimit);
    EXPECT_EQ(r.end, IsolatedResult::End::OutOfMemory) << r.Describe(60s);
    EXPECT_EQ(r.Describe(60s), "ran out of its 256 MiB of memory");
    EXPECT_FALSE(HasUnreapedChild());
}

TEST(IsolatedCall, TheCallersSignalsAreNotTheChilds) {
    // A caller's handler would turn Ctrl+C into its own close request; the child leaves that to the caller.
    struct sigaction handler = {}, previous = {};
    handler.sa_handler = [](int) { _exit(42); };
    sigaction(SIGINT, &handler, &previous);
    IsolatedResult r = RunIsolated(
        [] {
            raise(SIGINT);
            return std::string("still here");
        },
        60s);
    sigaction(SIGINT, &previous, nullptr);
    ASSERT_EQ(r.end, IsolatedResult::End::Finished) << r.Describe(60s);
    EXPECT_EQ(r.output, "still here");
}

TEST(IsolatedCall, ACallerThatIgnoresChildrenStillGetsTheAnswer) {
    // With SIGCHLD ignored the system reaps the child itself, so its exit status is never seen.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGCHLD, &ignore, &previous);
    IsolatedResult ok = RunIsolated([] { return std::string("answer"); }, 60s);
    IsolatedResult crash = RunIsolated(
        [] {
            raise(SIGSEGV);
            return std::string("answer");
        },
        60s);
    sigaction(SIGCHLD, &previous, nullptr);
    EXPECT_EQ(ok.end, IsolatedResult::End::Finished);
    EXPECT_EQ(ok.output, "answer");
    EXPECT_EQ(crash.end, IsolatedResult::End::Crashed);
}
