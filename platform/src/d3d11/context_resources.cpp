// The context's work on resources: clears, CPU access, updates, copies and the copy to a window.
#include "context.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

bool AccessAllows(UINT cpuAccess, D3D11_MAP mapType) {
    switch (mapType) {
    case D3D11_MAP_READ:
        return cpuAccess & D3D11_CPU_ACCESS_READ;
    case D3D11_MAP_WRITE:
        return cpuAccess & D3D11_CPU_ACCESS_WRITE;
    case D3D11_MAP_READ_WRITE:
        return (cpuAccess & D3D11_CPU_ACCESS_READ) && (cpuAccess & D3D11_CPU_ACCESS_WRITE);
    default:
        return false;
    }
}

bool SameShape(const TextureData& a, const TextureData& b) {
    return a.dimension == b.dimension && a.width == b.width && a.height == b.height && a.mipLevels == b.mipLevels &&
           a.arraySize == b.arraySize && a.samples == b.samples && a.format->bytesPerTexel == b.format->bytesPerTexel &&
           a.format->depth == b.format->depth;
}

bool BoxInside(const D3D11_BOX& box, UINT width, UINT height) {
    return box.left < box.right && box.top < box.bottom && box.front < box.back && box.right <= width &&
           box.bottom <= height && box.back == 1;
}

bool WritableBy(D3D11_USAGE usage, D3D11_MAP mapType) {
    const bool writeOnly = mapType == D3D11_MAP_WRITE_DISCARD || mapType == D3D11_MAP_WRITE_NO_OVERWRITE;
    return usage == D3D11_USAGE_DYNAMIC && writeOnly;
}

}  // namespace

// ---- clears ----

// Clears ignore the scissor rectangle in Direct3D; GL applies it unless it is off. The next draw states its own
// scissor test again.

void Context::ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT colorRGBA[4]) {
    if (!view || !colorRGBA || !Rasterises()) return;
    device_.MakeCurrent();
    auto* target = static_cast<RenderTargetView*>(view);
    GLuint framebuffer = target->Framebuffer();
    GLint drawBuffer = 0;
    // A bound view is cleared through the framebuffer draws use: Mesa's software rasteriser then starts the frame
    // from the clear colour instead of writing the whole image once for the clear and reading it back to draw.
    for (UINT i = 0; i < numRenderTargets_; ++i) {
        if (renderTargets_[i] != target) continue;
        framebuffer = DrawFramebuffer();
        drawBuffer = GLint(i);
        break;
    }
    TextureData& texture = target->Texture();
    const GLenum pixelFormat = texture.format->pixelFormat;
    const bool integer = pixelFormat == GL_RED_INTEGER || pixelFormat == GL_RGBA_INTEGER;
    if (!integer && RecordsClearOf(texture)) {
        RecordClear(*target, colorRGBA, framebuffer, drawBuffer);
        return;
    }
    BeforeAccess(texture.serial);
    WrittenOutsideFrames(texture.serial);
    texture.Touch();
    gl_->SetScissorTest(false);
    gl_->SetColourMask(UINT(drawBuffer), D3D11_COLOR_WRITE_ENABLE_ALL);
    gl_->SetFramebufferSrgb(true);
    gl_->Apply(GLState::kScissorTest | GLState::kColourMasks | GLState::kSrgb);
    if (integer) {
        const GLuint values[4] = {GLuint(colorRGBA[0]), GLuint(colorRGBA[1]), GLuint(colorRGBA[2]),
                                  GLuint(colorRGBA[3])};
        glClearNamedFramebufferuiv(framebuffer, GL_COLOR, drawBuffer, values);
    } else {
        glClearNamedFramebufferfv(framebuffer, GL_COLOR, drawBuffer, colorRGBA);
    }
}

