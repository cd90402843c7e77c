// Process signals. While the program has a window, its message loop ends it: a closing signal (terminal closed,
// interrupt, terminate) becomes the close of its windows, as the window manager's close would. A program without a
// window has no loop to read that, and ends at once by the signal, as command-line programs do.
#pragma once

namespace platform::detail {

// Takes over the closing signals from SDL, and keeps the time the process spends stopped (Ctrl+Z, SIGSTOP) out of
// the performance counter. Signals the process was started with ignored stay ignored. Once is enough; before SDL
// starts its video.
void InstallSignalHandlers();

// A window exists: closing signals close the windows from now on. A second one before the loop has taken the
// first ends the process by the signal, so a loop that never reads its messages can still be stopped.
void NoteMessageLoop();

// True once for each closing signal received since the last call.
bool TakeCloseSignal();

// The performance counter's side of a stop, safe to call from a signal handler (clock.cpp).
void MarkStopBegin();
void LeaveOutStoppedTime();

}  // namespace platform::detail
