// DXGI objects of the layer: the adapter, the factory and the swap chain.
#pragma once
#include "device.h"

namespace platform {

IDXGIAdapter* NewAdapter();
HRESULT CreateSwapChain(Device& device, const DXGI_SWAP_CHAIN_DESC* desc, IDXGISwapChain** swapChain);

}  // namespace platform
