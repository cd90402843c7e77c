// Message boxes, keyboard, clock, text conversion and debugger output.
#include "platform_text.h"
#include "win32_fixture.h"

using namespace win32_test;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

TEST_F(Win32Window, MessageBoxHookSeesTheRequestAndAnswers) {
    std::vector<platform::MessageBoxRequest> requests;
    platform::SetMessageBoxHook([&](const platform::MessageBoxRequest& request) {
        requests.push_back(request);
        return IDYES;
    });
    EXPECT_EQ(MessageBoxW(window, L"Quit the game \u2013 really?", L"Corvalo", MB_YESNO | MB_ICONWARNING), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Caf\xc3\xa9 failed", nullptr, MB_OK), IDYES);

    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].text, L"Quit the game \u2013 really?");
    EXPECT_EQ(requests[0].caption, L"Corvalo");
    EXPECT_EQ(requests[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
    EXPECT_EQ(requests[1].text, L"Caf\u00e9 failed");
    EXPECT_EQ(requests[1].caption, L"");
}

TEST_F(Win32Window, MessageBoxWithoutHookOffscreenAnswersDefaultOnStderr) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::string(driver) != "offscreen" && std::string(driver) != "dummy")) {
        GTEST_SKIP() << "needs SDL_VIDEODRIVER=offscreen";
    }
    CaptureStderr();
    EXPECT_EQ(MessageBoxW(window, L"Shader failed", L"D3D", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxW(window, L"Play again?", nullptr, MB_YESNO), IDNO);
    const std::string output = GetCapturedStderr();
    EXPECT_NE(output.find("[D3D] Shader failed\n"), std::string::npos);
    EXPECT_NE(output.find("[Error] Play again?\n"), std::string::npos);
}

TEST_F(Win32Window, KeySourceDrivesGetAsyncKeyState) {
    platform::SetKeySource([](int key) { return key == VK_LEFT || key == 'A'; });
    EXPECT_EQ(GetAsyncKeyState(VK_LEFT) & 0x8000, 0x8000);
    EXPECT_EQ(GetAsyncKeyState('A') & 0x8000, 0x8000);
    EXPECT_EQ(GetAsyncKeyState(VK_RIGHT), 0);

    platform::SetKeySource(nullptr);  // the real keyboard: nothing is pressed offscreen
    EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetAsyncKeyState(0xFF), 0);
}

TEST(ClockTest, CounterSourceReplacesTheMonotonicClock) {
    LARGE_INTEGER frequency = {}, count = {};
    platform::SetCounterSource([] { return int64_t{123456}; }, 1000);
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_EQ(frequency.QuadPart, 1000);
    EXPECT_EQ(count.QuadPart, 123456);

    platform::SetCounterSource(nullptr, 0);
    QueryPerformanceFrequency(&frequency);
    EXPECT_EQ(frequency.QuadPart, 1000000000);
    LARGE_INTEGER later = {};
    QueryPerformanceCounter(&count);
    Sleep(2);
    QueryPerformanceCounter(&later);
    EXPECT_GE(later.QuadPart - count.QuadPart, 2000000);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(TextTest, Utf8ConversionRoundTripsAndReplacesMalformedInput) {
    const std::wstring wide = L"a\u00e9\u20ac\U0001F3AF";
    const std::string utf8 = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xaf";
    EXPECT_EQ(platform::ToUtf8(wide), utf8);
    EXPECT_EQ(platform::FromUtf8(utf8), wide);
    EXPECT_EQ(platform::ToUtf8(L"\xD83C\xDFAF"), "\xf0\x9f\x8e\xaf");  // a UTF-16 pair

    EXPECT_EQ(platform::FromUtf8("x\xff"
                                 "y"),
              L"x\uFFFDy");
    EXPECT_EQ(platform::FromUtf8("\xc3"), L"\uFFFD");                      // truncated
    EXPECT_EQ(platform::FromUtf8("\xc0\xaf"), L"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(platform::FromUtf8("\xed\xa0\x80"), L"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(DebugTest, DebugOutputGoesToStderrAndTheHook) {
    std::vector<std::wstring> seen;
    platform::SetDebugOutputHook([&](const std::wstring& text) { seen.push_back(text); });
    CaptureStderr();
    OutputDebugStringW(L"h\u00e9llo\n");
    OutputDebugStringA("plain");
    const bool debugged = IsDebuggerPresent();
    if (!debugged) DebugBreak();
    const std::string output = GetCapturedStderr();
    platform::SetDebugOutputHook(nullptr);

    EXPECT_EQ(seen, (std::vector<std::wstring>{L"h\u00e9llo\n", L"plain"}));
    EXPECT_EQ(output.rfind("h\xc3\xa9llo\nplain", 0), 0u);
    if (!debugged) {
        EXPECT_NE(output.find("DebugBreak: no debugger attached, continuing\n"), std::string::npos);
    }
}

}  // namespace
