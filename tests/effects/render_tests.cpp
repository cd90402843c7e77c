// Effects drawn on the real layer under the offscreen driver, checked by reading pixels back; the checks of the
// effect's objects and values alone run on the null device.
#include <gtest/gtest.h>
#include <GL/glcorearb.h>

#include <array>
#include <cstring>
#include <initializer_list>
#include <string>

#include "d3dutil.h"
#include "effect_test_util.h"
#include "platform_hooks.h"

namespace {

const UINT kSize = 8;
using Rgba = std::array<uint8_t, 4>;

struct Vertex {
    float pos[3];
    float normal[3];
    float tex[2];
};

template <D3D_DRIVER_TYPE Driver>
class EffectFixture : public ::testing::Test {
protected:
    void SetUp() override {
        D3D_FEATURE_LEVEL level;
        ASSERT_EQ(
            D3D11CreateDevice(nullptr, Driver, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device_, &level, &context_),
            S_OK);
        ASSERT_TRUE(target_.Create(device_, kSize, kSize, false));
        const D3D11_TEXTURE2D_DESC staging = {
            kSize, kSize, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0};
        ASSERT_EQ(device_->CreateTexture2D(&staging, nullptr, &staging_), S_OK);
        target_.Bind(context_);
        // Face culling is the layer's business, not the effect's: draw both windings.
        D3D11_RASTERIZER_DESC raster = {D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
        ASSERT_EQ(device_->CreateRasterizerState(&raster, &raster_), S_OK);
        context_->RSSetState(raster_);
        const float clear[4] = {0, 0, 0, 1};
        context_->ClearRenderTargetView(target_.View(), clear);
        texture_ = MakeTexture();
    }

    void TearDown() override {
        ReleaseAndClear(effect_);
        ReleaseAndClear(layout_);
        ReleaseAndClear(texture_);
        ReleaseAndClear(staging_);
        ReleaseAndClear(raster_);
        target_.Release();
        ReleaseAndClear(context_);
        ReleaseAndClear(device_);
    }

    // A 2 x 2 texture: red, green (top row); blue, white (bottom row).
    ID3D11ShaderResourceView* MakeTexture() {
        const uint8_t texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
        D3D11_TEXTURE2D_DESC desc = {
            2, 2, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_IMMUTABLE, D3D11_BIND_SHADER_RESOURCE, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {texels, 8, 0};
        ID3D11Texture2D* tex = nullptr;
        ID3D11ShaderResourceView* view = nullptr;
        EXPECT_EQ(device_->CreateTexture2D(&desc, &data, &tex), S_OK);
        if (tex) {
            EXPECT_EQ(device_->CreateShaderResourceView(tex, nullptr, &view), S_OK);
        }
        ReleaseAndClear(tex);
        return view;
    }

    void Load(const fxtest::Compiled& c) {
        ASSERT_EQ(c.hr, S_OK) << c.messages;
        ASSERT_EQ(D3DX11CreateEffectFromMemory(c.bytes.data(), c.bytes.size(), 0, device_, &effect_), S_OK);
    }

    void LoadQuadEffect() {
        Load(fxtest::CompileText("quad.fx", fxtest::kQuadEffect));
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const float white[4] = {1, 1, 1, 1};
        ASSERT_EQ(effect_->GetVariableByName("gXform")->AsMatrix()->SetMatrix(identity), S_OK);
        ASSERT_EQ(effect_->GetVariableByName("gTint")->AsVector()->SetFloatVector(white), S_OK);
        ASSERT_EQ(effect_->GetVariableByName("gTex")->AsShaderResource()->SetResource(texture_), S_OK);
    }

    // Binds a layout for the technique's pass 0 with the semantics the test shaders read.
    void BindLayout(ID3DX11EffectTechnique* tech, bool withNormal) {
        D3DX11_PASS_DESC pass;
        ASSERT_EQ(tech->GetPassByIndex(0)->GetDesc(&pass), S_OK);
        D3D11_INPUT_ELEMENT_DESC all[] = {
            {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 24, D3D11_INPUT_PER_VERTEX_DATA, 0},
        };
        D3D11_INPUT_ELEMENT_DESC noNormal[] = {all[0], all[2]};
        ReleaseAndClear(layout_);
        ASSERT_EQ(device_->CreateInputLayout(withNormal ? all : noNormal, withNormal ? 3 : 2, pass.pIAInputSignature,
                                             pass.IAInputSignatureSize, &layout_),
                  S_OK);
        context_->IASetInputLayout(layout_);
    }

    // Binds a layout for a technique whose vertex shader reads only POSITION.
    void BindPositionLayout(ID3DX11EffectTechnique* tech) {
        D3DX11_PASS_DESC pass;
        ASSERT_EQ(tech->GetPassByIndex(0)->GetDesc(&pass), S_OK);
        const D3D11_INPUT_ELEMENT_DESC pos = {
            "POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0};
        ReleaseAndClear(layout_);
        ASSERT_EQ(device_->CreateInputLayout(&pos, 1, pass.pIAInputSignature, pass.IAInputSignatureSize, &layout_),
                  S_OK);
        context_->IASetInputLayout(layout_);
    }

    void Viewport(float left, float top, float width, float height) {
        D3D11_VIEWPORT vp = {left, top, width, height, 0, 1};
        context_->RSSetViewports(1, &vp);
    }

    // Draws a full-target quad (texture coordinates 0..uvMax) once per pass of the technique.
    void DrawQuad(ID3DX11EffectTechnique* tech, float uvMax = 1.0f) {
        const Vertex v[4] = {{{-1, 1, 0}, {0, 0, -1}, {0, 0}},
                             {{1, 1, 0}, {0, 0, -1}, {uvMax, 0}},
                             {{-1, -1, 0}, {0, 0, -1}, {0, uvMax}},
                             {{1, -1, 0}, {0, 0, -1}, {uvMax, uvMax}}};
        const uint32_t idx[6] = {0, 1, 2, 2, 1, 3};
        ID3D11Buffer* vb = MakeBuffer(v, sizeof v, D3D11_BIND_VERTEX_BUFFER);
        ID3D11Buffer* ib = MakeBuffer(idx, sizeof idx, D3D11_BIND_INDEX_BUFFER);
        UINT stride = sizeof(Vertex), offset = 0;
        context_->IASetVertexBuffers(0, 1, &vb, &stride, &offset);
        context_->IASetIndexBuffer(ib, DXGI_FORMAT_R32_UINT, 0);
        context_->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        D3DX11_TECHNIQUE_DESC desc;
        ASSERT_EQ(tech->GetDesc(&desc), S_OK);
        for (UINT p = 0; p < desc.Passes; ++p) {
            ASSERT_EQ(tech->GetPassByIndex(p)->Apply(0, context_), S_OK);
            context_->DrawIndexed(6, 0, 0);
        }
        ReleaseAndClear(vb);
        ReleaseAndClear(ib);
    }

    ID3D11Buffer* MakeBuffer(const void* bytes, UINT size, UINT bind) {
        D3D11_BUFFER_DESC desc = {size, D3D11_USAGE_IMMUTABLE, bind, 0, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {bytes, 0, 0};
        ID3D11Buffer* buffer = nullptr;
        EXPECT_EQ(device_->CreateBuffer(&desc, &data, &buffer), S_OK);
        return buffer;
    }

    // Binds the layout for the technique's pass 0 and draws the quad with the technique.
    void DrawWith(const char* technique, float uvMax = 1.0f) {
        ID3DX11EffectTechnique* tech = effect_->GetTechniqueByName(technique);
        BindLayout(tech, true);
        DrawQuad(tech, uvMax);
    }

    struct Expected {
        UINT x, y;
        Rgba colour;
    };
    void ExpectPixels(std::initializer_list<Expected> expected) {
        for (const Expected& e : expected) EXPECT_EQ(Pixel(e.x, e.y), e.colour) << "at " << e.x << ", " << e.y;
    }

    Rgba Pixel(UINT x, UINT y) {
        context_->CopyResource(staging_, target_.Texture());
        D3D11_MAPPED_SUBRESOURCE m;
        Rgba out = {};
        EXPECT_EQ(context_->Map(staging_, 0, D3D11_MAP_READ, 0, &m), S_OK);
        std::memcpy(out.data(), static_cast<const uint8_t*>(m.pData) + y * m.RowPitch + x * 4, 4);
        context_->Unmap(staging_, 0);
        return out;
    }

    ID3D11Device* device_ = nullptr;
    ID3D11DeviceContext* context_ = nullptr;
    OffscreenTarget target_;
    ID3D11Texture2D* staging_ = nullptr;
    ID3D11ShaderResourceView* texture_ = nullptr;
    ID3D11InputLayout* layout_ = nullptr;
    ID3D11RasterizerState* raster_ = nullptr;
    ID3DX11Effect* effect_ = nullptr;
};

using EffectRender = EffectFixture<D3D_DRIVER_TYPE_HARDWARE>;
using EffectObjects = EffectFixture<D3D_DRIVER_TYPE_NULL>;

const Rgba kRed = {255, 0, 0, 255}, kGreen = {0, 255, 0, 255}, kBlue = {0, 0, 255, 255};
const Rgba kWhite = {255, 255, 255, 128}, kClear = {0, 0, 0, 255};

}  // namespace

TEST_F(EffectRender, PointSamplingPutsTexelsWhereExpected) {
    LoadQuadEffect();
    DrawWith("Clamp");
    ExpectPixels({{1, 1, kRed}, {6, 1, kGreen}, {1, 6, kBlue}, {6, 6, kWhite}});
}

TEST_F(EffectRender, WrapAddressingRepeatsAndClampDoesNot) {
    LoadQuadEffect();
    DrawWith("Wrap", 2.0f);
    // Columns 0-1 and 4-5 show texel column 0, columns 2-3 and 6-7 texel column 1.
    ExpectPixels({{1, 1, kRed}, {3, 1, kGreen}, {5, 1, kRed}, {5, 5, kRed}});
    DrawQuad(effect_->GetTechniqueByName("Clamp"), 2.0f);
    ExpectPixels({{5, 1, kGreen}, {5, 5, kWhite}});
}

TEST_F(EffectRender, SetMatrixTakesRowVectorMatrices) {
    LoadQuadEffect();
    // Halve, then move right and up by half the target: the quad fills the top-right quarter.
    const float m[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
    ID3DX11EffectMatrixVariable* xform = effect_->GetVariableByName("gXform")->AsMatrix();
    ASSERT_EQ(xform->SetMatrix(m), S_OK);
    float back[16];
    ASSERT_EQ(xform->GetMatrix(back), S_OK);
    EXPECT_EQ(std::memcmp(back, m, sizeof m), 0);
    DrawWith("Clamp");
    ExpectPixels({{4, 0, kRed}, {7, 3, kWhite}, {1, 1, kClear}, {6, 6, kClear}});
}

TEST_F(EffectRender, EveryPassOfATechniqueDraws) {
    LoadQuadEffect();
    const float quarter[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    ASSERT_EQ(effect_->GetVariableByName("gTint")->AsVector()->SetFloatVector(quarter), S_OK);
    D3D11_BLEND_DESC blend = {};
    for (D3D11_RENDER_TARGET_BLEND_DESC& t : blend.RenderTarget) {
        t = {TRUE,
             D3D11_BLEND_ONE,
             D3D11_BLEND_ONE,
             D3D11_BLEND_OP_ADD,
             D3D11_BLEND_ONE,
             D3D11_BLEND_ONE,
             D3D11_BLEND_OP_ADD,
             D3D11_COLOR_WRITE_ENABLE_ALL};
    }
    ID3D11BlendState* additive = nullptr;
    ASSERT_EQ(device_->CreateBlendState(&blend, &additive), S_OK);
    context_->OMSetBlendState(additive, nullptr, 0xFFFFFFFF);
    ID3DX11EffectTechnique* twice = effect_->GetTechniqueByName("Twice");
    D3DX11_TECHNIQUE_DESC desc;
    ASSERT_EQ(twice->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Passes, 2u);
    EXPECT_TRUE(twice->GetPassByName("Second")->IsValid());
    DrawWith("Twice");
    Rgba red = Pixel(1, 1);
    EXPECT_NEAR(red[0], 128, 2);  // 0.25 added by each of two passes
    EXPECT_EQ(red[1], 0);
    context_->OMSetBlendState(nullptr, nullptr, 0xFFFFFFFF);
    ReleaseAndClear(additive);
}

TEST_F(EffectRender, LightingEffectShowsTexelsUnderWhiteAmbientLight) {
    Load(fxtest::CompileFile("FX/lighting.fx"));
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float ambient[4] = {1, 1, 1, 1}, eye[4] = {0, 0, -0.5f, 0};
    // A bright point light right in front of the quad must not wash the colours out.
    const float point[12] = {1, 1, 1, 1, 0, 0, -0.1f, 10, 0, 1, 0, 0};
    const float spot[16] = {1, 1, 1, 1, 0, 0, -1, 10, 0, 0, 1, 1, 1, 0, 0, 0};
    ASSERT_EQ(effect_->GetVariableByName("gWVP")->AsMatrix()->SetMatrix(identity), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gW")->AsMatrix()->SetMatrix(identity), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gInvTransposeW")->AsMatrix()->SetMatrix(identity), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gEyePos")->AsVector()->SetRawValue(eye, 0, 12), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gPointLight")->SetRawValue(point, 0, 48), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gSpotLight")->SetRawValue(spot, 0, 64), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gAmbientLight")->AsVector()->SetRawValue(ambient, 0, 16), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gDiffuseMap")->AsShaderResource()->SetResource(texture_), S_OK);
    DrawWith("TestTech", 2.0f);
    ExpectPixels({{1, 1, kRed}, {3, 1, kGreen}, {3, 3, kWhite}, {5, 3, kBlue}, {5, 5, kRed}});
}

TEST_F(EffectObjects, MissingNamesGiveInvalidObjectsThatFail) {
    LoadQuadEffect();
    ID3DX11EffectVariable* missing = effect_->GetVariableByName("gNope");
    EXPECT_FALSE(missing->IsValid());
    const float m[16] = {};
    EXPECT_FALSE(missing->AsMatrix()->IsValid());
    EXPECT_EQ(missing->AsMatrix()->SetMatrix(m), E_FAIL);
    EXPECT_EQ(missing->SetRawValue(m, 0, 4), E_FAIL);
    EXPECT_EQ(missing->AsShaderResource()->SetResource(texture_), E_FAIL);
    // A wrong conversion is invalid too, and writes nothing.
    ID3DX11EffectVariable* tint = effect_->GetVariableByName("gTint");
    EXPECT_FALSE(tint->AsMatrix()->IsValid());
    EXPECT_EQ(tint->AsMatrix()->SetMatrix(m), E_FAIL);
    EXPECT_FALSE(effect_->GetVariableByName("gTex")->AsVector()->IsValid());
    EXPECT_FALSE(effect_->GetTechniqueByName("Nope")->IsValid());
    EXPECT_FALSE(effect_->GetTechniqueByName("Clamp")->GetPassByIndex(3)->IsValid());
    EXPECT_EQ(effect_->GetTechniqueByName("Nope")->GetPassByIndex(0)->Apply(0, context_), E_FAIL);
    D3DX11_TECHNIQUE_DESC desc;
    EXPECT_EQ(effect_->GetTechniqueByName("Nope")->GetDesc(&desc), E_FAIL);
}

TEST_F(EffectObjects, RawValuesAreBoundsChecked) {
    LoadQuadEffect();
    ID3DX11EffectVariable* tint = effect_->GetVariableByName("gTint");
    const float v[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(tint->SetRawValue(v, 0, 16), S_OK);
    EXPECT_EQ(tint->SetRawValue(v, 8, 8), S_OK);
    EXPECT_EQ(tint->SetRawValue(v, 4, 16), E_INVALIDARG);
    EXPECT_EQ(tint->SetRawValue(v, 0, 20), E_INVALIDARG);
    EXPECT_EQ(tint->SetRawValue(v, 0xFFFFFFF0u, 32), E_INVALIDARG);
    float back[4] = {};
    ASSERT_EQ(tint->GetRawValue(back, 0, 16), S_OK);
    const float expected[4] = {1, 2, 1, 2};
    EXPECT_EQ(std::memcmp(back, expected, sizeof back), 0);
    EXPECT_EQ(effect_->GetVariableByName("gTex")->SetRawValue(v, 0, 4), E_INVALIDARG);
}

TEST_F(EffectObjects, HostileBytesAreRejected) {
    ID3DX11Effect* effect = nullptr;
    const char garbage[] = "CVFXgarbage that is not an effect";
    EXPECT_EQ(D3DX11CreateEffectFromMemory(garbage, sizeof garbage, 0, device_, &effect), E_INVALIDARG);
    fxtest::Compiled c = fxtest::CompileFile("FX/lighting.fx");
    ASSERT_EQ(c.hr, S_OK);
    EXPECT_EQ(D3DX11CreateEffectFromMemory(c.bytes.data(), c.bytes.size() - 1, 0, device_, &effect), E_INVALIDARG);
    EXPECT_EQ(effect, nullptr);
}

// A state the device refuses fails the effect, and the debugger output names it, where headless runs capture it.
TEST_F(EffectObjects, RefusedSamplerStateFailsTheEffectAndIsReported) {
    const fxtest::Compiled c = fxtest::CompileText("refused.fx", R"(
Texture2D gTex;
SamplerState samBad { Filter = MIN_MAG_MIP_LINEAR; MinLOD = 2; MaxLOD = 1; };
float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1.0f); }
float4 PS(float4 p : SV_POSITION) : SV_Target { return gTex.Sample(samBad, p.xy); }
technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS())); } }
)");
    ASSERT_EQ(c.hr, S_OK) << c.messages;
    std::wstring said;
    platform::SetDebugOutputHook([&said](const std::wstring& text) { said += text; });
    ID3DX11Effect* effect = nullptr;
    const HRESULT hr = D3DX11CreateEffectFromMemory(c.bytes.data(), c.bytes.size(), 0, device_, &effect);
    platform::SetDebugOutputHook(nullptr);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(said, L"effect: sampler state 'samBad' is not valid\n");
}

