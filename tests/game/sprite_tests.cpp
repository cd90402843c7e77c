// Sprite animation, motion and the gameplay members, on the null device's buffers.
#include <effect.h>
#include <platform_hooks.h>
#include <sprite.h>
#include <vertex.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "test_device.h"

namespace {

class SpriteTest : public ::testing::Test {
protected:
    std::unique_ptr<Sprite> Make(size_t frameCount) {
        std::vector<Sprite::Frame*> list;
        for (size_t i = 0; i < frameCount && i < 3; ++i) list.push_back(&frames[i]);
        return std::make_unique<Sprite>(XMVectorSet(100, 200, 0, 0), XMVectorSet(1, 1, 0, 0), 32, 32, 0.1f, list, 0.25f,
                                        gpu.device, 5.0f);
    }

    // The frame shown after each of the steps.
    static std::vector<USHORT> FramesAfter(Sprite& sprite, std::initializer_list<float> steps) {
        std::vector<USHORT> shown;
        for (float dt : steps) {
            sprite.Update(dt);
            shown.push_back(sprite.GetCurrentFrame());
        }
        return shown;
    }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Sprite::Frame frames[3] = {{nullptr, 0, 0, 96, 32}, {nullptr, 32, 0, 96, 32}, {nullptr, 64, 0, 96, 32}};
};

TEST_F(SpriteTest, OneShotShowsEachFrameOnceThenStopsOnTheLast) {
    auto sprite = Make(3);
    sprite->Play(false);
    // Reaching the frame time exactly does not advance.
    EXPECT_EQ(FramesAfter(*sprite, {0.25f, 0.01f, 0.25f, 0.25f}), (std::vector<USHORT>{0, 1, 2, 2}));
    EXPECT_FALSE(sprite->IsAnimating());
    EXPECT_NEAR(sprite->GetFrameTimer(), 0.01f, 1e-5f);

    sprite->Play(true);  // replay keeps the last frame for one more frame time, then wraps
    sprite->Update(0.25f);
    EXPECT_EQ(sprite->GetCurrentFrame(), 0);
}

TEST_F(SpriteTest, LongStepAdvancesOneFrameAndCatchesUpLater) {
    auto sprite = Make(3);
    sprite->Play(true);
    EXPECT_EQ(FramesAfter(*sprite, {1.0f, 0.001f, 0.001f, 0.001f, 0.001f}), (std::vector<USHORT>{1, 2, 0, 1, 1}));
}

TEST_F(SpriteTest, SingleFrameAnimationStaysOnFrameZero) {
    auto looping = Make(1);
    looping->Play(true);
    looping->Update(0.3f);
    EXPECT_EQ(looping->GetCurrentFrame(), 0);
    EXPECT_TRUE(looping->IsAnimating());
    auto once = Make(1);
    once->Play(false);
    once->Update(0.3f);
    EXPECT_EQ(once->GetCurrentFrame(), 0);
    EXPECT_FALSE(once->IsAnimating());
}

TEST_F(SpriteTest, VelocityMovesInXAndYOnlyEvenWhenNotAnimating) {
    auto sprite = Make(3);
    sprite->Accelerate(XMVectorSet(10, -20, 30, 0));
    sprite->Update(0.5f);
    EXPECT_FLOAT_EQ(sprite->GetPosition().x, 105.0f);
    EXPECT_FLOAT_EQ(sprite->GetPosition().y, 190.0f);
    EXPECT_FLOAT_EQ(sprite->GetVelocity().z, 30.0f);
    EXPECT_EQ(sprite->GetCurrentFrame(), 0);
    sprite->Land();
    EXPECT_TRUE(sprite->IsOnGround());
    EXPECT_FLOAT_EQ(sprite->GetVelocity().y, 0.0f);
    EXPECT_FLOAT_EQ(sprite->GetVelocity().x, 10.0f);
    sprite->LeaveGround();
    EXPECT_FALSE(sprite->IsOnGround());
}

TEST_F(SpriteTest, AttackTakesDamageWithoutAFloor) {
    auto attacker = Make(1);
    auto target = Make(1);
    target->SetHealth(0.5f);
    attacker->Attack(target.get());
    EXPECT_FLOAT_EQ(target->GetHealth(), -0.5f);
    EXPECT_FLOAT_EQ(attacker->GetCollisionWidth(), 20.0f);
    EXPECT_FLOAT_EQ(attacker->GetCollisionHeight(), 32.0f);
}

TEST_F(SpriteTest, WorldScalesRotatesThenPlaces) {
    auto sprite = Make(1);
    sprite->SetScale(XMVectorSet(-1, 1, 0, 0));
    const XMVECTOR corner = XMVector3TransformCoord(XMVectorSet(16, 16, 0, 1), sprite->GetWorld());
    EXPECT_FLOAT_EQ(XMVectorGetX(corner), 84.0f);
    EXPECT_FLOAT_EQ(XMVectorGetY(corner), 216.0f);
    EXPECT_FLOAT_EQ(XMVectorGetZ(corner), 0.1f);
}

// Counts the draws that reach the layer while it lives.
class DrawCounter {
public:
    DrawCounter() {
        platform::SetDrawHook([this](const platform::DrawRecord&) { ++draws; });
    }
    ~DrawCounter() { platform::SetDrawHook(nullptr); }
    int draws = 0;
};

TEST_F(SpriteTest, SpriteWithoutFramesBuildsNothingAndDrawsNothing) {
    LitTexEffect effect;
    effect.LoadFromFile(L"FX/lighting.fx", gpu.device);
    CreateNormalTexLayout(gpu.device, effect.GetTechnique());
    gpu.context->IASetInputLayout(mNormalTexVertLayout);
    gpu.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    auto empty = Make(0);
    empty->Play(true);
    empty->Update(1.0f);
    DrawCounter counter;
    empty->Draw(XMMatrixIdentity(), gpu.context, &effect);
    EXPECT_EQ(counter.draws, 0);
    EXPECT_EQ(empty->GetCurrentFrame(), 0);

    Make(1)->Draw(XMMatrixIdentity(), gpu.context, &effect);  // the same draw with a frame does reach it
    EXPECT_GT(counter.draws, 0);
    DestroyAllLayouts();
}

}  // namespace
