#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include "context.h"
#include "dxgi_objects.h"
#include "hooks/present_hook.h"
#include "window_presenter.h"
#include "win32/fullscreen.h"
#include "platform_sdl.h"

namespace platform {
namespace {

constexpr UINT kMaxBuffers = 16;
constexpr UINT kMaxSyncInterval = 4;

// Paces presents to the declared refresh rate: displays here honour no swap interval. Sleeps most of
// the wait and spins only the last moment, so it never burns a core.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    void Wait(Clock::duration interval) {
        const Clock::time_point now = Clock::now();
        deadline_ = started_ ? deadline_ + interval : now + interval;
        started_ = true;
        if (now - deadline_ > interval) {
            deadline_ = now;
            return;
        }
        const Clock::time_point wakeUp = deadline_ - std::chrono::microseconds(250);
        if (now < wakeUp) std::this_thread::sleep_until(wakeUp);
        while (Clock::now() < deadline_) std::this_thread::yield();
    }

private:
    bool started_ = false;
    Clock::time_point deadline_;
};

// Drivers without a display show no window, so copying the frame out to one would only burn a full-screen pass.
// The video driver is chosen once per process, so the answer is too.
bool WindowsAreVisible() {
    static const bool visible = [] {
        const char* driver = SDL_GetCurrentVideoDriver();
        return !driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0);
    }();
    return visible;
}

FramePacer::Clock::duration RefreshInterval(const DXGI_RATIONAL& rate) {
    const uint64_t numerator = rate.Numerator && rate.Denominator ? rate.Numerator : 60;
    const uint64_t denominator = rate.Numerator && rate.Denominator ? rate.Denominator : 1;
    return std::chrono::nanoseconds(1000000000ull * denominator / numerator);
}

bool PresentableFormat(DXGI_FORMAT format) {
    return format == DXGI_FORMAT_R8G8B8A8_UNORM || format == DXGI_FORMAT_R8G8B8A8_UNORM_SRGB ||
           format == DXGI_FORMAT_B8G8R8A8_UNORM || format == DXGI_FORMAT_R16G16B16A16_FLOAT;
}

bool ValidEffect(const DXGI_SWAP_CHAIN_DESC& d) {
    switch (d.SwapEffect) {
    case DXGI_SWAP_EFFECT_DISCARD:
    case DXGI_SWAP_EFFECT_SEQUENTIAL:
        return true;
    case DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL:
    case DXGI_SWAP_EFFECT_FLIP_DISCARD:
        return d.BufferCount >= 2 && d.SampleDesc.Count == 1;
    }
    return false;
}

// Zero-sized buffers take the client size, which fullscreen keeps; never empty.
void ClientSize(HWND window, UINT* width, UINT* height) {
    RECT client = {};
    GetClientRect(window, &client);
    *width = UINT(std::max<LONG>(1, client.right - client.left));
    *height = UINT(std::max<LONG>(1, client.bottom - client.top));
}

class SwapChain final : public ComObject<IDXGISwapChain, IDXGIDeviceSubObject, IDXGIObject> {
public:
    SwapChain(Device& device, const DXGI_SWAP_CHAIN_DESC& desc) : device_(device), desc_(desc) {
        device_.RetainChild();
        AllowFullscreenToggle(desc_.OutputWindow, true);
    }

    HRESULT CreateBuffers(const DXGI_SWAP_CHAIN_DESC& desc);

    HRESULT GetParent(REFIID iid, void** parent) override { return CreateDXGIFactory(iid, parent); }
    HRESULT GetDevice(REFIID iid, void** device) override { return device_.QueryInterface(iid, device); }
    HRESULT Present(UINT syncInterval, UINT flags) override;
    HRESULT GetBuffer(UINT buffer, REFIID iid, void** surface) override;
    // Fullscreen keeps the buffers: the picture is scaled onto the screen, as after a switch to a display mode of
    // the buffers' size.
    HRESULT SetFullscreenState(BOOL fullscreen, IUnknown* /*target*/) override {
        return SetWindowFullscreen(desc_.OutputWindow, fullscreen) ? S_OK : DXGI_ERROR_NOT_CURRENTLY_AVAILABLE;
    }
    HRESULT GetFullscreenState(BOOL* fullscreen, IUnknown** target) override {
        if (fullscreen) *fullscreen = IsWindowFullscreen(desc_.OutputWindow) ? TRUE : FALSE;
        ClearOut(target);
        return S_OK;
    }
    HRESULT GetDesc(DXGI_SWAP_CHAIN_DESC* desc) override {
        if (!desc) return E_INVALIDARG;
        *desc = desc_;
        return S_OK;
    }
    HRESULT ResizeBuffers(UINT bufferCount, UINT width, UINT height, DXGI_FORMAT format, UINT flags) override;

private:
    ~SwapChain() override;
    void ReleaseBuffers();