TEST_F(EffectRender, UnusualPackingsStillReachTheShader) {
    // A float3 right after a float has no std140 form: the buffer travels as a plain uniform array.
    Load(fxtest::CompileText("flat.fx", R"(
cbuffer cbOdd { float gScale; float3 gColour; };
float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1.0f); }
float4 PS(float4 p : SV_POSITION) : SV_Target { return float4(gColour * gScale, 1.0f); }
technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS())); } }
)"));
    const float scale = 0.5f, colour[3] = {1, 0, 1};
    ASSERT_EQ(effect_->GetVariableByName("gScale")->AsScalar()->SetFloat(scale), S_OK);
    ASSERT_EQ(effect_->GetVariableByName("gColour")->SetRawValue(colour, 0, 12), S_OK);
    ID3DX11EffectTechnique* tech = effect_->GetTechniqueByIndex(0);
    BindPositionLayout(tech);
    DrawQuad(tech);
    Rgba p = Pixel(3, 3);
    EXPECT_NEAR(p[0], 128, 1);
    EXPECT_EQ(p[1], 0);
    EXPECT_NEAR(p[2], 128, 1);
}

// A buffer uploaded as a plain uniform array must reach each draw with the values it had then: also when another
// effect made from the same file (so running the same program) changed the array in between, and in another
// program that reads the same buffer.
TEST_F(EffectRender, UnusualPackingsChangeBetweenDrawsEffectsAndPrograms) {
    const fxtest::Compiled compiled = fxtest::CompileText("flat_twice.fx", R"(
cbuffer cbOdd { float gScale; float3 gColour; };
float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1.0f); }
float4 PS(float4 p : SV_POSITION) : SV_Target { return float4(gColour * gScale, 1.0f); }
float4 PSReversed(float4 p : SV_POSITION) : SV_Target { return float4(gColour.zyx * gScale, 1.0f); }
technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS())); } }
technique11 Reversed
{
    pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSReversed())); }
}
)");
    Load(compiled);
    ID3DX11Effect* other = nullptr;
    ASSERT_EQ(D3DX11CreateEffectFromMemory(compiled.bytes.data(), compiled.bytes.size(), 0, device_, &other), S_OK);
    const float red[3] = {1, 0, 0}, yellow[3] = {1, 1, 0}, blue[3] = {0, 0, 1};
    for (ID3DX11Effect* e : {effect_, other}) {
        ASSERT_EQ(e->GetVariableByName("gScale")->AsScalar()->SetFloat(1.0f), S_OK);
    }
    ID3DX11EffectVariable* colour = effect_->GetVariableByName("gColour");
    ID3DX11EffectTechnique* tech = effect_->GetTechniqueByName("T");
    BindPositionLayout(tech);

    ASSERT_EQ(colour->SetRawValue(red, 0, 12), S_OK);
    Viewport(0, 0, 2, 4);
    DrawQuad(tech);
    ASSERT_EQ(colour->SetRawValue(yellow, 0, 12), S_OK);
    Viewport(2, 0, 2, 4);
    DrawQuad(tech);
    ASSERT_EQ(other->GetVariableByName("gColour")->SetRawValue(blue, 0, 12), S_OK);
    Viewport(4, 0, 2, 4);
    DrawQuad(other->GetTechniqueByName("T"));
    Viewport(6, 0, 2, 4);
    DrawQuad(tech);
    Viewport(0, 4, 8, 4);
    DrawQuad(effect_->GetTechniqueByName("Reversed"));

    EXPECT_EQ(Pixel(1, 1), kRed);
    EXPECT_EQ(Pixel(3, 1), (Rgba{255, 255, 0, 255}));
    EXPECT_EQ(Pixel(5, 1), kBlue);
    EXPECT_EQ(Pixel(7, 1), (Rgba{255, 255, 0, 255})) << "the first effect's values again after the second's";
    EXPECT_EQ(Pixel(4, 6), (Rgba{0, 255, 255, 255})) << "the same values in another program";
    ReleaseAndClear(other);
}

