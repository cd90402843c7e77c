#include "picture_scaler.h"
#include <cstdio>

namespace platform {
namespace {

// One triangle over the viewport, which is the picture's rectangle.
const char* const kVertexShader = R"(#version 450
void main() {
    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

// Picture coordinates from the pixel's own position, so the clip-space orientation does not matter. Near a seam
// between two picture pixels the sample moves `factor` times faster across it, which is what smoothing a picture
// enlarged `factor` times does; elsewhere it sits on a texel centre.
const char* const kFragmentShader = R"(#version 450
layout(binding = 0) uniform sampler2D picture;
layout(location = 0) uniform vec4 rect;  // left, bottom, width, height in target pixels
layout(location = 1) uniform float factor;
layout(location = 0) out vec4 colour;
void main() {
    vec2 size = vec2(textureSize(picture, 0));
    vec2 local = (gl_FragCoord.xy - rect.xy) / rect.zw;
    vec2 texel = vec2(local.x, 1.0 - local.y) * size;
    vec2 seam = floor(texel + 0.5);
    vec2 sharp = seam + clamp((texel - seam) * factor, -0.5, 0.5);
    colour = texture(picture, sharp / size);
}
)";

const DepthStencilGL kNoTests = [] {
    DepthStencilGL state;
    state.depthTest = false;
    return state;
}();

const RasterizerGL kFilled = [] {
    RasterizerGL state = DefaultRasterizer();
    state.cull = false;
    return state;
}();

const RasterizerGL kFilledScissored = [] {
    RasterizerGL state = kFilled;
    state.scissor = true;
    return state;
}();

GLuint CompileStage(GLenum stage, const char* source) {
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

GLuint LinkProgram() {
    const GLuint vertex = CompileStage(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = CompileStage(GL_FRAGMENT_SHADER, kFragmentShader);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) std::fprintf(stderr, "fullscreen picture: the scaling program did not link\n");
    return program;
}

}  // namespace

PictureScaler::~PictureScaler() {
    if (!program_) return;
    glDeleteProgram(program_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteSamplers(1, &sampler_);
}

void PictureScaler::Create() {
    program_ = LinkProgram();
    glCreateVertexArrays(1, &vertexArray_);
    glCreateSamplers(1, &sampler_);
    glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void PictureScaler::Show(GLState& gl, GLuint picture, int width, int height, GLuint target, int targetHeight,
                         const PictureRect& rect, const RectGL* only) {
    static const GLfloat kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    gl.SetScissorTest(only != nullptr);
    if (only) gl.SetScissors(1, only);
    gl.SetColourMask(0, D3D11_COLOR_WRITE_ENABLE_ALL);
    gl.SetFramebufferSrgb(false);
    gl.Apply(GLState::kScissorTest | GLState::kScissors | GLState::kColourMasks | GLState::kSrgb);
    if (!only) glClearNamedFramebufferfv(target, GL_COLOR, 0, kBlack);
    if (rect.width <= 0 || rect.height <= 0 || width <= 0 || height <= 0) return;
    if (!program_) Create();
    const GLfloat bottom = GLfloat(targetHeight - rect.y - rect.height);
    glProgramUniform4f(program_, 0, GLfloat(rect.x), bottom, GLfloat(rect.width), GLfloat(rect.height));
    glProgramUniform1f(program_, 1, GLfloat(SharpScaleFactor(rect, width, height)));
    const ViewportGL viewport{GLfloat(rect.x), bottom, GLfloat(rect.width), GLfloat(rect.height), 0, 1};
    gl.SetViewports(1, &viewport);
    gl.UseProgram(program_);
    gl.BindVertexArray(vertexArray_);
    gl.BindDrawFramebuffer(target);
    gl.BindTexture(0, picture);
    gl.BindSampler(0, sampler_);
    gl.SetBlend(DefaultBlend(), {1, 1, 1, 1}, 0xffffffffu);
    gl.SetDepthStencil(kNoTests, 0);
    gl.SetRasterizer(only ? kFilledScissored : kFilled);
    gl.Apply();
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

}  // namespace platform
