// Frames drawn into a swap chain's buffer are drawn only where they differ from the frame before. The clears and
// draws aimed at the buffer are recorded with everything that decides their pixels; at Present the list is paired
// in order with the previous frame's, the rectangles of the entries left unpaired are the damage, and the list is
// drawn inside the damage only. This is exact because a frame that starts with a clear of the whole buffer makes
// every pixel a function of the operations that touch it: a pixel no unpaired entry touches saw the same
// operations in the same order last frame, so it already holds its value. Frames that cannot be compared (no
// leading clear, depth or stencil tests, a write to something a waiting draw reads) are drawn whole.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include "context.h"
#include "hooks/damage_check.h"

namespace platform {
namespace {

// Values appended to an entry's key, which two frames compare byte for byte.
class KeyWriter {
public:
    explicit KeyWriter(std::vector<uint8_t>& key) : key_(key) {}
    template <class T>
    void Put(const T& value) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
        key_.insert(key_.end(), bytes, bytes + sizeof value);
    }
    void PutBytes(const std::vector<uint8_t>& bytes) {
        Put(bytes.size());
        key_.insert(key_.end(), bytes.begin(), bytes.end());
    }

private:
    std::vector<uint8_t>& key_;
};

void PutBlend(KeyWriter& key, const BlendGL& blend) {
    key.Put(blend.alphaToCoverage);
    for (const BlendTargetGL& t : blend.targets) {
        key.Put(t.enable);
        key.Put(std::array<GLenum, 6>{t.src, t.dst, t.op, t.srcAlpha, t.dstAlpha, t.opAlpha});
        key.Put(t.writeMask);
    }
}

void PutDepthStencil(KeyWriter& key, const DepthStencilGL& s) {
    key.Put(std::array<bool, 3>{s.depthTest, s.depthWrite, s.stencilTest});
    key.Put(std::array<GLenum, 11>{s.depthFunc, s.readMask, s.writeMask, s.front.fail, s.front.depthFail, s.front.pass,
                                   s.front.func, s.back.fail, s.back.depthFail, s.back.pass, s.back.func});
}

void PutRasterizer(KeyWriter& key, const RasterizerGL& r) {
    key.Put(std::array<GLenum, 3>{r.polygonMode, r.cullFace, r.frontFace});
    key.Put(std::array<bool, 4>{r.cull, r.depthClamp, r.scissor, r.lineSmooth});
    key.Put(std::array<float, 2>{r.biasUnits, r.biasSlope});
}

std::vector<uint8_t> KeyOf(const DrawCommand& c) {
    std::vector<uint8_t> bytes;
    KeyWriter key(bytes);
    key.Put('D');
    key.Put(c.program);
    key.Put(std::array<uint64_t, 3>{c.layout, c.target, c.depthTarget});
    key.Put(c.vertexSlots);
    for (UINT slot = 0; slot < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        if (!(c.vertexSlots & (1u << slot))) continue;
        const VertexBufferBinding& b = c.vertexBuffers[slot];
        key.Put(std::array<uint64_t, 4>{b.serial, b.version, b.stride, b.offset});
    }
    const VertexBufferBinding& i = c.indexBuffer;
    key.Put(std::array<uint64_t, 5>{i.serial, i.version, i.stride, i.offset, c.indexType});
    key.Put(std::array<int64_t, 6>{c.mode, c.count, c.instances, c.first, c.firstInstance, c.baseVertex});
    key.Put(c.textureSerials);
    key.Put(c.textureVersions);
    key.Put(c.samplerSerials);
    for (const auto& constants : c.constants) {
        if (constants) key.PutBytes(constants->bytes);
        key.Put(bool(constants));
    }
    PutBlend(key, c.blend);
    key.Put(c.blendFactor);
    key.Put(c.sampleMask);
    PutDepthStencil(key, c.depthStencil);
    key.Put(c.stencilRef);
    PutRasterizer(key, c.rasterizer);
    key.Put(c.viewportCount);
    for (UINT v = 0; v < c.viewportCount; ++v) key.Put(c.viewports[v]);
    key.Put(c.scissorCount);
    for (UINT s = 0; s < c.scissorCount; ++s) key.Put(c.scissors[s]);
    return bytes;
}

PixelRect ToPixels(const RectGL& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// Where a draw can put pixels at most: its target, viewport 0 and, when tested, scissor 0.
PixelRect Reach(const DrawCommand& c, const PixelRect& bounds) {
    if (c.viewportCount == 0) return bounds;
    const ViewportGL& v = c.viewports[0];
    PixelRect reach = Intersection(bounds, {int(std::floor(v.x)), int(std::floor(v.y)), int(std::ceil(v.x + v.width)),
                                            int(std::ceil(v.y + v.height))});
    if (c.rasterizer.scissor && c.scissorCount > 0) reach = Intersection(reach, ToPixels(c.scissors[0]));
    return reach;
}

// The pixels covered by triangles with these clip-space corners: their bounding box in the viewport, a pixel
// wider on every side than rounding and the rasteriser's sub-pixel snapping can move an edge. A corner at or
// behind the eye (w <= 0) or not a number makes the projection unbounded: then the draw's whole reach.
PixelRect Covered(const float* corners, size_t count, const DrawCommand& c, const PixelRect& bounds) {
    const PixelRect reach = Reach(c, bounds);
    if (c.viewportCount == 0 || count == 0) return count == 0 ? PixelRect{} : reach;
    const ViewportGL& v = c.viewports[0];
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (size_t i = 0; i < count; ++i) {
        const float* p = corners + 4 * i;
        if (!(p[3] > 0.0f) || !std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[3])) return reach;
        const double x = (double(p[0]) / p[3] * 0.5 + 0.5) * v.width + v.x;
        const double y = (0.5 - double(p[1]) / p[3] * 0.5) * v.height + v.y;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    const double limit = 1 << 24;
    if (left < -limit || top < -limit || right > limit || bottom > limit) return reach;
    return Intersection(reach, {int(std::floor(left)) - 1, int(std::floor(top)) - 1, int(std::ceil(right)) + 1,
                                int(std::ceil(bottom)) + 1});
}

// Without a depth-stencil target neither test has anything to test.
bool TestsDepthOrStencil(const DrawCommand& c) {
    return c.depthTarget && (c.depthStencil.depthTest || c.depthStencil.stencilTest);
}

bool TracksDamage() {
    static const bool on = [] {
        const char* value = std::getenv("PLATFORM_DAMAGE");
        return !value || std::strcmp(value, "off") != 0;
    }();
    return on;
}

}  // namespace

// ---- recording ----

bool Context::RecordsInto(const DrawCommand& command) const {
    if (!TracksDamage() || numRenderTargets_ != 1 || !renderTargets_[0]) return false;
    const TextureData& target = renderTargets_[0]->Texture();
    return target.presented && target.samples == 1 && command.target == target.serial;
}

bool Context::RecordsClearOf(const TextureData& texture) const {
    return TracksDamage() && texture.presented && texture.samples == 1;
}

void Context::Submit(DrawCommand& command) {
    if (RecordsInto(command)) {
        Record(command);
        return;
    }
    BeforeAccess(command.target);
    BeforeAccess(command.depthTarget);
    Execute(command, nullptr, 0);
    TouchTargets();
}

void Context::TouchTargets() {
    for (UINT i = 0; i < numRenderTargets_; ++i) {
        if (!renderTargets_[i]) continue;
        renderTargets_[i]->Texture().Touch();
        WrittenOutsideFrames(renderTargets_[i]->Texture().serial);
    }
    if (depthStencilView_) depthStencilView_->Texture().Touch();
}

void Context::StartFrame(uint64_t target, const TextureData& texture) {
    if (frame_.target == target) return;
    FlushFrame();
    // A frame drawn but never presented leaves its picture unlike the last one presented from it.
    if (!frame_.entries.empty() && frame_.target == shown_.target) shown_.valid = false;
    frame_ = {};
    frame_.target = target;
    frame_.bounds = {0, 0, int(texture.width), int(texture.height)};
}

void Context::Record(DrawCommand& command) {
    StartFrame(command.target, renderTargets_[0]->Texture());
    FrameEntry entry;
    entry.key = KeyOf(command);
    entry.draw = std::move(command);
    const DrawCommand& d = entry.draw;
    auto use = [this](uint64_t serial) {
        if (serial) frame_.uses.insert(serial);
    };
    for (UINT unit = 0; unit < GLState::kUnits; ++unit) {
        use(d.textureSerials[unit]);
        use(d.textureResources[unit]);
        use(d.samplerSerials[unit]);
    }
    for (UINT slot = 0; slot < D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT; ++slot) {
        if (d.vertexSlots & (1u << slot)) use(d.vertexBuffers[slot].serial);
    }
    for (uint64_t serial : {d.indexBuffer.serial, d.layout, SerialOf(renderTargets_[0]), SerialOf(depthStencilView_)}) {
        use(serial);
    }
    if (TestsDepthOrStencil(d)) use(d.depthTarget);
    if (depthStencilView_) frame_.depthView = depthStencilView_;
    // A depth or stencil test makes pixels depend on more than the operations that touch them.
    const bool whole = frame_.whole || TestsDepthOrStencil(d);
    frame_.entries.push_back(std::move(entry));
    if (whole) FlushFrame();
}

void Context::RecordClear(RenderTargetView& view, const FLOAT colour[4], GLuint framebuffer, GLint drawBuffer) {
    const TextureData& texture = view.Texture();
    StartFrame(texture.serial, texture);
    FrameEntry entry;
    entry.clear = true;
    std::copy(colour, colour + 4, entry.colour.begin());
    entry.clearFramebuffer = framebuffer;
    entry.clearTexture = &texture;
    entry.drawBuffer = drawBuffer;
    entry.rect = frame_.bounds;
    entry.measured = true;
    KeyWriter key(entry.key);
    key.Put('C');
    key.Put(std::array<uint64_t, 2>{view.Serial(), uint64_t(drawBuffer)});
    key.Put(entry.colour);
    frame_.uses.insert(view.Serial());
    // A bound view is cleared through the framebuffer that holds the depth view too.
    if (depthStencilView_) frame_.uses.insert(depthStencilView_->Serial());
    frame_.entries.push_back(std::move(entry));
    if (frame_.whole) FlushFrame();
}

// A write to something a waiting draw reads, or any access to the picture being recorded, draws what waits first.
void Context::BeforeAccess(uint64_t serial) {
    if (!serial || frame_.entries.empty()) return;
    if (serial == frame_.target) {
        FlushFrame();
        return;
    }
    if (frame_.uses.count(serial)) FlushFrame();
}

// The picture being recorded was changed outside the list: the next frame cannot be compared with this one.
void Context::WrittenOutsideFrames(uint64_t serial) {
    if (serial == shown_.target) shown_.valid = false;
    if (serial == frame_.target) frame_.whole = true;
}

void Context::FlushFrame() {
    frame_.whole = true;
    for (; frame_.executed < frame_.entries.size(); ++frame_.executed) {
        ExecuteEntry(frame_.entries[frame_.executed], nullptr, 0);
    }
}

void Context::ExecuteEntry(FrameEntry& entry, const PixelRect* clip, GLuint framebuffer) {
    if (!entry.clear) {
        Execute(entry.draw, clip, framebuffer);
        return;
    }
    if (clip) {
        // A scissored clear is drawn as a quad by Mesa, which rounds the colour otherwise than a whole clear: the
        // rectangle gets the very bytes a whole clear writes.
        const TextureData& t = *entry.clearTexture;
        glClearTexSubImage(t.name, 0, clip->left, clip->top, 0, clip->right - clip->left, clip->bottom - clip->top, 1,
                           t.format->pixelFormat, t.format->pixelType, ClearedTexel(t, entry.colour).data());
        return;
    }
    gl_->SetScissorTest(false);
    gl_->SetColourMask(UINT(entry.drawBuffer), D3D11_COLOR_WRITE_ENABLE_ALL);
    gl_->SetFramebufferSrgb(true);
    gl_->Apply(GLState::kScissorTest | GLState::kColourMasks | GLState::kSrgb);
    glClearNamedFramebufferfv(framebuffer ? framebuffer : entry.clearFramebuffer, GL_COLOR, entry.drawBuffer,
                              entry.colour.data());
}

// What a whole clear writes into one texel of the texture's storage, found once per format and colour by clearing
// a texel of that storage and reading it back.
const std::vector<uint8_t>& Context::ClearedTexel(const TextureData& texture, const std::array<FLOAT, 4>& colour) {
    std::vector<uint8_t> key(sizeof colour + sizeof(GLenum) + 1);
    std::memcpy(key.data(), colour.data(), sizeof colour);
    std::memcpy(key.data() + sizeof colour, &texture.format->internalFormat, sizeof(GLenum));
    key.back() = texture.windowFormat;
    std::vector<uint8_t>& texel = clearedTexels_[key];
    if (!texel.empty()) return texel;
    GLuint scratch = 0, framebuffer = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &scratch);
    if (texture.windowFormat) {
        gl_->AllocateUnsized2D(scratch, 1, 1);
    } else {
        glTextureStorage2D(scratch, 1, texture.format->internalFormat, 1, 1);
    }
    glCreateFramebuffers(1, &framebuffer);
    glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, scratch, 0);
    gl_->SetScissorTest(false);
    gl_->SetColourMask(0, D3D11_COLOR_WRITE_ENABLE_ALL);
    gl_->SetFramebufferSrgb(true);
    gl_->Apply(GLState::kScissorTest | GLState::kColourMasks | GLState::kSrgb);
    glClearNamedFramebufferfv(framebuffer, GL_COLOR, 0, colour.data());
    texel.resize(texture.format->bytesPerTexel);
    glGetTextureImage(scratch, 0, texture.format->pixelFormat, texture.format->pixelType, GLsizei(texel.size()),
                      texel.data());
    gl_->Delete(GLObject::Framebuffer, framebuffer);
    gl_->Delete(GLObject::Texture, scratch);
    return texel;
}

