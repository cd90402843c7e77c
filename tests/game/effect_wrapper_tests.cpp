// The effect wrappers over the effects framework: failures reported and survived, warnings shown, every pass drawn,
// the per-frame values written with the sizes the effect declares, and the layouts released.
#include <effect.h>
#include <platform_hooks.h>
#include <platform_text.h>
#include <sprite.h>
#include <vertex.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "test_device.h"

namespace {

std::string EffectText(const std::string& pixelBody, int passes) {
    std::string text =
        "cbuffer cbPerObject { float4x4 gWVP; };\n"
        "cbuffer cbPerFrame { float3 gEyePos; float gSentinel; float4 gAmbientLight; };\n"
        "Texture2D gDiffuseMap;\n"
        "SamplerState samPoint { Filter = MIN_MAG_MIP_POINT; AddressU = WRAP; AddressV = WRAP; };\n"
        "struct VIn { float3 PosL : POSITION; float3 NormalL : NORMAL; float2 Tex : TEXCOORD; };\n"
        "struct VOut { float4 PosH : SV_POSITION; float2 Tex : TEXCOORD; };\n"
        "VOut VS(VIn vin) { VOut o; o.PosH = mul(float4(vin.PosL, 1.0f), gWVP); o.Tex = vin.Tex; return o; }\n"
        "float4 PS(VOut pin) : SV_Target {\n" +
        pixelBody +
        "\n}\n"
        "technique11 TestTech {\n";
    for (int p = 0; p < passes; ++p) {
        text += "  pass P" + std::to_string(p) +
                " { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS())); }\n";
    }
    return text + "}\n";
}

const char* kPlainBody = "return gDiffuseMap.Sample(samPoint, pin.Tex) * gAmbientLight + gSentinel * 0.0f;";

// A folder of effect files that lives as long as the test.
class EffectFolder {
public:
    EffectFolder() {
        char pattern[] = "/tmp/effect_wrapper_XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    ~EffectFolder() { std::filesystem::remove_all(folder_); }

    std::wstring Write(const std::string& name, const std::string& text) const {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path) << text;
        return platform::FromUtf8(path);
    }

private:
    std::string folder_;
};

// Gives tests the effect the wrapper made.
class ProbeEffect : public LitTexEffect {
public:
    ID3DX11Effect* Raw() const { return mEffect; }
};

class ProbeTerrainEffect : public TerrainEffect {
public:
    ID3DX11Effect* Raw() const { return mEffect; }
};

class BoxCapture {
public:
    BoxCapture() {
        platform::SetMessageBoxHook([this](const platform::MessageBoxRequest& box) {
            boxes.push_back(box);
            return IDNO;
        });
        platform::SetDebugOutputHook([this](const std::wstring& text) { trace += text; });
    }
    ~BoxCapture() {
        platform::SetMessageBoxHook(nullptr);
        platform::SetDebugOutputHook(nullptr);
    }
    std::vector<platform::MessageBoxRequest> boxes;
    std::wstring trace;
};

class EffectWrapperTest : public ::testing::Test {
protected:
    std::unique_ptr<Sprite> MakeSprite() {
        return std::make_unique<Sprite>(XMVectorSet(16, 16, 0, 0), XMVectorSet(1, 1, 0, 0), 32, 32, 0.1f,
                                        std::vector<Sprite::Frame*>{&frame}, 0.25f, gpu.device, 0.0f);
    }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    EffectFolder files;
    Sprite::Frame frame = {nullptr, 0, 0, 32, 32};
    PointLight point;
    SpotLight spot;
};

TEST_F(EffectWrapperTest, BrokenFileIsShownReportedAndSurvived) {
    BoxCapture capture;
    const std::wstring path = files.Write("broken.fx", EffectText("return float4(1, 1, 1, 1)", 1));
    LitTexEffect effect;
    effect.LoadFromFile(path, gpu.device);

    ASSERT_EQ(capture.boxes.size(), 2u);
    EXPECT_NE(capture.boxes[0].text.find(path + L"("), std::wstring::npos) << capture.boxes[0].text;
    EXPECT_NE(capture.boxes[0].text.find(L"error"), std::wstring::npos);
    EXPECT_NE(capture.boxes[1].text.find(L"Calling: D3DX11CompileFromFile\n"), std::wstring::npos);
    EXPECT_EQ(capture.boxes[1].caption, L"Unexpected error encountered");
    EXPECT_NE(capture.trace.find(L"D3DX11CompileFromFile hr=E_FAIL (0x80004005)"), std::wstring::npos);
    EXPECT_EQ(effect.GetTechnique(), nullptr);

    effect.SetPerFrame(XMVectorZero(), XMVectorZero(), &point, &spot);
    effect.SetDiffuseMap(nullptr);
    MakeSprite()->Draw(XMMatrixIdentity(), gpu.context, &effect);
}

TEST_F(EffectWrapperTest, WarningsAreShownAndTheEffectIsUsed) {
    BoxCapture capture;
    LitTexEffect effect;
    effect.LoadFromFile(files.Write("warn.fx", EffectText(std::string("[unknownattr] ") + kPlainBody, 1)), gpu.device);
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_NE(capture.boxes[0].text.find(L"warning"), std::wstring::npos);
    EXPECT_EQ(capture.boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_NE(effect.GetTechnique(), nullptr);
}

TEST_F(EffectWrapperTest, EveryPassOfTheTechniqueDraws) {
    LitTexEffect effect;
    effect.LoadFromFile(files.Write("two.fx", EffectText(kPlainBody, 2)), gpu.device);
    CreateNormalTexLayout(gpu.device, effect.GetTechnique());
    gpu.context->IASetInputLayout(mNormalTexVertLayout);
    gpu.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    std::vector<platform::DrawRecord> draws;
    platform::SetDrawHook([&draws](const platform::DrawRecord& record) { draws.push_back(record); });
    MakeSprite()->Draw(XMMatrixIdentity(), gpu.context, &effect);
    platform::SetDrawHook(nullptr);
    DestroyAllLayouts();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1].indexCount, 6u);
}

