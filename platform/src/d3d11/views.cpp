#include "views.h"
#include <algorithm>
#include <iterator>
#include "context.h"

namespace platform {
namespace {

constexpr UINT kAllMips = UINT(-1);

bool InRange(UINT first, UINT count, UINT total) { return count > 0 && first < total && count <= total - first; }

// ---- shader-resource views ----

D3D11_SHADER_RESOURCE_VIEW_DESC DefaultSrv(const TextureData& t) {
    D3D11_SHADER_RESOURCE_VIEW_DESC d{};
    d.Format = t.format->format;
    const bool array = t.arraySize > 1;
    if (t.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE1D) {
        d.ViewDimension = array ? D3D11_SRV_DIMENSION_TEXTURE1DARRAY : D3D11_SRV_DIMENSION_TEXTURE1D;
        d.Texture1DArray = {0, t.mipLevels, 0, t.arraySize};
    } else if (t.samples > 1) {
        d.ViewDimension = array ? D3D11_SRV_DIMENSION_TEXTURE2DMSARRAY : D3D11_SRV_DIMENSION_TEXTURE2DMS;
        d.Texture2DMSArray = {0, t.arraySize};
    } else if (t.miscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE) {
        d.ViewDimension = t.arraySize == 6 ? D3D11_SRV_DIMENSION_TEXTURECUBE : D3D11_SRV_DIMENSION_TEXTURECUBEARRAY;
        d.TextureCubeArray = {0, t.mipLevels, 0, t.arraySize / 6};
    } else {
        d.ViewDimension = array ? D3D11_SRV_DIMENSION_TEXTURE2DARRAY : D3D11_SRV_DIMENSION_TEXTURE2D;
        d.Texture2DArray = {0, t.mipLevels, 0, t.arraySize};
    }
    return d;
}

struct SrvRange {
    GLenum target = 0;
    UINT firstMip = 0, mips = 1, firstLayer = 0, layers = 1;
};

// The GL target of a view dimension, or 0 when the texture cannot be seen that way.
GLenum SrvTarget(const TextureData& t, D3D11_SRV_DIMENSION dimension) {
    const bool oneD = t.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE1D;
    const bool cube = t.miscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE;
    const bool ms = t.samples > 1;
    switch (dimension) {
    case D3D11_SRV_DIMENSION_TEXTURE1D:
        return oneD ? GL_TEXTURE_1D : 0;
    case D3D11_SRV_DIMENSION_TEXTURE1DARRAY:
        return oneD ? GL_TEXTURE_1D_ARRAY : 0;
    case D3D11_SRV_DIMENSION_TEXTURE2D:
        return oneD || ms ? 0 : GL_TEXTURE_2D;
    case D3D11_SRV_DIMENSION_TEXTURE2DARRAY:
        return oneD || ms ? 0 : GL_TEXTURE_2D_ARRAY;
    case D3D11_SRV_DIMENSION_TEXTURE2DMS:
        return ms ? GL_TEXTURE_2D_MULTISAMPLE : 0;
    case D3D11_SRV_DIMENSION_TEXTURE2DMSARRAY:
        return ms ? GL_TEXTURE_2D_MULTISAMPLE_ARRAY : 0;
    case D3D11_SRV_DIMENSION_TEXTURECUBE:
        return cube ? GL_TEXTURE_CUBE_MAP : 0;
    case D3D11_SRV_DIMENSION_TEXTURECUBEARRAY:
        return cube ? GL_TEXTURE_CUBE_MAP_ARRAY : 0;
    default:
        return 0;
    }
}

// The mips and layers a description names, with "all remaining mips" resolved in the description itself.
void ReadSrvRange(const TextureData& t, D3D11_SHADER_RESOURCE_VIEW_DESC& d, SrvRange& r) {
    auto mips = [&](UINT& first, UINT& count) {
        if (count == kAllMips && first < t.mipLevels) count = t.mipLevels - first;
        r.firstMip = first;
        r.mips = count;
    };
    auto layers = [&](UINT first, UINT count) {
        r.firstLayer = first;
        r.layers = count;
    };
    switch (d.ViewDimension) {
    case D3D11_SRV_DIMENSION_TEXTURE1D:
        return mips(d.Texture1D.MostDetailedMip, d.Texture1D.MipLevels);
    case D3D11_SRV_DIMENSION_TEXTURE1DARRAY:
        mips(d.Texture1DArray.MostDetailedMip, d.Texture1DArray.MipLevels);
        return layers(d.Texture1DArray.FirstArraySlice, d.Texture1DArray.ArraySize);
    case D3D11_SRV_DIMENSION_TEXTURE2D:
        return mips(d.Texture2D.MostDetailedMip, d.Texture2D.MipLevels);
    case D3D11_SRV_DIMENSION_TEXTURE2DARRAY:
        mips(d.Texture2DArray.MostDetailedMip, d.Texture2DArray.MipLevels);
        return layers(d.Texture2DArray.FirstArraySlice, d.Texture2DArray.ArraySize);
    case D3D11_SRV_DIMENSION_TEXTURE2DMSARRAY:
        return layers(d.Texture2DMSArray.FirstArraySlice, d.Texture2DMSArray.ArraySize);
    case D3D11_SRV_DIMENSION_TEXTURECUBE:
        mips(d.TextureCube.MostDetailedMip, d.TextureCube.MipLevels);
        return layers(0, 6);
    case D3D11_SRV_DIMENSION_TEXTURECUBEARRAY:
        mips(d.TextureCubeArray.MostDetailedMip, d.TextureCubeArray.MipLevels);
        return layers(d.TextureCubeArray.First2DArrayFace, d.TextureCubeArray.NumCubes * 6);
    default:
        return;
    }
}

// Fills the range of a view and resolves "all remaining mips"; false for a description the texture cannot have.
bool ResolveSrv(const TextureData& t, D3D11_SHADER_RESOURCE_VIEW_DESC& d, SrvRange& r) {
    r.target = SrvTarget(t, d.ViewDimension);
    if (!r.target) return false;
    ReadSrvRange(t, d, r);
    return InRange(r.firstMip, r.mips, t.mipLevels) && InRange(r.firstLayer, r.layers, t.arraySize);
}

// ---- render-target and depth-stencil views ----

enum class SliceKind { Tex1D, Tex1DArray, Tex2D, Tex2DArray, Tex2DMS, Tex2DMSArray, Invalid };
struct Slice {
    SliceKind kind = SliceKind::Invalid;
    UINT mip = 0, first = 0, count = 1;
};

Slice DefaultSlice(const TextureData& t) {
    const bool array = t.arraySize > 1;
    Slice s{SliceKind::Tex2D, 0, 0, t.arraySize};
    if (t.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE1D) {
        s.kind = array ? SliceKind::Tex1DArray : SliceKind::Tex1D;
    } else if (t.samples > 1) {
        s.kind = array ? SliceKind::Tex2DMSArray : SliceKind::Tex2DMS;
    } else {
        s.kind = array ? SliceKind::Tex2DArray : SliceKind::Tex2D;
    }
    return s;
}

bool KindFits(const TextureData& t, SliceKind kind) {
    const bool oneD = t.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE1D;
    const bool array = t.arraySize > 1, ms = t.samples > 1;
    switch (kind) {
    case SliceKind::Tex1D:
        return oneD && !array;
    case SliceKind::Tex1DArray:
        return oneD;
    case SliceKind::Tex2D:
        return !oneD && !ms && !array;
    case SliceKind::Tex2DArray:
        return !oneD && !ms;
    case SliceKind::Tex2DMS:
        return ms && !array;
    case SliceKind::Tex2DMSArray:
        return ms;
    default:
        return false;
    }
}

// E_INVALIDARG for slices outside the texture, E_NOTIMPL for a partial range of several layers.
HRESULT AttachmentFor(const TextureData& t, const Slice& s, GLenum point, Attachment* image) {
    if (!KindFits(t, s.kind) || s.mip >= t.mipLevels || !InRange(s.first, s.count, t.arraySize)) return E_INVALIDARG;
    const bool arrayKind =
        s.kind == SliceKind::Tex1DArray || s.kind == SliceKind::Tex2DArray || s.kind == SliceKind::Tex2DMSArray;
    image->texture = t.name;
    image->mip = GLint(s.mip);
    image->point = point;
    image->layer = -1;
    if (!arrayKind || t.target == GL_TEXTURE_2D || t.target == GL_TEXTURE_1D) return S_OK;
    if (s.count == 1) {
        image->layer = GLint(s.first);
        return S_OK;
    }
    return s.first == 0 && s.count == t.arraySize ? S_OK : E_NOTIMPL;
}

// The dimension values of each view description, in SliceKind order.
template <class Desc>
struct SliceDimensions;
template <>
struct SliceDimensions<D3D11_RENDER_TARGET_VIEW_DESC> {
    static constexpr D3D11_RTV_DIMENSION kInOrder[] = {
        D3D11_RTV_DIMENSION_TEXTURE1D,      D3D11_RTV_DIMENSION_TEXTURE1DARRAY, D3D11_RTV_DIMENSION_TEXTURE2D,
        D3D11_RTV_DIMENSION_TEXTURE2DARRAY, D3D11_RTV_DIMENSION_TEXTURE2DMS,    D3D11_RTV_DIMENSION_TEXTURE2DMSARRAY};
};
template <>
struct SliceDimensions<D3D11_DEPTH_STENCIL_VIEW_DESC> {
    static constexpr D3D11_DSV_DIMENSION kInOrder[] = {
        D3D11_DSV_DIMENSION_TEXTURE1D,      D3D11_DSV_DIMENSION_TEXTURE1DARRAY, D3D11_DSV_DIMENSION_TEXTURE2D,
        D3D11_DSV_DIMENSION_TEXTURE2DARRAY, D3D11_DSV_DIMENSION_TEXTURE2DMS,    D3D11_DSV_DIMENSION_TEXTURE2DMSARRAY};
};

template <class Desc>
SliceKind KindOf(const Desc& d) {
    const auto& dimensions = SliceDimensions<Desc>::kInOrder;
    const auto* found = std::find(std::begin(dimensions), std::end(dimensions), d.ViewDimension);
    return found == std::end(dimensions) ? SliceKind::Invalid : SliceKind(found - std::begin(dimensions));
}

template <class Desc>
Slice SliceOf(const Desc& d) {
    switch (KindOf(d)) {
    case SliceKind::Tex1D:
        return {SliceKind::Tex1D, d.Texture1D.MipSlice, 0, 1};
    case SliceKind::Tex1DArray:
        return {SliceKind::Tex1DArray, d.Texture1DArray.MipSlice, d.Texture1DArray.FirstArraySlice,
                d.Texture1DArray.ArraySize};
    case SliceKind::Tex2D:
        return {SliceKind::Tex2D, d.Texture2D.MipSlice, 0, 1};
    case SliceKind::Tex2DArray:
        return {SliceKind::Tex2DArray, d.Texture2DArray.MipSlice, d.Texture2DArray.FirstArraySlice,
                d.Texture2DArray.ArraySize};
    case SliceKind::Tex2DMS:
        return {SliceKind::Tex2DMS, 0, 0, 1};
    case SliceKind::Tex2DMSArray:
        return {SliceKind::Tex2DMSArray, 0, d.Texture2DMSArray.FirstArraySlice, d.Texture2DMSArray.ArraySize};
    default:
        return {};
    }
}

template <class Desc>
Desc DescOf(const TextureData& t, const Slice& s) {
    Desc d{};
    d.Format = t.format->format;
    d.ViewDimension = SliceDimensions<Desc>::kInOrder[int(s.kind)];
    if (s.kind == SliceKind::Tex2DMSArray) {
        d.Texture2DMSArray = {s.first, s.count};
    } else {
        d.Texture2DArray = {s.mip, s.first, s.count};
    }
    return d;
}

GLuint SingleAttachmentFramebuffer(const Attachment& image, bool color) {
    GLuint framebuffer = 0;
    glCreateFramebuffers(1, &framebuffer);
    image.AttachTo(framebuffer, image.point);
    glNamedFramebufferDrawBuffer(framebuffer, color ? GL_COLOR_ATTACHMENT0 : GL_NONE);
    glNamedFramebufferReadBuffer(framebuffer, color ? GL_COLOR_ATTACHMENT0 : GL_NONE);
    if (glCheckNamedFramebufferStatus(framebuffer, GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return framebuffer;
    glDeleteFramebuffers(1, &framebuffer);
    return 0;
}

// The texture behind a view, or why the resource cannot be viewed with this binding.
HRESULT ViewableTexture(Device& device, ID3D11Resource* resource, UINT bindFlag, TextureData** texture) {
    if (!resource) return E_INVALIDARG;
    if (BufferOf(resource)) return E_NOTIMPL;
    TextureData* t = TextureOf(resource);
    if (!t || !(t->bindFlags & bindFlag)) return E_INVALIDARG;
    if (!device.Usable()) return E_NOTIMPL;
    device.MakeCurrent();
    *texture = t;
    return S_OK;
}

}  // namespace

void Attachment::AttachTo(GLuint framebuffer, GLenum at) const {
    if (layer < 0) {
        glNamedFramebufferTexture(framebuffer, at, texture, mip);
    } else {
        glNamedFramebufferTextureLayer(framebuffer, at, texture, mip, layer);
    }
}

template <class Interface, class Desc>
View<Interface, Desc>::~View() {
    resource_->Release();
}

HRESULT ShaderResourceView::Create(Device& device, ID3D11Resource* resource,
                                   const D3D11_SHADER_RESOURCE_VIEW_DESC* desc, ID3D11ShaderResourceView** view) {
    ClearOut(view);
    TextureData* t = nullptr;
    if (HRESULT hr = ViewableTexture(device, resource, D3D11_BIND_SHADER_RESOURCE, &t); FAILED(hr)) return hr;
    D3D11_SHADER_RESOURCE_VIEW_DESC d = desc ? *desc : DefaultSrv(*t);
    if (d.ViewDimension == D3D11_SRV_DIMENSION_BUFFER || d.ViewDimension == D3D11_SRV_DIMENSION_BUFFEREX) {
        return E_NOTIMPL;
    }
    if (d.Format == DXGI_FORMAT_UNKNOWN) d.Format = t->format->format;
    SrvRange range;
    if (!ViewCompatible(t->format->format, d.Format) || !ResolveSrv(*t, d, range)) return E_INVALIDARG;
    auto* object = new ShaderResourceView(device, resource, d);
    object->target_ = range.target;
    if (t->name) {
        glGenTextures(1, &object->name_);
        glTextureView(object->name_, range.target, t->name, FindTextureFormat(d.Format)->internalFormat, range.firstMip,
                      range.mips, range.firstLayer, range.layers);
    }
    return HandOut(object, view);
}

ShaderResourceView::~ShaderResourceView() {
    device_->MakeCurrent();
    device_->Immediate().ForgetView(Serial());
    DeleteName(*device_, GLObject::Texture, name_);
}

template <class Interface, class Desc>
template <class Object>
HRESULT AttachmentView<Interface, Desc>::CreateOn(Device& device, TextureData& t, ID3D11Resource* resource,
                                                  const Desc* desc, GLenum point, Interface** view) {
    const Slice slice = desc ? SliceOf(*desc) : DefaultSlice(t);
    Attachment image;
    if (HRESULT hr = AttachmentFor(t, slice, point, &image); FAILED(hr)) return hr;
    const GLuint framebuffer = t.name ? SingleAttachmentFramebuffer(image, point == GL_COLOR_ATTACHMENT0) : 0;
    if (!framebuffer && device.Rasterises()) return E_INVALIDARG;
    auto* object = new Object(device, resource, DescOf<Desc>(t, slice));
    object->framebuffer_ = framebuffer;
    object->image_ = image;
    return HandOut(object, view);
}

template <class Interface, class Desc>
AttachmentView<Interface, Desc>::~AttachmentView() {
    DeleteName(*this->device_, GLObject::Framebuffer, framebuffer_);
}

HRESULT RenderTargetView::Create(Device& device, ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                 ID3D11RenderTargetView** view) {
    ClearOut(view);
    TextureData* t = nullptr;
    if (HRESULT hr = ViewableTexture(device, resource, D3D11_BIND_RENDER_TARGET, &t); FAILED(hr)) return hr;
    if (desc && desc->Format != DXGI_FORMAT_UNKNOWN && desc->Format != t->format->format) {
        return ViewCompatible(t->format->format, desc->Format) ? E_NOTIMPL : E_INVALIDARG;
    }
    return CreateOn<RenderTargetView>(device, *t, resource, desc, GL_COLOR_ATTACHMENT0, view);
}

RenderTargetView::~RenderTargetView() {
    device_->MakeCurrent();
    device_->Immediate().ForgetView(Serial());
}

HRESULT DepthStencilView::Create(Device& device, ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                 ID3D11DepthStencilView** view) {
    ClearOut(view);
    TextureData* t = nullptr;
    if (HRESULT hr = ViewableTexture(device, resource, D3D11_BIND_DEPTH_STENCIL, &t); FAILED(hr)) return hr;
    if (desc && desc->Format != DXGI_FORMAT_UNKNOWN && desc->Format != t->format->format) return E_INVALIDARG;
    if (desc && desc->Flags) return E_NOTIMPL;
    const GLenum point = t->format->stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    return CreateOn<DepthStencilView>(device, *t, resource, desc, point, view);
}

// A clear still pending on this view must reach the framebuffer before the framebuffer goes.
DepthStencilView::~DepthStencilView() {
    device_->MakeCurrent();
    device_->Immediate().ForgetDepthView(*this);
}

}  // namespace platform