// ---- at present ----

Damage Context::FinishFrame(TextureData& target) {
    Damage damage;
    const PixelRect whole{0, 0, int(target.width), int(target.height)};
    if (!Rasterises()) return damage;
    device_.MakeCurrent();
    if (frame_.target != target.serial || frame_.entries.empty()) {
        // Nothing recorded: the picture is as the last present left it, unless something else wrote it.
        if (!(shown_.valid && shown_.target == target.serial)) {
            damage.Add(whole);
            shown_ = {target.serial, {}, false};
        }
        // Another picture's waiting frame stays to be presented from its own swap chain.
        if (frame_.target == target.serial) frame_ = {};
        return damage;
    }
    const bool comparable =
        !frame_.whole && shown_.valid && shown_.target == frame_.target && frame_.entries.front().clear;
    if (comparable) {
        damage = Compare();
        DrawInside(damage);
        if (DamageCheckOn()) CheckFrame(target);
    } else {
        FlushFrame();
        damage.Add(whole);
    }
    MeasureUnmeasured();
    shown_.target = frame_.target;
    shown_.valid = true;
    shown_.entries.clear();
    for (FrameEntry& entry : frame_.entries) shown_.entries.push_back({std::move(entry.key), entry.rect});
    frame_ = {};
    ++frames_;
    return damage;
}