TEST_F(EffectWrapperTest, PerFrameWritesOnlyThreeFloatsOfTheEyePosition) {
    ProbeEffect effect;
    effect.LoadFromFile(files.Write("eye.fx", EffectText(kPlainBody, 1)), gpu.device);
    ASSERT_NE(effect.Raw(), nullptr);
    ID3DX11EffectVariable* sentinel = effect.Raw()->GetVariableByName("gSentinel");
    const float seven = 7.0f;
    ASSERT_EQ(sentinel->SetRawValue(&seven, 0, 4), S_OK);

    effect.SetPerFrame(XMVectorSet(0.5f, 0.5f, 0.5f, 1), XMVectorSet(1, 2, 3, 99), &point, &spot);

    float eye[3] = {};
    effect.Raw()->GetVariableByName("gEyePos")->GetRawValue(eye, 0, 12);
    EXPECT_EQ(eye[0], 1.0f);
    EXPECT_EQ(eye[2], 3.0f);
    float after = 0;
    sentinel->GetRawValue(&after, 0, 4);
    EXPECT_EQ(after, 7.0f);
    float ambient[4] = {};
    effect.Raw()->GetVariableByName("gAmbientLight")->GetRawValue(ambient, 0, 16);
    EXPECT_EQ(ambient[3], 1.0f);
}

TEST_F(EffectWrapperTest, DestroyingLayoutsReleasesOnlyThoseMade) {
    LitTexEffect effect;
    effect.LoadFromFile(L"FX/lighting.fx", gpu.device);
    CreateNormalTexLayout(gpu.device, effect.GetTechnique());
    ASSERT_NE(mNormalTexVertLayout, nullptr);
    EXPECT_EQ(mBasicVertLayout, nullptr);
    DestroyAllLayouts();
    EXPECT_EQ(mNormalTexVertLayout, nullptr);
    EXPECT_EQ(mTerrainVertLayout, nullptr);
    EXPECT_EQ(mParticleVertLayout, nullptr);
}

