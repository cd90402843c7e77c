#include "gl_state.h"
#include <algorithm>
#include <tuple>

namespace platform {
namespace {

// Blending without its write mask, which the colour-mask group sends.
bool SameFunctions(const BlendTargetGL& a, const BlendTargetGL& b) {
    return std::tie(a.enable, a.src, a.dst, a.op, a.srcAlpha, a.dstAlpha, a.opAlpha) ==
           std::tie(b.enable, b.src, b.dst, b.op, b.srcAlpha, b.dstAlpha, b.opAlpha);
}

template <class T, size_t N>
bool SamePrefix(const std::array<T, N>& a, const std::array<T, N>& b, UINT count) {
    for (UINT i = 0; i < count; ++i) {
        if (!(a[i] == b[i])) return false;
    }
    return true;
}

void Toggle(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void ToggleIndexed(GLenum capability, GLuint index, bool on) {
    if (on) {
        glEnablei(capability, index);
    } else {
        glDisablei(capability, index);
    }
}

}  // namespace

bool operator==(const ViewportGL& a, const ViewportGL& b) {
    return std::tie(a.x, a.y, a.width, a.height, a.minDepth, a.maxDepth) ==
           std::tie(b.x, b.y, b.width, b.height, b.minDepth, b.maxDepth);
}
bool operator==(const RectGL& a, const RectGL& b) {
    return std::tie(a.x, a.y, a.width, a.height) == std::tie(b.x, b.y, b.width, b.height);
}
bool operator==(const UniformRangeGL& a, const UniformRangeGL& b) {
    return std::tie(a.buffer, a.offset, a.size) == std::tie(b.buffer, b.offset, b.size);
}
bool operator==(const BlendTargetGL& a, const BlendTargetGL& b) {
    return SameFunctions(a, b) && a.writeMask == b.writeMask;
}
bool operator==(const StencilFaceGL& a, const StencilFaceGL& b) {
    return std::tie(a.fail, a.depthFail, a.pass, a.func) == std::tie(b.fail, b.depthFail, b.pass, b.func);
}
bool operator==(const DepthStencilGL& a, const DepthStencilGL& b) {
    return std::tie(a.depthTest, a.depthWrite, a.depthFunc, a.stencilTest, a.readMask, a.writeMask, a.front, a.back) ==
           std::tie(b.depthTest, b.depthWrite, b.depthFunc, b.stencilTest, b.readMask, b.writeMask, b.front, b.back);
}
bool operator==(const RasterizerGL& a, const RasterizerGL& b) {
    return std::tie(a.polygonMode, a.cull, a.cullFace, a.frontFace, a.biasUnits, a.biasSlope, a.depthClamp, a.scissor,
                    a.lineSmooth) == std::tie(b.polygonMode, b.cull, b.cullFace, b.frontFace, b.biasUnits, b.biasSlope,
                                              b.depthClamp, b.scissor, b.lineSmooth);
}

GLState::GLState(bool conventions) {
    // Direct3D's conventions: clip depth 0..1 and texture row 0 at the top (upper-left clip origin).
    if (conventions) {
        glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
        glEnable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
        wanted_.srgb = true;
    }
    SetBlend(DefaultBlend(), {1, 1, 1, 1}, 0xffffffffu);
    SetDepthStencil(DefaultDepthStencil(), 0);
    SetRasterizer(DefaultRasterizer());
    SendPixelStore();
    Apply(kSrgb);
}

void GLState::SetBlend(const BlendGL& blend, const std::array<FLOAT, 4>& factor, UINT sampleMask) {
    BlendFunctions functions;
    for (UINT i = 0; i < kTargets; ++i) {
        functions.targets[i] = blend.targets[i];
        functions.targets[i].writeMask = 0;
        SetColourMask(i, blend.targets[i].writeMask);
    }
    functions.alphaToCoverage = blend.alphaToCoverage;
    functions.factor = factor;
    functions.sampleMask = sampleMask;
    const BlendFunctions& now = wanted_.blend;
    if (now.targets == functions.targets && now.alphaToCoverage == functions.alphaToCoverage &&
        now.factor == functions.factor && now.sampleMask == functions.sampleMask) {
        return;
    }
    wanted_.blend = functions;
    dirty_ |= kBlend;
}

void GLState::SetDepthStencil(const DepthStencilGL& state, UINT stencilRef) {
    SetDepthStencilMasks(state.depthWrite, state.writeMask);
    DepthStencilGL tests = state;
    tests.depthWrite = true;
    tests.writeMask = 0xff;
    DepthStencilTests& now = wanted_.depthStencil;
    if (now.state == tests && now.stencilRef == stencilRef) return;
    now = {tests, stencilRef};
    dirty_ |= kDepthStencil;
}

void GLState::SetDepthStencilMasks(bool depthWrite, GLuint stencilWriteMask) {
    DepthStencilMasks& now = wanted_.depthStencilMasks;
    if (now.depthWrite == depthWrite && now.stencilWriteMask == stencilWriteMask) return;
    now = {depthWrite, stencilWriteMask};
    dirty_ |= kDepthStencilMasks;
}

void GLState::SetRasterizer(const RasterizerGL& state) {
    SetScissorTest(state.scissor);
    RasterizerGL rest = state;
    rest.scissor = false;
    Want(wanted_.rasterizer, rest, kRasterizer);
}

void GLState::BindUniformRange(UINT slot, const UniformRangeGL& range) {
    Want(wanted_.uniforms[slot], range, kUniformBuffers);
}

void GLState::SetViewports(UINT count, const ViewportGL* viewports) {
    if (count == wanted_.viewportCount && std::equal(viewports, viewports + count, wanted_.viewports.begin())) return;
    wanted_.viewportCount = count;
    std::copy(viewports, viewports + count, wanted_.viewports.begin());
    dirty_ |= kViewports;
}

void GLState::SetScissors(UINT count, const RectGL* rects) {
    if (count == wanted_.scissorCount && std::equal(rects, rects + count, wanted_.scissors.begin())) return;
    wanted_.scissorCount = count;
    std::copy(rects, rects + count, wanted_.scissors.begin());
    dirty_ |= kScissors;
}

void GLState::Apply(uint32_t groups) {
    const uint32_t due = dirty_ & groups;
    if (!due) return;
    dirty_ &= ~due;
    if (due & kBlend) SendBlend();
    if (due & kColourMasks) SendColourMasks();
    if (due & (kDepthStencil | kDepthStencilMasks)) SendDepthStencil();
    if (due & (kRasterizer | kScissorTest)) SendRasterizer();
    if (due & (kProgram | kVertexArray | kFramebuffer | kTextures | kSamplers | kUniformBuffers)) SendBindings();
    if (due & kViewports) SendViewports();
    if (due & kScissors) SendScissors();
    if ((due & kSrgb) && (Differs(kSrgb) || applied_.srgb != wanted_.srgb)) {
        Toggle(GL_FRAMEBUFFER_SRGB, wanted_.srgb);
        applied_.srgb = wanted_.srgb;
        known_ |= kSrgb;
    }
    if ((due & kDiscard) && (Differs(kDiscard) || applied_.discard != wanted_.discard)) {
        Toggle(GL_RASTERIZER_DISCARD, wanted_.discard);
        applied_.discard = wanted_.discard;
        known_ |= kDiscard;
    }
    if ((due & kFeedback) && (Differs(kFeedback) || !(applied_.feedback == wanted_.feedback))) {
        const UniformRangeGL& f = wanted_.feedback;
        if (f.buffer) {
            glBindBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, f.buffer, f.offset, f.size);
        } else {
            glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
        }
        applied_.feedback = f;
        known_ |= kFeedback;
    }
}

void GLState::SendBlend() {
    const BlendFunctions& want = wanted_.blend;
    BlendFunctions& have = applied_.blend;
    const bool all = Differs(kBlend);
    for (UINT i = 0; i < kTargets; ++i) {
        const BlendTargetGL& t = want.targets[i];
        if (!all && SameFunctions(t, have.targets[i])) continue;
        ToggleIndexed(GL_BLEND, i, t.enable);
        glBlendFuncSeparatei(i, t.src, t.dst, t.srcAlpha, t.dstAlpha);
        glBlendEquationSeparatei(i, t.op, t.opAlpha);
    }
    if (all || want.alphaToCoverage != have.alphaToCoverage) {
        Toggle(GL_SAMPLE_ALPHA_TO_COVERAGE, want.alphaToCoverage);
    }
    if (all || want.factor != have.factor) glBlendColor(want.factor[0], want.factor[1], want.factor[2], want.factor[3]);
    if (all || want.sampleMask != have.sampleMask) {
        Toggle(GL_SAMPLE_MASK, want.sampleMask != 0xffffffffu);
        glSampleMaski(0, want.sampleMask);
    }
    have = want;
    known_ |= kBlend;
}

void GLState::SendColourMasks() {
    const bool all = Differs(kColourMasks);
    for (UINT i = 0; i < kTargets; ++i) {
        const uint8_t m = wanted_.colourMasks[i];
        if (!all && m == applied_.colourMasks[i]) continue;
        glColorMaski(i, m & 1, (m >> 1) & 1, (m >> 2) & 1, (m >> 3) & 1);
    }
    applied_.colourMasks = wanted_.colourMasks;
    known_ |= kColourMasks;
}

void GLState::SendDepthStencil() {
    const DepthStencilTests& want = wanted_.depthStencil;
    if (Differs(kDepthStencil) || !(want.state == applied_.depthStencil.state) ||
        want.stencilRef != applied_.depthStencil.stencilRef) {
        const DepthStencilGL& s = want.state;
        Toggle(GL_DEPTH_TEST, s.depthTest);
        glDepthFunc(s.depthFunc);
        Toggle(GL_STENCIL_TEST, s.stencilTest);
        glStencilFuncSeparate(GL_FRONT, s.front.func, GLint(want.stencilRef), s.readMask);
        glStencilFuncSeparate(GL_BACK, s.back.func, GLint(want.stencilRef), s.readMask);
        glStencilOpSeparate(GL_FRONT, s.front.fail, s.front.depthFail, s.front.pass);
        glStencilOpSeparate(GL_BACK, s.back.fail, s.back.depthFail, s.back.pass);
        applied_.depthStencil = want;
        known_ |= kDepthStencil;
    }
    const DepthStencilMasks& masks = wanted_.depthStencilMasks;
    const bool all = Differs(kDepthStencilMasks);
    if (all || masks.depthWrite != applied_.depthStencilMasks.depthWrite) {
        glDepthMask(masks.depthWrite ? GL_TRUE : GL_FALSE);
    }
    if (all || masks.stencilWriteMask != applied_.depthStencilMasks.stencilWriteMask) {
        glStencilMaskSeparate(GL_FRONT_AND_BACK, masks.stencilWriteMask);
    }
    applied_.depthStencilMasks = masks;
    known_ |= kDepthStencilMasks;
}

void GLState::SendRasterizer() {
    const RasterizerGL& r = wanted_.rasterizer;
    if (Differs(kRasterizer) || !(r == applied_.rasterizer)) {
        glPolygonMode(GL_FRONT_AND_BACK, r.polygonMode);
        Toggle(GL_CULL_FACE, r.cull);
        glCullFace(r.cullFace);
        glFrontFace(r.frontFace);
        const bool bias = r.biasUnits != 0 || r.biasSlope != 0;
        Toggle(GL_POLYGON_OFFSET_FILL, bias);
        Toggle(GL_POLYGON_OFFSET_LINE, bias);
        glPolygonOffset(r.biasSlope, r.biasUnits);
        Toggle(GL_DEPTH_CLAMP, r.depthClamp);
        Toggle(GL_LINE_SMOOTH, r.lineSmooth);
        applied_.rasterizer = r;
        known_ |= kRasterizer;
    }
    if (Differs(kScissorTest) || wanted_.scissorTest != applied_.scissorTest) {
        Toggle(GL_SCISSOR_TEST, wanted_.scissorTest);
        applied_.scissorTest = wanted_.scissorTest;
        known_ |= kScissorTest;
    }
}

void GLState::SendBindings() {
    const Values& want = wanted_;
    Values& have = applied_;
    if (Differs(kProgram) || want.program != have.program) glUseProgram(want.program);
    if (Differs(kVertexArray) || want.vertexArray != have.vertexArray) glBindVertexArray(want.vertexArray);
    if (Differs(kFramebuffer) || want.framebuffer != have.framebuffer) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, want.framebuffer);
    }
    for (UINT unit = 0; unit < kUnits; ++unit) {
        if (Differs(kTextures) || want.textures[unit] != have.textures[unit]) {
            glBindTextureUnit(unit, want.textures[unit]);
        }
        if (Differs(kSamplers) || want.samplers[unit] != have.samplers[unit]) glBindSampler(unit, want.samplers[unit]);
    }
    for (UINT slot = 0; slot < kUniformSlots; ++slot) {
        const UniformRangeGL& u = want.uniforms[slot];
        if (!Differs(kUniformBuffers) && u == have.uniforms[slot]) continue;
        if (u.buffer) {
            glBindBufferRange(GL_UNIFORM_BUFFER, slot, u.buffer, u.offset, u.size);
        } else {
            glBindBufferBase(GL_UNIFORM_BUFFER, slot, 0);
        }
    }
    have.program = want.program;
    have.vertexArray = want.vertexArray;
    have.framebuffer = want.framebuffer;
    have.textures = want.textures;
    have.samplers = want.samplers;
    have.uniforms = want.uniforms;
    known_ |= kProgram | kVertexArray | kFramebuffer | kTextures | kSamplers | kUniformBuffers;
}

