// The device: owner of the OpenGL context every object of the layer lives in.
#pragma once
#include <SDL2/SDL.h>
#include <memory>
#include <vector>
#include "com_object.h"
#include "debug_messages.h"
#include "d3d11.h"
#include "gl.h"

namespace platform {

class Context;
class ProgramCache;
enum class GLObject;

// The device answers for ID3D11Device and IDXGIDevice. Two counts keep it alive: the public one (the
// device and its immediate context share it) and one per object created from it, so the GL context
// outlives every GL name.
class Device final : public ID3D11Device, public IDXGIDevice {
public:
    // A device that does not rasterise (Direct3D's null driver) validates and records every call and draws nothing;
    // it needs no display and no OpenGL.
    static HRESULT Create(const std::vector<D3D_FEATURE_LEVEL>& levels, UINT flags, bool rasterises, Device** device);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateVertexShader(const void* bytecode, SIZE_T bytecodeLength, ID3D11ClassLinkage* classLinkage,
                               ID3D11VertexShader** shader) override;
    HRESULT CreatePixelShader(const void* bytecode, SIZE_T bytecodeLength, ID3D11ClassLinkage* classLinkage,
                              ID3D11PixelShader** shader) override;
    HRESULT CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                         ID3D11Buffer** buffer) override;
    HRESULT CreateTexture1D(const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                            ID3D11Texture1D** texture) override;
    HRESULT CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                            ID3D11Texture2D** texture) override;
    HRESULT CreateShaderResourceView(ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                     ID3D11ShaderResourceView** view) override;
    HRESULT CreateRenderTargetView(ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                   ID3D11RenderTargetView** view) override;
    HRESULT CreateDepthStencilView(ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                   ID3D11DepthStencilView** view) override;
    HRESULT CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT numElements, const void* signature,
                              SIZE_T signatureLength, ID3D11InputLayout** inputLayout) override;
    HRESULT CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) override;
    HRESULT CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** state) override;
    HRESULT CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** state) override;
    HRESULT CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) override;
    HRESULT CheckFormatSupport(DXGI_FORMAT format, UINT* formatSupport) override;
    HRESULT CheckMultisampleQualityLevels(DXGI_FORMAT format, UINT sampleCount, UINT* numQualityLevels) override;
    D3D_FEATURE_LEVEL GetFeatureLevel() override { return level_; }
    UINT GetCreationFlags() override { return flags_; }
    HRESULT GetDeviceRemovedReason() override { return S_OK; }
    void GetImmediateContext(ID3D11DeviceContext** immediateContext) override;

    HRESULT GetParent(REFIID iid, void** parent) override;
    HRESULT GetAdapter(IDXGIAdapter** adapter) override;

    // Makes the GL context current (on whatever surface it last used); every entry point calls it first.
    void MakeCurrent();
    bool MakeCurrentOn(SDL_Window* window);
    // Moves the context back to the hidden window if it is current on `window` (a swap chain going away).
    void LeaveWindow(SDL_Window* window);
    Context& Immediate() { return *context_; }
    // Objects work only on a 4.5 context; a lower one exists to report its feature level.
    bool Usable() const { return usable_; }
    // False for the null device: no GL context, no GL object behind any of its objects.
    bool Rasterises() const { return gl_ != nullptr; }
    ProgramCache& Programs() { return *programs_; }
    // Says what is wrong with a call, on a device created with D3D11_CREATE_DEVICE_DEBUG only.
    void Report(const char* method, std::string_view text, const MessageKind& kind) const {
        if (debug_) WriteDebugMessage(method, text, kind);
    }
    bool Debugging() const { return debug_; }
    void RetainChild() { ++internalRefs_; }
    void ReleaseChild();

private:
    Device() = default;
    ~Device();
    bool CreateContext(const std::vector<D3D_FEATURE_LEVEL>& levels);
    bool CreateWithoutContext(const std::vector<D3D_FEATURE_LEVEL>& levels);
    // Reports a failed creation; `invalid` is null where the object reports its own invalid arguments.
    HRESULT Checked(const char* method, HRESULT hr, const MessageKind* invalid) const;

    SDL_Window* hidden_ = nullptr;
    SDL_GLContext gl_ = nullptr;
    bool videoInitialised_ = false;
    bool usable_ = false;
    D3D_FEATURE_LEVEL level_ = D3D_FEATURE_LEVEL_11_0;
    UINT flags_ = 0;
    std::unique_ptr<ProgramCache> programs_;
    std::unique_ptr<Context> context_;
    bool debug_ = false;
    std::atomic<ULONG> publicRefs_{1};
    std::atomic<ULONG> internalRefs_{1};
};

// A number no other object of the process has had: GL names are reused once freed, serials never are, so state
// caches compare these.
uint64_t NextSerial();

// Base of every object a device creates: it keeps the device (and so the GL context) alive.
template <class Interface, class... Bases>
class DeviceChild : public ComObject<Interface, Bases..., ID3D11DeviceChild> {
public:
    uint64_t Serial() const { return serial_; }
    void GetDevice(ID3D11Device** device) override {
        if (!device) return;
        device_->AddRef();
        *device = device_;
    }
    Device& Owner() const { return *device_; }

protected:
    explicit DeviceChild(Device& device) : device_(&device) { device_->RetainChild(); }
    ~DeviceChild() override { device_->ReleaseChild(); }

    Device* device_;
    const uint64_t serial_ = NextSerial();
};

// Hands a new object out, or only validates when the caller passed no out pointer (as Direct3D does).
template <class Object, class Interface>
HRESULT HandOut(Object* object, Interface** out) {
    if (!out) {
        object->Release();
        return S_FALSE;
    }
    *out = object;
    return S_OK;
}

// Deletes a GL object of one of the device's objects through the context's state tracker; nothing for 0 (a null
// device's object, or one never made).
void DeleteName(Device& device, GLObject kind, GLuint& name);

template <class T>
uint64_t SerialOf(const T* object) {
    return object ? object->Serial() : 0;
}

template <class T>
void ClearOut(T** out) {
    if (out) *out = nullptr;
}

}  // namespace platform