Damage Context::Compare() {
    std::vector<ShownEntry>& before = shown_.entries;
    std::vector<FrameEntry>& after = frame_.entries;
    const auto pairs =
        PairInOrder(before.size(), after.size(), [&](size_t i, size_t j) { return before[i].key == after[j].key; });
    std::vector<bool> kept(before.size(), false);
    for (const auto& [i, j] : pairs) {
        kept[i] = true;
        after[j].rect = before[i].rect;
        after[j].measured = true;
    }
    Damage damage;
    for (size_t i = 0; i < before.size(); ++i) {
        if (!kept[i]) damage.Add(before[i].rect);
    }
    MeasureUnmeasured();
    std::vector<bool> paired(after.size(), false);
    for (const auto& pair : pairs) paired[pair.second] = true;
    for (size_t j = 0; j < after.size(); ++j) {
        if (!paired[j]) damage.Add(after[j].rect);
    }
    return damage;
}

// Every pixel of the damage is drawn once, by every entry that reaches it, in the list's order.
void Context::DrawInside(const Damage& damage) {
    for (FrameEntry& entry : frame_.entries) {
        for (const PixelRect& rect : damage.Rects()) {
            const PixelRect clip = Intersection(rect, entry.rect);
            if (!clip.Empty()) ExecuteEntry(entry, &clip, 0);
        }
    }
    frame_.executed = frame_.entries.size();
}