// A depth-stencil clear waits until something can see its values: a draw that tests depth or stencil, a copy or
// update of the texture, or the view's end. A frame that never tests depth then never fills the buffer, and the
// next frame's clear replaces the waiting one.
void Context::ClearDepthStencilView(ID3D11DepthStencilView* view, UINT clearFlags, FLOAT depth, uint8_t stencil) {
    if (!view || !Rasterises()) return;
    auto* target = static_cast<DepthStencilView*>(view);
    const UINT stencilFlag = target->HasStencil() ? D3D11_CLEAR_STENCIL : 0;
    const UINT flags = clearFlags & (D3D11_CLEAR_DEPTH | stencilFlag);
    if (!flags) return;
    const uint64_t texture = target->Texture().serial;
    BeforeAccess(texture);
    auto own = [target](const PendingClear& p) { return p.view == target; };
    // Another view's waiting clear of the same texture may cover the same images and must land first.
    const bool another = std::any_of(pendingClears_.begin(), pendingClears_.end(),
                                     [&](const PendingClear& p) { return p.texture == texture && p.view != target; });
    if (another) FinishClears(texture);
    auto found = std::find_if(pendingClears_.begin(), pendingClears_.end(), own);
    if (found == pendingClears_.end()) found = pendingClears_.insert(pendingClears_.end(), {target, texture});
    if (flags & D3D11_CLEAR_DEPTH) found->depth = depth;
    if (flags & D3D11_CLEAR_STENCIL) found->stencil = stencil;
    found->flags |= flags;
}

void Context::FinishClear(PendingClear pending) {
    device_.MakeCurrent();
    gl_->SetScissorTest(false);
    gl_->SetDepthStencilMasks(true, 0xff);
    gl_->Apply(GLState::kScissorTest | GLState::kDepthStencilMasks);
    const GLuint framebuffer = pending.view->Framebuffer();
    if (pending.flags & D3D11_CLEAR_DEPTH) glClearNamedFramebufferfv(framebuffer, GL_DEPTH, 0, &pending.depth);
    if (pending.flags & D3D11_CLEAR_STENCIL) {
        const GLint value = pending.stencil;
        glClearNamedFramebufferiv(framebuffer, GL_STENCIL, 0, &value);
    }
}

void Context::FinishClears(uint64_t texture) {
    auto waiting = std::stable_partition(pendingClears_.begin(), pendingClears_.end(),
                                         [texture](const PendingClear& p) { return p.texture != texture; });
    const std::vector<PendingClear> due(waiting, pendingClears_.end());
    pendingClears_.erase(waiting, pendingClears_.end());
    for (const PendingClear& pending : due) FinishClear(pending);
}

void Context::ForgetDepthView(DepthStencilView& view) {
    ForgetView(view.Serial());
    auto found = std::find_if(pendingClears_.begin(), pendingClears_.end(),
                              [&view](const PendingClear& p) { return p.view == &view; });
    if (found == pendingClears_.end()) return;
    const PendingClear pending = *found;
    pendingClears_.erase(found);
    FinishClear(pending);
}

void Context::GenerateMips(ID3D11ShaderResourceView* view) {
    if (!view || !Rasterises()) return;
    device_.MakeCurrent();
    TextureData& texture = static_cast<ShaderResourceView*>(view)->Texture();
    BeforeAccess(texture.serial);
    texture.Touch();
    glGenerateTextureMipmap(static_cast<ShaderResourceView*>(view)->Name());
}

// ---- CPU access ----

HRESULT Context::Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP mapType, UINT /*mapFlags*/,
                     D3D11_MAPPED_SUBRESOURCE* mapped) {
    if (!mapped) return RefuseMap("pMappedResource is null.", messages::kMapInvalidArg);
    *mapped = {};
    device_.MakeCurrent();
    if (Buffer* buffer = BufferOf(resource)) {
        BeforeAccess(buffer->Serial());
        if (subresource == 0) return MapBuffer(*buffer, mapType, mapped);
        return RefuseMap("A buffer has only subresource 0.", messages::kMapInvalidSubresource);
    }
    if (TextureData* texture = TextureOf(resource)) {
        BeforeAccess(texture->serial);
        return MapTexture(*texture, subresource, mapType, mapped);
    }
    return RefuseMap("pResource is null or not a buffer or texture of this layer.", messages::kMapInvalidArg);
}

HRESULT Context::RefuseMap(const char* text, const MessageKind& kind) const {
    device_.Report("ID3D11DeviceContext::Map", text, kind);
    return E_INVALIDARG;
}

