// The application's screen flow: which screen shows when, what presses do, and the shot sound on every screen.
#include <chrono>
#include <thread>
#include <SDL2/SDL.h>

#include "app_fixture.h"

namespace {

template <class Condition>
bool WaitUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct PressCase {
    int x;
    int y;
    ScreenState expected;
};

class FlowTest : public AppTest {
protected:
    // States set by presses take effect at the next update, so resetting the state between presses keeps the screen.
    void ExpectPressesOn(ScreenState screen, const std::vector<PressCase>& cases) {
        for (const PressCase& c : cases) {
            app->SetState(screen);
            Press(c.x, c.y);
            EXPECT_EQ(app->GetState(), c.expected) << "press at (" << c.x << ", " << c.y << ")";
        }
    }

    void ExpectNoUpdateAfter(UINT message, WPARAM wParam);

    void ShowEndScreen(ScreenState screen) {
        StartGame();
        app->SetState(screen);  // as the game does during its update
        app->Render();
        ASSERT_TRUE(app->HasScreen(screen));
    }

    static bool WaitUntilSilent(FMOD::Channel* channel) {
        return WaitUntil([channel] { return !ChannelPlaying(channel); });
    }
};

TEST_F(FlowTest, SplashShowsUntilTheStepsReachOneAndAHalfSeconds) {
    EXPECT_EQ(app->GetState(), Splash);
    EXPECT_TRUE(app->HasScreen(Splash));
    Frame(0.25f);
    const Image splash = Picture();
    ASSERT_FALSE(splash.empty());
    for (int i = 0; i < 4; ++i) Frame(0.25f);
    EXPECT_EQ(app->GetState(), Splash);
    EXPECT_FALSE(app->HasScreen(Menu));
    EXPECT_EQ(Picture(), splash);

    Frame(0.25f);
    EXPECT_EQ(app->GetState(), Menu);
    EXPECT_TRUE(app->HasScreen(Menu));
    EXPECT_TRUE(app->HasScreen(Splash));
    const Image handover = Picture();
    EXPECT_NE(handover, splash);
    Frame(0.25f);
    EXPECT_EQ(Picture(), handover);
    EXPECT_FLOAT_EQ(app->GetSplashTime(), 1.5f);
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(FlowTest, PressesDuringTheSplashOnlyRecordThePosition) {
    Frame(0.25f);
    app->MouseDown(MK_LBUTTON, 495, 465);
    EXPECT_EQ(GetCapture(), app->GetWindow());
    app->MouseUp(MK_LBUTTON, 495, 465);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(app->GetState(), Splash);
    EXPECT_EQ(app->GetMouseX(), 495);
    EXPECT_EQ(app->GetMouseY(), 465);
    EXPECT_EQ(gMusicChannel, nullptr);

    app->MouseMove(0, 10, 20);
    EXPECT_EQ(app->GetMouseX(), 10);
    EXPECT_EQ(app->GetMouseY(), 20);
    PassSplash();
}

TEST_F(FlowTest, MenuButtonsCountOnlyStrictlyInside) {
    PassSplash();
    ExpectPressesOn(Menu, {{335, 465, Menu},
                           {655, 465, Menu},
                           {495, 420, Menu},
                           {495, 510, Menu},
                           {336, 421, Playing},
                           {654, 509, Playing},
                           {320, 561, Menu},
                           {704, 561, Menu},
                           {512, 516, Menu},
                           {512, 606, Menu},
                           {321, 517, Credits},
                           {703, 605, Credits},
                           {430, 703, Menu},
                           {598, 703, Menu},
                           {514, 668, Menu},
                           {514, 738, Menu},
                           {400, 515, Menu}});
}

TEST_F(FlowTest, MenuPressesStartTheMusicOnlyWhenItIsNotPlaying) {
    PassSplash();
    EXPECT_EQ(gMusicChannel, nullptr);
    Press(400, 515);
    EXPECT_EQ(app->GetState(), Menu);
    FMOD::Channel* music = gMusicChannel;
    EXPECT_TRUE(ChannelPlaying(music));

    Press(400, 515);
    Press(495, 465);
    EXPECT_EQ(gMusicChannel, music);
    EXPECT_TRUE(ChannelPlaying(music));
}

TEST_F(FlowTest, CreditsAndBackReplaceTheScreensOnTheNextUpdate) {
    PassSplash();
    Press(512, 561);
    EXPECT_EQ(app->GetState(), Credits);
    EXPECT_TRUE(app->HasScreen(Menu));
    Frame();
    EXPECT_TRUE(app->HasScreen(Credits));
    EXPECT_FALSE(app->HasScreen(Menu));
    EXPECT_FALSE(app->HasScreen(Splash));
    EXPECT_TRUE(ChannelPlaying(gMusicChannel));

    ExpectPressesOn(Credits, {{416, 664, Credits},
                              {608, 664, Credits},
                              {512, 630, Credits},
                              {512, 698, Credits},
                              {417, 631, Menu},
                              {607, 697, Menu}});
    Frame();
    EXPECT_TRUE(app->HasScreen(Menu));
    EXPECT_FALSE(app->HasScreen(Credits));
}

TEST_F(FlowTest, PlayReplacesMenuAndSplashByAGame) {
    StartGame();
    EXPECT_EQ(app->GetState(), Playing);
    EXPECT_FALSE(app->HasScreen(Menu));
    EXPECT_FALSE(app->HasScreen(Splash));
    Press(495, 465);
    EXPECT_EQ(app->GetState(), Playing);
    EXPECT_EQ(app->GetMouseX(), 495);
    Frame();
    EXPECT_TRUE(app->HasScreen(Playing));
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(FlowTest, LosingShowsTheGameOverScreenInTheRenderOfTheSameFrame) {
    StartGame();
    const Image playing = Picture();
    for (int frame = 0; frame < 60 * 600 && app->GetState() == Playing; ++frame) app->Update(1.0f / 60.0f);
    ASSERT_EQ(app->GetState(), GameOver);
    EXPECT_TRUE(app->HasScreen(Playing));

    app->Render();
    EXPECT_TRUE(app->HasScreen(GameOver));
    EXPECT_FALSE(app->HasScreen(Playing));
    const Image lost = Picture();
    EXPECT_NE(lost, playing);
    Frame();
    EXPECT_EQ(Picture(), lost);
}

TEST_F(FlowTest, GameOverButtonsCountOnlyStrictlyInside) {
    ShowEndScreen(GameOver);
    ExpectPressesOn(GameOver, {{470, 367, GameOver},
                               {384, 329, GameOver},
                               {672, 329, GameOver},
                               {528, 300, GameOver},
                               {528, 358, GameOver},
                               {460, 405, GameOver},
                               {532, 434, GameOver},
                               {385, 301, Playing},
                               {671, 357, Playing}});
    Frame();
    EXPECT_TRUE(app->HasScreen(Playing));
    EXPECT_FALSE(app->HasScreen(GameOver));
}

TEST_F(FlowTest, WinScreenOverlapCountsForPlayAgain) {
    ShowEndScreen(Win);
    EXPECT_FALSE(app->HasScreen(Playing));
    ExpectPressesOn(Win, {{314, 427, Win},
                          {704, 427, Win},
                          {509, 394, Win},
                          {426, 500, Win},
                          {592, 500, Win},
                          {509, 524, Win},
                          {500, 459, Playing},
                          {315, 395, Playing}});
}

TEST_F(FlowTest, PlayAgainStartsAGameEqualToAFirstStart) {
    StartGame();
    const Image firstStart = Picture();
    heldKey = VK_RIGHT;
    for (int i = 0; i < 30; ++i) Frame();
    heldKey = 0;
    EXPECT_NE(Picture(), firstStart);

    app->SetState(GameOver);
    Frame();
    Press(500, 329);
    Frame();
    EXPECT_EQ(app->GetState(), Playing);
    EXPECT_EQ(Picture(), firstStart);
}

TEST_F(FlowTest, HeldSpacePlaysTheShotBackToBackWithoutOverlap) {
    Frame();
    EXPECT_EQ(gShotChannel, nullptr);

    heldKey = VK_SPACE;
    const uint64_t starts = platform::SoundStarts();
    Frame();
    FMOD::Channel* first = gShotChannel;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform::SoundStarts(), starts + 1);
    ASSERT_TRUE(WaitUntilSilent(first));
    Frame();
    EXPECT_NE(gShotChannel, first);
    EXPECT_EQ(platform::SoundStarts(), starts + 2);

    // A looping shot never ends by itself, so a start while it plays would show as a new channel.
    gShotChannel->stop();
    gShotSound->setMode(FMOD_LOOP_NORMAL);
    Frame();
    FMOD::Channel* looping = gShotChannel;
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(gShotChannel, looping);
    EXPECT_TRUE(ChannelPlaying(looping));
}

TEST_F(FlowTest, SpacePlaysTheShotOnEveryScreen) {
    heldKey = VK_SPACE;
    // The shot was started in the frame: whether it still plays afterwards depends on how long the frame took.
    auto expectShot = [this](const char* screen) {
        if (gShotChannel) gShotChannel->stop();
        FMOD::Channel* before = gShotChannel;
        const uint64_t starts = platform::SoundStarts();
        Frame();
        EXPECT_EQ(platform::SoundStarts(), starts + 1) << screen;
        EXPECT_NE(gShotChannel, nullptr) << screen;
        EXPECT_NE(gShotChannel, before) << screen;
    };
    expectShot("splash");
    PassSplash();
    expectShot("menu");
    Press(512, 561);
    expectShot("credits");
    Press(512, 664);
    expectShot("menu again");
    Press(495, 465);
    expectShot("playing");
    app->SetState(Win);
    app->Render();
    expectShot("win");
    Press(500, 459);
    Frame();
    app->SetState(GameOver);
    app->Render();
    expectShot("game over");
}

// Ends a running loop from outside, the way a window manager's close or a signal reaches the platform, once the loop
// has gone round several times. Every pass drains SDL's queue, so an event pushed here leaving it marks a pass (two,
// pushed while one pass drains, can go with it). A loop too slow for the deadline leaves `counted` false.
std::thread CloseAfterPasses(int passes, bool& counted) {
    return std::thread([passes, &counted] {
        counted = true;
        for (int i = 0; i < passes && counted; ++i) {
            SDL_Event marker = {};
            marker.type = SDL_USEREVENT;
            SDL_PushEvent(&marker);
            counted = WaitUntil([] { return !SDL_HasEvent(SDL_USEREVENT); });
        }
        SDL_Event quit = {};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
}

// Space is held while the loop runs after the message until the window closes: no update means no key query, no
// splash time and no shot sound. The first pass takes the message; the passes after it would each have updated.
void FlowTest::ExpectNoUpdateAfter(UINT message, WPARAM wParam) {
    heldKey = VK_SPACE;
    PumpMessages();
    keyQueries = 0;
    PostMessageW(app->GetWindow(), message, wParam, 0);
    bool counted = false;
    std::thread closer = CloseAfterPasses(4, counted);
    EXPECT_EQ(app->RunLoop(), 0);
    closer.join();
    EXPECT_TRUE(counted) << "the loop did not go round";
    EXPECT_EQ(keyQueries, 0);
    EXPECT_EQ(app->GetSplashTime(), 0.0f);
    EXPECT_EQ(gShotChannel, nullptr);
}

// A resize and a loss of focus in the middle of a game draw whole frames where needed, never stale pixels.
TEST_F(FlowTest, FramesAroundAResizeAndAFocusLossEqualWholeFrames) {
    platform::SetDamageCheck(true);
    StartGame();
    heldKey = VK_RIGHT;
    for (int i = 0; i < 20; ++i) Frame();
    SetWindowPos(app->GetWindow(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    for (int i = 0; i < 20; ++i) Frame();
    SendMessageW(app->GetWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
    for (int i = 0; i < 5; ++i) Frame();
    SendMessageW(app->GetWindow(), WM_ACTIVATE, WA_ACTIVE, 0);
    heldKey = VK_LEFT;
    for (int i = 0; i < 20; ++i) Frame();
    const uint64_t differences = platform::DamageCheckDifferences();
    const uint64_t checked = platform::DamageCheckedFrames();
    platform::SetDamageCheck(false);
    EXPECT_EQ(differences, 0u);
    EXPECT_GT(checked, 40u);
}

TEST_F(FlowTest, NoUpdateRunsWhileTheWindowIsInactive) { ExpectNoUpdateAfter(WM_ACTIVATE, WA_INACTIVE); }

TEST_F(FlowTest, NoUpdateRunsWhileTheWindowIsMinimised) { ExpectNoUpdateAfter(WM_SIZE, SIZE_MINIMIZED); }

TEST_F(FlowTest, AnActiveWindowUpdatesAndClosingItEndsTheLoopWithZero) {
    HWND window = app->GetWindow();
    int updates = 0;
    platform::SetKeySource([&](int virtualKey) {
        if (++updates == 3) PostMessageW(window, WM_CLOSE, 0, 0);
        return virtualKey == VK_SPACE;
    });
    const uint64_t starts = platform::SoundStarts();
    EXPECT_EQ(app->RunLoop(), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_GE(updates, 3);
    // Whether the shot still plays after the loop depends on how long its frames took.
    EXPECT_NE(gShotChannel, nullptr);
    EXPECT_GT(platform::SoundStarts(), starts);
}

}  // namespace
