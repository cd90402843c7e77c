#include <cstring>
#include "resources.h"
#include "context.h"

namespace platform {
namespace {

constexpr UINT kBufferBindFlags = D3D11_BIND_VERTEX_BUFFER | D3D11_BIND_INDEX_BUFFER | D3D11_BIND_CONSTANT_BUFFER |
                                  D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_STREAM_OUTPUT;
constexpr UINT kCpuFlags = D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE;

bool UsageMatchesAccess(const D3D11_BUFFER_DESC& desc) {
    switch (desc.Usage) {
    case D3D11_USAGE_DEFAULT:
    case D3D11_USAGE_IMMUTABLE:
        return desc.CPUAccessFlags == 0 && desc.BindFlags != 0;
    case D3D11_USAGE_DYNAMIC:
        return desc.CPUAccessFlags == D3D11_CPU_ACCESS_WRITE && desc.BindFlags != 0;
    case D3D11_USAGE_STAGING:
        return desc.CPUAccessFlags != 0 && desc.BindFlags == 0;
    }
    return false;
}

bool Valid(const D3D11_BUFFER_DESC& desc, const D3D11_SUBRESOURCE_DATA* initialData) {
    if (desc.ByteWidth == 0) return false;
    if ((desc.BindFlags & ~kBufferBindFlags) || (desc.CPUAccessFlags & ~kCpuFlags)) return false;
    if (desc.Usage == D3D11_USAGE_IMMUTABLE && !(initialData && initialData->pSysMem)) return false;
    if (initialData && !initialData->pSysMem) return false;
    if (desc.BindFlags & D3D11_BIND_CONSTANT_BUFFER) {
        if (desc.BindFlags != D3D11_BIND_CONSTANT_BUFFER || desc.ByteWidth % 16 != 0) return false;
        // Direct3D 11.0 refuses more than a shader can address; the uniform ring relies on it.
        if (desc.ByteWidth > D3D11_REQ_CONSTANT_BUFFER_ELEMENT_COUNT * 16) return false;
    }
    return UsageMatchesAccess(desc);
}

GLbitfield StorageFlags(D3D11_USAGE usage) {
    switch (usage) {
    case D3D11_USAGE_IMMUTABLE:
        return 0;
    case D3D11_USAGE_DYNAMIC:
        return GL_MAP_WRITE_BIT | GL_DYNAMIC_STORAGE_BIT;
    default:
        return GL_DYNAMIC_STORAGE_BIT;
    }
}

}  // namespace

HRESULT Buffer::Create(Device& device, const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                       ID3D11Buffer** buffer) {
    ClearOut(buffer);
    if (!desc || !Valid(*desc, initialData)) return E_INVALIDARG;
    if (!device.Usable()) return E_NOTIMPL;
    auto* object = new Buffer(device, *desc);
    const void* bytes = initialData ? initialData->pSysMem : nullptr;
    if (object->Staging() || object->Constant() || !device.Rasterises()) {
        object->cpu_.assign(desc->ByteWidth, 0);
        if (bytes) std::memcpy(object->cpu_.data(), bytes, desc->ByteWidth);
    } else {
        device.MakeCurrent();
        glCreateBuffers(1, &object->name_);
        glNamedBufferStorage(object->name_, desc->ByteWidth, bytes, StorageFlags(desc->Usage));
    }
    return HandOut(object, buffer);
}

Buffer::~Buffer() {
    device_->Immediate().ForgetBuffer(*this);
    DeleteName(*device_, GLObject::Buffer, name_);
}

Buffer* BufferOf(ID3D11Resource* resource) {
    if (!resource) return nullptr;
    D3D11_RESOURCE_DIMENSION dimension = D3D11_RESOURCE_DIMENSION_UNKNOWN;
    resource->GetType(&dimension);
    if (dimension != D3D11_RESOURCE_DIMENSION_BUFFER) return nullptr;
    return static_cast<Buffer*>(static_cast<ID3D11Buffer*>(resource));
}

}  // namespace platform
