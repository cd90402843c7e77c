// Closing and stop signals; the handlers only set flags and adjust the counter's offset.
#include "signals.h"

#include <pthread.h>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace {

constexpr int kClosingSignals[] = {SIGHUP, SIGINT, SIGTERM};

std::atomic<bool> installed{false};
volatile sig_atomic_t hasMessageLoop = 0;
volatile sig_atomic_t closePending = 0;

void Handle(int number, void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(number, &action, nullptr);
}

void DieBy(int number) {
    signal(number, SIG_DFL);
    raise(number);  // delivered as the handler returns
}

void OnClosingSignal(int number) {
    if (!hasMessageLoop || closePending) {
        DieBy(number);
        return;
    }
    closePending = 1;
}

void OnStop(int number) {
    const int savedErrno = errno;
    platform::detail::MarkStopBegin();
    signal(number, SIG_DFL);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, number);
    pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
    // The process stops here until continued; OnContinue leaves the stopped time out. Doing it here too could count
    // the stop twice when the two handlers run on different threads.
    raise(number);
    Handle(number, OnStop);
    errno = savedErrno;
}

void OnContinue(int) {
    const int savedErrno = errno;
    platform::detail::LeaveOutStoppedTime();
    errno = savedErrno;
}

bool StartedIgnored(int number) {
    struct sigaction current = {};
    sigaction(number, nullptr, &current);
    return current.sa_handler == SIG_IGN;
}

}  // namespace

namespace platform::detail {

void InstallSignalHandlers() {
    if (installed.exchange(true)) return;
    for (int number : kClosingSignals) {
        if (!StartedIgnored(number)) Handle(number, OnClosingSignal);
    }
    if (!StartedIgnored(SIGTSTP)) Handle(SIGTSTP, OnStop);
    Handle(SIGCONT, OnContinue);
}

void NoteMessageLoop() { hasMessageLoop = 1; }

bool TakeCloseSignal() {
    if (!closePending) return false;
    closePending = 0;
    return true;
}

}  // namespace platform::detail
