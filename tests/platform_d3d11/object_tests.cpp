#include "d3d11_fixture.h"

namespace d3d11_test {
namespace {

using platform::d3d11::ComponentType;
using platform::d3d11::SignatureElement;

// A description with one change made to it.
template <class Desc, class Change>
Desc With(Desc desc, Change change) {
    change(desc);
    return desc;
}

TEST(InputSignature, RoundTripsAndRejectsTruncatedOrAbsurdBytes) {
    const std::vector<SignatureElement> elements = {{"POSITION", 0, 0, 3, ComponentType::Float},
                                                    {"TEXCOORD", 1, 2, 2, ComponentType::UInt}};
    const std::vector<uint8_t> bytes = platform::d3d11::EncodeInputSignature(elements);
    std::vector<SignatureElement> decoded;
    ASSERT_TRUE(platform::d3d11::DecodeInputSignature(bytes.data(), bytes.size(), &decoded));
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[1].semantic, "TEXCOORD");
    EXPECT_EQ(decoded[1].semanticIndex, 1u);
    EXPECT_EQ(decoded[1].location, 2u);
    EXPECT_EQ(decoded[1].components, 2u);
    EXPECT_EQ(decoded[1].componentType, ComponentType::UInt);

    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(platform::d3d11::DecodeInputSignature(bytes.data(), size, &decoded)) << size;
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(platform::d3d11::DecodeInputSignature(longer.data(), longer.size(), &decoded));
    std::vector<uint8_t> hugeCount = bytes;
    hugeCount[8] = 0xff;
    hugeCount[11] = 0x7f;
    EXPECT_FALSE(platform::d3d11::DecodeInputSignature(hugeCount.data(), hugeCount.size(), &decoded));
    std::vector<uint8_t> fiveComponents =
        platform::d3d11::EncodeInputSignature({{"POSITION", 0, 0, 5, ComponentType::Float}});
    EXPECT_FALSE(platform::d3d11::DecodeInputSignature(fiveComponents.data(), fiveComponents.size(), &decoded));
}

using ObjectTest = D3D11Test;

TEST_F(ObjectTest, InputLayoutsMatchSignaturesBySemantic) {
    const std::vector<uint8_t> signature =
        platform::d3d11::EncodeInputSignature({{"POSITION", 0, 0, 3, ComponentType::Float},
                                               {"NORMAL", 0, 1, 3, ComponentType::Float},
                                               {"TEXCOORD", 0, 2, 2, ComponentType::Float}});
    const D3D11_INPUT_ELEMENT_DESC full[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"normal", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    ID3D11InputLayout* layout = nullptr;
    EXPECT_EQ(device->CreateInputLayout(full, 3, signature.data(), signature.size(), &layout), S_OK);
    SafeRelease(layout);

    layout = reinterpret_cast<ID3D11InputLayout*>(1);
    EXPECT_EQ(device->CreateInputLayout(full, 2, signature.data(), signature.size(), &layout), E_INVALIDARG);
    EXPECT_EQ(layout, nullptr);
    D3D11_INPUT_ELEMENT_DESC wrongIndex[3] = {full[0], full[1], full[2]};
    wrongIndex[2].SemanticIndex = 1;
    EXPECT_EQ(device->CreateInputLayout(wrongIndex, 3, signature.data(), signature.size(), &layout), E_INVALIDARG);
    D3D11_INPUT_ELEMENT_DESC integerPosition[3] = {full[0], full[1], full[2]};
    integerPosition[0].Format = DXGI_FORMAT_R32G32B32_UINT;
    EXPECT_EQ(device->CreateInputLayout(integerPosition, 3, signature.data(), signature.size(), &layout), E_INVALIDARG);
    D3D11_INPUT_ELEMENT_DESC unsupported[3] = {full[0], full[1], full[2]};
    unsupported[0].Format = DXGI_FORMAT_BC1_UNORM;
    EXPECT_EQ(device->CreateInputLayout(unsupported, 3, signature.data(), signature.size(), &layout), E_INVALIDARG);
    const uint8_t corrupt[] = {'C', 'V', 'I', 'S', 1, 0, 0, 0, 3, 0, 0, 0, 0};
    EXPECT_EQ(device->CreateInputLayout(full, 3, corrupt, sizeof corrupt, &layout), E_INVALIDARG);
    EXPECT_EQ(layout, nullptr);
}

TEST_F(ObjectTest, StateDescriptionsAreValidatedAtCreation) {
    D3D11_BLEND_DESC blend = {};
    ID3D11BlendState* blendState = nullptr;
    EXPECT_EQ(device->CreateBlendState(&blend, &blendState), S_OK) << "disabled targets are not checked";
    SafeRelease(blendState);
    blend.RenderTarget[0] = AddedBlend(D3D11_BLEND(0), D3D11_BLEND_ZERO);
    EXPECT_EQ(device->CreateBlendState(&blend, &blendState), E_INVALIDARG);
    blend.RenderTarget[0].SrcBlend = D3D11_BLEND(D3D11_BLEND_INV_SRC1_ALPHA + 1);
    EXPECT_EQ(device->CreateBlendState(&blend, &blendState), E_INVALIDARG);
    blend.RenderTarget[0].SrcBlend = D3D11_BLEND_ONE;
    blend.RenderTarget[0].SrcBlendAlpha = D3D11_BLEND_SRC_COLOR;
    EXPECT_EQ(device->CreateBlendState(&blend, &blendState), E_INVALIDARG);
    blend.RenderTarget[0].SrcBlendAlpha = D3D11_BLEND_ONE;
    blend.RenderTarget[0].BlendOp = D3D11_BLEND_OP(6);
    EXPECT_EQ(device->CreateBlendState(&blend, &blendState), E_INVALIDARG);
    EXPECT_EQ(blendState, nullptr);

    D3D11_DEPTH_STENCIL_DESC depth = {TRUE, D3D11_DEPTH_WRITE_MASK_ALL, D3D11_COMPARISON_FUNC(0), FALSE, 0xff, 0xff, {},
                                      {}};
    ID3D11DepthStencilState* depthState = nullptr;
    EXPECT_EQ(device->CreateDepthStencilState(&depth, &depthState), E_INVALIDARG);
    depth.DepthFunc = D3D11_COMPARISON_LESS;
    depth.StencilEnable = TRUE;
    depth.FrontFace = {D3D11_STENCIL_OP_ZERO, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_REPLACE, D3D11_COMPARISON_ALWAYS};
    depth.BackFace = depth.FrontFace;
    EXPECT_EQ(device->CreateDepthStencilState(&depth, &depthState), S_OK);
    SafeRelease(depthState);
    depth.BackFace.StencilPassOp = D3D11_STENCIL_OP(9);
    EXPECT_EQ(device->CreateDepthStencilState(&depth, &depthState), E_INVALIDARG);

    const D3D11_RASTERIZER_DESC raster = {D3D11_FILL_SOLID, D3D11_CULL_NONE, TRUE, 0, 0, 0, TRUE, FALSE, TRUE, FALSE};
    ID3D11RasterizerState* rasterState = nullptr;
    EXPECT_EQ(device->CreateRasterizerState(&raster, &rasterState), S_OK);
    SafeRelease(rasterState);
    for (const D3D11_RASTERIZER_DESC& broken :
         {With(raster, [](auto& d) { d.FillMode = D3D11_FILL_MODE(1); }),
          With(raster, [](auto& d) { d.CullMode = D3D11_CULL_MODE(0); }), With(raster, [](auto& d) {
              d.CullMode = D3D11_CULL_BACK;
              d.DepthBiasClamp = 0.5f;
          })}) {
        EXPECT_EQ(device->CreateRasterizerState(&broken, &rasterState), E_INVALIDARG);
    }

    const D3D11_SAMPLER_DESC sampler = SamplerDesc(D3D11_FILTER_MIN_MAG_MIP_LINEAR, D3D11_TEXTURE_ADDRESS_WRAP);
    ID3D11SamplerState* samplerState = nullptr;
    EXPECT_EQ(device->CreateSamplerState(&sampler, &samplerState), S_OK);
    context->PSSetSamplers(0, 1, &samplerState);
    context->PSSetSamplers(0, 1, nullptr);
    SafeRelease(samplerState);
    for (const D3D11_SAMPLER_DESC& broken : {With(sampler, [](auto& d) { d.AddressU = D3D11_TEXTURE_ADDRESS_MODE(0); }),
                                             With(sampler, [](auto& d) { d.Filter = D3D11_FILTER(0x2); })}) {
        EXPECT_EQ(device->CreateSamplerState(&broken, &samplerState), E_INVALIDARG);
    }
}

TEST_F(ObjectTest, BuffersRefuseBadDescriptionsAndRoundTripData) {
    ID3D11Buffer* buffer = reinterpret_cast<ID3D11Buffer*>(1);
    D3D11_BUFFER_DESC desc = {0, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    EXPECT_EQ(buffer, nullptr);
    desc = {64, D3D11_USAGE_IMMUTABLE, D3D11_BIND_INDEX_BUFFER, 0, 0, 0};
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    desc = {64, D3D11_USAGE_DEFAULT, 0x10000, 0, 0, 0};
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    desc = {64, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG) << "dynamic needs CPU write access";

    desc = {16, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
    ID3D11Buffer* dynamic = nullptr;
    ASSERT_EQ(device->CreateBuffer(&desc, nullptr, &dynamic), S_OK);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    ASSERT_EQ(context->Map(dynamic, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
    const uint32_t written[4] = {1, 2, 3, 0xdeadbeef};
    std::memcpy(mapped.pData, written, sizeof written);
    context->Unmap(dynamic, 0);
    EXPECT_EQ(context->Map(dynamic, 0, D3D11_MAP_READ, 0, &mapped), E_INVALIDARG);

    desc = {16, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0, 0};
    ID3D11Buffer* staging = nullptr;
    ASSERT_EQ(device->CreateBuffer(&desc, nullptr, &staging), S_OK);
    context->CopyResource(staging, dynamic);
    ASSERT_EQ(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped), S_OK);
    EXPECT_EQ(std::memcmp(mapped.pData, written, sizeof written), 0);
    context->Unmap(staging, 0);
    staging->Release();
    dynamic->Release();
}

TEST(Blob, HoldsTheRequestedBytes) {
    ID3DBlob* blob = nullptr;
    ASSERT_EQ(D3DCreateBlob(100, &blob), S_OK);
    EXPECT_EQ(blob->GetBufferSize(), 100u);
    std::memset(blob->GetBufferPointer(), 0x5a, 100);
    ID3D10Blob* same = nullptr;
    EXPECT_EQ(blob->QueryInterface(__uuidof(ID3D10Blob), reinterpret_cast<void**>(&same)), S_OK);
    EXPECT_EQ(same->Release(), 1u);
    EXPECT_EQ(blob->Release(), 0u);
    EXPECT_EQ(D3DCreateBlob(1, nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace d3d11_test
