#include <cstring>
#include "resources.h"
#include "context.h"

namespace platform {
namespace {

constexpr UINT kTextureBindFlags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET | D3D11_BIND_DEPTH_STENCIL;
constexpr UINT kTextureMiscFlags = D3D11_RESOURCE_MISC_GENERATE_MIPS | D3D11_RESOURCE_MISC_TEXTURECUBE;

UINT FullChain(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT size = width > height ? width : height; size > 1; size >>= 1) ++levels;
    return levels;
}

bool ValidAccess(const TextureData& t, bool hasData) {
    switch (t.usage) {
    case D3D11_USAGE_DEFAULT:
        return t.cpuAccess == 0;
    case D3D11_USAGE_IMMUTABLE:
        return t.cpuAccess == 0 && hasData && t.bindFlags != 0;
    case D3D11_USAGE_DYNAMIC:
        return t.cpuAccess == D3D11_CPU_ACCESS_WRITE && t.bindFlags == D3D11_BIND_SHADER_RESOURCE;
    case D3D11_USAGE_STAGING:
        return t.cpuAccess != 0 && t.bindFlags == 0 && t.samples == 1;
    }
    return false;
}

bool ValidBinding(const TextureData& t) {
    if (t.bindFlags & ~kTextureBindFlags) return false;
    const bool target = t.bindFlags & D3D11_BIND_RENDER_TARGET;
    const bool depth = t.bindFlags & D3D11_BIND_DEPTH_STENCIL;
    if (target && depth) return false;
    if (target && (!t.format->renderable || t.format->depth)) return false;
    if (depth && !t.format->depth) return false;
    if ((t.bindFlags & D3D11_BIND_SHADER_RESOURCE) && t.format->depth) return false;
    return true;
}

bool ValidMisc(const TextureData& t) {
    if (t.miscFlags & ~kTextureMiscFlags) return false;
    const UINT mipsBinding = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET;
    if ((t.miscFlags & D3D11_RESOURCE_MISC_GENERATE_MIPS) && (t.bindFlags & mipsBinding) != mipsBinding) return false;
    if (t.miscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE) {
        return t.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE2D && t.arraySize % 6 == 0 && t.width == t.height;
    }
    return true;
}

bool ValidShape(const TextureData& t, UINT maxSize) {
    if (t.width == 0 || t.height == 0 || t.width > maxSize || t.height > maxSize) return false;
    if (t.arraySize == 0 || t.arraySize > D3D11_REQ_TEXTURE2D_ARRAY_AXIS_DIMENSION) return false;
    if (t.mipLevels > FullChain(t.width, t.height)) return false;
    if (t.samples == 1) return true;
    return t.mipLevels == 1 && t.format->renderable &&
           (t.bindFlags & (D3D11_BIND_RENDER_TARGET | D3D11_BIND_DEPTH_STENCIL));
}

bool ValidData(const TextureData& t, const D3D11_SUBRESOURCE_DATA* initialData) {
    if (!initialData) return true;
    if (t.samples > 1) return false;
    for (UINT i = 0; i < t.Subresources(); ++i) {
        if (!initialData[i].pSysMem) return false;
    }
    return true;
}

bool Valid(const TextureData& t, const D3D11_SUBRESOURCE_DATA* initialData, UINT maxSize) {
    return ValidShape(t, maxSize) && ValidBinding(t) && ValidMisc(t) && ValidAccess(t, initialData != nullptr) &&
           ValidData(t, initialData);
}

GLenum TargetOf(const TextureData& t) {
    if (t.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE1D) return t.arraySize > 1 ? GL_TEXTURE_1D_ARRAY : GL_TEXTURE_1D;
    const bool array = t.arraySize > 1 || (t.miscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE);
    if (t.samples > 1) return array ? GL_TEXTURE_2D_MULTISAMPLE_ARRAY : GL_TEXTURE_2D_MULTISAMPLE;
    return array ? GL_TEXTURE_2D_ARRAY : GL_TEXTURE_2D;
}

// GL has no sized BGRA format; an unsized one with BGRA data gets the driver's BGRA storage, which the window
// has too: Mesa then copies such a texture to the window as plain rows instead of converting every pixel.
bool StoreInWindowFormat(Device& device, TextureData& t) {
    const DXGI_FORMAT format = t.format->format;
    if (!t.windowFormat || t.target != GL_TEXTURE_2D || t.mipLevels != 1) return false;
    if (format != DXGI_FORMAT_R8G8B8A8_UNORM && format != DXGI_FORMAT_B8G8R8A8_UNORM) return false;
    device.Immediate().GL().AllocateUnsized2D(t.name, GLsizei(t.width), GLsizei(t.height));
    glTextureParameteri(t.name, GL_TEXTURE_MAX_LEVEL, 0);
    return true;
}

void CreateStorage(Device& device, TextureData& t) {
    glCreateTextures(t.target, 1, &t.name);
    if (StoreInWindowFormat(device, t)) return;
    t.windowFormat = false;
    const GLenum internal = t.format->internalFormat;
    switch (t.target) {
    case GL_TEXTURE_1D:
        glTextureStorage1D(t.name, t.mipLevels, internal, t.width);
        break;
    case GL_TEXTURE_1D_ARRAY:
        glTextureStorage2D(t.name, t.mipLevels, internal, t.width, t.arraySize);
        break;
    case GL_TEXTURE_2D:
        glTextureStorage2D(t.name, t.mipLevels, internal, t.width, t.height);
        break;
    case GL_TEXTURE_2D_ARRAY:
        glTextureStorage3D(t.name, t.mipLevels, internal, t.width, t.height, t.arraySize);
        break;
    case GL_TEXTURE_2D_MULTISAMPLE:
        glTextureStorage2DMultisample(t.name, t.samples, internal, t.width, t.height, GL_TRUE);
        break;
    default:
        glTextureStorage3DMultisample(t.name, t.samples, internal, t.width, t.height, t.arraySize, GL_TRUE);
        break;
    }
}

// A null device's textures other than staging ones hold nothing: what is written to them is dropped.
void Allocate(Device& device, TextureData& t, const D3D11_SUBRESOURCE_DATA* initialData) {
    if (t.Staging()) {
        for (UINT i = 0; i < t.Subresources(); ++i) t.cpu.emplace_back(t.SubresourceBytes(i % t.mipLevels), 0);
    } else {
        t.target = TargetOf(t);
        if (device.Rasterises()) CreateStorage(device, t);
        t.cpu.resize(t.Subresources());
    }
    if (!initialData) return;
    for (UINT i = 0; i < t.Subresources(); ++i) t.Write(i, nullptr, initialData[i].pSysMem, initialData[i].SysMemPitch);
}

// A box of one subresource in GL texture coordinates: layers of 1-D arrays are rows, of 2-D arrays slices.
struct Region {
    GLint x, y, z;
    GLsizei width, height;
};

Region RegionOf(const TextureData& t, UINT layer, UINT x, UINT y, UINT width, UINT height) {
    switch (t.target) {
    case GL_TEXTURE_1D:
        return {GLint(x), 0, 0, GLsizei(width), 1};
    case GL_TEXTURE_1D_ARRAY:
        return {GLint(x), GLint(layer), 0, GLsizei(width), 1};
    case GL_TEXTURE_2D_ARRAY:
        return {GLint(x), GLint(y), GLint(layer), GLsizei(width), GLsizei(height)};
    default:
        return {GLint(x), GLint(y), 0, GLsizei(width), GLsizei(height)};
    }
}

void Upload(const TextureData& t, UINT mip, const Region& r, const void* pixels) {
    // The state tracker keeps rows tightly packed.
    const GLenum format = t.format->pixelFormat, type = t.format->pixelType;
    switch (t.target) {
    case GL_TEXTURE_1D:
        glTextureSubImage1D(t.name, mip, r.x, r.width, format, type, pixels);
        break;
    case GL_TEXTURE_2D_ARRAY:
        glTextureSubImage3D(t.name, mip, r.x, r.y, r.z, r.width, r.height, 1, format, type, pixels);
        break;
    default:
        glTextureSubImage2D(t.name, mip, r.x, r.y, r.width, r.height, format, type, pixels);
        break;
    }
}

}  // namespace

