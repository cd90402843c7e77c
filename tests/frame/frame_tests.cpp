// The application frame without a device: the clock, the message table, the frame-rate read-out and the result check.
#include <d3dapp.h>
#include <platform_hooks.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Drives the performance counter by hand, in microseconds.
class FakeCounter {
public:
    FakeCounter() {
        now = 0;
        platform::SetCounterSource([] { return now; }, 1000000);
    }
    ~FakeCounter() { platform::SetCounterSource(nullptr, 0); }
    static void Set(double seconds) { now = static_cast<int64_t>(seconds * 1e6 + 0.5); }

private:
    static inline int64_t now = 0;
};

// Advances the clock with the counter at the given time and compares the step and total it then reports.
::testing::AssertionResult AdvancesTo(FrameClock& clock, double seconds, float step, float total) {
    FakeCounter::Set(seconds);
    clock.Advance();
    const float gotStep = clock.StepSeconds();
    const float gotTotal = clock.TotalSeconds();
    if (std::fabs(gotStep - step) < 1e-6f && std::fabs(gotTotal - total) < 1e-6f) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << seconds << " s: step " << gotStep << ", total " << gotTotal;
}

TEST(FrameClock, HaltedTimeIsLeftOutOfTotalAndOfTheFirstStepAfterResume) {
    FakeCounter counter;
    FrameClock clock;
    counter.Set(1.0);
    clock.Restart();
    EXPECT_TRUE(AdvancesTo(clock, 1.5, 0.5f, 0.5f));

    counter.Set(2.0);
    clock.Halt();
    counter.Set(3.0);
    clock.Halt();  // a second halt keeps the first stop time
    EXPECT_TRUE(AdvancesTo(clock, 4.0, 0.0f, 1.0f));

    counter.Set(5.0);
    clock.Resume();
    EXPECT_TRUE(AdvancesTo(clock, 5.25, 0.25f, 1.25f));

    counter.Set(6.0);
    clock.Resume();  // not halted: nothing changes
    EXPECT_TRUE(AdvancesTo(clock, 6.0, 0.75f, 2.0f));
}

TEST(FrameClock, StepBackwardsBecomesZero) {
    FakeCounter counter;
    FrameClock clock;
    counter.Set(10.0);
    clock.Restart();
    counter.Set(9.0);
    clock.Advance();
    EXPECT_FLOAT_EQ(clock.StepSeconds(), 0.0f);
}

struct MouseCall {
    WPARAM buttons;
    int x;
    int y;
};

// Counts rebuilds instead of making targets, so the message table can be checked on its own.
class ProbeApp : public D3DApp {
public:
    ProbeApp() : D3DApp(nullptr) { mCaption = L"Corvalo"; }
    ~ProbeApp() override {
        if (mWindow) DestroyWindow(mWindow);
        UnregisterClassW(L"D3DWndClassName", nullptr);
    }

    void Update(float) override {}
    void Render() override {}
    void HandleResize() override { ++resizes; }
    void MouseDown(WPARAM b, int x, int y) override { downs.push_back({b, x, y}); }
    void MouseUp(WPARAM b, int x, int y) override { ups.push_back({b, x, y}); }
    void MouseMove(WPARAM b, int x, int y) override { moves.push_back({b, x, y}); }

    void AttachDevice() {
        ASSERT_TRUE(SUCCEEDED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                                D3D11_SDK_VERSION, &md3dDevice, nullptr, &md3dImmediateContext)));
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return HandleMessage(mWindow, message, wParam, lParam); }
    bool OpenWindow() { return CreateMainWindow(); }
    void Frame() {
        mClock.Advance();
        ShowFrameStats();
    }
    void RestartClock() { mClock.Restart(); }
    void ClearCaption() { SetWindowTextW(mWindow, L""); }
    std::wstring Caption() const {
        wchar_t text[256] = L"";
        GetWindowTextW(mWindow, text, 256);
        return text;
    }

    bool Paused() const { return mPaused; }
    int Width() const { return mClientWidth; }
    int Height() const { return mClientHeight; }

    int resizes = 0;
    std::vector<MouseCall> downs, ups, moves;
};

TEST(MessageTable, SizeBeforeTheDeviceOnlyRecordsTheClientSize) {
    ProbeApp app;
    EXPECT_EQ(app.Send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(640, 480)), 0);
    EXPECT_EQ(app.Width(), 640);
    EXPECT_EQ(app.Height(), 480);
    EXPECT_FALSE(app.Paused());
    EXPECT_EQ(app.resizes, 0);
}

TEST(MessageTable, MinimiseThenRestoreRebuildsOnce) {
    ProbeApp app;
    app.AttachDevice();
    app.Send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_TRUE(app.Paused());
    EXPECT_EQ(app.resizes, 0);
    app.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(1024, 768));
    EXPECT_FALSE(app.Paused());
    EXPECT_EQ(app.resizes, 1);
    EXPECT_EQ(app.Width(), 1024);
}

