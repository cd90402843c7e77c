// The rules of one update, through Game::Update with held keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "failing_device.h"
#include "gameplay_fixture.h"

namespace {

const float kDt = 1.0f / 60.0f;

float Distance(XMFLOAT2 a, XMFLOAT2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

bool Requested(const RecordingSwitcher& app, ScreenState state) {
    return std::count(app.requests.begin(), app.requests.end(), state) > 0;
}

TEST_F(GameTest, WalkingMovesByStepAndBothKeysCancel) {
    keys.Hold({VK_LEFT, VK_RIGHT});
    Step();
    EXPECT_FLOAT_EQ(player()->GetPosition().x, 512.0f);
    EXPECT_TRUE(game.IsFacingRight());
    keys.Hold({VK_LEFT});
    Step();
    EXPECT_FLOAT_EQ(player()->GetPosition().x, 512.0f - 100.0f * kDt);
    EXPECT_FALSE(game.IsFacingRight());
    const XMFLOAT2 p = player()->GetPosition();  // the flame trails on the side the player faces away from
    EXPECT_FLOAT_EQ(game.GetFlame()->GetPosition().x, p.x + 5.0f);
    EXPECT_FLOAT_EQ(game.GetFlame()->GetPosition().y, p.y - 16.0f);
}

TEST_F(GameTest, PlayerFallsAndLandsOnTheBlockBelow) {
    Step();
    EXPECT_FLOAT_EQ(player()->GetVelocity().y, -9.8f);
    EXPECT_FALSE(player()->IsOnGround());
    Step(90);
    EXPECT_TRUE(player()->IsOnGround());
    EXPECT_NEAR(player()->GetPosition().y, 334.0f, 0.5f);  // top of the block at (487, 256, 64, 78)
}

TEST_F(GameTest, JumpNeedsTheGroundAndNoCtrl) {
    keys.Hold({VK_UP});
    Step();  // still in the air from the start
    EXPECT_FLOAT_EQ(player()->GetVelocity().y, -9.8f);
    keys.ReleaseAll();
    Step(90);
    ASSERT_TRUE(player()->IsOnGround());

    keys.Hold({VK_UP, VK_LCONTROL});
    for (int i = 0; i < 3; ++i) {
        Step();
        EXPECT_LT(player()->GetVelocity().y, 100.0f);
    }
    keys.ReleaseAll();
    Step(60);
    ASSERT_TRUE(player()->IsOnGround());

    keys.Hold({VK_UP});
    for (int i = 0; i < 3 && player()->GetVelocity().y <= 0.0f; ++i) Step();
    EXPECT_FLOAT_EQ(player()->GetVelocity().y, 405.0f - 9.8f);
    EXPECT_FALSE(player()->IsOnGround());
}

TEST_F(GameTest, FuelRunsOutAfterFiveUnitsAndNeverRefills) {
    keys.Hold({VK_RCONTROL});
    Step(12, 0.25f);
    EXPECT_EQ(game.GetFuel(), 5);
    EXPECT_FLOAT_EQ(game.GetFuelTimer(), 3.0f);
    EXPECT_FLOAT_EQ(gThrustTimer, 0.0f);  // the twelfth update cut the thrust out
    keys.Hold({VK_LCONTROL});
    Step(1, 0.25f);
    EXPECT_EQ(game.GetFuel(), 4);
    EXPECT_FLOAT_EQ(game.GetFuelTimer(), 0.0f);
    EXPECT_FLOAT_EQ(game.GetRedFB()->GetPosition().x, 60.0f + 48.0f * 4.0f / 5.0f);
    EXPECT_FLOAT_EQ(game.GetRedFB()->GetScale().x, 1.0f - 4.0f / 5.0f);
    EXPECT_TRUE(game.IsFlameOn());

    Step(4 * 13, 0.25f);
    EXPECT_EQ(game.GetFuel(), 0);
    EXPECT_FALSE(game.HasFuel());
    EXPECT_FLOAT_EQ(game.GetRedFB()->GetPosition().x, 60.0f);  // red covers the whole bar
    EXPECT_FLOAT_EQ(game.GetRedFB()->GetScale().x, 1.0f);
    EXPECT_FLOAT_EQ(game.GetGreenFB()->GetPosition().x, 60.0f);

    const float timerBefore = gThrustTimer;
    keys.ReleaseAll();
    Step(40, 0.25f);
    keys.Hold({VK_LCONTROL});
    Step(1, 0.25f);
    EXPECT_EQ(game.GetFuel(), 0);
    EXPECT_FLOAT_EQ(gThrustTimer, timerBefore);  // no thrust without fuel
    EXPECT_TRUE(game.IsFlameOn());               // but the flame still shows
}

TEST_F(GameTest, FirstShotAtOnceThenOneEverySixteenHeldUpdatesOrFifteenTaps) {
    keys.Hold({VK_SPACE});
    Step();
    ASSERT_EQ(game.GetArrows().size(), 1u);
    const Projectile* first = game.GetArrows()[0];
    EXPECT_FLOAT_EQ(first->GetPosition().y, 376.0f);
    EXPECT_FLOAT_EQ(first->GetPosition().x, 512.0f + 250.0f * kDt);
    EXPECT_FLOAT_EQ(first->GetVelocity().x, 250.0f);
    EXPECT_FALSE(game.CanFire());

    Step(15);
    EXPECT_EQ(game.GetArrows().size(), 1u);
    EXPECT_TRUE(game.CanFire());
    Step();
    EXPECT_EQ(game.GetArrows().size(), 2u);

    for (int tap = 0; tap < 15; ++tap) {
        keys.Hold({VK_SPACE});
        Step();
        keys.ReleaseAll();
        Step();
    }
    EXPECT_EQ(game.GetArrows().size(), 2u);
    EXPECT_TRUE(game.CanFire());
    keys.Hold({VK_SPACE, VK_LEFT});
    Step();
    ASSERT_EQ(game.GetArrows().size(), 3u);
    EXPECT_FLOAT_EQ(game.GetArrows()[2]->GetVelocity().x, -250.0f);
    EXPECT_FLOAT_EQ(game.GetArrows()[2]->GetScale().x, -1.0f);
    EXPECT_FLOAT_EQ(game.GetArrows()[0]->GetScale().x, 1.0f);  // turning does not turn arrows in flight
}

TEST_F(GameTest, ArrowIsRemovedOnceItHasFlownPastItsRange) {
    KillAllEnemies();
    ASSERT_TRUE(game.GetEnemies().empty());
    keys.Hold({VK_SPACE});
    Step();
    keys.ReleaseAll();
    Step(238);
    ASSERT_EQ(game.GetArrows().size(), 1u);
    EXPECT_LE(game.GetArrows()[0]->GetDistance(), 1000.0f);
    Step(2);
    EXPECT_TRUE(game.GetArrows().empty());
}

TEST_F(GameTest, ArrowHitCostsOneHealthAndEnemiesAtOrBelowZeroDie) {
    Enemy* target = game.GetEnemies()[0];
    Place(target, 540, 360);
    keys.Hold({VK_SPACE});
    Step();
    keys.ReleaseAll();
    for (int i = 0; i < 5 && !game.GetArrows().empty(); ++i) Step();
    EXPECT_TRUE(game.GetArrows().empty());
    EXPECT_FLOAT_EQ(target->GetHealth(), 4.0f);

    target->SetHealth(-1.0f);  // two hits in one update at 1.0 left
    Step();
    EXPECT_EQ(game.GetEnemies().size(), 5u);
    EXPECT_EQ(std::count(game.GetEnemies().begin(), game.GetEnemies().end(), target), 0);
}

class EnemyLoopTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        const XMFLOAT2 spots[] = {{400, 450}, {430, 500}, {600, 450}, {630, 500}, {400, 400}, {640, 400}};
        enemies = game.GetEnemies();
        for (size_t i = 0; i < enemies.size(); ++i) Place(enemies[i], spots[i].x, spots[i].y);
    }