void TextureData::Write(UINT subresource, const D3D11_BOX* box, const void* data, UINT srcRowPitch) {
    const UINT mip = subresource % mipLevels, layer = subresource / mipLevels;
    const UINT x = box ? box->left : 0, y = box ? box->top : 0;
    const UINT w = box ? box->right - box->left : MipWidth(mip);
    const UINT h = box ? box->bottom - box->top : MipHeight(mip);
    const UINT rowBytes = w * format->bytesPerTexel;
    const UINT pitch = srcRowPitch ? srcRowPitch : rowBytes;
    const auto* source = static_cast<const uint8_t*>(data);
    Touch();
    if (Staging()) {
        for (UINT row = 0; row < h; ++row) {
            std::memcpy(&cpu[subresource][(y + row) * RowPitch(mip) + x * format->bytesPerTexel], source + row * pitch,
                        rowBytes);
        }
        return;
    }
    if (!name) return;
    std::vector<uint8_t> packed;
    if (pitch != rowBytes && h > 1) {
        packed.resize(size_t(rowBytes) * h);
        for (UINT row = 0; row < h; ++row) std::memcpy(&packed[row * rowBytes], source + row * pitch, rowBytes);
        source = packed.data();
    }
    Upload(*this, mip, RegionOf(*this, layer, x, y, w, h), source);
}