// Draws the whole list again into a copy of the picture and compares the bytes.
void Context::CheckFrame(TextureData& target) {
    GLuint copy = 0, framebuffer = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &copy);
    glTextureStorage2D(copy, 1, target.format->internalFormat, GLsizei(target.width), GLsizei(target.height));
    glCreateFramebuffers(1, &framebuffer);
    glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, copy, 0);
    // Mesa rasterises otherwise without a depth attachment (see DrawFramebuffer); the frame's draws had this one.
    if (frame_.depthView) frame_.depthView->Image().AttachTo(framebuffer, frame_.depthView->Image().point);
    for (FrameEntry& entry : frame_.entries) ExecuteEntry(entry, nullptr, framebuffer);
    const size_t bytes = size_t(target.width) * target.height * 4;
    std::vector<uint8_t> drawn(bytes), full(bytes);
    glGetTextureImage(target.name, 0, GL_RGBA, GL_UNSIGNED_BYTE, GLsizei(bytes), drawn.data());
    glGetTextureImage(copy, 0, GL_RGBA, GL_UNSIGNED_BYTE, GLsizei(bytes), full.data());
    gl_->Delete(GLObject::Framebuffer, framebuffer);
    gl_->Delete(GLObject::Texture, copy);
    CountCheckedFrame();
    PixelRect differs{int(target.width), int(target.height), 0, 0};
    for (UINT y = 0; y < target.height; ++y) {
        for (UINT x = 0; x < target.width; ++x) {
            const size_t at = (size_t(y) * target.width + x) * 4;
            if (std::memcmp(&drawn[at], &full[at], 4) == 0) continue;
            if (getenv("DBG_DAMAGE") && differs.Empty())
                fprintf(stderr, "at %u,%u drawn %d %d %d %d full %d %d %d %d\n", x, y, drawn[at], drawn[at + 1],
                        drawn[at + 2], drawn[at + 3], full[at], full[at + 1], full[at + 2], full[at + 3]);
            differs = {std::min(differs.left, int(x)), std::min(differs.top, int(y)),
                       std::max(differs.right, int(x) + 1), std::max(differs.bottom, int(y) + 1)};
        }
    }
    if (differs.Empty()) return;
    ReportDamageDifference("damage check: frame " + std::to_string(frames_) + " differs from a whole redraw in (" +
                           std::to_string(differs.left) + ", " + std::to_string(differs.top) + ")-(" +
                           std::to_string(differs.right) + ", " + std::to_string(differs.bottom) + ")\n");
}

