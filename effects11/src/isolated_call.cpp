#include "isolated_call.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace fx {
namespace {

using Clock = std::chrono::steady_clock;

// An answer past this is a runaway child, not a result.
constexpr size_t kMaxOutput = size_t(256) << 20;
constexpr int kWorkThrew = 3;
constexpr int kWriteFailed = 4;
constexpr int kParentGone = 5;
constexpr int kOutOfMemory = 6;

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A crash ends the child by its signal, with no handler of the caller's (or a sanitizer's) and no core file.
// Keyboard and hang-up signals are the caller's to act on; should the caller die, the child follows it.
void PrepareChild(pid_t parent) {
    for (int s = 1; s < 32; ++s) {
        if (s != SIGKILL && s != SIGSTOP) signal(s, SIG_DFL);
    }
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(s, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(kParentGone);
}

#if defined(CORVALO_SANITIZE)
// The sanitizers' allocators reserve and map memory in bulk, which a data limit would refuse.
void LimitMemory(size_t) {}
#else
// The data segment the child inherits, in bytes; 0 when it cannot be read.
size_t DataSize() {
    FILE* status = std::fopen("/proc/self/status", "re");
    if (!status) return 0;
    char line[256];
    unsigned long long kib = 0;
    while (std::fgets(line, sizeof line, status) && std::sscanf(line, "VmData: %llu kB", &kib) != 1) {
    }
    std::fclose(status);
    return static_cast<size_t>(kib) << 10;
}

// RLIMIT_DATA counts the heap and private writable mappings, what a runaway compiler grows; unlike RLIMIT_AS it
// leaves address space reserved without access alone.
void LimitMemory(size_t memoryLimit) {
    if (memoryLimit == 0) return;
    const rlim_t limit = DataSize() + memoryLimit;
    const rlimit data = {limit, limit};
    setrlimit(RLIMIT_DATA, &data);
}
#endif

// _exit, not exit: the caller's atexit handlers, static destructors and stdio buffers are not the child's.
[[noreturn]] void RunChild(int out, pid_t parent, const std::function<std::string()>& work, size_t memoryLimit) {
    PrepareChild(parent);
    LimitMemory(memoryLimit);
    std::string frame(sizeof(uint64_t), '\0');
    try {
        frame += work();
    } catch (const std::bad_alloc&) {
        _exit(kOutOfMemory);
    } catch (...) {
        _exit(kWorkThrew);
    }
    const uint64_t size = frame.size() - sizeof size;
    std::memcpy(&frame[0], &size, sizeof size);
    _exit(WriteAll(out, frame.data(), frame.size()) ? 0 : kWriteFailed);
}

enum class ReadEnd { Eof, Deadline, TooLong, Error };

// Reads to the end before anyone waits for the child, so an answer larger than the pipe cannot stall it.
ReadEnd ReadAll(int fd, Clock::time_point deadline, std::string* out) {
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return ReadEnd::Deadline;
        pollfd p = {fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
        if (ready < 0 && errno != EINTR) return ReadEnd::Error;
        if (ready <= 0) continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) return ReadEnd::Eof;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadEnd::Error;
        if (out->size() + static_cast<size_t>(n) > kMaxOutput) return ReadEnd::TooLong;
        out->append(buffer, static_cast<size_t>(n));
    }
}

// False when the status cannot be known (the caller ignores SIGCHLD, so the system reaped the child).
bool Reap(pid_t child, int* status) {
    for (;;) {
        if (waitpid(child, status, 0) == child) return true;
        if (errno != EINTR) return false;
    }
}

bool Unframe(const std::string& frame, std::string* output) {
    uint64_t size = 0;
    if (frame.size() < sizeof size) return false;
    std::memcpy(&size, frame.data(), sizeof size);
    if (size != frame.size() - sizeof size) return false;
    *output = frame.substr(sizeof size);
    return true;
}

void Judge(ReadEnd end, const std::string& received, bool known, int status, IsolatedResult* result) {
    if (end == ReadEnd::Deadline) {
        result->end = IsolatedResult::End::TimedOut;
        return;
    }
    const bool clean = !known || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (end == ReadEnd::Eof && clean && Unframe(received, &result->output)) {
        result->end = IsolatedResult::End::Finished;
        return;
    }
    if (known && WIFEXITED(status) && WEXITSTATUS(status) == kOutOfMemory) {
        result->end = IsolatedResult::End::OutOfMemory;
        return;
    }
    result->end = IsolatedResult::End::Crashed;
    if (known && WIFSIGNALED(status)) result->signal = WTERMSIG(status);
    if (known && WIFEXITED(status)) result->exitStatus = WEXITSTATUS(status);
}

}  // namespace

std::string IsolatedResult::Describe(std::chrono::milliseconds limit) const {
    char text[160];
    switch (end) {
    case End::Finished:
        return "finished";
    case End::TimedOut:
        std::snprintf(text, sizeof text, "did not finish within %g s", limit.count() / 1000.0);
        return text;
    case End::NotStarted:
        return std::string("could not be started: ") + std::strerror(error);
    case End::OutOfMemory:
        std::snprintf(text, sizeof text, "ran out of its %zu MiB of memory", memoryLimit >> 20);
        return text;
    case End::Crashed:
        break;
    }
    if (signal) {
        std::snprintf(text, sizeof text, "crashed (signal %d, %s)", signal, strsignal(signal));
    } else {
        std::snprintf(text, sizeof text, "ended with exit status %d without an answer", exitStatus);
    }
    return text;
}

IsolatedResult RunIsolated(const std::function<std::string()>& work, std::chrono::milliseconds limit,
                           size_t memoryLimit) {
    // One child at a time: a child forked meanwhile by another caller would hold this one's pipe open.
    static std::mutex forking;
    const std::lock_guard<std::mutex> lock(forking);
    IsolatedResult result;
    result.memoryLimit = memoryLimit;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        result.error = errno;
        return result;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        RunChild(fds[1], parent, work, memoryLimit);
    }
    if (child < 0) result.error = errno;
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        return result;
    }
    std::string received;
    const ReadEnd end = ReadAll(fds[0], Clock::now() + limit, &received);
    close(fds[0]);
    if (end != ReadEnd::Eof) kill(child, SIGKILL);
    int status = 0;
    const bool known = Reap(child, &status);
    Judge(end, received, known, status, &result);
    return result;
}

}  // namespace fx