// What the sampler state in the file says reaches the GL sampler a draw uses: anisotropy only for ANISOTROPIC,
// though the framework's default MaxAnisotropy is 16.
TEST_F(EffectRender, SamplerStatesFromTheFileReachTheDraw) {
    Load(fxtest::CompileText("aniso.fx", R"(
Texture2D gTex;
SamplerState samAniso { Filter = ANISOTROPIC; MaxAnisotropy = 4; AddressU = WRAP; AddressV = WRAP; };
SamplerState samLinear { Filter = MIN_MAG_MIP_LINEAR; };
float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1.0f); }
float4 PSAniso(float4 p : SV_POSITION) : SV_Target { return gTex.Sample(samAniso, p.xy / 8.0f); }
float4 PSLinear(float4 p : SV_POSITION) : SV_Target { return gTex.Sample(samLinear, p.xy / 8.0f); }
technique11 Aniso
{
    pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSAniso())); }
}
technique11 Linear
{
    pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSLinear())); }
}
)"));
    ASSERT_EQ(effect_->GetVariableByName("gTex")->AsShaderResource()->SetResource(texture_), S_OK);
    const struct {
        const char* technique;
        GLfloat anisotropy;
        GLint wrap;
    } cases[] = {{"Aniso", 4, GL_REPEAT}, {"Linear", 1, GL_CLAMP_TO_EDGE}};
    for (const auto& c : cases) {
        ID3DX11EffectTechnique* tech = effect_->GetTechniqueByName(c.technique);
        BindPositionLayout(tech);
        DrawQuad(tech);
        GLint sampler = 0, wrap = 0;
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
        ASSERT_NE(sampler, 0) << c.technique;
        GLfloat anisotropy = 0;
        glGetSamplerParameterfv(GLuint(sampler), GL_TEXTURE_MAX_ANISOTROPY, &anisotropy);
        glGetSamplerParameteriv(GLuint(sampler), GL_TEXTURE_WRAP_S, &wrap);
        EXPECT_EQ(anisotropy, c.anisotropy) << c.technique;
        EXPECT_EQ(wrap, c.wrap) << c.technique;
    }
}