void GLState::SendViewports() {
    const UINT count = wanted_.viewportCount;
    for (UINT i = 0; i < count; ++i) {
        const ViewportGL& v = wanted_.viewports[i];
        if (i < applied_.viewportCount && v == applied_.viewports[i]) continue;
        glViewportIndexedf(i, v.x, v.y, v.width, v.height);
        glDepthRangeIndexed(i, v.minDepth, v.maxDepth);
    }
    // GL keeps the rest as they were.
    std::copy(wanted_.viewports.begin(), wanted_.viewports.begin() + count, applied_.viewports.begin());
    applied_.viewportCount = std::max(applied_.viewportCount, count);
}

void GLState::SendScissors() {
    const UINT count = wanted_.scissorCount;
    for (UINT i = 0; i < count; ++i) {
        const RectGL& r = wanted_.scissors[i];
        if (i < applied_.scissorCount && r == applied_.scissors[i]) continue;
        glScissorIndexed(i, r.x, r.y, r.width, r.height);
    }
    std::copy(wanted_.scissors.begin(), wanted_.scissors.begin() + count, applied_.scissors.begin());
    applied_.scissorCount = std::max(applied_.scissorCount, count);
}

// Rows are tightly packed in every upload and read-back the layer makes; nothing changes it after this.
void GLState::SendPixelStore() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

