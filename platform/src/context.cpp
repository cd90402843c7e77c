#include "context.h"

#include "draw_hook.h"
#include <algorithm>
#include <cstring>

namespace platform {
namespace {

GLenum PrimitiveMode(D3D11_PRIMITIVE_TOPOLOGY topology) {
    switch (topology) {
        case D3D11_PRIMITIVE_TOPOLOGY_POINTLIST: return GL_POINTS;
        case D3D11_PRIMITIVE_TOPOLOGY_LINELIST: return GL_LINES;
        case D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP: return GL_LINE_STRIP;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST: return GL_TRIANGLES;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3D11_PRIMITIVE_TOPOLOGY_LINELIST_ADJ: return GL_LINES_ADJACENCY;
        case D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP_ADJ: return GL_LINE_STRIP_ADJACENCY;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST_ADJ: return GL_TRIANGLES_ADJACENCY;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP_ADJ: return GL_TRIANGLE_STRIP_ADJACENCY;
        default: return 0;
    }
}

// Clears and blits ignore the scissor rectangle in Direct3D; GL applies it unless it is off.
class ScissorOff {
public:
    ScissorOff() : was_(glIsEnabled(GL_SCISSOR_TEST)) { glDisable(GL_SCISSOR_TEST); }
    ~ScissorOff() {
        if (was_) glEnable(GL_SCISSOR_TEST);
    }

private:
    GLboolean was_;
};

bool AccessAllows(UINT cpuAccess, D3D11_MAP mapType) {
    switch (mapType) {
        case D3D11_MAP_READ: return cpuAccess & D3D11_CPU_ACCESS_READ;
        case D3D11_MAP_WRITE: return cpuAccess & D3D11_CPU_ACCESS_WRITE;
        case D3D11_MAP_READ_WRITE: return (cpuAccess & D3D11_CPU_ACCESS_READ) && (cpuAccess & D3D11_CPU_ACCESS_WRITE);
        default: return false;
    }
}

bool SameShape(const TextureData& a, const TextureData& b) {
    return a.dimension == b.dimension && a.width == b.width && a.height == b.height && a.mipLevels == b.mipLevels &&
           a.arraySize == b.arraySize && a.samples == b.samples &&
           a.format->bytesPerTexel == b.format->bytesPerTexel && a.format->depth == b.format->depth;
}

bool BoxInside(const D3D11_BOX& box, UINT width, UINT height) {
    return box.left < box.right && box.top < box.bottom && box.front < box.back && box.right <= width &&
           box.bottom <= height && box.back == 1;
}

template <class T>
void HandOutBinding(T* bound, T** out) {
    if (!out) return;
    if (bound) bound->AddRef();
    *out = bound;
}

// Releases every binding of a view that nothing else references.
template <class V>
bool DropIfOnlyHere(V** slots, UINT count, ID3D11Resource* resource) {
    bool dropped = false;
    for (UINT i = 0; i < count; ++i) {
        V* view = slots[i];
        if (!view || view->Resource() != resource) continue;
        UINT bindings = 0;
        for (UINT j = 0; j < count; ++j) bindings += slots[j] == view;
        if (view->RefCount() != bindings) continue;
        for (UINT j = 0; j < count; ++j) {
            if (slots[j] == view) Hold<V>(slots[j], nullptr);
        }
        dropped = true;
    }
    return dropped;
}

}  // namespace

Context::Context(Device& device) : device_(device) {
    glCreateVertexArrays(1, &emptyVertexArray_);
    glCreateFramebuffers(2, copyFramebuffers_);
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &textureUnits_);
    DefaultBlend().Apply(blendFactor_, sampleMask_);
    DefaultDepthStencil().Apply(0);
    DefaultRasterizer().Apply();
}

Context::~Context() {
    for (const auto& entry : framebuffers_) glDeleteFramebuffers(1, &entry.second);
    glDeleteFramebuffers(2, copyFramebuffers_);
    glDeleteVertexArrays(1, &emptyVertexArray_);
}