// The shader wants normals and texture coordinates, which neither layout has.
TEST_F(EffectWrapperTest, ALayoutTheShaderCannotTakeIsReportedAsItsOwnCall) {
    BoxCapture capture;
    LitTexEffect effect;
    effect.LoadFromFile(files.Write("layout.fx", EffectText(kPlainBody, 1)), gpu.device);
    CreateBasicLayout(gpu.device, effect.GetTechnique());
    CreateParticleLayout(gpu.device, effect.GetTechnique());
    EXPECT_EQ(mBasicVertLayout, nullptr);
    EXPECT_EQ(mParticleVertLayout, nullptr);
    ASSERT_EQ(capture.boxes.size(), 2u);
    EXPECT_NE(
        capture.boxes[0].text.find(L"Calling: device->CreateInputLayout(vertexDesc, 1, passDesc.pIAInputSignature, "
                                   L"passDesc.IAInputSignatureSize, &mBasicVertLayout)\n"),
        std::wstring::npos)
        << capture.boxes[0].text;
    EXPECT_NE(
        capture.boxes[1].text.find(L"Calling: device->CreateInputLayout(vertexDesc, 2 , passDesc.pIAInputSignature, "
                                   L"passDesc.IAInputSignatureSize, &mParticleVertLayout)\n"),
        std::wstring::npos)
        << capture.boxes[1].text;
    EXPECT_NE(capture.trace.find(L"vertex.cpp("), std::wstring::npos) << capture.trace;
}

TEST(EffectCopies, AreForbidden) {
    EXPECT_FALSE(std::is_copy_constructible<Effect>::value);
    EXPECT_FALSE(std::is_copy_assignable<Effect>::value);
    EXPECT_FALSE(std::is_copy_constructible<TerrainEffect>::value);
    EXPECT_FALSE(std::is_copy_assignable<TerrainEffect>::value);
}

TEST_F(EffectWrapperTest, ASecondLoadReplacesTheFirstEffectAndAFailedOneLeavesNone) {
    BoxCapture capture;
    const std::wstring good = files.Write("good.fx", EffectText(kPlainBody, 1));
    const std::wstring broken = files.Write("broken.fx", EffectText("return float4(1, 1, 1, 1)", 1));
    ProbeEffect lit;
    ProbeTerrainEffect terrain;
    lit.LoadFromFile(good, gpu.device);
    terrain.LoadFromFile(good, gpu.device);
    ID3DX11Effect* firstLit = lit.Raw();
    ID3DX11Effect* firstTerrain = terrain.Raw();
    ASSERT_NE(firstLit, nullptr);
    ASSERT_NE(firstTerrain, nullptr);
    firstLit->AddRef();
    firstTerrain->AddRef();

    lit.LoadFromFile(good, gpu.device);
    terrain.LoadFromFile(good, gpu.device);
    EXPECT_NE(lit.GetTechnique(), nullptr);
    EXPECT_EQ(firstLit->Release(), 0u);  // the wrappers hold the first effects no more
    EXPECT_EQ(firstTerrain->Release(), 0u);

    lit.LoadFromFile(broken, gpu.device);
    terrain.LoadFromFile(broken, gpu.device);
    EXPECT_EQ(lit.Raw(), nullptr);
    EXPECT_EQ(lit.GetTechnique(), nullptr);
    EXPECT_EQ(terrain.Raw(), nullptr);
    const XMMATRIX identity = XMMatrixIdentity();
    lit.SetWorldViewProj(identity);
    lit.SetDiffuseMap(nullptr);
    terrain.SetTerrainPerObject(identity, identity, identity, nullptr, nullptr, nullptr, nullptr, nullptr);
    MakeSprite()->Draw(identity, gpu.context, &lit);
}

TEST_F(EffectWrapperTest, ASecondLayoutCreationReleasesTheFirstLayout) {
    LitTexEffect effect;
    effect.LoadFromFile(files.Write("layout.fx", EffectText(kPlainBody, 1)), gpu.device);
    CreateNormalTexLayout(gpu.device, effect.GetTechnique());
    CreateTerrainLayout(gpu.device, effect.GetTechnique());
    ID3D11InputLayout* normalTex = mNormalTexVertLayout;
    ID3D11InputLayout* terrain = mTerrainVertLayout;
    ASSERT_NE(normalTex, nullptr);
    ASSERT_NE(terrain, nullptr);
    normalTex->AddRef();
    terrain->AddRef();

    CreateNormalTexLayout(gpu.device, effect.GetTechnique());
    CreateTerrainLayout(gpu.device, effect.GetTechnique());
    EXPECT_NE(mNormalTexVertLayout, nullptr);
    EXPECT_EQ(normalTex->Release(), 0u);
    EXPECT_EQ(terrain->Release(), 0u);
    DestroyAllLayouts();
}

}  // namespace
