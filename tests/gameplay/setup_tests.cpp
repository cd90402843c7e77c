// Building a game and starting a second one.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "data_dir.h"
#include "gameplay_fixture.h"

namespace {

enum TextureIndex { kRedFuel = 14, kEOL = 15 };

TEST_F(GameTest, InitBuildsTheWholeLevel) {
    // Six enemies at full health, each somewhere else in the window and none on the player.
    ASSERT_EQ(game.GetEnemies().size(), 6u);
    std::set<std::pair<float, float>> starts;
    for (size_t i = 0; i < 6; ++i) {
        Enemy* enemy = game.GetEnemies()[i];
        const XMFLOAT2 at = enemy->GetPosition();
        starts.insert({at.x, at.y});
        EXPECT_TRUE(at.x > 0 && at.x < 1024 && at.y > 0 && at.y < 768) << "enemy " << i;
        EXPECT_FALSE(game.PlayerTouchesEnemy(player(), enemy)) << "enemy " << i;
        EXPECT_FLOAT_EQ(enemy->GetHealth(), 5.0f);
        EXPECT_FLOAT_EQ(game.GetEnemyRedHBs()[i]->GetScale().x, 0.0f);
    }
    EXPECT_EQ(starts.size(), 6u);
    EXPECT_EQ(game.GetEnemyGreenHBs().size(), 6u);
    EXPECT_EQ(game.GetEnemyRedHBs().size(), 6u);
    ASSERT_EQ(game.GetLevelBoxes().size(), 31u);
    const BoundingBoxes::BoundingBox ceiling = game.GetLevelBoxes().front();
    const BoundingBoxes::BoundingBox last = game.GetLevelBoxes().back();
    EXPECT_EQ(std::vector<float>({ceiling.x, ceiling.y, ceiling.width, ceiling.height}),
              std::vector<float>({0, 736, 1024, 32}));
    EXPECT_EQ(std::vector<float>({last.x, last.y, last.width, last.height}), std::vector<float>({771, 350, 40, 45}));
    const BoundingBoxes::BoundingBox box = game.GetPlayerBox();
    EXPECT_EQ(std::vector<float>({box.x, box.y, box.width, box.height}), std::vector<float>({512, 384, 12, 12}));
    const BoundingBoxes::BoundingBox eol = game.GetEOLBox();
    EXPECT_EQ(std::vector<float>({eol.x, eol.y, eol.width, eol.height}), std::vector<float>({0, 0, 0, 0}));
    EXPECT_FALSE(game.IsEOLActive());
    EXPECT_TRUE(game.GetArrows().empty());
    EXPECT_FLOAT_EQ(player()->GetHealth(), 3.0f);
    EXPECT_FALSE(player()->IsOnGround());
    EXPECT_EQ(game.GetFuel(), 5);
    EXPECT_TRUE(game.HasFuel());
    EXPECT_TRUE(game.CanFire());
    EXPECT_FLOAT_EQ(game.GetPlayerRedHB()->GetScale().x, 0.0f);
    EXPECT_FLOAT_EQ(game.GetRedFB()->GetScale().x, 0.0f);
    ASSERT_EQ(game.GetTextures().size(), 16u);
    for (ID3D11ShaderResourceView* texture : game.GetTextures()) EXPECT_NE(texture, nullptr);
}

// Games the test builds itself, from a fresh thrust timer.
class GameSetupTest : public ::testing::Test {
protected:
    void SetUp() override { gThrustTimer = 0.0f; }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Keyboard keys;
    RecordingSwitcher app;
};

TEST_F(GameSetupTest, MissingEndOfLevelTextureStillBuildsAndPlays) {
    const ScratchDataDir dir("Textures/EOLobj.png");
    Game game;
    EXPECT_TRUE(game.Init(gpu.device));
    EXPECT_EQ(game.GetTextures()[kEOL], nullptr);
    EXPECT_NE(game.GetTextures()[kRedFuel], nullptr);
    for (int i = 0; i < 3; ++i) game.Update(gpu.context, gpu.device, 1.0f / 60.0f, &app);
    EXPECT_EQ(game.GetEnemies().size(), 6u);
}

TEST_F(GameSetupTest, SecondGameStartsFreshButKeepsTheThrustTimer) {
    {
        Game first;
        ASSERT_TRUE(first.Init(gpu.device));
        keys.Hold({VK_LCONTROL, VK_SPACE});
        for (int i = 0; i < 120; ++i) first.Update(gpu.context, gpu.device, 1.0f / 30.0f, &app);
        first.GetEnemies()[0]->SetHealth(0.0f);
        first.GetPlayer()->SetHealth(1.0f);
        first.Update(gpu.context, gpu.device, 1.0f / 30.0f, &app);
        ASSERT_EQ(first.GetFuel(), 4);
    }
    const float carried = gThrustTimer;
    EXPECT_GT(carried, 0.9f);
    keys.ReleaseAll();
    Game second;
    ASSERT_TRUE(second.Init(gpu.device));
    EXPECT_EQ(second.GetFuel(), 5);
    EXPECT_FLOAT_EQ(second.GetFuelTimer(), 0.0f);
    EXPECT_FLOAT_EQ(second.GetPlayer()->GetHealth(), 3.0f);
    EXPECT_EQ(second.GetEnemies().size(), 6u);
    EXPECT_TRUE(second.GetArrows().empty());
    EXPECT_FLOAT_EQ(second.GetTotalTime(), 0.0f);
    EXPECT_FLOAT_EQ(gThrustTimer, carried);
}

}  // namespace