void TextureData::Read(UINT subresource, uint8_t* out) const {
    const UINT mip = subresource % mipLevels, layer = subresource / mipLevels;
    if (!name) {
        std::memset(out, 0, SubresourceBytes(mip));
        return;
    }
    const Region r = RegionOf(*this, layer, 0, 0, MipWidth(mip), MipHeight(mip));
    glGetTextureSubImage(name, mip, r.x, r.y, r.z, r.width, r.height, 1, format->pixelFormat, format->pixelType,
                         SubresourceBytes(mip), out);
}

void CopySubresource(TextureData& dst, const TextureData& src, UINT subresource) {
    const UINT mip = subresource % src.mipLevels, layer = subresource / src.mipLevels;
    dst.Touch();
    if (src.Staging() && dst.Staging()) {
        dst.cpu[subresource] = src.cpu[subresource];
    } else if (src.Staging()) {
        dst.Write(subresource, nullptr, src.cpu[subresource].data(), src.RowPitch(mip));
    } else if (dst.Staging()) {
        src.Read(subresource, dst.cpu[subresource].data());
    } else if (src.name && dst.name) {
        const Region s = RegionOf(src, layer, 0, 0, src.MipWidth(mip), src.MipHeight(mip));
        const Region d = RegionOf(dst, layer, 0, 0, dst.MipWidth(mip), dst.MipHeight(mip));
        glCopyImageSubData(src.name, src.target, mip, s.x, s.y, s.z, dst.name, dst.target, mip, d.x, d.y, d.z, s.width,
                           s.height, 1);
    }
}

template <class Interface, D3D11_RESOURCE_DIMENSION kDimension>
TextureObject<Interface, kDimension>::~TextureObject() {
    this->device_->Immediate().ForgetTexture(this->Serial());
    DeleteName(*this->device_, GLObject::Texture, name);
}

template <class Interface, D3D11_RESOURCE_DIMENSION kDimension>
template <class Object>
HRESULT TextureObject<Interface, kDimension>::Finish(Device& device, const TextureData& shape,
                                                     const D3D11_SUBRESOURCE_DATA* initialData, Interface** texture) {
    device.MakeCurrent();
    auto* object = new Object(device);
    static_cast<TextureData&>(*object) = shape;
    object->serial = object->Serial();
    object->Touch();
    Allocate(device, *object, initialData);
    return HandOut(object, texture);
}