    std::vector<XMFLOAT2> Positions() const {
        std::vector<XMFLOAT2> positions;
        for (const Enemy* enemy : enemies) positions.push_back(enemy->GetPosition());
        return positions;
    }

    std::vector<Enemy*> enemies;
};

TEST_F(EnemyLoopTest, EveryEnemyApproachesOncePerEnemyProcessedEvenWhenOneDies) {
    std::vector<XMFLOAT2> before = Positions();
    Step();
    for (size_t i = 0; i < enemies.size(); ++i)
        EXPECT_NEAR(Distance(before[i], enemies[i]->GetPosition()), 1.2f, 1e-3f);

    enemies[2]->SetHealth(0.0f);
    before = Positions();
    Step();
    std::vector<Enemy*> survivors = enemies;
    survivors.erase(survivors.begin() + 2);
    ASSERT_EQ(game.GetEnemies(), survivors);
    for (size_t i = 0; i < enemies.size(); ++i) {
        if (i == 2) continue;
        EXPECT_NEAR(Distance(before[i], enemies[i]->GetPosition()), 1.2f, 1e-3f) << "enemy " << i;
    }
    // Bar i is laid out right after the Chase call of whichever enemy now has index i; the later calls of the
    // update (0.2 units each) move that enemy on. The dead enemy's call was the third.
    const float lag[] = {1.0f, 0.8f, 0.4f, 0.2f, 0.0f};
    for (size_t i = 0; i < survivors.size(); ++i) {
        const XMFLOAT2 bar = game.GetEnemyGreenHBs()[i]->GetPosition();
        EXPECT_NEAR(Distance({bar.x, bar.y - 32.0f}, survivors[i]->GetPosition()), lag[i], 1e-3f) << "bar " << i;
    }
    EXPECT_EQ(game.GetEnemyGreenHBs().size(), 6u);
}

