#include <cwchar>
#include "dxgi_objects.h"

namespace platform {
namespace {

class Factory final : public ComObject<IDXGIFactory, IDXGIObject> {
public:
    HRESULT GetParent(REFIID /*iid*/, void** parent) override {
        ClearOut(parent);
        return E_NOINTERFACE;
    }
    HRESULT EnumAdapters(UINT index, IDXGIAdapter** adapter) override {
        if (!adapter) return E_INVALIDARG;
        *adapter = index == 0 ? NewAdapter() : nullptr;
        return index == 0 ? S_OK : DXGI_ERROR_NOT_FOUND;
    }
    HRESULT MakeWindowAssociation(HWND /*window*/, UINT /*flags*/) override { return S_OK; }
    HRESULT CreateSwapChain(IUnknown* device, DXGI_SWAP_CHAIN_DESC* desc, IDXGISwapChain** swapChain) override {
        ClearOut(swapChain);
        ID3D11Device* d3dDevice = nullptr;
        if (!device || FAILED(device->QueryInterface(__uuidof(ID3D11Device), reinterpret_cast<void**>(&d3dDevice)))) {
            return E_INVALIDARG;
        }
        const HRESULT hr = platform::CreateSwapChain(*static_cast<Device*>(d3dDevice), desc, swapChain);
        d3dDevice->Release();
        return hr;
    }
};

// The one adapter: the GL implementation the device's context runs on.
class Adapter final : public ComObject<IDXGIAdapter, IDXGIObject> {
public:
    HRESULT GetParent(REFIID iid, void** parent) override { return CreateDXGIFactory(iid, parent); }
    HRESULT GetDesc(DXGI_ADAPTER_DESC* desc) override {
        if (!desc) return E_INVALIDARG;
        *desc = {};
        std::wcsncpy(desc->Description, L"OpenGL 4.5 core (SDL2)", 127);
        return S_OK;
    }
};

}  // namespace

IDXGIAdapter* NewAdapter() { return new Adapter(); }

}  // namespace platform

HRESULT CreateDXGIFactory(REFIID riid, void** factory) {
    if (!factory) return E_POINTER;
    IDXGIFactory* created = new platform::Factory();
    const HRESULT hr = created->QueryInterface(riid, factory);
    created->Release();
    return hr;
}
