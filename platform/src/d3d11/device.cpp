#include "device.h"

#include "driver_pins.h"
#include "gl_surface.h"
#include <algorithm>
#include "context.h"
#include "dxgi_objects.h"
#include "formats.h"
#include "shader.h"
#include "win32/video.h"

namespace platform {
namespace {

const D3D_FEATURE_LEVEL kDefaultLevels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0,
                                            D3D_FEATURE_LEVEL_9_3,  D3D_FEATURE_LEVEL_9_2,  D3D_FEATURE_LEVEL_9_1};

bool KnownLevel(D3D_FEATURE_LEVEL level) {
    return level == D3D_FEATURE_LEVEL_11_1 ||
           std::find(std::begin(kDefaultLevels), std::end(kDefaultLevels), level) != std::end(kDefaultLevels);
}

// The window attributes the Win32 part creates windows with, so the context can be current on them.
void RequestContext(int major, int minor) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minor);
    RequestWindowSurface();
}

// The first requested level a context of this class can serve.
bool PickLevel(const std::vector<D3D_FEATURE_LEVEL>& levels, D3D_FEATURE_LEVEL highest, D3D_FEATURE_LEVEL* picked) {
    for (D3D_FEATURE_LEVEL level : levels) {
        if (level <= highest) {
            *picked = level;
            return true;
        }
    }
    return false;
}

UINT SupportOf(DXGI_FORMAT format) {
    UINT support = 0;
    if (const TextureFormat* t = FindTextureFormat(format)) {
        support |= D3D11_FORMAT_SUPPORT_TEXTURE1D | D3D11_FORMAT_SUPPORT_TEXTURE2D | D3D11_FORMAT_SUPPORT_MIP |
                   D3D11_FORMAT_SUPPORT_CPU_LOCKABLE;
        if (t->depth) support |= D3D11_FORMAT_SUPPORT_DEPTH_STENCIL;
        if (t->renderable && !t->depth) {
            support |= D3D11_FORMAT_SUPPORT_RENDER_TARGET | D3D11_FORMAT_SUPPORT_MULTISAMPLE_RENDERTARGET |
                       D3D11_FORMAT_SUPPORT_MULTISAMPLE_RESOLVE;
            const bool integer = t->pixelFormat == GL_RED_INTEGER || t->pixelFormat == GL_RGBA_INTEGER;
            if (!integer) support |= D3D11_FORMAT_SUPPORT_BLENDABLE;
        }
    }
    if (FindVertexFormat(format)) support |= D3D11_FORMAT_SUPPORT_BUFFER | D3D11_FORMAT_SUPPORT_IA_VERTEX_BUFFER;
    uint32_t indexBytes = 0;
    if (IndexType(format, &indexBytes)) support |= D3D11_FORMAT_SUPPORT_IA_INDEX_BUFFER;
    return support;
}

}  // namespace

void DeleteName(Device& device, GLObject kind, GLuint& name) {
    if (!name) return;
    device.MakeCurrent();
    device.Immediate().GL().Delete(kind, name);
}

uint64_t NextSerial() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

HRESULT Device::Create(const std::vector<D3D_FEATURE_LEVEL>& levels, UINT flags, bool rasterises, Device** device) {
    auto* object = new Device();
    object->flags_ = flags;
    object->debug_ = (flags & D3D11_CREATE_DEVICE_DEBUG) != 0;
    const bool created = rasterises ? object->CreateContext(levels) : object->CreateWithoutContext(levels);
    if (!created) {
        delete object;
        return E_FAIL;
    }
    object->programs_ = std::make_unique<ProgramCache>(rasterises);
    object->context_ = std::make_unique<Context>(*object);
    *device = object;
    return S_OK;
}

bool Device::CreateWithoutContext(const std::vector<D3D_FEATURE_LEVEL>& levels) {
    usable_ = PickLevel(levels, D3D_FEATURE_LEVEL_11_0, &level_);
    return usable_;
}

bool Device::CreateContext(const std::vector<D3D_FEATURE_LEVEL>& levels) {
    if (!detail::StartVideo()) return false;
    videoInitialised_ = true;
    RequestContext(4, 5);
    hidden_ = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!hidden_) return false;
    if (PickLevel(levels, D3D_FEATURE_LEVEL_11_0, &level_)) gl_ = SDL_GL_CreateContext(hidden_);
    usable_ = gl_ != nullptr;
    if (!gl_ && PickLevel(levels, D3D_FEATURE_LEVEL_10_0, &level_)) {
        RequestContext(3, 3);
        gl_ = SDL_GL_CreateContext(hidden_);
    }
    PinGraphicsDrivers();
    return gl_ && SDL_GL_MakeCurrent(hidden_, gl_) == 0;
}