TEST(MessageTable, MaximiseAndRestoreEachRebuild) {
    ProbeApp app;
    app.AttachDevice();
    app.Send(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1920, 1080));
    EXPECT_EQ(app.resizes, 1);
    app.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(1024, 768));
    EXPECT_EQ(app.resizes, 2);
    app.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(1000, 700));
    EXPECT_EQ(app.resizes, 3);
    app.Send(WM_SIZE, 3 /* SIZE_MAXSHOW */, MAKELPARAM(10, 10));
    EXPECT_EQ(app.resizes, 3);
}

TEST(MessageTable, FrameDragRebuildsOnceAtItsEnd) {
    FakeCounter counter;
    ProbeApp app;
    app.AttachDevice();
    app.Send(WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_TRUE(app.Paused());
    for (int width = 900; width < 1000; width += 10) app.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, 600));
    EXPECT_EQ(app.resizes, 0);
    app.Send(WM_EXITSIZEMOVE, 0, 0);
    EXPECT_FALSE(app.Paused());
    EXPECT_EQ(app.resizes, 1);
    EXPECT_EQ(app.Width(), 990);
}

TEST(MessageTable, ActivationPausesAndResumes) {
    ProbeApp app;
    app.Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_TRUE(app.Paused());
    app.Send(WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 0), 0);
    EXPECT_FALSE(app.Paused());
}

TEST(MessageTable, MinimumTrackSizeAndMenuCharacters) {
    ProbeApp app;
    MINMAXINFO info = {};
    EXPECT_EQ(app.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);
    EXPECT_EQ(app.Send(WM_MENUCHAR, 'x', 0), 0x10000);
}

TEST(MessageTable, MouseMessagesCarrySignedClientCoordinates) {
    ProbeApp app;
    app.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(335, 420));
    app.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(-5, 2));
    app.Send(WM_MBUTTONUP, 0, MAKELPARAM(7, -3));
    app.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 34));
    ASSERT_EQ(app.downs.size(), 2u);
    EXPECT_EQ(app.downs[0].x, 335);
    EXPECT_EQ(app.downs[0].y, 420);
    EXPECT_EQ(app.downs[1].x, -5);
    EXPECT_EQ(app.downs[1].buttons, static_cast<WPARAM>(MK_RBUTTON));
    ASSERT_EQ(app.ups.size(), 1u);
    EXPECT_EQ(app.ups[0].y, -3);
    ASSERT_EQ(app.moves.size(), 1u);
    EXPECT_EQ(app.moves[0].x, 12);
}

TEST(MessageTable, DestroyPostsQuitWithExitCodeZero) {
    ProbeApp app;
    app.Send(WM_DESTROY, 0, 0);
    MSG msg = {};
    bool sawQuit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) sawQuit = sawQuit || msg.message == WM_QUIT;
    EXPECT_TRUE(sawQuit);
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(FrameStats, ReadOutOncePerSecondAndCatchUpAfterAStall) {
    FakeCounter counter;
    gFrameStatsCount = 0;
    gFrameStatsMark = 0.0f;
    ProbeApp app;
    ASSERT_TRUE(app.OpenWindow());
    counter.Set(0.0);
    app.RestartClock();
    for (int frame = 1; frame <= 59; ++frame) {
        counter.Set(frame / 60.0);
        app.Frame();
    }
    EXPECT_EQ(app.Caption(), L"Corvalo");
    counter.Set(1.0);
    app.Frame();
    EXPECT_EQ(app.Caption(), L"Corvalo    FPS: 60    Frame Time: 16.6667 (ms)");

    counter.Set(1.1);
    app.Frame();
    counter.Set(1.2);
    app.Frame();
    counter.Set(4.5);  // a stall of several seconds with the clock running
    app.Frame();
    EXPECT_EQ(app.Caption(), L"Corvalo    FPS: 3    Frame Time: 333.333 (ms)");
    for (double t : {4.51, 4.52}) {
        app.ClearCaption();
        counter.Set(t);
        app.Frame();
        EXPECT_EQ(app.Caption(), L"Corvalo    FPS: 1    Frame Time: 1000 (ms)") << t;
    }
    app.ClearCaption();
    counter.Set(4.53);  // the mark has caught up to 4 s
    app.Frame();
    EXPECT_EQ(app.Caption(), L"");
}

class TraceCapture {
public:
    TraceCapture(int answer = IDNO) {
        platform::SetDebugOutputHook([this](const std::wstring& text) { output += text; });
        platform::SetMessageBoxHook([this, answer](const platform::MessageBoxRequest& request) {
            boxes.push_back(request);
            return answer;
        });
    }
    ~TraceCapture() {
        platform::SetDebugOutputHook(nullptr);
        platform::SetMessageBoxHook(nullptr);
    }
    std::wstring output;
    std::vector<platform::MessageBoxRequest> boxes;
};

