// The game worked from a game controller alone: the layer turns it into the keys and mouse the game already reads.
#include "virtual_pad.h"
#include "app_fixture.h"

namespace {

class GamepadAppTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::SetCounterSource([this] { return now; }, 1000);
    }
    void TearDown() override {
        platform::SetCounterSource(nullptr, 0);
        AppTest::TearDown();
    }

    int64_t now = 0;
};

TEST_F(GamepadAppTest, ShootButtonPlaysTheShotAndStartOnPlayStartsAGame) {
    PumpMessages();  // the first pump with a window starts controllers
    VirtualPad pad;
    PumpMessages();
    PassSplash();
    pad.Press(SDL_CONTROLLER_BUTTON_X);
    PumpMessages();
    const uint64_t starts = platform::SoundStarts();
    Frame();
    // Whether the shot still plays after the frame depends on how long the frame took.
    EXPECT_NE(gShotChannel, nullptr);
    EXPECT_EQ(platform::SoundStarts(), starts + 1);
    pad.Release(SDL_CONTROLLER_BUTTON_X);

    // Down from the middle of the window into Play, which spans 420 to 510, in small steps.
    pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    int x = 0, y = 0;
    for (int i = 0; i < 100 && y < 440; ++i, now += 10) {
        PumpMessages();
        SDL_GetMouseState(&x, &y);
    }
    ASSERT_GE(y, 440);
    ASSERT_LT(y, 510);
    pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTY, 0);
    pad.Press(SDL_CONTROLLER_BUTTON_START);
    PumpMessages();
    pad.Release(SDL_CONTROLLER_BUTTON_START);
    PumpMessages();
    Frame();
    EXPECT_TRUE(app->HasScreen(Playing));
}

}  // namespace