void GLState::AllocateUnsized2D(GLuint texture, GLsizei width, GLsizei height) {
    // Unit 0 stays the active unit: nothing in the layer selects another.
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    applied_.textures[0] = texture;
    dirty_ |= kTextures;
}

void GLState::Delete(GLObject kind, GLuint& name) {
    if (!name) return;
    const GLuint deleted = name;
    name = 0;
    // A binding GL dropped must be sent again even if the same name is wanted: it may be a new object by then.
    auto unbind = [this, deleted](GLuint& binding, Group group) {
        if (binding != deleted) return;
        binding = 0;
        dirty_ |= group;
    };
    switch (kind) {
    case GLObject::Buffer:
        for (UniformRangeGL& u : applied_.uniforms) unbind(u.buffer, kUniformBuffers);
        unbind(applied_.feedback.buffer, kFeedback);
        glDeleteBuffers(1, &deleted);
        return;
    case GLObject::Texture:
        for (GLuint& t : applied_.textures) unbind(t, kTextures);
        glDeleteTextures(1, &deleted);
        return;
    case GLObject::VertexArray:
        unbind(applied_.vertexArray, kVertexArray);
        glDeleteVertexArrays(1, &deleted);
        return;
    case GLObject::Sampler:
        for (GLuint& sampler : applied_.samplers) unbind(sampler, kSamplers);
        glDeleteSamplers(1, &deleted);
        return;
    case GLObject::Framebuffer:
        unbind(applied_.framebuffer, kFramebuffer);
        glDeleteFramebuffers(1, &deleted);
        return;
    }
}

}  // namespace platform
