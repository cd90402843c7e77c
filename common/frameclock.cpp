#include "frameclock.h"

#include <windows.h>

FrameClock::FrameClock()
    : mSecondsPerCount(0.0),
      mStepSeconds(-1.0),
      mBaseCount(0),
      mPausedCount(0),
      mStopCount(0),
      mPrevCount(0),
      mCurrCount(0),
      mStopped(false) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    mSecondsPerCount = 1.0 / static_cast<double>(frequency.QuadPart);
}

int64_t FrameClock::Now() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

float FrameClock::TotalSeconds() const {
    const int64_t end = mStopped ? mStopCount : mCurrCount;
    return static_cast<float>((end - mPausedCount - mBaseCount) * mSecondsPerCount);
}

float FrameClock::StepSeconds() const { return static_cast<float>(mStepSeconds); }

void FrameClock::Restart() {
    const int64_t now = Now();
    mBaseCount = now;
    mPrevCount = now;
    mStopCount = 0;
    mStopped = false;
}

void FrameClock::Resume() {
    const int64_t now = Now();
    if (!mStopped) return;
    mPausedCount += now - mStopCount;
    mPrevCount = now;
    mStopCount = 0;
    mStopped = false;
}

void FrameClock::Halt() {
    if (mStopped) return;
    mStopCount = Now();
    mStopped = true;
}

void FrameClock::Advance() {
    if (mStopped) {
        mStepSeconds = 0.0;
        return;
    }
    mCurrCount = Now();
    mStepSeconds = (mCurrCount - mPrevCount) * mSecondsPerCount;
    mPrevCount = mCurrCount;
    // The counter can step back when the process moves between processors or the system sleeps.
    if (mStepSeconds < 0.0) mStepSeconds = 0.0;
}
