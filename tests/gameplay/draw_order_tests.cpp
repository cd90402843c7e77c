// The painter's order of Game::Draw, seen through the textures the platform's draw hook reports.
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
        D3D11_TEXTURE2D_DESC desc = {};
        desc.Width = 1024;
        desc.Height = 768;
        desc.MipLevels = 1;
        desc.ArraySize = 1;
        desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
        desc.SampleDesc.Count = 1;
        desc.BindFlags = D3D11_BIND_RENDER_TARGET;
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateTexture2D(&desc, nullptr, &target)));
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateRenderTargetView(target, nullptr, &targetView)));
        desc.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
        desc.BindFlags = D3D11_BIND_DEPTH_STENCIL;
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateTexture2D(&desc, nullptr, &depth)));
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateDepthStencilView(depth, nullptr, &depthView)));
        gpu.context->OMSetRenderTargets(1, &targetView, depthView);
        frameMatrix = XMMatrixOrthographicOffCenterLH(0, 1024, 0, 768, 0.0001f, 1000);
        platform::SetDrawHook([this](const platform::DrawRecord& record) { drawn.push_back(record.resource0); });
    }

    void TearDown() override {
        platform::SetDrawHook(nullptr);
        DestroyAllLayouts();
        for (IUnknown* object : std::initializer_list<IUnknown*>{depthView, depth, targetView, target}) {
            if (object) object->Release();
        }
    }

    // Draws one frame and returns the textures of its draws, as indices into the game's texture list.
    std::vector<int> DrawFrame() {
        drawn.clear();
        GameDrawArgs args = {};
        args.context = gpu.context;
        args.frameMatrix = &frameMatrix;
        args.renderTarget = targetView;
        args.depthStencilTarget = depthView;
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
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* targetView = nullptr;
    ID3D11Texture2D* depth = nullptr;
    ID3D11DepthStencilView* depthView = nullptr;
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
