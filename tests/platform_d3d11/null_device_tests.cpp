// Direct3D's null driver: no display, no GL, the hardware device's validation, and every call still recorded.
#include <platform_hooks.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "d3d11/context.h"
#include "d3d11_fixture.h"

namespace d3d11_test {
namespace {

// Sets an environment variable for one scope; SDL reads the video driver at each start of its video subsystem.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value) {
        if (value) {
            setenv(name_, value, 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

HRESULT CreateDevice(D3D_DRIVER_TYPE driverType, ID3D11Device** device, D3D_FEATURE_LEVEL* level,
                     ID3D11DeviceContext** context) {
    return D3D11CreateDevice(nullptr, driverType, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, device, level, context);
}

TEST(NullDeviceCreation, NeedsNoDisplayNoWindowAndNoGlContext) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) GTEST_SKIP() << "needs a process whose video has not started (CTest gives it one)";
    // The dummy video driver has no GL, so the hardware device cannot start here.
    ScopedEnv dummy("SDL_VIDEODRIVER", "dummy");
    ScopedEnv noDisplay("DISPLAY", nullptr);
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL(0);
    ASSERT_EQ(CreateDevice(D3D_DRIVER_TYPE_NULL, &device, &level, &context), S_OK);
    EXPECT_EQ(level, D3D_FEATURE_LEVEL_11_0);
    EXPECT_EQ(device->GetFeatureLevel(), D3D_FEATURE_LEVEL_11_0);
    const D3D11_TEXTURE2D_DESC desc = {
        16, 16, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET, 0, 0};
    ID3D11Texture2D* texture = nullptr;
    ID3D11RenderTargetView* view = nullptr;
    ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &texture), S_OK);
    ASSERT_EQ(device->CreateRenderTargetView(texture, nullptr, &view), S_OK);
    const FLOAT black[4] = {0, 0, 0, 1};
    context->OMSetRenderTargets(1, &view, nullptr);
    context->ClearRenderTargetView(view, black);
    context->Flush();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    SafeRelease(view);
    SafeRelease(texture);
    SafeRelease(context);
    SafeRelease(device);

    EXPECT_EQ(CreateDevice(D3D_DRIVER_TYPE_HARDWARE, &device, &level, nullptr), E_FAIL);
    EXPECT_EQ(device, nullptr);
}

// ---- validation: the same description gets the same answer from both devices ----

D3D11_TEXTURE2D_DESC Texture(DXGI_FORMAT format, UINT bindFlags, UINT samples = 1) {
    return {16, 16, 1, 1, format, {samples, 0}, D3D11_USAGE_DEFAULT, bindFlags, 0, 0};
}

// Creates a texture, gives it to `use` and releases it; the texture's own failure if it has one.
HRESULT WithTexture(ID3D11Device* device, const D3D11_TEXTURE2D_DESC& desc,
                    const std::function<HRESULT(ID3D11Texture2D*)>& use) {
    ID3D11Texture2D* texture = nullptr;
    if (HRESULT hr = device->CreateTexture2D(&desc, nullptr, &texture); FAILED(hr)) return hr;
    const HRESULT hr = use(texture);
    texture->Release();
    return hr;
}

// A 2-D view, of the format and mip given, of an RGBA8 render target.
HRESULT RenderTargetView(ID3D11Device* device, DXGI_FORMAT format, UINT mip) {
    return WithTexture(device, Texture(DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_RENDER_TARGET),
                       [=](ID3D11Texture2D* texture) {
                           D3D11_RENDER_TARGET_VIEW_DESC view = {};
                           view.Format = format;
                           view.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
                           view.Texture2D.MipSlice = mip;
                           return device->CreateRenderTargetView(texture, &view, nullptr);
                       });
}

std::vector<uint8_t> VertexCode() {
    return platform::d3d11::EncodeShader({platform::d3d11::ShaderStage::Vertex,
                                          "#version 450\nlayout(location=0) in vec3 p;\n"
                                          "void main() { gl_Position = vec4(p, 1); }\n",
                                          {}});
}