HRESULT Context::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != __uuidof(ID3D11DeviceContext) && iid != __uuidof(ID3D11DeviceChild) && iid != __uuidof(IUnknown)) {
        return E_NOINTERFACE;
    }
    AddRef();
    *object = static_cast<ID3D11DeviceContext*>(this);
    return S_OK;
}

void Context::GetDevice(ID3D11Device** device) {
    if (!device) return;
    device_.AddRef();
    *device = &device_;
}

// ---- input assembler and draws ----

void Context::IASetInputLayout(ID3D11InputLayout* inputLayout) {
    Hold(layout_, static_cast<InputLayout*>(inputLayout));
}

void Context::IASetVertexBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* buffers, const UINT* strides,
                                 const UINT* offsets) {
    for (UINT i = 0; i < numBuffers && startSlot + i < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++i) {
        VertexBinding& binding = vertexBuffers_[startSlot + i];
        Hold(binding.buffer, buffers ? static_cast<Buffer*>(buffers[i]) : nullptr);
        binding.stride = strides ? strides[i] : 0;
        binding.offset = offsets ? offsets[i] : 0;
    }
}

void Context::IASetIndexBuffer(ID3D11Buffer* indexBuffer, DXGI_FORMAT format, UINT offset) {
    Hold(indexBuffer_, static_cast<Buffer*>(indexBuffer));
    indexFormat_ = format;
    indexOffset_ = offset;
}

void Context::IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) { topology_ = topology; }

void Context::IAGetInputLayout(ID3D11InputLayout** inputLayout) { HandOutBinding<ID3D11InputLayout>(layout_, inputLayout); }

void Context::DrawIndexed(UINT indexCount, UINT startIndexLocation, INT baseVertexLocation) {
    DrawIndexedInstanced(indexCount, 1, startIndexLocation, baseVertexLocation, 0);
}

void Context::Draw(UINT vertexCount, UINT startVertexLocation) {
    DrawInstanced(vertexCount, 1, startVertexLocation, 0);
}

void Context::DrawIndexedInstanced(UINT indexCountPerInstance, UINT instanceCount, UINT startIndexLocation,
                                   INT baseVertexLocation, UINT startInstanceLocation) {
    uint32_t indexBytes = 0;
    const GLenum type = IndexType(indexFormat_, &indexBytes);
    if (!indexBuffer_ || !type || !PrepareDraw()) return;
    const uintptr_t first = indexOffset_ + uintptr_t(startIndexLocation) * indexBytes;
    glDrawElementsInstancedBaseVertexBaseInstance(PrimitiveMode(topology_), GLsizei(indexCountPerInstance), type,
                                                  reinterpret_cast<const void*>(first), GLsizei(instanceCount),
                                                  baseVertexLocation, startInstanceLocation);
    NotifyDraw(indexCountPerInstance, startIndexLocation);
}

void Context::DrawInstanced(UINT vertexCountPerInstance, UINT instanceCount, UINT startVertexLocation,
                            UINT startInstanceLocation) {
    if (!PrepareDraw()) return;
    glDrawArraysInstancedBaseInstance(PrimitiveMode(topology_), GLint(startVertexLocation),
                                      GLsizei(vertexCountPerInstance), GLsizei(instanceCount), startInstanceLocation);
    NotifyDraw(vertexCountPerInstance, startVertexLocation);
}

bool Context::PrepareDraw() {
    if (!PrimitiveMode(topology_)) return false;
    device_.MakeCurrent();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, DrawFramebuffer());
    BindVertexArray();
    return true;
}

void Context::BindVertexArray() {
    const GLuint vertexArray = layout_ ? layout_->VertexArray() : emptyVertexArray_;
    const uint32_t slots = layout_ ? layout_->Slots() : 0;
    for (UINT slot = 0; slot < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        if (!(slots & (1u << slot))) continue;
        const VertexBinding& b = vertexBuffers_[slot];
        glVertexArrayVertexBuffer(vertexArray, slot, b.buffer ? b.buffer->Name() : 0, b.offset, GLsizei(b.stride));
    }
    glVertexArrayElementBuffer(vertexArray, indexBuffer_ ? indexBuffer_->Name() : 0);
    glBindVertexArray(vertexArray);
}