HRESULT Context::MapBuffer(Buffer& buffer, D3D11_MAP mapType, D3D11_MAPPED_SUBRESOURCE* mapped) {
    if (Mapped(buffer.Serial(), 0)) return RefuseMap("The buffer is already mapped.", messages::kMapAlreadyMapped);
    const D3D11_BUFFER_DESC& desc = buffer.Desc();
    void* data = nullptr;
    if (buffer.Staging()) {
        if (!AccessAllows(desc.CPUAccessFlags, mapType)) {
            return RefuseMap("The map type asks for CPU access the buffer was not created with.",
                             messages::kMapInvalidMapType);
        }
        data = buffer.Cpu();
    } else if (!WritableBy(desc.Usage, mapType)) {
        return RefuseMap(
            "Only a D3D11_USAGE_DYNAMIC buffer maps for writing (WRITE_DISCARD or WRITE_NO_OVERWRITE), "
            "and only a staging buffer for other access.",
            messages::kMapInvalidMapType);
    } else if (buffer.CpuHeld()) {
        data = buffer.Cpu();
    } else {
        const GLbitfield access = GL_MAP_WRITE_BIT | (mapType == D3D11_MAP_WRITE_DISCARD ? GL_MAP_INVALIDATE_BUFFER_BIT
                                                                                         : GL_MAP_UNSYNCHRONIZED_BIT);
        data = glMapNamedBufferRange(buffer.Name(), 0, desc.ByteWidth, access);
        if (!data) return E_OUTOFMEMORY;
    }
    mapped_.insert({buffer.Serial(), 0});
    *mapped = {data, desc.ByteWidth, desc.ByteWidth};
    return S_OK;
}

HRESULT Context::MapTexture(TextureData& texture, UINT subresource, D3D11_MAP mapType,
                            D3D11_MAPPED_SUBRESOURCE* mapped) {
    if (subresource >= texture.Subresources()) {
        return RefuseMap("The subresource is beyond the texture's mips and layers.", messages::kMapInvalidSubresource);
    }
    if (Mapped(texture.serial, subresource)) {
        return RefuseMap("The subresource is already mapped.", messages::kMapAlreadyMapped);
    }
    const UINT mip = subresource % texture.mipLevels;
    if (texture.Staging()) {
        if (!AccessAllows(texture.cpuAccess, mapType)) {
            return RefuseMap("The map type asks for CPU access the texture was not created with.",
                             messages::kMapInvalidMapType);
        }
    } else if (texture.usage == D3D11_USAGE_DYNAMIC && mapType == D3D11_MAP_WRITE_DISCARD) {
        texture.cpu[subresource].assign(texture.SubresourceBytes(mip), 0);
    } else {
        return RefuseMap(
            "Only a D3D11_USAGE_DYNAMIC texture maps with WRITE_DISCARD, and only a staging texture for "
            "other access.",
            messages::kMapInvalidMapType);
    }
    mapped_.insert({texture.serial, subresource});
    *mapped = {texture.cpu[subresource].data(), texture.RowPitch(mip), texture.SubresourceBytes(mip)};
    return S_OK;
}

void Context::Unmap(ID3D11Resource* resource, UINT subresource) {
    device_.MakeCurrent();
    const char* method = "ID3D11DeviceContext::Unmap";
    const char* notMapped = "The subresource is not mapped; the call is ignored.";
    if (Buffer* buffer = BufferOf(resource)) {
        if (!mapped_.erase({buffer->Serial(), 0})) return device_.Report(method, notMapped, messages::kUnmapNotMapped);
        if (!buffer->CpuHeld()) glUnmapNamedBuffer(buffer->Name());
        buffer->Touch();
        return;
    }
    TextureData* texture = TextureOf(resource);
    if (!texture || !mapped_.erase({texture->serial, subresource})) {
        return device_.Report(method, notMapped, messages::kUnmapNotMapped);
    }
    if (texture->Staging()) return;
    std::vector<uint8_t> written;
    written.swap(texture->cpu[subresource]);
    texture->Write(subresource, nullptr, written.data(), texture->RowPitch(subresource % texture->mipLevels));
}

// ---- updates and copies ----

