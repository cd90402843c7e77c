// Runs a piece of work in a forked child process, so that a crash or a hang inside it cannot take the caller down.
#pragma once
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace fx {

struct IsolatedResult {
    enum class End { Finished, Crashed, TimedOut, OutOfMemory, NotStarted };
    End end = End::NotStarted;
    std::string output;      // Finished: what the work returned
    int signal = 0;          // Crashed: the signal that ended the child; 0 when it exited without its answer
    int exitStatus = 0;      // Crashed with no signal: the child's exit status
    int error = 0;           // NotStarted: errno of the failed pipe or fork
    size_t memoryLimit = 0;  // OutOfMemory: the limit it met, in bytes

    // "crashed (signal 11, Segmentation fault)", "did not finish within 30 s", ...
    std::string Describe(std::chrono::milliseconds limit) const;
};

// The child runs work and hands its result back over a pipe; the caller waits at most limit, then kills it.
// The child shares the caller's memory image but none of its threads: work must not wait for another thread.
// memoryLimit (0: none) bounds what the child may allocate beyond the image it starts with; an allocation past it
// ends the child as OutOfMemory. Sanitizer builds set no limit: their allocators reserve memory in bulk.
IsolatedResult RunIsolated(const std::function<std::string()>& work, std::chrono::milliseconds limit,
                           size_t memoryLimit = 0);

}  // namespace fx
