// What a device created with D3D11_CREATE_DEVICE_DEBUG says about the calls it rejects or ignores, and that a
// device without the flag says nothing about the same calls.
#include <platform_hooks.h>

#include <string>

#include "d3d11/context.h"
#include "d3d11_fixture.h"

namespace d3d11_test {
namespace {

// Runs each test on a null device with the flag and on one without it.
class DebugLayerTest : public D3D11Test, public ::testing::WithParamInterface<UINT> {
protected:
    DebugLayerTest() {
        driverType = D3D_DRIVER_TYPE_NULL;
        creationFlags = GetParam();
    }
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(D3D11Test::SetUp());
        platform::SetDebugOutputHook([this](const std::wstring& text) { output += text; });
    }
    void TearDown() override {
        platform::SetDebugOutputHook(nullptr);
        D3D11Test::TearDown();
    }

    bool Debugging() const { return GetParam() & D3D11_CREATE_DEVICE_DEBUG; }
    // What the calls since the last look printed; a device without the flag must print nothing.
    std::string Said() {
        const std::string text(output.begin(), output.end());
        output.clear();
        if (!Debugging()) {
            EXPECT_EQ(text, "") << "a device without the debug flag printed";
        }
        return text;
    }
    // On a debug device, that the calls since the last look printed `part` (among the rest).
    void ExpectSaid(const std::string& part) {
        const std::string text = Said();
        if (!Debugging()) return;
        EXPECT_PRED_FORMAT2(::testing::IsSubstring, part, text);
    }
    ID3D11Buffer* MakeBuffer(D3D11_USAGE usage, UINT bind, UINT cpuAccess) {
        const float data[4] = {};
        D3D11_BUFFER_DESC desc = {sizeof(data), usage, bind, cpuAccess, 0, 0};
        D3D11_SUBRESOURCE_DATA initial = {data, 0, 0};
        ID3D11Buffer* buffer = nullptr;
        EXPECT_EQ(device->CreateBuffer(&desc, &initial, &buffer), S_OK);
        return buffer;
    }
    uint64_t Draws() { return static_cast<platform::Context*>(context)->DrawCount(); }