void Context::UpdateSubresource(ID3D11Resource* dstResource, UINT dstSubresource, const D3D11_BOX* dstBox,
                                const void* srcData, UINT srcRowPitch, UINT /*srcDepthPitch*/) {
    if (!srcData) return IgnoreUpdate("pSrcData is null.");
    device_.MakeCurrent();
    if (Buffer* buffer = BufferOf(dstResource)) {
        BeforeAccess(buffer->Serial());
        UpdateBuffer(*buffer, dstSubresource, dstBox, srcData);
        return;
    }
    TextureData* texture = TextureOf(dstResource);
    if (!texture || texture->usage != D3D11_USAGE_DEFAULT || texture->samples > 1) {
        return IgnoreUpdate("The destination is not a single-sample D3D11_USAGE_DEFAULT texture or buffer.");
    }
    BeforeAccess(texture->serial);
    WrittenOutsideFrames(texture->serial);
    FinishClears(texture->serial);
    if (dstSubresource >= texture->Subresources()) return IgnoreUpdate("The subresource is beyond the texture.");
    const UINT mip = dstSubresource % texture->mipLevels;
    if (dstBox && !BoxInside(*dstBox, texture->MipWidth(mip), texture->MipHeight(mip))) {
        return IgnoreUpdate("The box is empty or reaches beyond the subresource.");
    }
    texture->Write(dstSubresource, dstBox, srcData, srcRowPitch);
}

void Context::IgnoreUpdate(const char* text) const {
    if (!device_.Debugging()) return;
    device_.Report("ID3D11DeviceContext::UpdateSubresource", std::string(text) + " The call is ignored.",
                   messages::kUpdateSubresourceInvalid);
}

// Constant buffers are always written whole, as Direct3D 11.0 requires.
void Context::UpdateBuffer(Buffer& buffer, UINT dstSubresource, const D3D11_BOX* dstBox, const void* srcData) {
    const D3D11_BUFFER_DESC& desc = buffer.Desc();
    if (desc.Usage != D3D11_USAGE_DEFAULT || dstSubresource != 0) {
        return IgnoreUpdate("Only subresource 0 of a D3D11_USAGE_DEFAULT buffer is updated.");
    }
    if (dstBox && (buffer.Constant() || dstBox->left >= dstBox->right || dstBox->right > desc.ByteWidth)) {
        return IgnoreUpdate("A constant buffer is updated whole; another buffer's box must lie inside it.");
    }
    const UINT offset = dstBox ? dstBox->left : 0;
    const UINT size = dstBox ? dstBox->right - dstBox->left : desc.ByteWidth;
    if (buffer.CpuHeld()) {
        std::memcpy(buffer.Cpu() + offset, srcData, size);
        buffer.Touch();
        return;
    }
    glNamedBufferSubData(buffer.Name(), offset, size, srcData);
    buffer.Touch();
}

void Context::CopyResource(ID3D11Resource* dstResource, ID3D11Resource* srcResource) {
    const char* mismatch =
        "The resources are missing, the same, of different kinds or shapes, or the destination "
        "is immutable; the call is ignored.";
    if (!dstResource || !srcResource || dstResource == srcResource) {
        return device_.Report("ID3D11DeviceContext::CopyResource", mismatch, messages::kCopyResourceInvalid);
    }
    device_.MakeCurrent();
    Buffer* dstBuffer = BufferOf(dstResource);
    Buffer* srcBuffer = BufferOf(srcResource);
    if (dstBuffer && srcBuffer) {
        BeforeAccess(dstBuffer->Serial());
        CopyBuffer(*dstBuffer, *srcBuffer);
        return;
    }
    TextureData* dst = TextureOf(dstResource);
    TextureData* src = TextureOf(srcResource);
    if (!dst || !src || !SameShape(*dst, *src) || dst->usage == D3D11_USAGE_IMMUTABLE) {
        return device_.Report("ID3D11DeviceContext::CopyResource", mismatch, messages::kCopyResourceInvalid);
    }
    if (!Rasterises() && !(dst->Staging() && src->Staging())) return;
    BeforeAccess(dst->serial);
    BeforeAccess(src->serial);
    WrittenOutsideFrames(dst->serial);
    FinishClears(dst->serial);
    FinishClears(src->serial);
    for (UINT i = 0; i < dst->Subresources(); ++i) CopySubresource(*dst, *src, i);
}

void Context::CopyBuffer(Buffer& dst, Buffer& src) {
    const UINT size = dst.Desc().ByteWidth;
    if (size != src.Desc().ByteWidth || dst.Desc().Usage == D3D11_USAGE_IMMUTABLE) {
        return device_.Report("ID3D11DeviceContext::CopyResource",
                              "The buffers differ in size or the destination is immutable; the call is ignored.",
                              messages::kCopyResourceInvalid);
    }
    if (dst.CpuHeld() && src.CpuHeld()) {
        std::memcpy(dst.Cpu(), src.Cpu(), size);
    } else if (dst.CpuHeld()) {
        glGetNamedBufferSubData(src.Name(), 0, size, dst.Cpu());
    } else if (src.CpuHeld()) {
        glNamedBufferSubData(dst.Name(), 0, size, src.Cpu());
    } else {
        glCopyNamedBufferSubData(src.Name(), dst.Name(), 0, 0, size);
    }
    dst.Touch();
}

