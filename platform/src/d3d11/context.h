// The immediate context: Direct3D's binding model kept as references, turned into GL state and draws. Binding
// calls only record; a draw captures what it needs and hands it to the GL state tracker, which sends what differs
// from what GL already has, so redundant changes cost nothing. On a null device the context validates and records
// every call and touches no GL.
#pragma once
#include <array>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include "damage.h"
#include "device.h"
#include "draw_command.h"
#include "gl_state.h"
#include "input_layout.h"
#include "picture_scaler.h"
#include "resources.h"
#include "shader.h"
#include "states.h"
#include "uniform_ring.h"
#include "views.h"

namespace platform {

class Context final : public ID3D11DeviceContext {
public:
    explicit Context(Device& device);
    ~Context() override;

    // The context shares the device's reference count.
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return device_.AddRef(); }
    ULONG Release() override { return device_.Release(); }
    void GetDevice(ID3D11Device** device) override;

    void VSSetShader(ID3D11VertexShader* shader, ID3D11ClassInstance* const* classInstances,
                     UINT numClassInstances) override;
    void PSSetShader(ID3D11PixelShader* shader, ID3D11ClassInstance* const* classInstances,
                     UINT numClassInstances) override;
    void VSSetConstantBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* constantBuffers) override;
    void PSSetConstantBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* constantBuffers) override;
    void VSGetShader(ID3D11VertexShader** shader, ID3D11ClassInstance** classInstances,
                     UINT* numClassInstances) override;
    void PSGetShader(ID3D11PixelShader** shader, ID3D11ClassInstance** classInstances,
                     UINT* numClassInstances) override;
    void PSSetShaderResources(UINT startSlot, UINT numViews, ID3D11ShaderResourceView* const* views) override;
    void PSGetShaderResources(UINT startSlot, UINT numViews, ID3D11ShaderResourceView** views) override;
    void PSSetSamplers(UINT startSlot, UINT numSamplers, ID3D11SamplerState* const* samplers) override;
    void DrawIndexed(UINT indexCount, UINT startIndexLocation, INT baseVertexLocation) override;
    void Draw(UINT vertexCount, UINT startVertexLocation) override;
    HRESULT Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP mapType, UINT mapFlags,
                D3D11_MAPPED_SUBRESOURCE* mapped) override;
    void Unmap(ID3D11Resource* resource, UINT subresource) override;
    void IASetInputLayout(ID3D11InputLayout* inputLayout) override;
    void IASetVertexBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* buffers, const UINT* strides,
                            const UINT* offsets) override;
    void IASetIndexBuffer(ID3D11Buffer* indexBuffer, DXGI_FORMAT format, UINT offset) override;
    void DrawIndexedInstanced(UINT indexCountPerInstance, UINT instanceCount, UINT startIndexLocation,
                              INT baseVertexLocation, UINT startInstanceLocation) override;
    void DrawInstanced(UINT vertexCountPerInstance, UINT instanceCount, UINT startVertexLocation,
                       UINT startInstanceLocation) override;
    void IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) override;
    void OMSetRenderTargets(UINT numViews, ID3D11RenderTargetView* const* views,
                            ID3D11DepthStencilView* depthStencilView) override;
    void OMSetBlendState(ID3D11BlendState* state, const FLOAT blendFactor[4], UINT sampleMask) override;
    void OMSetDepthStencilState(ID3D11DepthStencilState* state, UINT stencilRef) override;
    void RSSetState(ID3D11RasterizerState* state) override;
    void RSSetViewports(UINT numViewports, const D3D11_VIEWPORT* viewports) override;
    void RSSetScissorRects(UINT numRects, const D3D11_RECT* rects) override;
    void CopyResource(ID3D11Resource* dstResource, ID3D11Resource* srcResource) override;
    void UpdateSubresource(ID3D11Resource* dstResource, UINT dstSubresource, const D3D11_BOX* dstBox,
                           const void* srcData, UINT srcRowPitch, UINT srcDepthPitch) override;
    void ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT colorRGBA[4]) override;
    void ClearDepthStencilView(ID3D11DepthStencilView* view, UINT clearFlags, FLOAT depth, uint8_t stencil) override;
    void GenerateMips(ID3D11ShaderResourceView* view) override;
    void ResolveSubresource(ID3D11Resource* dstResource, UINT dstSubresource, ID3D11Resource* srcResource,
                            UINT srcSubresource, DXGI_FORMAT format) override;
    void IAGetInputLayout(ID3D11InputLayout** inputLayout) override;
    void IAGetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY* topology) override { *topology = topology_; }
    void OMGetRenderTargets(UINT numViews, ID3D11RenderTargetView** views,
                            ID3D11DepthStencilView** depthStencilView) override;
    void OMGetBlendState(ID3D11BlendState** state, FLOAT blendFactor[4], UINT* sampleMask) override;
    void OMGetDepthStencilState(ID3D11DepthStencilState** state, UINT* stencilRef) override;
    void RSGetState(ID3D11RasterizerState** state) override;
    void RSGetViewports(UINT* numViewports, D3D11_VIEWPORT* viewports) override;
    void ClearState() override;
    void Flush() override;

    // The frame drawn into a presented texture since its last present, drawn now where it differs from the frame
    // before (whole when that cannot be known). Returns the pixels that changed.
    Damage FinishFrame(TextureData& target);
    // A dying object first lets waiting draws that use it run.
    void Retire(uint64_t serial) { BeforeAccess(serial); }
    // A dying object's entries in the context's tables go with it; a dying depth-stencil view's waiting clear is
    // done first (another view of its texture may see the values), a mapped buffer is unmapped.
    void ForgetView(uint64_t serial);
    void ForgetDepthView(DepthStencilView& view);
    void ForgetBuffer(Buffer& buffer);
    void ForgetTexture(uint64_t serial);
    void ForgetLayout(uint64_t serial);
    // Unbinds views of `resource` that nothing but this context still references (what Direct3D's deferred
    // destruction of released views amounts to), so a swap chain can resize.
    void DropViewsOnlyBoundHere(ID3D11Resource* resource);
    // Copies mip 0 of a single-sampled 2-D texture to the current surface's window, flipped: GL windows are
    // bottom-up, textures top-down. `rect`, in the texture's pixels, copies only that part of a texture of the
    // window's size.
    void BlitToWindow(const TextureData& source, int windowWidth, int windowHeight, const PixelRect* rect = nullptr);
    // Shows the texture scaled into `picture` on a window or framebuffer of the given height, black around it;
    // `rect`, in the target's pixels from its top, draws only there and leaves the rest as it is.
    void ShowPicture(const TextureData& source, GLuint target, int targetHeight, const PictureRect& picture,
                     const PixelRect* rect = nullptr);
    // Draws that passed validation since the context was created, on any device.
    uint64_t DrawCount() const { return draws_; }
    // The one writer of GL state; only on a device that rasterises.
    GLState& GL() { return *gl_; }