HRESULT Layout(ID3D11Device* device, UINT location, const char* semantic) {
    const std::vector<uint8_t> signature =
        platform::d3d11::EncodeInputSignature({{"POSITION", 0, location, 3, platform::d3d11::ComponentType::Float}});
    const D3D11_INPUT_ELEMENT_DESC element = {
        semantic, 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0};
    return device->CreateInputLayout(&element, 1, signature.data(), signature.size(), nullptr);
}

struct Case {
    const char* what;
    HRESULT expected;  // S_FALSE: valid (nothing is asked back, so nothing is made)
    std::function<HRESULT(ID3D11Device*)> create;
};

std::vector<Case> BufferCases() {
    return {
        {"buffer of no bytes", E_INVALIDARG,
         [](ID3D11Device* d) {
             const D3D11_BUFFER_DESC desc = {0, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
             return d->CreateBuffer(&desc, nullptr, nullptr);
         }},
        {"constant buffer of 20 bytes", E_INVALIDARG,
         [](ID3D11Device* d) {
             const D3D11_BUFFER_DESC desc = {
                 20, D3D11_USAGE_DYNAMIC, D3D11_BIND_CONSTANT_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
             return d->CreateBuffer(&desc, nullptr, nullptr);
         }},
        {"dynamic vertex buffer", S_FALSE,
         [](ID3D11Device* d) {
             const D3D11_BUFFER_DESC desc = {
                 16, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
             return d->CreateBuffer(&desc, nullptr, nullptr);
         }},
    };
}

std::vector<Case> TextureCases() {
    return {
        {"depth texture read by shaders", E_INVALIDARG,
         [](ID3D11Device* d) {
             const auto desc =
                 Texture(DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL | D3D11_BIND_SHADER_RESOURCE);
             return d->CreateTexture2D(&desc, nullptr, nullptr);
         }},
        {"more mip levels than the chain has", E_INVALIDARG,
         [](ID3D11Device* d) {
             auto desc = Texture(DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_SHADER_RESOURCE);
             desc.MipLevels = 6;
             return d->CreateTexture2D(&desc, nullptr, nullptr);
         }},
        {"4x multisampled target of quality 1", E_INVALIDARG,
         [](ID3D11Device* d) {
             auto desc = Texture(DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_RENDER_TARGET, 4);
             desc.SampleDesc.Quality = 1;
             return d->CreateTexture2D(&desc, nullptr, nullptr);
         }},
        {"1-D texture wider than the limit", E_INVALIDARG,
         [](ID3D11Device* d) {
             const D3D11_TEXTURE1D_DESC desc = {
                 D3D11_REQ_TEXTURE1D_U_DIMENSION + 1, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_USAGE_DEFAULT,
                 D3D11_BIND_SHADER_RESOURCE,          0, 0};
             return d->CreateTexture1D(&desc, nullptr, nullptr);
         }},
    };
}

std::vector<Case> ViewCases() {
    return {
        {"shader-resource view of a texture not bound for it", E_INVALIDARG,
         [](ID3D11Device* d) {
             return WithTexture(d, Texture(DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_RENDER_TARGET),
                                [d](ID3D11Texture2D* t) { return d->CreateShaderResourceView(t, nullptr, nullptr); });
         }},
        {"shader-resource view of a buffer", E_NOTIMPL,
         [](ID3D11Device* d) {
             const D3D11_BUFFER_DESC desc = {16, D3D11_USAGE_DEFAULT, D3D11_BIND_SHADER_RESOURCE, 0, 0, 0};
             ID3D11Buffer* buffer = nullptr;
             if (HRESULT hr = d->CreateBuffer(&desc, nullptr, &buffer); FAILED(hr)) return hr;
             const HRESULT hr = d->CreateShaderResourceView(buffer, nullptr, nullptr);
             buffer->Release();
             return hr;
         }},
        {"render-target view of a missing mip", E_INVALIDARG,
         [](ID3D11Device* d) { return RenderTargetView(d, DXGI_FORMAT_R8G8B8A8_UNORM, 1); }},
        {"sRGB render-target view of an RGBA8 texture", E_NOTIMPL,
         [](ID3D11Device* d) { return RenderTargetView(d, DXGI_FORMAT_R8G8B8A8_UNORM_SRGB, 0); }},
        {"view of a multisampled depth texture", S_FALSE,
         [](ID3D11Device* d) {
             return WithTexture(d, Texture(DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL, 4),
                                [d](ID3D11Texture2D* t) { return d->CreateDepthStencilView(t, nullptr, nullptr); });
         }},
        {"read-only depth view", E_NOTIMPL,
         [](ID3D11Device* d) {
             return WithTexture(d, Texture(DXGI_FORMAT_D32_FLOAT, D3D11_BIND_DEPTH_STENCIL), [d](ID3D11Texture2D* t) {
                 D3D11_DEPTH_STENCIL_VIEW_DESC view = {};
                 view.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
                 view.Flags = D3D11_DSV_READ_ONLY_DEPTH;
                 return d->CreateDepthStencilView(t, &view, nullptr);
             });
         }},
    };
}

std::vector<Case> ShaderCases() {
    return {
        {"vertex shader from pixel-shader code", E_INVALIDARG,
         [](ID3D11Device* d) {
             const std::vector<uint8_t> code = platform::d3d11::EncodeShader(
                 {platform::d3d11::ShaderStage::Pixel, "#version 450\nvoid main() {}\n", {}});
             return d->CreateVertexShader(code.data(), code.size(), nullptr, nullptr);
         }},
        {"vertex shader", S_FALSE,
         [](ID3D11Device* d) {
             const std::vector<uint8_t> code = VertexCode();
             return d->CreateVertexShader(code.data(), code.size(), nullptr, nullptr);
         }},
        {"input layout without the signature's semantic", E_INVALIDARG,
         [](ID3D11Device* d) { return Layout(d, 0, "NORMAL"); }},
        {"input at the last GL attribute", S_FALSE, [](ID3D11Device* d) { return Layout(d, 15, "POSITION"); }},
        {"input past the GL attributes", E_INVALIDARG, [](ID3D11Device* d) { return Layout(d, 16, "POSITION"); }},
    };
}

std::vector<Case> StateCases() {
    return {
        {"blend with a colour factor for alpha", E_INVALIDARG,
         [](ID3D11Device* d) {
             D3D11_BLEND_DESC desc = {};
             desc.RenderTarget[0] = AddedBlend(D3D11_BLEND_ONE, D3D11_BLEND_ZERO, D3D11_BLEND_SRC_COLOR);
             return d->CreateBlendState(&desc, nullptr);
         }},
        {"depth test without a comparison", E_INVALIDARG,
         [](ID3D11Device* d) {
             D3D11_DEPTH_STENCIL_DESC desc = {};
             desc.DepthEnable = TRUE;
             return d->CreateDepthStencilState(&desc, nullptr);
         }},
        {"rasterizer without a fill mode", E_INVALIDARG,
         [](ID3D11Device* d) {
             const D3D11_RASTERIZER_DESC desc = {
                 D3D11_FILL_MODE(0), D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
             return d->CreateRasterizerState(&desc, nullptr);
         }},
        {"sampler with an unknown address mode", E_INVALIDARG,
         [](ID3D11Device* d) {
             D3D11_SAMPLER_DESC desc = {};
             desc.Filter = D3D11_FILTER_MIN_MAG_MIP_POINT;
             desc.AddressU = desc.AddressV = desc.AddressW = D3D11_TEXTURE_ADDRESS_MODE(0);
             return d->CreateSamplerState(&desc, nullptr);
         }},
    };
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = [] {
        std::vector<Case> all;
        for (const std::vector<Case>& kind : {BufferCases(), TextureCases(), ViewCases(), ShaderCases(), StateCases()})
            all.insert(all.end(), kind.begin(), kind.end());
        return all;
    }();
    return cases;
}

TEST(NullDeviceValidation, EveryCreateAnswersAsTheHardwareDeviceDoes) {
    for (D3D_DRIVER_TYPE driverType : {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_NULL}) {
        ID3D11Device* device = nullptr;
        ASSERT_EQ(CreateDevice(driverType, &device, nullptr, nullptr), S_OK);
        for (const Case& c : Cases()) {
            EXPECT_EQ(c.create(device), c.expected)
                << c.what << (driverType == D3D_DRIVER_TYPE_NULL ? " (null device)" : " (hardware device)");
        }
        device->Release();
    }
}

// ---- what both devices record alike ----

class BothDevices : public D3D11Test, public ::testing::WithParamInterface<D3D_DRIVER_TYPE> {
protected:
    BothDevices() { driverType = GetParam(); }

    uint64_t Draws() const { return static_cast<platform::Context*>(context)->DrawCount(); }

    ID3D11Buffer* MakeBuffer(const D3D11_BUFFER_DESC& desc, const void* bytes) {
        const D3D11_SUBRESOURCE_DATA data = {bytes, 0, 0};
        ID3D11Buffer* buffer = nullptr;
        EXPECT_EQ(device->CreateBuffer(&desc, bytes ? &data : nullptr, &buffer), S_OK);
        return buffer;
    }

    ID3D11Texture2D* MakeStaging(UINT access, const uint32_t* texels) {
        D3D11_TEXTURE2D_DESC desc = Texture(DXGI_FORMAT_R8G8B8A8_UNORM, 0);
        desc.Width = desc.Height = 2;
        desc.Usage = D3D11_USAGE_STAGING;
        desc.CPUAccessFlags = access;
        const D3D11_SUBRESOURCE_DATA data = {texels, 8, 0};
        ID3D11Texture2D* texture = nullptr;
        EXPECT_EQ(device->CreateTexture2D(&desc, texels ? &data : nullptr, &texture), S_OK);
        return texture;
    }

    std::vector<uint32_t> Read(ID3D11Resource* resource, UINT count) {
        D3D11_MAPPED_SUBRESOURCE mapped = {};
        EXPECT_EQ(context->Map(resource, 0, D3D11_MAP_READ, 0, &mapped), S_OK);
        if (!mapped.pData) return {};
        const auto* data = static_cast<const uint32_t*>(mapped.pData);
        std::vector<uint32_t> words(data, data + count);
        context->Unmap(resource, 0);
        return words;
    }
};

INSTANTIATE_TEST_SUITE_P(Drivers, BothDevices, ::testing::Values(D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_NULL),
                         [](const ::testing::TestParamInfo<D3D_DRIVER_TYPE>& info) {
                             return info.param == D3D_DRIVER_TYPE_NULL ? "Null" : "Hardware";
                         });

TEST_P(BothDevices, DrawsReachTheHookAndOnlyValidOnesAreCounted) {
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* targetView = nullptr;
    MakeTarget(8, 8, &target, &targetView);
    const D3D11_TEXTURE2D_DESC desc = Texture(DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_SHADER_RESOURCE);
    ID3D11Texture2D* image = nullptr;
    ID3D11ShaderResourceView* texture = nullptr;
    ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &image), S_OK);
    ASSERT_EQ(device->CreateShaderResourceView(image, nullptr, &texture), S_OK);
    context->PSSetShaderResources(0, 1, &texture);
    std::vector<platform::DrawRecord> hooked;
    platform::SetDrawHook([&hooked](const platform::DrawRecord& record) { hooked.push_back(record); });

    context->Draw(3, 0);  // no shaders yet
    UseColourProgram();
    DrawTriangles({{-1, -1, 0, 1, 0, 0, 1}, {1, -1, 0, 1, 0, 0, 1}, {0, 1, 0, 1, 0, 0, 1}});
    const uint32_t indices[] = {0, 1, 2, 2, 1, 0};
    ID3D11Buffer* indexBuffer =
        MakeBuffer({sizeof indices, D3D11_USAGE_IMMUTABLE, D3D11_BIND_INDEX_BUFFER, 0, 0, 0}, indices);
    context->DrawIndexed(6, 0, 0);  // no index buffer: dropped before the hook
    context->IASetIndexBuffer(indexBuffer, DXGI_FORMAT_R32_UINT, 0);
    context->DrawIndexedInstanced(3, 2, 3, 0, 0);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED);
    context->DrawIndexed(3, 0, 0);
    platform::SetDrawHook(nullptr);

    EXPECT_EQ(Draws(), 2u);
    ASSERT_EQ(hooked.size(), 4u);
    EXPECT_EQ(hooked[1].indexCount, 3u);
    EXPECT_EQ(hooked[2].startIndex, 3u);
    for (const platform::DrawRecord& record : hooked) EXPECT_EQ(record.resource0, texture);
    context->ClearState();
    SafeRelease(indexBuffer);
    SafeRelease(texture);
    SafeRelease(image);
    SafeRelease(targetView);
    SafeRelease(target);
}

TEST_P(BothDevices, StagingTexturesCopyAndMap) {
    const uint32_t texels[4] = {0x11223344, 0x55667788, 0x99aabbcc, 0xddeeff00};
    ID3D11Texture2D* source = MakeStaging(D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE, texels);
    ID3D11Texture2D* copy = MakeStaging(D3D11_CPU_ACCESS_READ, nullptr);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    ASSERT_EQ(context->Map(source, 0, D3D11_MAP_READ_WRITE, 0, &mapped), S_OK);
    EXPECT_EQ(mapped.RowPitch, 8u);
    D3D11_MAPPED_SUBRESOURCE again = {};
    EXPECT_EQ(context->Map(source, 0, D3D11_MAP_READ, 0, &again), E_INVALIDARG) << "already mapped";
    static_cast<uint32_t*>(mapped.pData)[3] = 0xcafef00d;
    context->Unmap(source, 0);
    context->CopyResource(copy, source);
    EXPECT_EQ(Read(copy, 4), (std::vector<uint32_t>{0x11223344, 0x55667788, 0x99aabbcc, 0xcafef00d}));
    EXPECT_EQ(context->Map(copy, 0, D3D11_MAP_WRITE, 0, &again), E_INVALIDARG) << "read-only staging";
    EXPECT_EQ(context->Map(copy, 1, D3D11_MAP_READ, 0, &again), E_INVALIDARG) << "no such subresource";
    SafeRelease(copy);
    SafeRelease(source);
}

TEST_P(BothDevices, BufferContentsReachStagingBuffers) {
    const uint32_t initial[4] = {1, 2, 3, 4};
    ID3D11Buffer* vertices = MakeBuffer({16, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0}, initial);
    ID3D11Buffer* dynamic =
        MakeBuffer({16, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0}, nullptr);
    ID3D11Buffer* staging = MakeBuffer({16, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0, 0}, nullptr);
    context->CopyResource(staging, vertices);
    EXPECT_EQ(Read(staging, 4), (std::vector<uint32_t>{1, 2, 3, 4}));

    const uint32_t middle[2] = {20, 30};
    const D3D11_BOX box = {4, 0, 0, 12, 1, 1};
    context->UpdateSubresource(vertices, 0, &box, middle, 0, 0);
    context->CopyResource(staging, vertices);
    EXPECT_EQ(Read(staging, 4), (std::vector<uint32_t>{1, 20, 30, 4}));

    D3D11_MAPPED_SUBRESOURCE mapped = {};
    ASSERT_EQ(context->Map(dynamic, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
    const uint32_t written[4] = {9, 8, 7, 6};
    std::memcpy(mapped.pData, written, sizeof written);
    context->Unmap(dynamic, 0);
    context->CopyResource(staging, dynamic);
    EXPECT_EQ(Read(staging, 4), (std::vector<uint32_t>{9, 8, 7, 6}));
    SafeRelease(staging);
    SafeRelease(dynamic);
    SafeRelease(vertices);
}

}  // namespace
}  // namespace d3d11_test
