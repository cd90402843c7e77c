// The one writer of the GL context's state. Callers say what the next operation needs; Apply sends GL only the
// groups marked dirty since, and of those only what differs from what GL already has. Object state (a
// framebuffer's attachments, a vertex array's buffers, a program's uniforms) lives with the context's tables.
#pragma once
#include <array>
#include <cstdint>
#include "d3d11.h"
#include "gl.h"
#include "states.h"

namespace platform {

struct ViewportGL {
    GLfloat x = 0, y = 0, width = 0, height = 0;
    GLdouble minDepth = 0, maxDepth = 1;
};

// Top-down like Direct3D's: the upper-left clip origin makes GL's window rows run the same way.
struct RectGL {
    GLint x = 0, y = 0;
    GLsizei width = 0, height = 0;
};

struct UniformRangeGL {
    GLuint buffer = 0;
    GLintptr offset = 0;
    GLsizeiptr size = 0;
};

bool operator==(const ViewportGL& a, const ViewportGL& b);
bool operator==(const RectGL& a, const RectGL& b);
bool operator==(const UniformRangeGL& a, const UniformRangeGL& b);

enum class GLObject { Buffer, Texture, VertexArray, Sampler, Framebuffer };

class GLState {
public:
    static constexpr UINT kUnits = D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT;
    static constexpr UINT kUniformSlots = D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT;
    static constexpr UINT kMaxViewports = D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE;
    static constexpr UINT kTargets = D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT;

    // Needs the context current. `conventions` sets Direct3D's clip space, texture orientation and sRGB writes,
    // which only a 4.5 context has.
    explicit GLState(bool conventions);
    GLState(const GLState&) = delete;
    GLState& operator=(const GLState&) = delete;

    void UseProgram(GLuint program) { Want(wanted_.program, program, kProgram); }
    void BindVertexArray(GLuint vertexArray) { Want(wanted_.vertexArray, vertexArray, kVertexArray); }
    void BindDrawFramebuffer(GLuint framebuffer) { Want(wanted_.framebuffer, framebuffer, kFramebuffer); }
    // The blend state's write masks go with it; a clear sets its one target's mask alone.
    void SetBlend(const BlendGL& blend, const std::array<FLOAT, 4>& factor, UINT sampleMask);
    void SetColourMask(UINT target, uint8_t mask) { Want(wanted_.colourMasks[target], mask, kColourMasks); }
    // The write masks go with the state; a depth or stencil clear sets them alone.
    void SetDepthStencil(const DepthStencilGL& state, UINT stencilRef);
    void SetDepthStencilMasks(bool depthWrite, GLuint stencilWriteMask);
    // The scissor test goes with the state; clears and copies turn it off alone.
    void SetRasterizer(const RasterizerGL& state);
    void SetScissorTest(bool on) { Want(wanted_.scissorTest, on, kScissorTest); }
    void BindTexture(UINT unit, GLuint texture) { Want(wanted_.textures[unit], texture, kTextures); }
    void BindSampler(UINT unit, GLuint sampler) { Want(wanted_.samplers[unit], sampler, kSamplers); }
    void BindUniformRange(UINT slot, const UniformRangeGL& range);
    // Only the first `count` entries are sent; the others keep what GL has.
    void SetViewports(UINT count, const ViewportGL* viewports);
    void SetScissors(UINT count, const RectGL* rects);
    void SetFramebufferSrgb(bool on) { Want(wanted_.srgb, on, kSrgb); }
    // Transform feedback of positions: nothing rasterised, vertices written to the buffer range.
    void SetRasterizerDiscard(bool on) { Want(wanted_.discard, on, kDiscard); }
    void BindFeedbackRange(const UniformRangeGL& range) { Want(wanted_.feedback, range, kFeedback); }

    // Sends what differs; `groups` limits it to some groups (a clear needs no program).
    void Apply(uint32_t groups = ~0u);
    // Gives a 2-D texture unsized RGBA storage of BGRA pixels, the one allocation with no direct-state form: the
    // driver then stores it in the window's pixel order. Leaves it bound on unit 0.
    void AllocateUnsized2D(GLuint texture, GLsizei width, GLsizei height);
    // Deletes a GL object and sets `name` to 0. GL unbinds what it deletes and may hand the name out again, so the
    // bindings it had are forgotten.
    void Delete(GLObject kind, GLuint& name);

    enum Group : uint32_t {
        kProgram = 1u << 0,
        kVertexArray = 1u << 1,
        kFramebuffer = 1u << 2,
        kBlend = 1u << 3,
        kColourMasks = 1u << 4,
        kDepthStencil = 1u << 5,
        kDepthStencilMasks = 1u << 6,
        kRasterizer = 1u << 7,
        kScissorTest = 1u << 8,
        kTextures = 1u << 9,
        kSamplers = 1u << 10,
        kUniformBuffers = 1u << 11,
        kViewports = 1u << 12,
        kScissors = 1u << 13,
        kSrgb = 1u << 14,
        kDiscard = 1u << 15,
        kFeedback = 1u << 16,
    };

private:
    // Blend without the write masks, which are their own group.
    struct BlendFunctions {
        std::array<BlendTargetGL, kTargets> targets{};
        bool alphaToCoverage = false;
        std::array<FLOAT, 4> factor = {1, 1, 1, 1};
        UINT sampleMask = 0xffffffffu;
    };
    struct DepthStencilTests {
        DepthStencilGL state;
        UINT stencilRef = 0;
    };
    struct DepthStencilMasks {
        bool depthWrite = true;
        GLuint stencilWriteMask = 0xff;
    };
    // Everything GL is told: once as wanted, once as it is now.
    struct Values {
        GLuint program = 0, vertexArray = 0, framebuffer = 0;
        BlendFunctions blend;
        std::array<uint8_t, kTargets> colourMasks{};
        DepthStencilTests depthStencil;
        DepthStencilMasks depthStencilMasks;
        RasterizerGL rasterizer;
        bool scissorTest = false;
        std::array<GLuint, kUnits> textures{}, samplers{};
        std::array<UniformRangeGL, kUniformSlots> uniforms{};
        UINT viewportCount = 0, scissorCount = 0;
        std::array<ViewportGL, kMaxViewports> viewports{};
        std::array<RectGL, kMaxViewports> scissors{};
        bool srgb = false;
        bool discard = false;
        UniformRangeGL feedback;
    };

    template <class T>
    void Want(T& wanted, const T& value, Group group) {
        if (wanted == value) return;
        wanted = value;
        dirty_ |= group;
    }
    void SendBlend();
    void SendColourMasks();
    void SendDepthStencil();
    void SendRasterizer();
    void SendBindings();
    void SendViewports();
    void SendScissors();
    void SendPixelStore();
    // True when GL must hear about `group`: never sent yet, or sent with another value.
    bool Differs(Group group) const { return !(known_ & group); }

    Values wanted_, applied_;
    uint32_t dirty_ = ~0u;
    uint32_t known_ = 0;  // groups whose applied values GL really has
};

}  // namespace platform