    Device& device_;
    DXGI_SWAP_CHAIN_DESC desc_;
    ID3D11Texture2D* backBuffer_ = nullptr;
    ID3D11Texture2D* resolved_ = nullptr;         // the single-sampled copy a multisampled back buffer is shown from
    std::unique_ptr<WindowPresenter> presenter_;  // made at the first present to a visible window
    FramePacer pacer_;
};

HRESULT SwapChain::CreateBuffers(const DXGI_SWAP_CHAIN_DESC& desc) {
    const UINT srv = (desc.BufferUsage & DXGI_USAGE_SHADER_INPUT) ? D3D11_BIND_SHADER_RESOURCE : 0;
    D3D11_TEXTURE2D_DESC texture = {
        desc.BufferDesc.Width, desc.BufferDesc.Height,         1, 1, desc.BufferDesc.Format, desc.SampleDesc,
        D3D11_USAGE_DEFAULT,   D3D11_BIND_RENDER_TARGET | srv, 0, 0};
    ID3D11Texture2D* backBuffer = nullptr;
    ID3D11Texture2D* resolved = nullptr;
    if (HRESULT hr = Texture2D::CreateBackBuffer(device_, &texture, &backBuffer); FAILED(hr)) return hr;
    if (desc.SampleDesc.Count > 1) {
        texture.SampleDesc = {1, 0};
        if (HRESULT hr = Texture2D::CreateBackBuffer(device_, &texture, &resolved); FAILED(hr)) {
            backBuffer->Release();
            return hr;
        }
    }
    ReleaseBuffers();
    backBuffer_ = backBuffer;
    resolved_ = resolved;
    desc_ = desc;
    return S_OK;
}

void SwapChain::ReleaseBuffers() {
    Hold<ID3D11Texture2D>(backBuffer_, nullptr);
    Hold<ID3D11Texture2D>(resolved_, nullptr);
}

SwapChain::~SwapChain() {
    // Nothing would draw into the screen the window covers.
    SetWindowFullscreen(desc_.OutputWindow, false);
    AllowFullscreenToggle(desc_.OutputWindow, false);
    ReleaseBuffers();
    device_.LeaveWindow(SdlWindowOf(desc_.OutputWindow));
    device_.ReleaseChild();
}

HRESULT SwapChain::Present(UINT syncInterval, UINT flags) {
    if (syncInterval > kMaxSyncInterval) return DXGI_ERROR_INVALID_CALL;
    if (flags & DXGI_PRESENT_TEST) return S_OK;
    SDL_Window* window = SdlWindowOf(desc_.OutputWindow);
    if (!window || !device_.MakeCurrentOn(window)) return DXGI_ERROR_DEVICE_REMOVED;
    Context& context = device_.Immediate();
    const Damage damage = context.FinishFrame(*TextureOf(backBuffer_));
    ID3D11Texture2D* shown = backBuffer_;
    if (resolved_) {
        context.ResolveSubresource(resolved_, 0, backBuffer_, 0, desc_.BufferDesc.Format);
        shown = resolved_;
    }
    if (WindowsAreVisible()) {
        // Windowed, the frame fills the client area, stretched if the buffers lag behind a resize; fullscreen, it
        // keeps its proportions in the middle of the screen.
        if (!presenter_) presenter_ = std::make_unique<WindowPresenter>(window);
        presenter_->Show(context, *TextureOf(shown), damage, IsWindowFullscreen(desc_.OutputWindow));
        NotifyPresent();
    } else {
        // A swap would hand the frame to the rasteriser; without one the frame must still be drawn now.
        context.Flush();
    }
    if (syncInterval > 0) pacer_.Wait(RefreshInterval(desc_.BufferDesc.RefreshRate) * syncInterval);
    return S_OK;
}