// ---- output merger ----

void Context::OMSetRenderTargets(UINT numViews, ID3D11RenderTargetView* const* views,
                                 ID3D11DepthStencilView* depthStencilView) {
    numViews = numViews < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT ? numViews : D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT;
    for (UINT i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        Hold(renderTargets_[i], i < numViews && views ? static_cast<RenderTargetView*>(views[i]) : nullptr);
    }
    numRenderTargets_ = numViews;
    Hold(depthStencilView_, static_cast<DepthStencilView*>(depthStencilView));
    framebufferDirty_ = true;
}

GLuint Context::DrawFramebuffer() {
    if (!framebufferDirty_) return drawFramebuffer_;
    framebufferDirty_ = false;
    const bool onlyOneTarget = numRenderTargets_ == 1 && renderTargets_[0] && !depthStencilView_;
    if (onlyOneTarget) return drawFramebuffer_ = renderTargets_[0]->Framebuffer();
    if (numRenderTargets_ == 0 && depthStencilView_) return drawFramebuffer_ = depthStencilView_->Framebuffer();
    if (numRenderTargets_ == 0) return drawFramebuffer_ = 0;
    return drawFramebuffer_ = CachedFramebuffer();
}

GLuint Context::CachedFramebuffer() {
    FramebufferKey key{};
    for (UINT i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) key[i] = renderTargets_[i];
    key[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = depthStencilView_;
    if (auto found = framebuffers_.find(key); found != framebuffers_.end()) return found->second;
    GLuint framebuffer = 0;
    glCreateFramebuffers(1, &framebuffer);
    GLenum drawBuffers[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = {};
    for (UINT i = 0; i < numRenderTargets_; ++i) {
        drawBuffers[i] = renderTargets_[i] ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
        if (renderTargets_[i]) renderTargets_[i]->Image().AttachTo(framebuffer, GL_COLOR_ATTACHMENT0 + i);
    }
    if (depthStencilView_) depthStencilView_->Image().AttachTo(framebuffer, depthStencilView_->Image().point);
    glNamedFramebufferDrawBuffers(framebuffer, GLsizei(numRenderTargets_), drawBuffers);
    framebuffers_.emplace(key, framebuffer);
    return framebuffer;
}

void Context::ForgetView(const void* view) {
    for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
        const FramebufferKey& key = it->first;
        if (std::find(key.begin(), key.end(), view) == key.end()) {
            ++it;
            continue;
        }
        glDeleteFramebuffers(1, &it->second);
        it = framebuffers_.erase(it);
    }
    framebufferDirty_ = true;
}

void Context::DropViewsOnlyBoundHere(ID3D11Resource* resource) {
    if (DropIfOnlyHere(renderTargets_, D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT, resource)) framebufferDirty_ = true;
    if (DropIfOnlyHere(&depthStencilView_, 1, resource)) framebufferDirty_ = true;
    DropIfOnlyHere(psResources_, D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT, resource);
}

void Context::OMSetBlendState(ID3D11BlendState* state, const FLOAT blendFactor[4], UINT sampleMask) {
    Hold(blend_, static_cast<BlendState*>(state));
    for (int i = 0; i < 4; ++i) blendFactor_[i] = blendFactor ? blendFactor[i] : 1.0f;
    sampleMask_ = sampleMask;
    device_.MakeCurrent();
    CurrentBlend().Apply(blendFactor_, sampleMask_);
}

void Context::OMSetDepthStencilState(ID3D11DepthStencilState* state, UINT stencilRef) {
    Hold(depthStencil_, static_cast<DepthStencilState*>(state));
    stencilRef_ = stencilRef;
    device_.MakeCurrent();
    CurrentDepthStencil().Apply(stencilRef_);
}

void Context::OMGetRenderTargets(UINT numViews, ID3D11RenderTargetView** views,
                                 ID3D11DepthStencilView** depthStencilView) {
    for (UINT i = 0; views && i < numViews; ++i) {
        HandOutBinding<ID3D11RenderTargetView>(i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT ? renderTargets_[i] : nullptr,
                                               &views[i]);
    }
    HandOutBinding<ID3D11DepthStencilView>(depthStencilView_, depthStencilView);
}

void Context::OMGetBlendState(ID3D11BlendState** state, FLOAT blendFactor[4], UINT* sampleMask) {
    HandOutBinding<ID3D11BlendState>(blend_, state);
    if (blendFactor) std::memcpy(blendFactor, blendFactor_, sizeof blendFactor_);
    if (sampleMask) *sampleMask = sampleMask_;
}

void Context::OMGetDepthStencilState(ID3D11DepthStencilState** state, UINT* stencilRef) {
    HandOutBinding<ID3D11DepthStencilState>(depthStencil_, state);
    if (stencilRef) *stencilRef = stencilRef_;
}

// ---- rasterizer ----

void Context::RSSetState(ID3D11RasterizerState* state) {
    Hold(rasterizer_, static_cast<RasterizerState*>(state));
    device_.MakeCurrent();
    CurrentRasterizer().Apply();
}

void Context::RSGetState(ID3D11RasterizerState** state) { HandOutBinding<ID3D11RasterizerState>(rasterizer_, state); }

// The upper-left clip origin makes GL's window y run downwards like Direct3D's, so TopLeftY is used as is.
void Context::RSSetViewports(UINT numViewports, const D3D11_VIEWPORT* viewports) {
    if (numViewports > D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE || (numViewports && !viewports)) return;
    device_.MakeCurrent();
    numViewports_ = numViewports;
    for (UINT i = 0; i < numViewports; ++i) {
        const D3D11_VIEWPORT& v = viewports[i];
        viewports_[i] = v;
        glViewportIndexedf(i, v.TopLeftX, v.TopLeftY, v.Width, v.Height);
        glDepthRangeIndexed(i, v.MinDepth, v.MaxDepth);
    }
}

void Context::RSGetViewports(UINT* numViewports, D3D11_VIEWPORT* viewports) {
    if (!numViewports) return;
    if (viewports) {
        const UINT count = *numViewports < numViewports_ ? *numViewports : numViewports_;
        std::memcpy(viewports, viewports_, count * sizeof(D3D11_VIEWPORT));
    }
    *numViewports = numViewports_;
}

void Context::RSSetScissorRects(UINT numRects, const D3D11_RECT* rects) {
    if (numRects > D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE || (numRects && !rects)) return;
    device_.MakeCurrent();
    for (UINT i = 0; i < numRects; ++i) {
        const D3D11_RECT& r = rects[i];
        glScissorIndexed(i, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}

// ---- shader resources ----

void Context::PSSetShaderResources(UINT startSlot, UINT numViews, ID3D11ShaderResourceView* const* views) {
    device_.MakeCurrent();
    for (UINT i = 0; i < numViews && startSlot + i < D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT; ++i) {
        const UINT slot = startSlot + i;
        Hold(psResources_[slot], views ? static_cast<ShaderResourceView*>(views[i]) : nullptr);
        if (GLint(slot) < textureUnits_) glBindTextureUnit(slot, psResources_[slot] ? psResources_[slot]->Name() : 0);
    }
}

void Context::PSSetSamplers(UINT startSlot, UINT numSamplers, ID3D11SamplerState* const* samplers) {
    device_.MakeCurrent();
    for (UINT i = 0; i < numSamplers && startSlot + i < D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT; ++i) {
        const UINT slot = startSlot + i;
        Hold(psSamplers_[slot], samplers ? static_cast<SamplerState*>(samplers[i]) : nullptr);
        glBindSampler(slot, psSamplers_[slot] ? psSamplers_[slot]->Name() : 0);
    }
}

void Context::GenerateMips(ID3D11ShaderResourceView* view) {
    if (!view) return;
    device_.MakeCurrent();
    glGenerateTextureMipmap(static_cast<ShaderResourceView*>(view)->Name());
}

// ---- clears ----

void Context::ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT colorRGBA[4]) {
    if (!view || !colorRGBA) return;
    device_.MakeCurrent();
    auto* target = static_cast<RenderTargetView*>(view);
    ScissorOff scissorOff;
    glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const GLenum pixelFormat = target->Texture().format->pixelFormat;
    if (pixelFormat == GL_RED_INTEGER || pixelFormat == GL_RGBA_INTEGER) {
        const GLuint values[4] = {GLuint(colorRGBA[0]), GLuint(colorRGBA[1]), GLuint(colorRGBA[2]),
                                  GLuint(colorRGBA[3])};
        glClearNamedFramebufferuiv(target->Framebuffer(), GL_COLOR, 0, values);
    } else {
        glClearNamedFramebufferfv(target->Framebuffer(), GL_COLOR, 0, colorRGBA);
    }
    CurrentBlend().ApplyWriteMask(0);
}

void Context::ClearDepthStencilView(ID3D11DepthStencilView* view, UINT clearFlags, FLOAT depth, uint8_t stencil) {
    if (!view) return;
    device_.MakeCurrent();
    auto* target = static_cast<DepthStencilView*>(view);
    ScissorOff scissorOff;
    if (clearFlags & D3D11_CLEAR_DEPTH) {
        glDepthMask(GL_TRUE);
        glClearNamedFramebufferfv(target->Framebuffer(), GL_DEPTH, 0, &depth);
    }
    if ((clearFlags & D3D11_CLEAR_STENCIL) && target->HasStencil()) {
        glStencilMaskSeparate(GL_FRONT_AND_BACK, 0xff);
        const GLint value = stencil;
        glClearNamedFramebufferiv(target->Framebuffer(), GL_STENCIL, 0, &value);
    }
    CurrentDepthStencil().ApplyWriteMasks();
}

// ---- resource access ----

HRESULT Context::Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP mapType, UINT /*mapFlags*/,
                     D3D11_MAPPED_SUBRESOURCE* mapped) {
    if (!mapped) return E_INVALIDARG;
    *mapped = {};
    device_.MakeCurrent();
    if (Buffer* buffer = BufferOf(resource)) return subresource == 0 ? MapBuffer(*buffer, mapType, mapped) : E_INVALIDARG;
    if (TextureData* texture = TextureOf(resource)) return MapTexture(*texture, subresource, mapType, mapped);
    return E_INVALIDARG;
}

HRESULT Context::MapBuffer(Buffer& buffer, D3D11_MAP mapType, D3D11_MAPPED_SUBRESOURCE* mapped) {
    if (buffer.mapped) return E_INVALIDARG;
    const D3D11_BUFFER_DESC& desc = buffer.Desc();
    void* data = nullptr;
    if (buffer.Staging()) {
        if (!AccessAllows(desc.CPUAccessFlags, mapType)) return E_INVALIDARG;
        data = buffer.Cpu();
    } else if (desc.Usage == D3D11_USAGE_DYNAMIC &&
               (mapType == D3D11_MAP_WRITE_DISCARD || mapType == D3D11_MAP_WRITE_NO_OVERWRITE)) {
        const GLbitfield access = GL_MAP_WRITE_BIT | (mapType == D3D11_MAP_WRITE_DISCARD ? GL_MAP_INVALIDATE_BUFFER_BIT
                                                                                         : GL_MAP_UNSYNCHRONIZED_BIT);
        data = glMapNamedBufferRange(buffer.Name(), 0, desc.ByteWidth, access);
        if (!data) return E_OUTOFMEMORY;
    } else {
        return E_INVALIDARG;
    }
    buffer.mapped = true;
    *mapped = {data, desc.ByteWidth, desc.ByteWidth};
    return S_OK;
}

HRESULT Context::MapTexture(TextureData& texture, UINT subresource, D3D11_MAP mapType,
                            D3D11_MAPPED_SUBRESOURCE* mapped) {
    if (subresource >= texture.Subresources() || texture.mapped[subresource]) return E_INVALIDARG;
    const UINT mip = subresource % texture.mipLevels;
    if (texture.Staging()) {
        if (!AccessAllows(texture.cpuAccess, mapType)) return E_INVALIDARG;
    } else if (texture.usage == D3D11_USAGE_DYNAMIC && mapType == D3D11_MAP_WRITE_DISCARD) {
        texture.cpu[subresource].assign(texture.SubresourceBytes(mip), 0);
    } else {
        return E_INVALIDARG;
    }
    texture.mapped[subresource] = true;
    *mapped = {texture.cpu[subresource].data(), texture.RowPitch(mip), texture.SubresourceBytes(mip)};
    return S_OK;
}

void Context::Unmap(ID3D11Resource* resource, UINT subresource) {
    device_.MakeCurrent();
    if (Buffer* buffer = BufferOf(resource)) {
        if (buffer->mapped && buffer->Name()) glUnmapNamedBuffer(buffer->Name());
        buffer->mapped = false;
        return;
    }
    TextureData* texture = TextureOf(resource);
    if (!texture || subresource >= texture->Subresources() || !texture->mapped[subresource]) return;
    texture->mapped[subresource] = false;
    if (texture->Staging()) return;
    std::vector<uint8_t> written;
    written.swap(texture->cpu[subresource]);
    texture->Write(subresource, nullptr, written.data(), texture->RowPitch(subresource % texture->mipLevels));
}

void Context::UpdateSubresource(ID3D11Resource* dstResource, UINT dstSubresource, const D3D11_BOX* dstBox,
                                const void* srcData, UINT srcRowPitch, UINT /*srcDepthPitch*/) {
    if (!srcData) return;
    device_.MakeCurrent();
    if (Buffer* buffer = BufferOf(dstResource)) {
        const D3D11_BUFFER_DESC& desc = buffer->Desc();
        if (desc.Usage != D3D11_USAGE_DEFAULT || dstSubresource != 0) return;
        const UINT offset = dstBox ? dstBox->left : 0;
        const UINT size = dstBox ? dstBox->right - dstBox->left : desc.ByteWidth;
        if (!dstBox || (dstBox->left < dstBox->right && dstBox->right <= desc.ByteWidth)) {
            glNamedBufferSubData(buffer->Name(), offset, size, srcData);
        }
        return;
    }
    TextureData* texture = TextureOf(dstResource);
    if (!texture || texture->usage != D3D11_USAGE_DEFAULT || texture->samples > 1) return;
    if (dstSubresource >= texture->Subresources()) return;
    const UINT mip = dstSubresource % texture->mipLevels;
    if (dstBox && !BoxInside(*dstBox, texture->MipWidth(mip), texture->MipHeight(mip))) return;
    texture->Write(dstSubresource, dstBox, srcData, srcRowPitch);
}

void Context::CopyResource(ID3D11Resource* dstResource, ID3D11Resource* srcResource) {
    if (!dstResource || !srcResource || dstResource == srcResource) return;
    device_.MakeCurrent();
    Buffer* dstBuffer = BufferOf(dstResource);
    Buffer* srcBuffer = BufferOf(srcResource);
    if (dstBuffer && srcBuffer) {
        const UINT size = dstBuffer->Desc().ByteWidth;
        if (size != srcBuffer->Desc().ByteWidth || dstBuffer->Desc().Usage == D3D11_USAGE_IMMUTABLE) return;
        if (dstBuffer->Staging() && srcBuffer->Staging()) {
            std::memcpy(dstBuffer->Cpu(), srcBuffer->Cpu(), size);
        } else if (dstBuffer->Staging()) {
            glGetNamedBufferSubData(srcBuffer->Name(), 0, size, dstBuffer->Cpu());
        } else if (srcBuffer->Staging()) {
            glNamedBufferSubData(dstBuffer->Name(), 0, size, srcBuffer->Cpu());
        } else {
            glCopyNamedBufferSubData(srcBuffer->Name(), dstBuffer->Name(), 0, 0, size);
        }
        return;
    }
    TextureData* dst = TextureOf(dstResource);
    TextureData* src = TextureOf(srcResource);
    if (!dst || !src || !SameShape(*dst, *src) || dst->usage == D3D11_USAGE_IMMUTABLE) return;
    for (UINT i = 0; i < dst->Subresources(); ++i) CopySubresource(*dst, *src, i);
}

void Context::ResolveSubresource(ID3D11Resource* dstResource, UINT dstSubresource, ID3D11Resource* srcResource,
                                 UINT srcSubresource, DXGI_FORMAT /*format*/) {
    TextureData* dst = TextureOf(dstResource);
    TextureData* src = TextureOf(srcResource);
    if (!dst || !src || src->samples == 1 || dst->samples != 1 || dst->Staging()) return;
    if (srcSubresource >= src->Subresources() || dstSubresource >= dst->Subresources()) return;
    const UINT mip = dstSubresource % dst->mipLevels;
    if (dst->MipWidth(mip) != src->width || dst->MipHeight(mip) != src->height) return;
    device_.MakeCurrent();
    const Attachment from{src->name, 0, src->arraySize > 1 ? GLint(srcSubresource) : -1, GL_COLOR_ATTACHMENT0};
    const Attachment to{dst->name, GLint(mip), dst->arraySize > 1 ? GLint(dstSubresource / dst->mipLevels) : -1,
                        GL_COLOR_ATTACHMENT0};
    from.AttachTo(copyFramebuffers_[0], GL_COLOR_ATTACHMENT0);
    to.AttachTo(copyFramebuffers_[1], GL_COLOR_ATTACHMENT0);
    ScissorOff scissorOff;
    const GLint w = GLint(src->width), h = GLint(src->height);
    glBlitNamedFramebuffer(copyFramebuffers_[0], copyFramebuffers_[1], 0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT,
                           GL_NEAREST);
}

void Context::BlitToWindow(const TextureData& source, int windowWidth, int windowHeight) {
    const Attachment from{source.name, 0, -1, GL_COLOR_ATTACHMENT0};
    from.AttachTo(copyFramebuffers_[0], GL_COLOR_ATTACHMENT0);
    ScissorOff scissorOff;
    const GLboolean srgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);
    glDisable(GL_FRAMEBUFFER_SRGB);
    const bool sameSize = GLint(source.width) == windowWidth && GLint(source.height) == windowHeight;
    glBlitNamedFramebuffer(copyFramebuffers_[0], 0, 0, 0, GLint(source.width), GLint(source.height), 0, windowHeight,
                           windowWidth, 0, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    if (srgb) glEnable(GL_FRAMEBUFFER_SRGB);
}

// ---- whole-context operations ----

void Context::ClearState() {
    device_.MakeCurrent();
    OMSetRenderTargets(0, nullptr, nullptr);
    OMSetBlendState(nullptr, nullptr, 0xffffffffu);
    OMSetDepthStencilState(nullptr, 0);
    RSSetState(nullptr);
    Hold<InputLayout>(layout_, nullptr);
    for (VertexBinding& binding : vertexBuffers_) {
        Hold<Buffer>(binding.buffer, nullptr);
        binding = {};
    }
    IASetIndexBuffer(nullptr, DXGI_FORMAT_UNKNOWN, 0);
    topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
    for (UINT slot = 0; slot < D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        if (psResources_[slot]) PSSetShaderResources(slot, 1, nullptr);
    }
    for (UINT slot = 0; slot < D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT; ++slot) {
        if (psSamplers_[slot]) PSSetSamplers(slot, 1, nullptr);
    }
    numViewports_ = 0;
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(emptyVertexArray_);
}

void Context::Flush() {
    device_.MakeCurrent();
    glFlush();
}

}  // namespace platform