TEST(TraceResult, WritesTheTraceAndOffersTheDebugger) {
    TraceCapture capture;
    EXPECT_EQ(TraceResult("frame.cpp", 42, E_INVALIDARG, L"device->CreateBuffer(&vbd, &vinitData, &mVB)", true),
              E_INVALIDARG);
    EXPECT_EQ(capture.output,
              L"frame.cpp(42): device->CreateBuffer(&vbd, &vinitData, &mVB) hr=E_INVALIDARG (0x80070057)\n");
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_EQ(capture.boxes[0].text,
              L"File: frame.cpp\nLine: 42\nError Code: E_INVALIDARG (0x80070057)\n"
              L"Calling: device->CreateBuffer(&vbd, &vinitData, &mVB)\nDo you want to debug the application?");
    EXPECT_EQ(capture.boxes[0].caption, L"Unexpected error encountered");
    EXPECT_EQ(capture.boxes[0].type, static_cast<UINT>(MB_ICONERROR | MB_YESNO));
}

TEST(TraceResult, WithoutFileOrExpressionOrBox) {
    TraceCapture capture;
    EXPECT_EQ(TraceResult(nullptr, 7, E_FAIL, L"", false), E_FAIL);
    EXPECT_EQ(capture.output, L"hr=E_FAIL (0x80004005)\n");
    EXPECT_TRUE(capture.boxes.empty());

    TraceResult(nullptr, 7, DXGI_ERROR_INVALID_CALL, nullptr, true);
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_EQ(
        capture.boxes[0].text,
        L"File: \nLine: 7\nError Code: DXGI_ERROR_INVALID_CALL (0x887a0001)\nDo you want to debug the application?");
}

TEST(TraceResult, YesBreaksIntoTheDebuggerOnlyWhenOneIsAttached) {
    TraceCapture capture(IDYES);
    EXPECT_EQ(TraceResult("x.cpp", 1, E_POINTER, L"call()", true), E_POINTER);
    EXPECT_EQ(capture.boxes.size(), 1u);
}

// Leaves no zero where the next call's buffers will lie, as the stack of a program that has run a while holds none.
__attribute__((noinline)) void FillStack() {
    volatile wchar_t junk[32768];
    for (volatile wchar_t& c : junk) c = L'#';
}

TEST(TraceResult, OverlongTextsAreCutToTheirBuffersAndStillEnd) {
    TraceCapture capture;
    FillStack();
    const std::string file(5000, 'f');
    const std::wstring expression(3000, L'e');
    TraceResult(file.c_str(), 42, E_FAIL, expression.c_str(), true);
    EXPECT_EQ(capture.output, std::wstring(2999, L'f') + expression + L" hr=E_FAIL (0x80004005)\n");
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_EQ(capture.boxes[0].text, L"File: " + std::wstring(260, L'f') +
                                         L"\nLine: 42\nError Code: E_FAIL (0x80004005)\nCalling: " +
                                         std::wstring(1090, L'e') + L"Do you want to debug the application?");
}

HRESULT Fails() { return D3DXERR_INVALIDDATA; }
HRESULT Succeeds() { return S_FALSE; }

TEST(TraceResult, VerifyReportsTheSourceFileNameAndExpressionText) {
    TraceCapture capture;
    VERIFY_HR(Succeeds());
    EXPECT_TRUE(capture.output.empty());
    VERIFY_HR(Fails());
    EXPECT_EQ(capture.output.rfind(L"frame_tests.cpp(", 0), 0u) << capture.output;
    EXPECT_NE(capture.output.find(L"): Fails() hr=D3DXERR_INVALIDDATA (0x88760b59)\n"), std::wstring::npos);
    EXPECT_EQ(capture.boxes.size(), 1u);
}

TEST(ResultName, KnownAndUnknownCodes) {
    EXPECT_STREQ(ResultName(S_OK), L"S_OK");
    EXPECT_STREQ(ResultName(E_POINTER), L"E_POINTER");
    EXPECT_STREQ(ResultName(E_OUTOFMEMORY), L"E_OUTOFMEMORY");
    EXPECT_STREQ(ResultName(DXGI_STATUS_OCCLUDED), L"DXGI_STATUS_OCCLUDED");
    EXPECT_STREQ(ResultName(DXGI_ERROR_DEVICE_REMOVED), L"DXGI_ERROR_DEVICE_REMOVED");
    EXPECT_STREQ(ResultName(D3D11_ERROR_FILE_NOT_FOUND), L"D3D11_ERROR_FILE_NOT_FOUND");
    EXPECT_STREQ(ResultName(D3DXERR_INVALIDDATA), L"D3DXERR_INVALIDDATA");
    EXPECT_STREQ(ResultName(static_cast<HRESULT>(0x12345678)), L"Unknown");
    EXPECT_STREQ(ResultName(static_cast<HRESULT>(0x80070002)), L"HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)");
}

}  // namespace