HRESULT Texture1D::Create(Device& device, const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          ID3D11Texture1D** texture) {
    ClearOut(texture);
    if (!desc) return E_INVALIDARG;
    TextureData shape;
    shape.dimension = D3D11_RESOURCE_DIMENSION_TEXTURE1D;
    shape.format = FindTextureFormat(desc->Format);
    if (!shape.format) return E_INVALIDARG;
    shape.width = desc->Width;
    shape.mipLevels = desc->MipLevels ? desc->MipLevels : FullChain(desc->Width, 1);
    shape.arraySize = desc->ArraySize;
    shape.usage = desc->Usage;
    shape.bindFlags = desc->BindFlags;
    shape.cpuAccess = desc->CPUAccessFlags;
    shape.miscFlags = desc->MiscFlags;
    if (!Valid(shape, initialData, D3D11_REQ_TEXTURE1D_U_DIMENSION)) return E_INVALIDARG;
    if (!device.Usable()) return E_NOTIMPL;
    return Finish<Texture1D>(device, shape, initialData, texture);
}

void Texture1D::GetDesc(D3D11_TEXTURE1D_DESC* desc) {
    *desc = {width, mipLevels, arraySize, format->format, usage, bindFlags, cpuAccess, miscFlags};
}

HRESULT Texture2D::Create(Device& device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          ID3D11Texture2D** texture) {
    return Create(device, desc, initialData, false, texture);
}

HRESULT Texture2D::CreateBackBuffer(Device& device, const D3D11_TEXTURE2D_DESC* desc, ID3D11Texture2D** texture) {
    const bool shown = !(desc->BindFlags & D3D11_BIND_SHADER_RESOURCE) && desc->SampleDesc.Count == 1;
    const HRESULT hr = Create(device, desc, nullptr, shown, texture);
    if (SUCCEEDED(hr)) static_cast<Texture2D*>(*texture)->presented = true;
    return hr;
}

HRESULT Texture2D::Create(Device& device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          bool windowFormat, ID3D11Texture2D** texture) {
    ClearOut(texture);
    if (!desc) return E_INVALIDARG;
    TextureData shape;
    shape.format = FindTextureFormat(desc->Format);
    if (!shape.format) return E_INVALIDARG;
    shape.width = desc->Width;
    shape.height = desc->Height;
    shape.mipLevels = desc->MipLevels ? desc->MipLevels : FullChain(desc->Width, desc->Height);
    shape.arraySize = desc->ArraySize;
    shape.samples = desc->SampleDesc.Count;
    shape.usage = desc->Usage;
    shape.bindFlags = desc->BindFlags;
    shape.cpuAccess = desc->CPUAccessFlags;
    shape.miscFlags = desc->MiscFlags;
    shape.windowFormat = windowFormat;
    if (shape.samples == 0 || !Valid(shape, initialData, D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION)) return E_INVALIDARG;
    if (!device.Usable()) return E_NOTIMPL;
    UINT qualityLevels = 1;
    if (shape.samples > 1) device.CheckMultisampleQualityLevels(desc->Format, shape.samples, &qualityLevels);
    if (desc->SampleDesc.Quality >= qualityLevels) return E_INVALIDARG;
    return Finish<Texture2D>(device, shape, initialData, texture);
}

void Texture2D::GetDesc(D3D11_TEXTURE2D_DESC* desc) {
    *desc = {width, height, mipLevels, arraySize, format->format, {samples, 0}, usage, bindFlags, cpuAccess, miscFlags};
}

TextureData* TextureOf(ID3D11Resource* resource) {
    if (!resource) return nullptr;
    D3D11_RESOURCE_DIMENSION dimension = D3D11_RESOURCE_DIMENSION_UNKNOWN;
    resource->GetType(&dimension);
    if (dimension == D3D11_RESOURCE_DIMENSION_TEXTURE1D) {
        return static_cast<Texture1D*>(static_cast<ID3D11Texture1D*>(resource));
    }
    if (dimension == D3D11_RESOURCE_DIMENSION_TEXTURE2D) {
        return static_cast<Texture2D*>(static_cast<ID3D11Texture2D*>(resource));
    }
    return nullptr;
}

template class TextureObject<ID3D11Texture1D, D3D11_RESOURCE_DIMENSION_TEXTURE1D>;
template class TextureObject<ID3D11Texture2D, D3D11_RESOURCE_DIMENSION_TEXTURE2D>;

}  // namespace platform