    std::wstring output;
};

TEST_P(DebugLayerTest, DrawsWithNothingBoundSayWhatIsMissing) {
    context->DrawIndexed(3, 0, 0);
    const std::string said = Said();
    if (Debugging()) {
        EXPECT_EQ(said,
                  "D3D11 ERROR: ID3D11DeviceContext::DrawIndexed: An index buffer is required, but none is "
                  "bound; nothing was drawn. [ EXECUTION ERROR #357: DEVICE_DRAW_INDEX_BUFFER_NOT_SET ]\n");
    }
    context->Draw(3, 0);
    ExpectSaid("ID3D11DeviceContext::Draw: The primitive topology is undefined");
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->DrawInstanced(3, 2, 0, 0);
    ExpectSaid(
        "DrawInstanced: A vertex shader is always required when drawing, but none is bound; nothing was "
        "drawn. [ EXECUTION ERROR #341: DEVICE_DRAW_VERTEX_SHADER_NOT_SET ]");
    EXPECT_EQ(Draws(), 0u);
}

// Direct3D draws these, so the layer does too and only warns.
TEST_P(DebugLayerTest, DrawsWithoutVertexInputWarn) {
    UseColourProgram();
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->Draw(3, 0);
    ExpectSaid(
        "D3D11 WARNING: ID3D11DeviceContext::Draw: The input layout reads vertex buffer slot 0, but no buffer "
        "is bound there. [ EXECUTION WARNING #348: DEVICE_DRAW_VERTEX_BUFFER_NOT_SET ]");
    context->IASetInputLayout(nullptr);
    context->Draw(3, 0);
    ExpectSaid("[ EXECUTION WARNING #349: DEVICE_DRAW_INPUTLAYOUT_NOT_SET ]");
    EXPECT_EQ(Draws(), 2u);
    context->IASetInputLayout(layout);
    DrawTriangles({{0, 0, 0, 1, 1, 1, 1}, {1, 0, 0, 1, 1, 1, 1}, {0, 1, 0, 1, 1, 1, 1}});
    EXPECT_EQ(Said(), "");
}

TEST_P(DebugLayerTest, MapsOfResourcesThatCannotBeMappedSayWhy) {
    ID3D11Buffer* immutable = MakeBuffer(D3D11_USAGE_IMMUTABLE, D3D11_BIND_VERTEX_BUFFER, 0);
    ID3D11Buffer* gpuOnly = MakeBuffer(D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0);
    ID3D11Buffer* dynamic = MakeBuffer(D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    EXPECT_EQ(context->Map(immutable, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), E_INVALIDARG);
    ExpectSaid("D3D11 ERROR: ID3D11DeviceContext::Map: Only a D3D11_USAGE_DYNAMIC buffer maps ");
    EXPECT_EQ(context->Map(gpuOnly, 0, D3D11_MAP_READ, 0, &mapped), E_INVALIDARG);
    ExpectSaid("[ RESOURCE_MANIPULATION ERROR #2097210: RESOURCE_MAP_INVALIDMAPTYPE ]");
    EXPECT_EQ(context->Map(dynamic, 1, D3D11_MAP_WRITE_DISCARD, 0, &mapped), E_INVALIDARG);
    ExpectSaid("#2097211: RESOURCE_MAP_INVALIDSUBRESOURCE");
    ASSERT_EQ(context->Map(dynamic, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
    EXPECT_EQ(context->Map(dynamic, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), E_INVALIDARG);
    ExpectSaid("The buffer is already mapped. [ RESOURCE_MANIPULATION ERROR #2097213: RESOURCE_MAP_ALREADYMAPPED ]");
    context->Unmap(dynamic, 0);
    EXPECT_EQ(Said(), "");
    context->Unmap(dynamic, 0);
    ExpectSaid("ID3D11DeviceContext::Unmap: The subresource is not mapped; the call is ignored.");
    SafeRelease(immutable);
    SafeRelease(gpuOnly);
    SafeRelease(dynamic);
}

TEST_P(DebugLayerTest, IgnoredUpdatesCopiesAndSettingsSaySo) {
    ID3D11Buffer* immutable = MakeBuffer(D3D11_USAGE_IMMUTABLE, D3D11_BIND_VERTEX_BUFFER, 0);
    ID3D11Buffer* gpuOnly = MakeBuffer(D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0);
    const float data[4] = {1, 2, 3, 4};
    context->UpdateSubresource(immutable, 0, nullptr, data, 0, 0);
    ExpectSaid(
        "D3D11 ERROR: ID3D11DeviceContext::UpdateSubresource: Only subresource 0 of a D3D11_USAGE_DEFAULT "
        "buffer is updated. The call is ignored. [ RESOURCE_MANIPULATION ERROR #0: "
        "UPDATESUBRESOURCE_INVALIDARG ]");
    context->UpdateSubresource(gpuOnly, 0, nullptr, data, 0, 0);
    EXPECT_EQ(Said(), "");
    context->CopyResource(immutable, gpuOnly);
    ExpectSaid("CopyResource: The buffers differ in size or the destination is immutable; the call is ignored.");
    const D3D11_VIEWPORT viewports[17] = {};
    context->RSSetViewports(17, viewports);
    ExpectSaid(
        "RSSetViewports: More than 16 viewports, or none given for a count; the call is ignored. "
        "[ STATE_SETTING ERROR #0: DEVICE_RSSETVIEWPORTS_TOO_MANY_VIEWPORTS ]");
    SafeRelease(immutable);
    SafeRelease(gpuOnly);
}

TEST_P(DebugLayerTest, RefusedStatesNameTheField) {
    ID3D11RasterizerState* rasterizer = nullptr;
    D3D11_RASTERIZER_DESC raster = {D3D11_FILL_SOLID, D3D11_CULL_BACK, FALSE, 0, 1.0f, 0, TRUE, FALSE, FALSE, FALSE};
    EXPECT_EQ(device->CreateRasterizerState(&raster, &rasterizer), E_INVALIDARG);
    ExpectSaid(
        "D3D11 ERROR: ID3D11Device::CreateRasterizerState: DepthBiasClamp other than 0 is not supported by "
        "this layer. [ STATE_CREATION ERROR #0: CREATESTATE_INVALIDDESC ]");
    D3D11_BLEND_DESC blend = {};
    blend.RenderTarget[0] = AddedBlend(D3D11_BLEND_SRC_COLOR, D3D11_BLEND_ONE, D3D11_BLEND_SRC_COLOR, D3D11_BLEND_ONE);
    ID3D11BlendState* blendState = nullptr;
    EXPECT_EQ(device->CreateBlendState(&blend, &blendState), E_INVALIDARG);
    ExpectSaid("CreateBlendState: A blend factor or operation is invalid, or a colour factor stands in an alpha slot.");
    EXPECT_EQ(device->CreateSamplerState(nullptr, nullptr), E_INVALIDARG);
    ExpectSaid("CreateSamplerState: pDesc is null.");
    EXPECT_EQ(rasterizer, nullptr);
    EXPECT_EQ(blendState, nullptr);
}

// A view of a released resource cannot be told from a live one: views hold their resource, so a released pointer is
// only a dangling one. What the layer can tell is a resource that cannot be viewed.
TEST_P(DebugLayerTest, RefusedCreationsSayNothingWasCreated) {
    D3D11_BUFFER_DESC empty = {0, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    ID3D11Buffer* buffer = nullptr;
    EXPECT_EQ(device->CreateBuffer(&empty, nullptr, &buffer), E_INVALIDARG);
    ExpectSaid(
        "D3D11 ERROR: ID3D11Device::CreateBuffer: The arguments are invalid; nothing was created. "
        "[ STATE_CREATION ERROR #69: CREATEBUFFER_INVALIDARG_RETURN ]");
    ID3D11Texture2D* texture = nullptr;
    EXPECT_EQ(device->CreateTexture2D(nullptr, nullptr, &texture), E_INVALIDARG);
    ExpectSaid("#104: CREATETEXTURE2D_INVALIDARG_RETURN");
    ID3D11Buffer* vertices = MakeBuffer(D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0);
    ID3D11ShaderResourceView* view = nullptr;
    EXPECT_EQ(device->CreateShaderResourceView(vertices, nullptr, &view), E_NOTIMPL);
    ExpectSaid("CreateShaderResourceView: The arguments ask for what this layer does not support");
    EXPECT_EQ(device->CreateShaderResourceView(nullptr, nullptr, &view), E_INVALIDARG);
    ExpectSaid("#131: CREATESHADERRESOURCEVIEW_INVALIDARG_RETURN");
    EXPECT_EQ(view, nullptr);
    SafeRelease(vertices);
}

INSTANTIATE_TEST_SUITE_P(Flags, DebugLayerTest, ::testing::Values(UINT(D3D11_CREATE_DEVICE_DEBUG), UINT(0)),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return std::string(info.param ? "Debug" : "Plain");
                         });

}  // namespace
}  // namespace d3d11_test
