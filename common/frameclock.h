#pragma once
#include <cstdint>

// High-resolution frame clock on the performance counter. Halting it (inactive window, frame drag) keeps the halted
// time out of TotalSeconds and out of the first step after the resume.
class FrameClock {
public:
    FrameClock();

    float TotalSeconds() const;
    float StepSeconds() const;

    void Restart();
    void Resume();
    void Halt();
    void Advance();

private:
    static int64_t Now();

    double mSecondsPerCount;
    double mStepSeconds;
    int64_t mBaseCount;
    int64_t mPausedCount;
    int64_t mStopCount;
    int64_t mPrevCount;
    int64_t mCurrCount;
    bool mStopped;
};