Device::~Device() {
    if (gl_) {
        MakeCurrent();
        context_.reset();
        programs_.reset();
        SDL_GL_MakeCurrent(hidden_, nullptr);
        SDL_GL_DeleteContext(gl_);
    }
    if (hidden_) SDL_DestroyWindow(hidden_);
    if (videoInitialised_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void Device::MakeCurrent() {
    if (gl_ && SDL_GL_GetCurrentContext() != gl_) SDL_GL_MakeCurrent(hidden_, gl_);
}

bool Device::MakeCurrentOn(SDL_Window* window) { return gl_ && window && SDL_GL_MakeCurrent(window, gl_) == 0; }

void Device::LeaveWindow(SDL_Window* window) {
    if (!gl_ || SDL_GL_GetCurrentContext() != gl_ || SDL_GL_GetCurrentWindow() != window) return;
    SDL_GL_MakeCurrent(hidden_, gl_);
}

HRESULT Device::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == __uuidof(ID3D11Device) || iid == __uuidof(IUnknown)) {
        *object = static_cast<ID3D11Device*>(this);
    } else if (iid == __uuidof(IDXGIDevice) || iid == __uuidof(IDXGIObject)) {
        *object = static_cast<IDXGIDevice*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG Device::AddRef() { return ++publicRefs_; }

// The last public reference unbinds everything, so bound objects do not keep the device alive through it.
ULONG Device::Release() {
    const ULONG left = --publicRefs_;
    if (left == 0) {
        context_->ClearState();
        ReleaseChild();
    }
    return left;
}

void Device::ReleaseChild() {
    if (--internalRefs_ == 0) delete this;
}

void Device::GetImmediateContext(ID3D11DeviceContext** immediateContext) {
    if (!immediateContext) return;
    AddRef();
    *immediateContext = context_.get();
}

HRESULT Device::CreateVertexShader(const void* bytecode, SIZE_T bytecodeLength, ID3D11ClassLinkage* classLinkage,
                                   ID3D11VertexShader** shader) {
    const char* method = "ID3D11Device::CreateVertexShader";
    if (classLinkage) return Checked(method, E_NOTIMPL, nullptr);
    return Checked(method, VertexShader::Create(*this, bytecode, bytecodeLength, shader),
                   &messages::kCreateShaderInvalidArg);
}

HRESULT Device::CreatePixelShader(const void* bytecode, SIZE_T bytecodeLength, ID3D11ClassLinkage* classLinkage,
                                  ID3D11PixelShader** shader) {
    const char* method = "ID3D11Device::CreatePixelShader";
    if (classLinkage) return Checked(method, E_NOTIMPL, nullptr);
    return Checked(method, PixelShader::Create(*this, bytecode, bytecodeLength, shader),
                   &messages::kCreateShaderInvalidArg);
}

HRESULT Device::CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                             ID3D11Buffer** buffer) {
    return Checked("ID3D11Device::CreateBuffer", Buffer::Create(*this, desc, initialData, buffer),
                   &messages::kCreateBufferInvalidArg);
}

HRESULT Device::CreateTexture1D(const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                ID3D11Texture1D** texture) {
    return Checked("ID3D11Device::CreateTexture1D", Texture1D::Create(*this, desc, initialData, texture),
                   &messages::kCreateTexture1DInvalidArg);
}

HRESULT Device::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                ID3D11Texture2D** texture) {
    return Checked("ID3D11Device::CreateTexture2D", Texture2D::Create(*this, desc, initialData, texture),
                   &messages::kCreateTexture2DInvalidArg);
}

HRESULT Device::CreateShaderResourceView(ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                         ID3D11ShaderResourceView** view) {
    return Checked("ID3D11Device::CreateShaderResourceView", ShaderResourceView::Create(*this, resource, desc, view),
                   &messages::kCreateShaderResourceViewInvalidArg);
}

HRESULT Device::CreateRenderTargetView(ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                       ID3D11RenderTargetView** view) {
    return Checked("ID3D11Device::CreateRenderTargetView", RenderTargetView::Create(*this, resource, desc, view),
                   &messages::kCreateRenderTargetViewInvalidArg);
}

HRESULT Device::CreateDepthStencilView(ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                       ID3D11DepthStencilView** view) {
    return Checked("ID3D11Device::CreateDepthStencilView", DepthStencilView::Create(*this, resource, desc, view),
                   &messages::kCreateDepthStencilViewInvalidArg);
}

HRESULT Device::CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT numElements, const void* signature,
                                  SIZE_T signatureLength, ID3D11InputLayout** inputLayout) {
    const HRESULT hr = InputLayout::Create(*this, elements, numElements, signature, signatureLength, inputLayout);
    return Checked("ID3D11Device::CreateInputLayout", hr, &messages::kCreateInputLayoutInvalidArg);
}

HRESULT Device::CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) {
    const char* method = "ID3D11Device::CreateBlendState";
    return Checked(method, BlendState::Create(*this, method, desc, state), nullptr);
}