private:
    struct VertexBinding {
        Buffer* buffer = nullptr;
        UINT stride = 0, offset = 0;
    };
    // The buffers last attached to a vertex array, by serial, so a draw attaches only what changed.
    struct AttachedBuffers {
        std::array<uint64_t, D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT> buffers = {};
        std::array<UINT, D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT> strides = {}, offsets = {};
        uint64_t indexBuffer = 0;
    };
    // A depth-stencil clear not done yet; see ClearDepthStencilView.
    struct PendingClear {
        DepthStencilView* view = nullptr;
        uint64_t texture = 0;
        UINT flags = 0;
        FLOAT depth = 1.0f;
        uint8_t stencil = 0;
    };
    // A clear or draw aimed at a presented texture, with the pixels it can reach once measured.
    struct FrameEntry {
        std::vector<uint8_t> key;
        PixelRect rect;
        bool measured = false;
        bool clear = false;
        std::array<FLOAT, 4> colour{};
        GLuint clearFramebuffer = 0;
        const TextureData* clearTexture = nullptr;
        GLint drawBuffer = 0;
        DrawCommand draw;
    };
    struct Frame {
        uint64_t target = 0;
        PixelRect bounds;
        std::vector<FrameEntry> entries;
        size_t executed = 0;  // entries drawn already
        bool whole = false;   // drawn whole, not compared
        std::unordered_set<uint64_t> uses;
        // The depth-stencil view bound with the picture: its dying draws the frame first, so it outlives the list.
        DepthStencilView* depthView = nullptr;
    };
    struct ShownEntry {
        std::vector<uint8_t> key;
        PixelRect rect;
    };
    // The last frame presented from a texture, which the texture still holds when valid.
    struct ShownFrame {
        uint64_t target = 0;
        std::vector<ShownEntry> entries;
        bool valid = false;
    };
    static constexpr GLsizeiptr kFeedbackBytes = GLsizeiptr(16) << 20;
    using FramebufferKey = std::array<uint64_t, D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT + 1>;
    using Flattened = std::array<uint64_t, D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT>;

    // `method` names the public entry point in debug messages.
    void IndexedDraw(const char* method, UINT indexCount, UINT instanceCount, UINT startIndex, INT baseVertex,
                     UINT startInstance);
    void PlainDraw(const char* method, UINT vertexCount, UINT instanceCount, UINT startVertex, UINT startInstance);
    // The program to draw with, or null (reported) when the draw must not happen.
    const LinkedProgram* ValidDraw(const char* method);
    void ReportMissingVertexInput(const char* method) const;
    const LinkedProgram& CurrentProgram();
    DrawCommand Capture(const LinkedProgram& program);
    void CaptureInput(DrawCommand& command) const;
    void CaptureOutput(DrawCommand& command);
    std::shared_ptr<ConstantData> Constants(Buffer& buffer);
    // Draws now, or records the draw when it is aimed at a presented texture.
    void Submit(DrawCommand& command);
    // `clip` limits the draw to a rectangle; `framebuffer` other than 0 draws there instead.
    void Execute(DrawCommand& command, const PixelRect* clip, GLuint framebuffer);
    void DrawNow(const DrawCommand& command);
    void AttachVertexInput(const DrawCommand& command);
    void BindConstants(DrawCommand& command, const LinkedProgram& program);
    void UploadFlattened(const DrawCommand& command, const LinkedProgram& program);
    void TouchTargets();
    bool RecordsInto(const DrawCommand& command) const;
    bool RecordsClearOf(const TextureData& texture) const;
    void StartFrame(uint64_t target, const TextureData& texture);
    void Record(DrawCommand& command);
    void RecordClear(RenderTargetView& view, const FLOAT colour[4], GLuint framebuffer, GLint drawBuffer);
    void BeforeAccess(uint64_t serial);
    void WrittenOutsideFrames(uint64_t serial);
    void FlushFrame();
    void ExecuteEntry(FrameEntry& entry, const PixelRect* clip, GLuint framebuffer);
    const std::vector<uint8_t>& ClearedTexel(const TextureData& texture, const std::array<FLOAT, 4>& colour);
    Damage Compare();
    void DrawInside(const Damage& damage);
    void CheckFrame(TextureData& target);
    void MeasureUnmeasured();
    GLsizeiptr FeedbackBytes(const DrawCommand& command) const;
    GLuint FeedbackBuffer(GLsizeiptr bytes);
    GLuint NextQuery(size_t index);
    void RunPositions(DrawCommand& command, const LinkedProgram& positions, const UniformRangeGL& output, GLuint query);
    GLuint DrawFramebuffer();
    GLuint CachedFramebuffer();
    void SetConstantBuffers(UINT startSlot, UINT numBuffers, ID3D11Buffer* const* buffers);
    // E_INVALIDARG, with the reason on a debug device.
    HRESULT RefuseMap(const char* text, const MessageKind& kind) const;
    HRESULT MapBuffer(Buffer& buffer, D3D11_MAP mapType, D3D11_MAPPED_SUBRESOURCE* mapped);
    HRESULT MapTexture(TextureData& texture, UINT subresource, D3D11_MAP mapType, D3D11_MAPPED_SUBRESOURCE* mapped);
    bool Mapped(uint64_t serial, UINT subresource) const { return mapped_.count({serial, subresource}) != 0; }
    void IgnoreUpdate(const char* text) const;
    void UpdateBuffer(Buffer& buffer, UINT dstSubresource, const D3D11_BOX* dstBox, const void* srcData);
    void CopyBuffer(Buffer& dst, Buffer& src);
    void FinishClear(PendingClear pending);
    void FinishClears(uint64_t texture);
    const BlendGL& CurrentBlend() const { return blend_ ? blend_->GL() : DefaultBlend(); }
    const DepthStencilGL& CurrentDepthStencil() const {
        return depthStencil_ ? depthStencil_->GL() : DefaultDepthStencil();
    }
    const RasterizerGL& CurrentRasterizer() const { return rasterizer_ ? rasterizer_->GL() : DefaultRasterizer(); }
    bool Rasterises() const { return device_.Rasterises(); }

    Device& device_;
    RenderTargetView* renderTargets_[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = {};
    UINT numRenderTargets_ = 0;
    DepthStencilView* depthStencilView_ = nullptr;
    bool framebufferDirty_ = true;
    GLuint drawFramebuffer_ = 0;

    BlendState* blend_ = nullptr;
    FLOAT blendFactor_[4] = {1, 1, 1, 1};
    UINT sampleMask_ = 0xffffffffu;
    DepthStencilState* depthStencil_ = nullptr;
    UINT stencilRef_ = 0;
    RasterizerState* rasterizer_ = nullptr;
    D3D11_VIEWPORT viewports_[D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE] = {};
    UINT numViewports_ = 0;
    D3D11_RECT scissors_[D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE] = {};
    UINT numScissors_ = 0;

    InputLayout* layout_ = nullptr;
    VertexBinding vertexBuffers_[D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT];
    Buffer* indexBuffer_ = nullptr;
    DXGI_FORMAT indexFormat_ = DXGI_FORMAT_UNKNOWN;
    UINT indexOffset_ = 0;
    D3D11_PRIMITIVE_TOPOLOGY topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;

    VertexShader* vertexShader_ = nullptr;
    PixelShader* pixelShader_ = nullptr;
    Buffer* constantBuffers_[D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT] = {};
    ShaderResourceView* psResources_[D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT] = {};
    SamplerState* psSamplers_[D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT] = {};
    UINT textureUnits_ = GLState::kUnits;

    // Tables of what GL objects hold, by the serials of the layer's objects.
    std::unique_ptr<GLState> gl_;
    std::map<FramebufferKey, GLuint> framebuffers_;
    std::unordered_map<uint64_t, AttachedBuffers> attached_;  // by input layout; 0 is the empty vertex array
    std::unordered_map<uint64_t, std::shared_ptr<ConstantData>> constants_;  // by buffer: its newest contents
    std::map<const LinkedProgram*, Flattened> flattened_;  // the contents' stamps each program's uniforms hold
    std::vector<PendingClear> pendingClears_;
    std::set<std::pair<uint64_t, UINT>> mapped_;  // resource serial and subresource
    std::unique_ptr<UniformRing> ring_;
    GLuint emptyVertexArray_ = 0;
    GLuint copyFramebuffers_[2] = {};
    std::unique_ptr<PictureScaler> scaler_;  // made on the first fullscreen present
    Frame frame_;
    ShownFrame shown_;
    std::map<std::vector<uint8_t>, std::vector<uint8_t>> clearedTexels_;  // by colour and storage
    GLuint feedback_ = 0;
    GLsizeiptr feedbackBytes_ = 0;
    std::vector<GLuint> queries_;
    uint64_t frames_ = 0;
    uint64_t draws_ = 0;
};

}  // namespace platform
