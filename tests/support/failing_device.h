#pragma once
#include <d3d11.h>

// A device that passes every call on to a real one; the devices below fail one kind of creation, as a device that
// fails in the middle of a run, for code that is handed its device on every call.
class PassThroughDevice : public ID3D11Device {
public:
    explicit PassThroughDevice(ID3D11Device* device) : mDevice(device) {}
    virtual ~PassThroughDevice() = default;

    HRESULT CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** state) override {
        return mDevice->CreateRasterizerState(desc, state);
    }
    HRESULT QueryInterface(REFIID riid, void** object) override { return mDevice->QueryInterface(riid, object); }
    ULONG AddRef() override { return mDevice->AddRef(); }
    ULONG Release() override { return mDevice->Release(); }
    HRESULT CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                               ID3D11VertexShader** shader) override {
        return mDevice->CreateVertexShader(bytecode, length, linkage, shader);
    }
    HRESULT CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                              ID3D11PixelShader** shader) override {
        return mDevice->CreatePixelShader(bytecode, length, linkage, shader);
    }
    HRESULT CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                         ID3D11Buffer** buffer) override {
        return mDevice->CreateBuffer(desc, data, buffer);
    }
    HRESULT CreateTexture1D(const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                            ID3D11Texture1D** texture) override {
        return mDevice->CreateTexture1D(desc, data, texture);
    }
    HRESULT CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                            ID3D11Texture2D** texture) override {
        return mDevice->CreateTexture2D(desc, data, texture);
    }
    HRESULT CreateShaderResourceView(ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                     ID3D11ShaderResourceView** view) override {
        return mDevice->CreateShaderResourceView(resource, desc, view);
    }
    HRESULT CreateRenderTargetView(ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                   ID3D11RenderTargetView** view) override {
        return mDevice->CreateRenderTargetView(resource, desc, view);
    }
    HRESULT CreateDepthStencilView(ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                   ID3D11DepthStencilView** view) override {
        return mDevice->CreateDepthStencilView(resource, desc, view);
    }
    HRESULT CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count, const void* signature,
                              SIZE_T length, ID3D11InputLayout** layout) override {
        return mDevice->CreateInputLayout(elements, count, signature, length, layout);
    }
    HRESULT CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) override {
        return mDevice->CreateBlendState(desc, state);
    }
    HRESULT CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** state) override {
        return mDevice->CreateDepthStencilState(desc, state);
    }
    HRESULT CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) override {
        return mDevice->CreateSamplerState(desc, state);
    }
    HRESULT CheckFormatSupport(DXGI_FORMAT format, UINT* support) override {
        return mDevice->CheckFormatSupport(format, support);
    }
    HRESULT CheckMultisampleQualityLevels(DXGI_FORMAT format, UINT samples, UINT* levels) override {
        return mDevice->CheckMultisampleQualityLevels(format, samples, levels);
    }
    D3D_FEATURE_LEVEL GetFeatureLevel() override { return mDevice->GetFeatureLevel(); }
    UINT GetCreationFlags() override { return mDevice->GetCreationFlags(); }
    HRESULT GetDeviceRemovedReason() override { return mDevice->GetDeviceRemovedReason(); }
    void GetImmediateContext(ID3D11DeviceContext** context) override { mDevice->GetImmediateContext(context); }

private:
    ID3D11Device* mDevice;
};

// Cannot create rasterizer states.
class NoRasterizerStateDevice : public PassThroughDevice {
public:
    using PassThroughDevice::PassThroughDevice;

    HRESULT CreateRasterizerState(const D3D11_RASTERIZER_DESC*, ID3D11RasterizerState** state) override {
        if (state) *state = nullptr;
        return E_OUTOFMEMORY;
    }
};

// Cannot create 2-D textures bound with any of the given flags; every other texture is made.
class TextureRefusingDevice : public PassThroughDevice {
public:
    TextureRefusingDevice(ID3D11Device* device, UINT refusedBindFlags)
        : PassThroughDevice(device), mRefused(refusedBindFlags) {}

    HRESULT CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                            ID3D11Texture2D** texture) override {
        if (!desc || !(desc->BindFlags & mRefused)) return PassThroughDevice::CreateTexture2D(desc, data, texture);
        if (texture) *texture = nullptr;
        return E_OUTOFMEMORY;
    }

private:
    UINT mRefused;
};