HRESULT Device::CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** state) {
    const char* method = "ID3D11Device::CreateDepthStencilState";
    return Checked(method, DepthStencilState::Create(*this, method, desc, state), nullptr);
}

HRESULT Device::CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** state) {
    const char* method = "ID3D11Device::CreateRasterizerState";
    return Checked(method, RasterizerState::Create(*this, method, desc, state), nullptr);
}

HRESULT Device::CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) {
    return Checked("ID3D11Device::CreateSamplerState", SamplerState::Create(*this, desc, state), nullptr);
}

HRESULT Device::Checked(const char* method, HRESULT hr, const MessageKind* invalid) const {
    if (hr == E_NOTIMPL && !usable_) {
        Report(method, "The device's feature level is below 11_0; it creates nothing.", messages::kCreateUnsupported);
    } else if (hr == E_NOTIMPL) {
        Report(method, "The arguments ask for what this layer does not support; nothing was created.",
               messages::kCreateUnsupported);
    } else if (FAILED(hr) && invalid) {
        Report(method, "The arguments are invalid; nothing was created.", *invalid);
    }
    return hr;
}

HRESULT Device::CheckFormatSupport(DXGI_FORMAT format, UINT* formatSupport) {
    if (!formatSupport) return E_INVALIDARG;
    *formatSupport = SupportOf(format);
    return *formatSupport ? S_OK : E_FAIL;
}

HRESULT Device::CheckMultisampleQualityLevels(DXGI_FORMAT format, UINT sampleCount, UINT* numQualityLevels) {
    if (!numQualityLevels) return E_INVALIDARG;
    *numQualityLevels = 0;
    const TextureFormat* t = FindTextureFormat(format);
    if (!t || !t->renderable || sampleCount == 0) return S_OK;
    if (sampleCount == 1) {
        *numQualityLevels = 1;
        return S_OK;
    }
    if (!usable_) return S_OK;
    if (!gl_) {
        *numQualityLevels = sampleCount == 4 ? 1 : 0;
        return S_OK;
    }
    MakeCurrent();
    GLint count = 0;
    glGetInternalformativ(GL_TEXTURE_2D_MULTISAMPLE, t->internalFormat, GL_NUM_SAMPLE_COUNTS, 1, &count);
    std::vector<GLint> counts(count > 0 ? count : 0);
    if (count > 0)
        glGetInternalformativ(GL_TEXTURE_2D_MULTISAMPLE, t->internalFormat, GL_SAMPLES, count, counts.data());
    if (std::find(counts.begin(), counts.end(), GLint(sampleCount)) != counts.end()) *numQualityLevels = 1;
    return S_OK;
}

HRESULT Device::GetParent(REFIID iid, void** parent) {
    if (!parent) return E_POINTER;
    IDXGIAdapter* adapter = NewAdapter();
    const HRESULT hr = adapter->QueryInterface(iid, parent);
    adapter->Release();
    return hr;
}

HRESULT Device::GetAdapter(IDXGIAdapter** adapter) {
    if (!adapter) return E_POINTER;
    *adapter = NewAdapter();
    return S_OK;
}

}  // namespace platform

HRESULT D3D11CreateDevice(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType, HMODULE /*software*/, UINT flags,
                          const D3D_FEATURE_LEVEL* featureLevels, UINT featureLevelCount, UINT sdkVersion,
                          ID3D11Device** device, D3D_FEATURE_LEVEL* featureLevel,
                          ID3D11DeviceContext** immediateContext) {
    platform::ClearOut(device);
    platform::ClearOut(immediateContext);
    if (featureLevel) *featureLevel = D3D_FEATURE_LEVEL(0);
    if (sdkVersion != D3D11_SDK_VERSION || (featureLevels && featureLevelCount == 0)) return E_INVALIDARG;
    if ((adapter != nullptr) != (driverType == D3D_DRIVER_TYPE_UNKNOWN)) return E_INVALIDARG;
    std::vector<D3D_FEATURE_LEVEL> levels(std::begin(platform::kDefaultLevels), std::end(platform::kDefaultLevels));
    if (featureLevels) levels.assign(featureLevels, featureLevels + featureLevelCount);
    if (!std::all_of(levels.begin(), levels.end(), platform::KnownLevel)) return E_INVALIDARG;
    platform::Device* created = nullptr;
    const bool rasterises = driverType != D3D_DRIVER_TYPE_NULL;
    if (HRESULT hr = platform::Device::Create(levels, flags, rasterises, &created); FAILED(hr)) return hr;
    if (featureLevel) *featureLevel = created->GetFeatureLevel();
    if (immediateContext) created->GetImmediateContext(immediateContext);
    if (device) {
        *device = created;
    } else {
        created->Release();
    }
    return S_OK;
}
