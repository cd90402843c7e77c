// The painter's order of Game::Draw, seen through the textures the platform's draw hook reports.
#include <d3dutil.h>
#include <vertex.h>

#include <gtest/gtest.h>

#include "gameplay_fixture.h"

namespace {

enum TextureIndex {
    kArrow,
    kBackground,
    kControls,
    kFlame,
    kPlayer,
    kEnemy1,
    kGreenHealth = 11,
    kRedHealth,
    kGreenFuel,
    kRedFuel,
    kEOL
};

// The application's side of drawing: 1024 x 768 targets, its own effect's vertex layout and the frame record.
class DrawTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        appEffect.LoadFromFile(L"FX/lighting.fx", gpu.device);
        CreateNormalTexLayout(gpu.device, appEffect.GetTechnique());
        ASSERT_TRUE(screen.Create(gpu.device, 1024, 768, true));
        screen.Bind(gpu.context);
        frameMatrix = XMMatrixOrthographicOffCenterLH(0, 1024, 0, 768, 0.0001f, 1000);
        platform::SetDrawHook([this](const platform::DrawRecord& record) { drawn.push_back(record.resource0); });
    }

    void TearDown() override {
        platform::SetDrawHook(nullptr);
        DestroyAllLayouts();
    }

    // Draws one frame and returns the textures of its draws, as indices into the game's texture list.
    std::vector<int> DrawFrame() {
        drawn.clear();
        GameDrawArgs args = {};
        args.context = gpu.context;
        args.frameMatrix = &frameMatrix;
        args.renderTarget = screen.View();
        args.depthStencilTarget = screen.DepthView();
        args.ambientLight = XMFLOAT4(1, 1, 1, 1);
        game.Draw(args);
        std::vector<int> order;
        for (ID3D11ShaderResourceView* view : drawn) order.push_back(IndexOf(view));
        return order;
    }

    int IndexOf(ID3D11ShaderResourceView* view) const {
        const std::vector<ID3D11ShaderResourceView*>& textures = game.GetTextures();
        for (size_t i = 0; i < textures.size(); ++i) {
            if (textures[i] == view) return static_cast<int>(i);
        }
        return -1;
    }

    static std::vector<int> Hud() { return {kGreenHealth, kRedHealth, kGreenFuel, kRedFuel}; }

    static void Append(std::vector<int>* order, const std::vector<int>& more) {
        order->insert(order->end(), more.begin(), more.end());
    }

    LitTexEffect appEffect;
    OffscreenTarget screen;
    XMMATRIX frameMatrix;
    std::vector<ID3D11ShaderResourceView*> drawn;
};

TEST_F(DrawTest, PaintsInFixedOrderWithOptionalPartsOnlyWhenDue) {
    keys.Hold({VK_LCONTROL, VK_SPACE, VK_LEFT});
    Step();
    std::vector<int> expected = {kBackground, kPlayer, kFlame};
    Append(&expected, Hud());
    for (int e = 0; e < 6; ++e) Append(&expected, {kEnemy1 + e, kGreenHealth, kRedHealth});
    Append(&expected, {kArrow, kControls});
    EXPECT_EQ(DrawFrame(), expected);
    EXPECT_FALSE(game.IsFlameOn());
    EXPECT_FLOAT_EQ(player()->GetScale().x, -1.0f);

    keys.ReleaseAll();
    game.GetEnemies()[0]->SetHealth(0.0f);
    Step();
    expected = {kBackground, kPlayer};
    Append(&expected, Hud());
    for (int e = 1; e < 6; ++e) Append(&expected, {kEnemy1 + e, kGreenHealth, kRedHealth});
    Append(&expected, {kArrow, kControls});
    EXPECT_EQ(DrawFrame(), expected);

    KillAllEnemies();
    Step(1, 7.0f);  // past the controls' 7 s; the arrow flies out of range
    expected = {kBackground, kEOL, kPlayer};
    Append(&expected, Hud());
    EXPECT_EQ(DrawFrame(), expected);
}

}  // namespace