TEST_F(EnemyLoopTest, EnemyBarShowsTheMissingShareInRed) {
    enemies[0]->SetHealth(2.0f);
    Step();
    const XMFLOAT2 green = game.GetEnemyGreenHBs()[0]->GetPosition();
    const Sprite* red = game.GetEnemyRedHBs()[0];
    EXPECT_FLOAT_EQ(red->GetPosition().x, green.x + 16.0f * 2.0f / 5.0f);
    EXPECT_FLOAT_EQ(red->GetPosition().y, green.y);
    EXPECT_FLOAT_EQ(red->GetScale().x, 1.0f - 2.0f / 5.0f);
    EXPECT_FLOAT_EQ(game.GetEnemyRedHBs()[1]->GetScale().x, 0.0f);
}

TEST_F(GameTest, TouchCostsOnePointThenProtectsForThreeSeconds) {
    const std::vector<Enemy*> enemies = game.GetEnemies();
    Place(enemies[0], 512, 384);
    Place(enemies[1], 512, 384);
    Step();
    EXPECT_FLOAT_EQ(player()->GetHealth(), 2.0f);  // two touching enemies, one point
    EXPECT_FLOAT_EQ(game.GetInvulnerableTime(), 3.0f);
    EXPECT_FLOAT_EQ(game.GetPlayerRedHB()->GetPosition().x, 60.0f + 48.0f * 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(game.GetPlayerRedHB()->GetScale().x, 1.0f - 2.0f / 3.0f);

    auto touch = [&] {
        const XMFLOAT2 p = player()->GetPosition();
        Place(enemies[0], p.x, p.y);
        Step();
    };
    for (int i = 0; i < 175; ++i) touch();
    EXPECT_FLOAT_EQ(player()->GetHealth(), 2.0f);
    for (int i = 0; i < 10 && player()->GetHealth() == 2.0f; ++i) touch();
    EXPECT_FLOAT_EQ(player()->GetHealth(), 1.0f);
    EXPECT_TRUE(app.requests.empty());

    for (int i = 0; i < 190 && player()->GetHealth() > 0.0f; ++i) touch();
    EXPECT_FLOAT_EQ(player()->GetHealth(), 0.0f);
    EXPECT_TRUE(Requested(app, GameOver));
    EXPECT_FALSE(Requested(app, Win));
}

TEST_F(GameTest, EndOfLevelOpensWithoutEnemiesAndWinsFromBelowOrASideOnly) {
    Place(player(), 520, 712);
    Step();
    EXPECT_FALSE(game.IsEOLActive());
    EXPECT_FLOAT_EQ(game.GetEOLBox().width, 0.0f);

    KillAllEnemies();
    ASSERT_TRUE(game.GetEnemies().empty());
    EXPECT_TRUE(game.IsEOLActive());
    const BoundingBoxes::BoundingBox box = game.GetEOLBox();
    EXPECT_FLOAT_EQ(box.x, 512.0f);
    EXPECT_FLOAT_EQ(box.y, 720.0f);
    EXPECT_FLOAT_EQ(box.width, 32.0f);
    EXPECT_FLOAT_EQ(box.height, 32.0f);
    EXPECT_FALSE(Requested(app, Win));

    Place(player(), 520, 748);  // from above: pushed out, no win
    Step();
    EXPECT_FALSE(Requested(app, Win));

    const XMFLOAT2 winning[] = {{520, 712}, {502, 730}, {542, 730}};  // below, left side, right side
    for (const XMFLOAT2& at : winning) {
        app.requests.clear();
        Place(player(), at.x, at.y);
        Step();
        EXPECT_TRUE(Requested(app, Win)) << at.x << "," << at.y;
    }
}

TEST_F(GameTest, AFailingRasterizerStateIsReportedOnceAGame) {
    int rasterizerBoxes = 0;
    platform::SetMessageBoxHook([&rasterizerBoxes](const platform::MessageBoxRequest& box) {
        if (box.text.find(L"CreateRasterizerState") != std::wstring::npos) ++rasterizerBoxes;
        return IDNO;
    });
    NoRasterizerStateDevice failing(gpu.device);
    for (int i = 0; i < 3; ++i) game.Update(gpu.context, &failing, kDt, &app);
    platform::SetMessageBoxHook(nullptr);
    EXPECT_EQ(rasterizerBoxes, 1);
}

}  // namespace
