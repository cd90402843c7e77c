#pragma once
#include <enemy.h>
#include <game.h>
#include <player.h>
#include <projectile.h>
#include <platform_hooks.h>
#include <screenswitcher.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "test_device.h"

// Holds the keys a test names; everything else is up.
class Keyboard {
public:
    Keyboard() {
        platform::SetKeySource([this](int virtualKey) { return mHeld.count(virtualKey) > 0; });
    }
    ~Keyboard() { platform::SetKeySource(nullptr); }
    void Hold(std::initializer_list<int> keys) { mHeld = keys; }
    void ReleaseAll() { mHeld.clear(); }

private:
    std::set<int> mHeld;
};

class RecordingSwitcher : public ScreenSwitcher {
public:
    void SetState(ScreenState state) override { requests.push_back(state); }
    std::vector<ScreenState> requests;
};

inline void Place(Sprite* sprite, float x, float y) { sprite->SetPosition(XMVectorSet(x, y, 0.0f, 0.0f)); }

// A game built as entering the playing state builds it, stepped with held keys. The thrust timer outlives every
// game, so each test starts it from zero.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        gThrustTimer = 0.0f;
        ASSERT_TRUE(game.Init(gpu.device));
    }

    void Step(int updates = 1, float dt = 1.0f / 60.0f) {
        for (int i = 0; i < updates; ++i) game.Update(gpu.context, gpu.device, dt, &app);
    }

    void KillAllEnemies() {
        for (Enemy* enemy : game.GetEnemies()) enemy->SetHealth(0.0f);
        Step();
    }

    Player* player() { return game.GetPlayer(); }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Keyboard keys;
    RecordingSwitcher app;
    Game game;
};
