// Contact resolution and the overlap tests of the rules, on standalone actors.
#include <gtest/gtest.h>

#include <memory>

#include "gameplay_fixture.h"

namespace {

using BoundingBoxes::BoundingBox;

class ContactTest : public ::testing::Test {
protected:
    template <typename T = Sprite>
    std::unique_ptr<T> Actor(float x, float y) {
        return std::make_unique<T>(XMVectorSet(x, y, 0, 0), XMVectorSet(1, 1, 0, 0), 32, 32, 0.1f, frames, 0.25f,
                                   gpu.device, 5.0f);
    }

    // Resolves A = (100, 100, 12, 12) against b for an actor at (100, 100); returns the side and where it went.
    ContactSide Resolve(BoundingBox b, XMFLOAT2* moved) {
        auto actor = Actor(100, 100);
        const ContactSide side = game.ResolveBoxContact({100, 100, 12, 12}, b, actor.get());
        *moved = actor->GetPosition();
        return side;
    }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Sprite::Frame frame = {nullptr, 0, 0, 32, 32};
    std::vector<Sprite::Frame*> frames = {&frame};
    Game game;
};

TEST_F(ContactTest, EachSidePushesOutAlongTheSmallerOverlap) {
    XMFLOAT2 p;
    EXPECT_EQ(Resolve({96, 110, 20, 20}, &p), Bottom);
    EXPECT_FLOAT_EQ(p.y, 98.0f);
    EXPECT_FLOAT_EQ(p.x, 100.0f);
    EXPECT_EQ(Resolve({96, 90, 20, 20}, &p), Top);
    EXPECT_FLOAT_EQ(p.y, 110.0f);
    EXPECT_EQ(Resolve({110, 96, 20, 20}, &p), Left);
    EXPECT_FLOAT_EQ(p.x, 98.0f);
    EXPECT_FLOAT_EQ(p.y, 100.0f);
    EXPECT_EQ(Resolve({90, 96, 20, 20}, &p), Right);
    EXPECT_FLOAT_EQ(p.x, 110.0f);
}

TEST_F(ContactTest, TiesResolveVerticallyAndUpOrRight) {
    XMFLOAT2 p;
    EXPECT_EQ(Resolve({104, 104, 20, 20}, &p), Bottom);  // equal overlaps: vertical wins
    EXPECT_FLOAT_EQ(p.y, 92.0f);
    EXPECT_EQ(Resolve({96, 96, 20, 20}, &p), Top);  // same centre
    EXPECT_FLOAT_EQ(p.y, 116.0f);
    EXPECT_EQ(Resolve({96, 90, 20, 32}, &p), Right);  // same x centre, horizontal overlap smaller
    EXPECT_FLOAT_EQ(p.x, 116.0f);
}

TEST_F(ContactTest, TouchingOrApartIsNoneAndMovesNothing) {
    XMFLOAT2 p;
    EXPECT_EQ(Resolve({112, 100, 10, 10}, &p), None);
    EXPECT_EQ(Resolve({100, 112, 12, 12}, &p), None);
    EXPECT_EQ(Resolve({300, 300, 12, 12}, &p), None);
    EXPECT_EQ(Resolve({0, 0, 0, 0}, &p), None);
    EXPECT_FLOAT_EQ(p.x, 100.0f);
    EXPECT_FLOAT_EQ(p.y, 100.0f);
}

TEST_F(ContactTest, EnemyContactUsesItsTwentyByThirtyBox) {
    auto enemy = Actor<Enemy>(100, 100);
    game.ResolveEnemyContact(enemy.get(), {100, 129, 20, 10});  // 1 deep with height 30, 3 with the sprite's 32
    EXPECT_FLOAT_EQ(enemy->GetPosition().y, 99.0f);
    game.ResolveEnemyContact(enemy.get(), {117, 99, 20, 30});
    EXPECT_FLOAT_EQ(enemy->GetPosition().x, 97.0f);
    game.ResolveEnemyContact(enemy.get(), {80, 99, 20, 30});
    EXPECT_FLOAT_EQ(enemy->GetPosition().x, 100.0f);
    game.ResolveEnemyContact(enemy.get(), {100, 90, 20, 10});
    EXPECT_FLOAT_EQ(enemy->GetPosition().y, 100.0f);
    game.ResolveEnemyContact(enemy.get(), {121, 99, 20, 30});
    EXPECT_FLOAT_EQ(enemy->GetPosition().x, 100.0f);
}

TEST_F(ContactTest, PlayerTouchesEnemyWithinTwentyByThirtyTwo) {
    auto player = Actor<Player>(100, 100);
    auto enemy = Actor<Enemy>(119.5f, 100);
    EXPECT_TRUE(game.PlayerTouchesEnemy(player.get(), enemy.get()));
    Place(enemy.get(), 120, 100);
    EXPECT_FALSE(game.PlayerTouchesEnemy(player.get(), enemy.get()));
    Place(enemy.get(), 100, 131.5f);
    EXPECT_TRUE(game.PlayerTouchesEnemy(player.get(), enemy.get()));
    Place(enemy.get(), 100, 68);
    EXPECT_FALSE(game.PlayerTouchesEnemy(player.get(), enemy.get()));
}

TEST_F(ContactTest, ArrowHitsEnemyWithItsOwnHitBox) {
    auto enemy = Actor<Enemy>(100, 100);
    auto arrow = std::make_unique<Projectile>(XMVectorSet(119.5f, 100, 0, 0), XMVectorSet(1, 1, 0, 0),
                                              XMVectorSet(250, 0, 0, 0), 22, 9, 0.5f, frames, 0.25f, gpu.device, 0);
    EXPECT_TRUE(game.ArrowHitsEnemy(enemy.get(), arrow.get()));
    const XMFLOAT2 misses[] = {{120, 100}, {78, 100}, {100, 130}, {100, 91}};
    for (const XMFLOAT2& at : misses) {
        Place(arrow.get(), at.x, at.y);
        EXPECT_FALSE(game.ArrowHitsEnemy(enemy.get(), arrow.get())) << at.x << "," << at.y;
    }
    const XMFLOAT2 hits[] = {{78.5f, 100}, {100, 129.5f}, {100, 91.5f}};
    for (const XMFLOAT2& at : hits) {
        Place(arrow.get(), at.x, at.y);
        EXPECT_TRUE(game.ArrowHitsEnemy(enemy.get(), arrow.get())) << at.x << "," << at.y;
    }
    EXPECT_FLOAT_EQ(enemy->GetHealth(), 5.0f);
}

}  // namespace