HRESULT SwapChain::GetBuffer(UINT buffer, REFIID iid, void** surface) {
    if (!surface) return E_INVALIDARG;
    *surface = nullptr;
    if (buffer != 0 && desc_.SwapEffect == DXGI_SWAP_EFFECT_DISCARD) return DXGI_ERROR_INVALID_CALL;
    if (buffer >= desc_.BufferCount) return DXGI_ERROR_INVALID_CALL;
    return backBuffer_->QueryInterface(iid, surface);
}

// Zero sizes take the window's client size, zero count and unknown format keep the current ones.
HRESULT SwapChain::ResizeBuffers(UINT bufferCount, UINT width, UINT height, DXGI_FORMAT format, UINT flags) {
    if (bufferCount > kMaxBuffers) return DXGI_ERROR_INVALID_CALL;
    if (format != DXGI_FORMAT_UNKNOWN && !PresentableFormat(format)) return E_INVALIDARG;
    device_.MakeCurrent();
    device_.Immediate().DropViewsOnlyBoundHere(backBuffer_);
    if (static_cast<Texture2D*>(backBuffer_)->RefCount() != 1) return DXGI_ERROR_INVALID_CALL;
    if (!SdlWindowOf(desc_.OutputWindow)) return DXGI_ERROR_INVALID_CALL;
    DXGI_SWAP_CHAIN_DESC desc = desc_;
    if (bufferCount) desc.BufferCount = bufferCount;
    if (format != DXGI_FORMAT_UNKNOWN) desc.BufferDesc.Format = format;
    desc.Flags = flags;
    desc.BufferDesc.Width = width;
    desc.BufferDesc.Height = height;
    UINT clientWidth = 0, clientHeight = 0;
    ClientSize(desc_.OutputWindow, &clientWidth, &clientHeight);
    if (!width) desc.BufferDesc.Width = clientWidth;
    if (!height) desc.BufferDesc.Height = clientHeight;
    return CreateBuffers(desc);
}

HRESULT Validate(Device& device, const DXGI_SWAP_CHAIN_DESC& d) {
    if (d.BufferCount == 0 || d.BufferCount > kMaxBuffers || !ValidEffect(d)) return E_INVALIDARG;
    if (!PresentableFormat(d.BufferDesc.Format) || d.SampleDesc.Count == 0) return E_INVALIDARG;
    UINT qualityLevels = 0;
    device.CheckMultisampleQualityLevels(d.BufferDesc.Format, d.SampleDesc.Count, &qualityLevels);
    if (d.SampleDesc.Quality >= qualityLevels) return E_INVALIDARG;
    if (!SdlWindowOf(d.OutputWindow)) return E_INVALIDARG;
    if (!d.Windowed) return E_NOTIMPL;
    if (!device.Usable()) return E_NOTIMPL;
    return device.Rasterises() ? S_OK : DXGI_ERROR_UNSUPPORTED;
}

}  // namespace

HRESULT CreateSwapChain(Device& device, const DXGI_SWAP_CHAIN_DESC* desc, IDXGISwapChain** swapChain) {
    ClearOut(swapChain);
    if (!desc || !swapChain) return E_INVALIDARG;
    if (HRESULT hr = Validate(device, *desc); FAILED(hr)) return hr;
    SDL_Window* window = SdlWindowOf(desc->OutputWindow);
    if (!device.MakeCurrentOn(window)) return E_INVALIDARG;
    DXGI_SWAP_CHAIN_DESC resolved = *desc;
    UINT clientWidth = 0, clientHeight = 0;
    ClientSize(desc->OutputWindow, &clientWidth, &clientHeight);
    if (!resolved.BufferDesc.Width) resolved.BufferDesc.Width = clientWidth;
    if (!resolved.BufferDesc.Height) resolved.BufferDesc.Height = clientHeight;
    auto* object = new SwapChain(device, resolved);
    if (HRESULT hr = object->CreateBuffers(resolved); FAILED(hr)) {
        object->Release();
        return hr;
    }
    *swapChain = object;
    return S_OK;
}

}  // namespace platform
