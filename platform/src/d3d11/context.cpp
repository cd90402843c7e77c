#include "context.h"

#include "hooks/draw_hook.h"
#include <algorithm>
#include <cstring>

namespace platform {
namespace {

GLenum PrimitiveMode(D3D11_PRIMITIVE_TOPOLOGY topology) {
    switch (topology) {
    case D3D11_PRIMITIVE_TOPOLOGY_POINTLIST:
        return GL_POINTS;
    case D3D11_PRIMITIVE_TOPOLOGY_LINELIST:
        return GL_LINES;
    case D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP:
        return GL_LINE_STRIP;
    case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST:
        return GL_TRIANGLES;
    case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3D11_PRIMITIVE_TOPOLOGY_LINELIST_ADJ:
        return GL_LINES_ADJACENCY;
    case D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP_ADJ:
        return GL_LINE_STRIP_ADJACENCY;
    case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST_ADJ:
        return GL_TRIANGLES_ADJACENCY;
    case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP_ADJ:
        return GL_TRIANGLE_STRIP_ADJACENCY;
    default:
        return 0;
    }
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
    if (!Rasterises()) return;
    gl_ = std::make_unique<GLState>(device.Usable());
    glCreateVertexArrays(1, &emptyVertexArray_);
    glCreateFramebuffers(2, copyFramebuffers_);
    GLint units = GLint(textureUnits_);
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    textureUnits_ = std::min<UINT>(textureUnits_, UINT(units));
    ring_ = std::make_unique<UniformRing>();
}

Context::~Context() {
    if (!Rasterises()) return;
    ring_.reset();
    gl_->Delete(GLObject::Buffer, feedback_);
    if (!queries_.empty()) glDeleteQueries(GLsizei(queries_.size()), queries_.data());
    scaler_.reset();
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

// ---- shaders and their inputs ----

void Context::VSSetShader(ID3D11VertexShader* shader, ID3D11ClassInstance* const*, UINT) {
    Hold(vertexShader_, static_cast<VertexShader*>(shader));
}

void Context::PSSetShader(ID3D11PixelShader* shader, ID3D11ClassInstance* const*, UINT) {
    Hold(pixelShader_, static_cast<PixelShader*>(shader));
}

void Context::VSGetShader(ID3D11VertexShader** shader, ID3D11ClassInstance**, UINT* numClassInstances) {
    HandOutBinding<ID3D11VertexShader>(vertexShader_, shader);
    if (numClassInstances) *numClassInstances = 0;
}

void Context::PSGetShader(ID3D11PixelShader** shader, ID3D11ClassInstance**, UINT* numClassInstances) {
    HandOutBinding<ID3D11PixelShader>(pixelShader_, shader);
    if (numClassInstances) *numClassInstances = 0;
}

// GL has one set of uniform-buffer bindings for all stages: both stages' slots name the same binding points.
void Context::VSSetConstantBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* buffers) {
    SetConstantBuffers(startSlot, numBuffers, buffers);
}

void Context::PSSetConstantBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* buffers) {
    SetConstantBuffers(startSlot, numBuffers, buffers);
}

void Context::SetConstantBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* buffers) {
    for (UINT i = 0; i < numBuffers && startSlot + i < D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT; ++i) {
        Buffer* buffer = buffers ? static_cast<Buffer*>(buffers[i]) : nullptr;
        // Only constant buffers bind here; Direct3D drops anything else.
        if (buffer && !buffer->Constant()) buffer = nullptr;
        Hold(constantBuffers_[startSlot + i], buffer);
    }
}

void Context::PSSetShaderResources(UINT startSlot, UINT numViews, ID3D11ShaderResourceView* const* views) {
    for (UINT i = 0; i < numViews && startSlot + i < D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT; ++i) {
        Hold(psResources_[startSlot + i], views ? static_cast<ShaderResourceView*>(views[i]) : nullptr);
    }
}

void Context::PSGetShaderResources(UINT startSlot, UINT numViews, ID3D11ShaderResourceView** views) {
    for (UINT i = 0; views && i < numViews; ++i) {
        const UINT slot = startSlot + i;
        HandOutBinding<ID3D11ShaderResourceView>(
            slot < D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT ? psResources_[slot] : nullptr, &views[i]);
    }
}