// ---- where draws reach ----

// Runs the vertex stage of every draw not yet measured with the rasteriser off and the clip-space positions
// written to a buffer, in one batch, then reads them back once.
void Context::MeasureUnmeasured() {
    struct Pending {
        FrameEntry* entry;
        const LinkedProgram* positions;
        GLintptr offset;
        GLsizeiptr bytes;
        GLuint query;
    };
    std::vector<Pending> batch;
    GLintptr used = 0;
    for (FrameEntry& entry : frame_.entries) {
        if (entry.measured) continue;
        entry.measured = true;
        entry.rect = Reach(entry.draw, frame_.bounds);
        const GLsizeiptr bytes = FeedbackBytes(entry.draw);
        if (!bytes || used + bytes > kFeedbackBytes) continue;
        const LinkedProgram& positions = device_.Programs().LinkPositions(*entry.draw.vertexShader);
        if (!positions.linked) continue;
        batch.push_back({&entry, &positions, used, bytes, NextQuery(batch.size())});
        used += bytes;
    }
    const GLuint output = FeedbackBuffer(used);
    for (const Pending& p : batch) RunPositions(p.entry->draw, *p.positions, {output, p.offset, p.bytes}, p.query);
    gl_->SetRasterizerDiscard(false);
    gl_->Apply(GLState::kDiscard);
    if (batch.empty()) return;
    std::vector<float> corners(size_t(used) / sizeof(float));
    glGetNamedBufferSubData(feedback_, 0, used, corners.data());
    for (const Pending& p : batch) {
        GLuint primitives = 0;
        glGetQueryObjectuiv(p.query, GL_QUERY_RESULT, &primitives);
        const size_t vertices = size_t(primitives) * 3;
        const float* first = corners.data() + size_t(p.offset) / sizeof(float);
        p.entry->rect = Covered(first, vertices, p.entry->draw, frame_.bounds);
    }
}

