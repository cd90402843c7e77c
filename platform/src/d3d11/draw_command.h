// A draw as the context received it: everything that decides its pixels, held by value or as an object with the
// version of its contents, so the context can run it at once or later.
#pragma once
#include <array>
#include <memory>
#include <vector>
#include "gl_state.h"
#include "uniform_ring.h"

namespace platform {

struct LinkedProgram;
struct CompiledShader;

// One version of a constant buffer's contents, shared by every draw that reads it.
struct ConstantData {
    uint64_t stamp = 0;
    std::vector<uint8_t> bytes;
    // Where the uniform ring holds a copy (pushed: once there was one).
    UniformRing::Slice slice;
    bool pushed = false;
};

struct VertexBufferBinding {
    GLuint name = 0;
    uint64_t serial = 0, version = 0;
    UINT stride = 0, offset = 0;
};

struct DrawCommand {
    const LinkedProgram* program = nullptr;
    const CompiledShader* vertexShader = nullptr;
    GLuint vertexArray = 0;
    uint64_t layout = 0;  // the input layout's serial; 0 for none
    uint32_t vertexSlots = 0;
    std::array<VertexBufferBinding, D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT> vertexBuffers{};
    VertexBufferBinding indexBuffer;  // stride holds the index size in bytes
    GLenum indexType = 0;             // 0 for a plain draw
    GLenum mode = GL_TRIANGLES;
    UINT count = 0, instances = 1, first = 0, firstInstance = 0;
    INT baseVertex = 0;

    GLuint framebuffer = 0;
    uint64_t target = 0, depthTarget = 0;  // the textures drawn into (their serials)
    std::array<GLuint, GLState::kUnits> textures{}, samplers{};
    // What the GL names stand for: views' and samplers' serials, and the versions of the viewed contents.
    std::array<uint64_t, GLState::kUnits> textureSerials{}, textureVersions{}, textureResources{}, samplerSerials{};
    std::array<std::shared_ptr<ConstantData>, GLState::kUniformSlots> constants{};

    BlendGL blend;
    std::array<FLOAT, 4> blendFactor = {1, 1, 1, 1};
    UINT sampleMask = 0xffffffffu;
    DepthStencilGL depthStencil;
    UINT stencilRef = 0;
    RasterizerGL rasterizer;
    UINT viewportCount = 0, scissorCount = 0;
    std::array<ViewportGL, GLState::kMaxViewports> viewports{};
    std::array<RectGL, GLState::kMaxViewports> scissors{};
};

}  // namespace platform