void Context::PSSetSamplers(UINT startSlot, UINT numSamplers, ID3D11SamplerState* const* samplers) {
    for (UINT i = 0; i < numSamplers && startSlot + i < D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT; ++i) {
        Hold(psSamplers_[startSlot + i], samplers ? static_cast<SamplerState*>(samplers[i]) : nullptr);
    }
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

void Context::IAGetInputLayout(ID3D11InputLayout** inputLayout) {
    HandOutBinding<ID3D11InputLayout>(layout_, inputLayout);
}

void Context::DrawIndexed(UINT indexCount, UINT startIndexLocation, INT baseVertexLocation) {
    IndexedDraw("ID3D11DeviceContext::DrawIndexed", indexCount, 1, startIndexLocation, baseVertexLocation, 0);
}

void Context::Draw(UINT vertexCount, UINT startVertexLocation) {
    PlainDraw("ID3D11DeviceContext::Draw", vertexCount, 1, startVertexLocation, 0);
}

void Context::DrawIndexedInstanced(UINT indexCountPerInstance, UINT instanceCount, UINT startIndexLocation,
                                   INT baseVertexLocation, UINT startInstanceLocation) {
    IndexedDraw("ID3D11DeviceContext::DrawIndexedInstanced", indexCountPerInstance, instanceCount, startIndexLocation,
                baseVertexLocation, startInstanceLocation);
}

void Context::DrawInstanced(UINT vertexCountPerInstance, UINT instanceCount, UINT startVertexLocation,
                            UINT startInstanceLocation) {
    PlainDraw("ID3D11DeviceContext::DrawInstanced", vertexCountPerInstance, instanceCount, startVertexLocation,
              startInstanceLocation);
}

void Context::IndexedDraw(const char* method, UINT indexCountPerInstance, UINT instanceCount, UINT startIndexLocation,
                          INT baseVertexLocation, UINT startInstanceLocation) {
    uint32_t indexBytes = 0;
    const GLenum type = IndexType(indexFormat_, &indexBytes);
    if (!indexBuffer_) {
        return device_.Report(method, "An index buffer is required, but none is bound; nothing was drawn.",
                              messages::kDrawIndexBufferNotSet);
    }
    if (!type) {
        return device_.Report(method, "The index format is neither R16_UINT nor R32_UINT; nothing was drawn.",
                              messages::kDrawIndexBufferFormatInvalid);
    }
    NotifyDraw({psResources_[0], indexCountPerInstance, startIndexLocation});
    const LinkedProgram* program = ValidDraw(method);
    if (!program || !Rasterises()) return;
    DrawCommand command = Capture(*program);
    command.indexType = type;
    command.indexBuffer = {indexBuffer_->Name(), indexBuffer_->Serial(), indexBuffer_->Stamp(), indexBytes,
                           indexOffset_};
    command.count = indexCountPerInstance;
    command.instances = instanceCount;
    command.first = startIndexLocation;
    command.baseVertex = baseVertexLocation;
    command.firstInstance = startInstanceLocation;
    Submit(command);
}

void Context::PlainDraw(const char* method, UINT vertexCountPerInstance, UINT instanceCount, UINT startVertexLocation,
                        UINT startInstanceLocation) {
    NotifyDraw({psResources_[0], vertexCountPerInstance, startVertexLocation});
    const LinkedProgram* program = ValidDraw(method);
    if (!program || !Rasterises()) return;
    DrawCommand command = Capture(*program);
    command.count = vertexCountPerInstance;
    command.instances = instanceCount;
    command.first = startVertexLocation;
    command.firstInstance = startInstanceLocation;
    Submit(command);
}

// A draw needs a topology and a vertex shader that links with the pixel shader.
const LinkedProgram* Context::ValidDraw(const char* method) {
    if (!PrimitiveMode(topology_)) {
        device_.Report(method, "The primitive topology is undefined; nothing was drawn.",
                       messages::kDrawTopologyUndefined);
        return nullptr;
    }
    if (!vertexShader_) {
        device_.Report(method, "A vertex shader is always required when drawing, but none is bound; nothing was drawn.",
                       messages::kDrawVertexShaderNotSet);
        return nullptr;
    }
    device_.MakeCurrent();
    const LinkedProgram& program = CurrentProgram();
    if (!program.linked) {
        device_.Report(method, "The bound vertex and pixel shaders do not link; nothing was drawn.",
                       messages::kDrawShaderLinkage);
        return nullptr;
    }
    ReportMissingVertexInput(method);
    ++draws_;
    return &program;
}

// Direct3D draws these, so only a warning: the vertex shader reads zeros where no buffer feeds it.
void Context::ReportMissingVertexInput(const char* method) const {
    if (!device_.Debugging()) return;
    if (!layout_) {
        device_.Report(method, "No input layout is bound; the vertex shader reads no vertex buffer.",
                       messages::kDrawInputLayoutNotSet);
        return;
    }
    for (UINT slot = 0; slot < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        if (!(layout_->Slots() & (1u << slot)) || vertexBuffers_[slot].buffer) continue;
        device_.Report(
            method,
            "The input layout reads vertex buffer slot " + std::to_string(slot) + ", but no buffer is bound there.",
            messages::kDrawVertexBufferNotSet);
    }
}

// Only with a vertex shader bound.
const LinkedProgram& Context::CurrentProgram() {
    return device_.Programs().Link(vertexShader_->Compiled(), pixelShader_ ? &pixelShader_->Compiled() : nullptr);
}

DrawCommand Context::Capture(const LinkedProgram& program) {
    DrawCommand command;
    command.program = &program;
    command.vertexShader = &vertexShader_->Compiled();
    command.mode = PrimitiveMode(topology_);
    CaptureInput(command);
    CaptureOutput(command);
    for (UINT slot = 0; slot < D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT; ++slot) {
        if (constantBuffers_[slot] && ((program.bufferSlots | program.flattenedSlots) & (1u << slot))) {
            command.constants[slot] = Constants(*constantBuffers_[slot]);
        }
    }
    return command;
}

void Context::CaptureInput(DrawCommand& command) const {
    command.vertexArray = layout_ ? layout_->VertexArray() : emptyVertexArray_;
    command.layout = layout_ ? layout_->Serial() : 0;
    command.vertexSlots = layout_ ? layout_->Slots() : 0;
    for (UINT slot = 0; slot < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        const VertexBinding& b = vertexBuffers_[slot];
        if (!(command.vertexSlots & (1u << slot)) || !b.buffer) continue;
        command.vertexBuffers[slot] = {b.buffer->Name(), b.buffer->Serial(), b.buffer->Stamp(), b.stride, b.offset};
    }
    // A plain draw leaves the vertex array's index buffer as the binding says, as an indexed one would.
    if (indexBuffer_) command.indexBuffer = {indexBuffer_->Name(), indexBuffer_->Serial(), indexBuffer_->Stamp(), 0, 0};
}

// Shader-resource and sampler slot N is GL texture unit N.
void Context::CaptureOutput(DrawCommand& command) {
    command.framebuffer = DrawFramebuffer();
    command.target = numRenderTargets_ && renderTargets_[0] ? renderTargets_[0]->Texture().serial : 0;
    command.depthTarget = depthStencilView_ ? depthStencilView_->Texture().serial : 0;
    for (UINT unit = 0; unit < textureUnits_; ++unit) {
        if (const ShaderResourceView* view = psResources_[unit]) {
            command.textures[unit] = view->Name();
            command.textureSerials[unit] = view->Serial();
            command.textureResources[unit] = view->Texture().serial;
            command.textureVersions[unit] = view->Texture().version;
        }
        command.samplers[unit] = psSamplers_[unit] ? psSamplers_[unit]->Name() : 0;
        command.samplerSerials[unit] = SerialOf(psSamplers_[unit]);
    }
    command.blend = CurrentBlend();
    std::copy(std::begin(blendFactor_), std::end(blendFactor_), command.blendFactor.begin());
    command.sampleMask = sampleMask_;
    command.depthStencil = CurrentDepthStencil();
    command.stencilRef = stencilRef_;
    command.rasterizer = CurrentRasterizer();
    command.viewportCount = numViewports_;
    for (UINT i = 0; i < numViewports_; ++i) {
        const D3D11_VIEWPORT& v = viewports_[i];
        command.viewports[i] = {v.TopLeftX, v.TopLeftY, v.Width, v.Height, v.MinDepth, v.MaxDepth};
    }
    command.scissorCount = numScissors_;
    for (UINT i = 0; i < numScissors_; ++i) {
        const D3D11_RECT& r = scissors_[i];
        command.scissors[i] = {GLint(r.left), GLint(r.top), GLsizei(r.right - r.left), GLsizei(r.bottom - r.top)};
    }
}

// The newest contents of a constant buffer, copied once per version.
std::shared_ptr<ConstantData> Context::Constants(Buffer& buffer) {
    std::shared_ptr<ConstantData>& newest = constants_[buffer.Serial()];
    if (newest && newest->stamp == buffer.Stamp()) return newest;
    newest = std::make_shared<ConstantData>();
    newest->stamp = buffer.Stamp();
    newest->bytes.assign(buffer.Cpu(), buffer.Cpu() + buffer.Desc().ByteWidth);
    return newest;
}

void Context::Execute(DrawCommand& command, const PixelRect* clip, GLuint framebuffer) {
    if (command.depthStencil.depthTest || command.depthStencil.stencilTest) FinishClears(command.depthTarget);
    AttachVertexInput(command);
    BindConstants(command, *command.program);
    UploadFlattened(command, *command.program);
    GLState& gl = *gl_;
    gl.UseProgram(command.program->name);
    gl.BindVertexArray(command.vertexArray);
    gl.BindDrawFramebuffer(framebuffer ? framebuffer : command.framebuffer);
    for (UINT unit = 0; unit < GLState::kUnits; ++unit) {
        gl.BindTexture(unit, command.textures[unit]);
        gl.BindSampler(unit, command.samplers[unit]);
    }
    gl.SetBlend(command.blend, command.blendFactor, command.sampleMask);
    gl.SetDepthStencil(command.depthStencil, command.stencilRef);
    gl.SetViewports(command.viewportCount, command.viewports.data());
    if (clip) {
        // The clip narrows the draw's own scissor rectangle, and tests even where the draw does not.
        RasterizerGL rasterizer = command.rasterizer;
        PixelRect narrowed = *clip;
        if (rasterizer.scissor && command.scissorCount) {
            const RectGL& s = command.scissors[0];
            narrowed = Intersection(narrowed, {s.x, s.y, s.x + s.width, s.y + s.height});
        }
        rasterizer.scissor = true;
        const RectGL scissor{narrowed.left, narrowed.top, std::max(0, narrowed.right - narrowed.left),
                             std::max(0, narrowed.bottom - narrowed.top)};
        gl.SetRasterizer(rasterizer);
        gl.SetScissors(1, &scissor);
    } else {
        gl.SetRasterizer(command.rasterizer);
        gl.SetScissors(command.scissorCount, command.scissors.data());
    }
    gl.SetFramebufferSrgb(true);
    gl.SetRasterizerDiscard(false);
    gl.Apply();
    DrawNow(command);
}

void Context::DrawNow(const DrawCommand& command) {
    const GLsizei instances = GLsizei(command.instances);
    if (!command.indexType) {
        glDrawArraysInstancedBaseInstance(command.mode, GLint(command.first), GLsizei(command.count), instances,
                                          command.firstInstance);
        return;
    }
    const VertexBufferBinding& index = command.indexBuffer;
    const uintptr_t first = index.offset + uintptr_t(command.first) * index.stride;
    glDrawElementsInstancedBaseVertexBaseInstance(command.mode, GLsizei(command.count), command.indexType,
                                                  reinterpret_cast<const void*>(first), instances, command.baseVertex,
                                                  command.firstInstance);
}

// Attaches to the vertex array only the buffers that differ from what it already holds.
void Context::AttachVertexInput(const DrawCommand& command) {
    AttachedBuffers& attached = attached_[command.layout];
    for (UINT slot = 0; slot < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        if (!(command.vertexSlots & (1u << slot))) continue;
        const VertexBufferBinding& b = command.vertexBuffers[slot];
        if (attached.buffers[slot] == b.serial && attached.strides[slot] == b.stride &&
            attached.offsets[slot] == b.offset) {
            continue;
        }
        glVertexArrayVertexBuffer(command.vertexArray, slot, b.name, b.offset, GLsizei(b.stride));
        attached.buffers[slot] = b.serial;
        attached.strides[slot] = b.stride;
        attached.offsets[slot] = b.offset;
    }
    if (attached.indexBuffer == command.indexBuffer.serial) return;
    glVertexArrayElementBuffer(command.vertexArray, command.indexBuffer.name);
    attached.indexBuffer = command.indexBuffer.serial;
}

// Each version of a buffer is copied into the ring once. The copies one draw makes can wrap the ring onto an older
// copy the same draw reads, so a copy is kept only if it outlasts them.
void Context::BindConstants(DrawCommand& command, const LinkedProgram& program) {
    size_t upcoming = 0;
    for (UINT slot = 0; slot < GLState::kUniformSlots; ++slot) {
        if (command.constants[slot] && (program.bufferSlots & (1u << slot))) {
            upcoming += ring_->Footprint(command.constants[slot]->bytes.size());
        }
    }
    for (UINT slot = 0; slot < GLState::kUniformSlots; ++slot) {
        if (!(program.bufferSlots & (1u << slot))) continue;
        ConstantData* data = command.constants[slot].get();
        if (!data) {
            gl_->BindUniformRange(slot, {});
            continue;
        }
        if (!data->pushed || !ring_->Holds(data->slice, upcoming)) {
            data->slice = ring_->Push(data->bytes.data(), data->bytes.size());
            data->pushed = true;
        }
        gl_->BindUniformRange(slot, {ring_->Name(), data->slice.offset, GLsizeiptr(data->bytes.size())});
    }
}

void Context::UploadFlattened(const DrawCommand& command, const LinkedProgram& program) {
    if (program.flattened.empty()) return;
    Flattened& uploaded = flattened_[&program];
    for (const LinkedProgram::Flattened& f : program.flattened) {
        const ConstantData* data = command.constants[f.slot].get();
        if (!data || uploaded[f.slot] == data->stamp) continue;
        const GLsizei count = GLsizei(data->bytes.size() / 16);
        const void* bytes = data->bytes.data();
        if (f.type == GL_INT_VEC4) {
            glProgramUniform4iv(program.name, f.location, count, static_cast<const GLint*>(bytes));
        } else if (f.type == GL_UNSIGNED_INT_VEC4) {
            glProgramUniform4uiv(program.name, f.location, count, static_cast<const GLuint*>(bytes));
        } else {
            glProgramUniform4fv(program.name, f.location, count, static_cast<const GLfloat*>(bytes));
        }
        uploaded[f.slot] = data->stamp;
    }
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

// One view and no depth uses the view's own framebuffer; other combinations get one framebuffer each, kept until
// one of their views dies. The depth-stencil view stays attached even while no state tests it: Mesa's software
// rasteriser takes another path for rectangles without one, which picks other texels where a pixel centre falls
// exactly on a texel edge.
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
    for (UINT i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) key[i] = SerialOf(renderTargets_[i]);
    key[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = SerialOf(depthStencilView_);
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

void Context::ForgetView(uint64_t serial) {
    Retire(serial);
    for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
        const FramebufferKey& key = it->first;
        if (std::find(key.begin(), key.end(), serial) == key.end()) {
            ++it;
            continue;
        }
        gl_->Delete(GLObject::Framebuffer, it->second);
        it = framebuffers_.erase(it);
    }
    framebufferDirty_ = true;
}

void Context::ForgetBuffer(Buffer& buffer) {
    Retire(buffer.Serial());
    if (mapped_.erase({buffer.Serial(), 0}) && buffer.Name()) {
        device_.MakeCurrent();
        glUnmapNamedBuffer(buffer.Name());
    }
    constants_.erase(buffer.Serial());
}

void Context::ForgetTexture(uint64_t serial) {
    Retire(serial);
    mapped_.erase(mapped_.lower_bound({serial, 0}), mapped_.upper_bound({serial, ~0u}));
}

void Context::ForgetLayout(uint64_t serial) {
    Retire(serial);
    attached_.erase(serial);
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
}

void Context::OMSetDepthStencilState(ID3D11DepthStencilState* state, UINT stencilRef) {
    Hold(depthStencil_, static_cast<DepthStencilState*>(state));
    stencilRef_ = stencilRef;
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

void Context::RSSetState(ID3D11RasterizerState* state) { Hold(rasterizer_, static_cast<RasterizerState*>(state)); }

void Context::RSGetState(ID3D11RasterizerState** state) { HandOutBinding<ID3D11RasterizerState>(rasterizer_, state); }

// The upper-left clip origin makes GL's window y run downwards like Direct3D's, so TopLeftY is used as is.
void Context::RSSetViewports(UINT numViewports, const D3D11_VIEWPORT* viewports) {
    if (numViewports > D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE || (numViewports && !viewports)) {
        return device_.Report("ID3D11DeviceContext::RSSetViewports",
                              "More than 16 viewports, or none given for a count; the call is ignored.",
                              messages::kTooManyViewports);
    }
    numViewports_ = numViewports;
    std::copy(viewports, viewports + numViewports, viewports_);
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
    if (numRects > D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE || (numRects && !rects)) {
        return device_.Report("ID3D11DeviceContext::RSSetScissorRects",
                              "More than 16 rectangles, or none given for a count; the call is ignored.",
                              messages::kTooManyScissors);
    }
    numScissors_ = numRects;
    std::copy(rects, rects + numRects, scissors_);
}

// ---- whole-context operations ----

void Context::ClearState() {
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
    VSSetShader(nullptr, nullptr, 0);
    PSSetShader(nullptr, nullptr, 0);
    for (Buffer*& buffer : constantBuffers_) Hold<Buffer>(buffer, nullptr);
    for (ShaderResourceView*& view : psResources_) Hold<ShaderResourceView>(view, nullptr);
    for (SamplerState*& sampler : psSamplers_) Hold<SamplerState>(sampler, nullptr);
    numViewports_ = 0;
    numScissors_ = 0;
}

void Context::Flush() {
    if (!Rasterises()) return;
    device_.MakeCurrent();
    glFlush();
}

}  // namespace platform
