#pragma once
#include <corvalo.h>
#include <player.h>
#include <platform_hooks.h>
#include <platform_text.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// A Corvalo initialised under the offscreen driver, driven frame by frame by the test. Boxes are captured, and the
// window, its class and the message queue are cleaned up so every test starts like a fresh process.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Sound checks need an output that plays; the dummy driver plays into nothing at the real pace.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // The thrust timer outlives games: a game played earlier in this process must not cut this one's out.
        gThrustTimer = 0.0f;
        platform::SetMessageBoxHook([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(platform::ToUtf8(request.text));
            return IDNO;
        });
        platform::SetKeySource([this](int virtualKey) {
            ++keyQueries;
            return heldKey != 0 && virtualKey == heldKey;
        });
        app = std::make_unique<Corvalo>(GetModuleHandleW(nullptr));
        ASSERT_TRUE(app->Initialize());
    }

    void TearDown() override {
        if (app && IsWindow(app->GetWindow())) DestroyWindow(app->GetWindow());
        PumpMessages();
        app.reset();
        UnregisterClassW(L"D3DWndClassName", GetModuleHandleW(nullptr));
        platform::SetKeySource(nullptr);
        platform::SetMessageBoxHook(nullptr);
    }

    static void PumpMessages() {
        MSG message = {};
        while (PeekMessageW(&message, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void Frame(float dt = 1.0f / 60.0f) {
        app->Update(dt);
        app->Render();
    }

    // Frames of a quarter second (exact in binary) until the splash has handed over to the menu.
    void PassSplash() {
        for (int i = 0; i < 6 && app->GetState() == Splash; ++i) Frame(0.25f);
        ASSERT_EQ(app->GetState(), Menu);
    }

    void Press(int x, int y) {
        app->MouseDown(MK_LBUTTON, x, y);
        app->MouseUp(MK_LBUTTON, x, y);
    }

    // Passes the splash and clicks the menu's Play button.
    void PressPlay() {
        PassSplash();
        Press(495, 465);
    }

    void StartGame() {
        PressPlay();
        Frame();
        ASSERT_TRUE(app->HasScreen(Playing));
    }

    // Every captured message box, for failure messages.
    std::string Boxes() const {
        std::string all;
        for (const std::string& box : boxes) all += box + "\n";
        return all;
    }

    // The presented picture, RGBA rows from the top.
    std::vector<uint8_t> Picture() const;

    std::unique_ptr<Corvalo> app;
    std::vector<std::string> boxes;
    int heldKey = 0;
    int keyQueries = 0;
};

using Image = std::vector<uint8_t>;

// True when the channel handle answers that its sound is playing.
bool ChannelPlaying(FMOD::Channel* channel);
