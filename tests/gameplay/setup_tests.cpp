// Building a game and starting a second one.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "gameplay_fixture.h"

namespace {

namespace fs = std::filesystem;

enum TextureIndex { kRedFuel = 14, kEOL = 15 };

TEST_F(GameTest, InitBuildsTheWholeLevel) {
    const XMFLOAT2 starts[] = {{800, 500}, {600, 700}, {800, 200}, {200, 500}, {200, 700}, {200, 200}};
    ASSERT_EQ(game.GetEnemies().size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(game.GetEnemies()[i]->GetPosition().x, starts[i].x);
        EXPECT_FLOAT_EQ(game.GetEnemies()[i]->GetPosition().y, starts[i].y);
        EXPECT_FLOAT_EQ(game.GetEnemies()[i]->GetHealth(), 5.0f);
        EXPECT_FLOAT_EQ(game.GetEnemyRedHBs()[i]->GetScale().x, 0.0f);
    }
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

// Runs a test body from a copy of the data directory that lacks one texture.
class MissingTextureDir {
public:
    explicit MissingTextureDir(const char* missing) : mHome(fs::current_path()) {
        mRoot = fs::temp_directory_path() / ("corvalo-data-" + std::to_string(getpid()));
        fs::create_directories(mRoot / "Textures");
        fs::create_directory_symlink(mHome / "FX", mRoot / "FX");
        for (const fs::directory_entry& entry : fs::directory_iterator(mHome / "Textures")) {
            if (entry.path().filename() == missing) continue;
            fs::create_symlink(entry.path(), mRoot / "Textures" / entry.path().filename());
        }
        fs::current_path(mRoot);
    }
    ~MissingTextureDir() {
        fs::current_path(mHome);
        fs::remove_all(mRoot);
    }

private:
    fs::path mHome;
    fs::path mRoot;
};

TEST(GameSetup, MissingEndOfLevelTextureStillBuildsAndPlays) {
    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Keyboard keys;
    RecordingSwitcher app;
    MissingTextureDir dir("EOLobj.png");
    Game game;
    EXPECT_TRUE(game.Init(gpu.device));
    EXPECT_EQ(game.GetTextures()[kEOL], nullptr);
    EXPECT_NE(game.GetTextures()[kRedFuel], nullptr);
    for (int i = 0; i < 3; ++i) game.Update(gpu.context, gpu.device, 1.0f / 60.0f, &app);
    EXPECT_EQ(game.GetEnemies().size(), 6u);
}

TEST(GameSetup, SecondGameStartsFreshButKeepsTheThrustTimer) {
    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    Keyboard keys;
    RecordingSwitcher app;
    gThrustTimer = 0.0f;
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
    gThrustTimer = 0.0f;
}

}  // namespace
