// The game worked from a game controller alone: the layer turns it into the keys and mouse the game already reads.
#include "../support/virtual_pad.h"
#include "app_fixture.h"

namespace {

class GamepadAppTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (HasFatalFailure()) return;
        platform::SetCounterSource([this] { return now; }, 1000);
        PumpMessages();
        ASSERT_TRUE(SDL_WasInit(SDL_INIT_GAMECONTROLLER));
        pad = std::make_unique<VirtualPad>();
        PumpMessages();
    }

    void TearDown() override {
        pad.reset();
        AppTest::TearDown();
        platform::SetCounterSource(nullptr, 0);
    }

    // Pushes the pointer down in 10 ms pumps until the system cursor is at least that low.
    int SteerDownTo(int lowest) {
        pad->Tilt(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
        int x = 0, y = 0;
        for (int i = 0; i < 100 && y < lowest; ++i) {
            now += 10;
            PumpMessages();
            SDL_GetMouseState(&x, &y);
        }
        pad->Tilt(SDL_CONTROLLER_AXIS_RIGHTY, 0);
        PumpMessages();
        return y;
    }

    int64_t now = 0;
    std::unique_ptr<VirtualPad> pad;
};

TEST_F(GamepadAppTest, ShootButtonPlaysTheShotAndStartOnPlayStartsAGame) {
    PassSplash();
    pad->Press(SDL_CONTROLLER_BUTTON_X);
    PumpMessages();
    Frame();
    EXPECT_TRUE(ChannelPlaying(gShotChannel));
    pad->Release(SDL_CONTROLLER_BUTTON_X);

    // From the middle of the window down into Play, which spans 420 to 510.
    const int y = SteerDownTo(440);
    ASSERT_GE(y, 440);
    ASSERT_LT(y, 510);
    pad->Press(SDL_CONTROLLER_BUTTON_START);
    PumpMessages();
    pad->Release(SDL_CONTROLLER_BUTTON_START);
    PumpMessages();
    Frame();
    EXPECT_TRUE(app->HasScreen(Playing));
}

}  // namespace