void Context::ResolveSubresource(ID3D11Resource* dstResource, UINT dstSubresource, ID3D11Resource* srcResource,
                                 UINT srcSubresource, DXGI_FORMAT /*format*/) {
    TextureData* dst = TextureOf(dstResource);
    TextureData* src = TextureOf(srcResource);
    const bool kinds = dst && src && src->samples > 1 && dst->samples == 1 && !dst->Staging();
    const bool within = kinds && srcSubresource < src->Subresources() && dstSubresource < dst->Subresources();
    const UINT mip = within ? dstSubresource % dst->mipLevels : 0;
    if (!within || dst->MipWidth(mip) != src->width || dst->MipHeight(mip) != src->height) {
        return device_.Report("ID3D11DeviceContext::ResolveSubresource",
                              "The source must be multisampled and the destination a single-sample, non-staging "
                              "subresource of the same size; the call is ignored.",
                              messages::kResolveSubresourceInvalid);
    }
    if (!Rasterises()) return;
    device_.MakeCurrent();
    BeforeAccess(dst->serial);
    BeforeAccess(src->serial);
    WrittenOutsideFrames(dst->serial);
    dst->Touch();
    const Attachment from{src->name, 0, src->arraySize > 1 ? GLint(srcSubresource) : -1, GL_COLOR_ATTACHMENT0};
    const Attachment to{dst->name, GLint(mip), dst->arraySize > 1 ? GLint(dstSubresource / dst->mipLevels) : -1,
                        GL_COLOR_ATTACHMENT0};
    from.AttachTo(copyFramebuffers_[0], GL_COLOR_ATTACHMENT0);
    to.AttachTo(copyFramebuffers_[1], GL_COLOR_ATTACHMENT0);
    gl_->SetScissorTest(false);
    gl_->SetFramebufferSrgb(true);
    gl_->Apply(GLState::kScissorTest | GLState::kSrgb);
    const GLint w = GLint(src->width), h = GLint(src->height);
    glBlitNamedFramebuffer(copyFramebuffers_[0], copyFramebuffers_[1], 0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT,
                           GL_NEAREST);
}

// The flip is a plain row copy when the source is stored in the window's own pixel order (the swap chain asks
// for that); sRGB conversion is off so the bytes arrive as rendered.
void Context::BlitToWindow(const TextureData& source, int windowWidth, int windowHeight, const PixelRect* rect) {
    const Attachment from{source.name, 0, -1, GL_COLOR_ATTACHMENT0};
    from.AttachTo(copyFramebuffers_[0], GL_COLOR_ATTACHMENT0);
    gl_->SetScissorTest(false);
    gl_->SetFramebufferSrgb(false);
    gl_->Apply(GLState::kScissorTest | GLState::kSrgb);
    if (rect) {
        glBlitNamedFramebuffer(copyFramebuffers_[0], 0, rect->left, rect->top, rect->right, rect->bottom, rect->left,
                               windowHeight - rect->top, rect->right, windowHeight - rect->bottom, GL_COLOR_BUFFER_BIT,
                               GL_NEAREST);
        return;
    }
    const bool sameSize = GLint(source.width) == windowWidth && GLint(source.height) == windowHeight;
    glBlitNamedFramebuffer(copyFramebuffers_[0], 0, 0, 0, GLint(source.width), GLint(source.height), 0, windowHeight,
                           windowWidth, 0, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
}

void Context::ShowPicture(const TextureData& source, GLuint target, int targetHeight, const PictureRect& picture,
                          const PixelRect* rect) {
    if (!scaler_) scaler_ = std::make_unique<PictureScaler>();
    const RectGL only =
        rect ? RectGL{rect->left, targetHeight - rect->bottom, rect->right - rect->left, rect->bottom - rect->top}
             : RectGL{};
    scaler_->Show(*gl_, source.name, GLint(source.width), GLint(source.height), target, targetHeight, picture,
                  rect ? &only : nullptr);
}

}  // namespace platform
