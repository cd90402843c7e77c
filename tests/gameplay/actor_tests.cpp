// Player, Enemy and Projectile on their own.
#include <gtest/gtest.h>

#include <memory>

#include "gameplay_fixture.h"

namespace {

class ActorTest : public ::testing::Test {
protected:
    void SetUp() override { gThrustTimer = 0.0f; }

    template <typename T>
    std::unique_ptr<T> Make(float x, float y, float health) {
        return std::make_unique<T>(XMVectorSet(x, y, 0, 0), XMVectorSet(1, 1, 0, 0), 32, 32, 0.1f, frames, 0.25f,
                                   gpu.device, health);
    }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Sprite::Frame frame = {nullptr, 0, 0, 96, 32};
    std::vector<Sprite::Frame*> frames = {&frame};
};

TEST_F(ActorTest, JumpActsOnlyFromTheGroundAndOnlyOnce) {
    auto player = Make<Player>(0, 0, 3.0f);
    player->Jump();  // created in the air
    EXPECT_FLOAT_EQ(player->GetVelocity().y, 0.0f);
    player->Land();
    player->Jump();
    EXPECT_FLOAT_EQ(player->GetVelocity().y, 405.0f);
    EXPECT_FALSE(player->IsOnGround());
    player->Jump();
    EXPECT_FLOAT_EQ(player->GetVelocity().y, 405.0f);
}

TEST_F(ActorTest, ThrustCutsOutWithADownwardKickEveryThreeSeconds) {
    auto player = Make<Player>(0, 0, 3.0f);
    for (int i = 0; i < 11; ++i) player->Thrust(0.25f);
    EXPECT_FLOAT_EQ(player->GetVelocity().y, 132.0f);
    EXPECT_FLOAT_EQ(gThrustTimer, 2.75f);
    player->Thrust(0.25f);  // reaches 3 s exactly
    EXPECT_FLOAT_EQ(player->GetVelocity().y, -868.0f);
    EXPECT_FLOAT_EQ(gThrustTimer, 0.0f);

    // At 60 updates a second about 180 thrusts add 12 before one cuts out.
    int thrusts = 0;
    for (float before = player->GetVelocity().y; thrusts < 200; ++thrusts) {
        player->Thrust(1.0f / 60.0f);
        if (player->GetVelocity().y < before) break;
        before = player->GetVelocity().y;
    }
    EXPECT_GE(thrusts, 179);
    EXPECT_LE(thrusts, 180);
}

TEST_F(ActorTest, ChaseMovesTheWholeListTowardThePlayer) {
    auto player = Make<Player>(0, 0, 3.0f);
    auto onPlayer = Make<Enemy>(0, 0, 5.0f);
    auto diagonal = Make<Enemy>(30, 40, 5.0f);
    auto left = Make<Enemy>(-60, 0, 5.0f);
    const std::vector<Enemy*> enemies = {onPlayer.get(), diagonal.get(), left.get()};

    diagonal->Chase(enemies, player.get(), 0.5f);

    EXPECT_FLOAT_EQ(onPlayer->GetPosition().x, 0.0f);  // exactly on the player: stays
    EXPECT_FLOAT_EQ(onPlayer->GetPosition().y, 0.0f);
    EXPECT_FLOAT_EQ(diagonal->GetPosition().x, 26.4f);
    EXPECT_FLOAT_EQ(diagonal->GetPosition().y, 35.2f);
    EXPECT_FLOAT_EQ(left->GetPosition().x, -54.0f);
    EXPECT_FLOAT_EQ(left->GetPosition().y, 0.0f);
    // The caller keeps the velocity computed for the last enemy of the list; the others keep none.
    EXPECT_FLOAT_EQ(XMVectorGetX(diagonal->GetChaseVelocity()), 12.0f);
    EXPECT_FLOAT_EQ(XMVectorGetX(left->GetChaseVelocity()), 0.0f);
    // Enemies have no gravity: their own update only animates.
    left->Update(1.0f);
    EXPECT_FLOAT_EQ(left->GetPosition().x, -54.0f);
}

TEST_F(ActorTest, ArrowCountsTheDistanceItFliesEitherWay) {
    Projectile arrow(XMVectorSet(500, 100, 0, 0), XMVectorSet(-1, 1, 0, 0), XMVectorSet(-250, 0, 0, 0), 22, 9, 0.5f,
                     frames, 0.25f, gpu.device, 0.0f);
    arrow.Update(0.5f);
    EXPECT_FLOAT_EQ(arrow.GetDistance(), 125.0f);
    EXPECT_FLOAT_EQ(arrow.GetPosition().x, 375.0f);
    EXPECT_FLOAT_EQ(arrow.GetScale().x, -1.0f);
    arrow.Update(3.5f);
    EXPECT_FLOAT_EQ(arrow.GetDistance(), 1000.0f);
    EXPECT_FLOAT_EQ(arrow.GetMaxRange(), 1000.0f);
    EXPECT_FLOAT_EQ(arrow.GetMinRange(), -1000.0f);
    EXPECT_FLOAT_EQ(arrow.GetHitWidth(), 22.0f);
    EXPECT_FLOAT_EQ(arrow.GetHitHeight(), 9.0f);
}

}  // namespace