// Triangles only: points and lines grow by their size, which the clip-space corners do not tell.
GLsizeiptr Context::FeedbackBytes(const DrawCommand& c) const {
    if (c.mode != GL_TRIANGLES && c.mode != GL_TRIANGLE_STRIP) return 0;
    const size_t triangles = c.mode == GL_TRIANGLES ? c.count / 3 : (c.count >= 3 ? c.count - 2 : 0);
    return GLsizeiptr(triangles * c.instances * 3 * 4 * sizeof(float));
}

// Sized to what frames have needed, in powers of two: the driver fills a new buffer, which a large one makes slow.
GLuint Context::FeedbackBuffer(GLsizeiptr bytes) {
    if (feedback_ && bytes <= feedbackBytes_) return feedback_;
    gl_->Delete(GLObject::Buffer, feedback_);
    feedbackBytes_ = std::max<GLsizeiptr>(feedbackBytes_, 64 << 10);
    while (feedbackBytes_ < bytes) feedbackBytes_ *= 2;
    glCreateBuffers(1, &feedback_);
    glNamedBufferStorage(feedback_, feedbackBytes_, nullptr, 0);
    return feedback_;
}

GLuint Context::NextQuery(size_t index) {
    while (queries_.size() <= index) {
        GLuint query = 0;
        glCreateQueries(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, 1, &query);
        queries_.push_back(query);
    }
    return queries_[index];
}

void Context::RunPositions(DrawCommand& command, const LinkedProgram& positions, const UniformRangeGL& output,
                           GLuint query) {
    AttachVertexInput(command);
    BindConstants(command, positions);
    UploadFlattened(command, positions);
    GLState& gl = *gl_;
    gl.UseProgram(positions.name);
    gl.BindVertexArray(command.vertexArray);
    gl.SetRasterizerDiscard(true);
    gl.BindFeedbackRange(output);
    gl.Apply(GLState::kProgram | GLState::kVertexArray | GLState::kUniformBuffers | GLState::kDiscard |
             GLState::kFeedback);
    glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
    glBeginTransformFeedback(GL_TRIANGLES);
    DrawNow(command);
    glEndTransformFeedback();
    glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
}

}  // namespace platform
