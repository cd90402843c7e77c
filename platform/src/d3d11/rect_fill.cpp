#include "rect_fill.h"
#include <cstdio>

namespace platform {
namespace {

// One triangle over the viewport; the scissor rectangle limits it to the rectangle filled.
const char* const kVertexShader = R"(#version 450
void main() {
    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 450
layout(location = 0) uniform vec4 fill;
layout(location = 0) out vec4 colour;
void main() { colour = fill; }
)";

const DepthStencilGL kNoTests = [] {
    DepthStencilGL state;
    state.depthTest = false;
    return state;
}();

const RasterizerGL kScissoredNoCull = [] {
    RasterizerGL state = DefaultRasterizer();
    state.cull = false;
    state.scissor = true;
    return state;
}();

GLuint Stage(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

GLuint Program() {
    const GLuint vertex = Stage(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = Stage(GL_FRAGMENT_SHADER, kFragmentShader);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) std::fprintf(stderr, "rectangle fill: the program did not link\n");
    return program;
}

}  // namespace

RectFill::~RectFill() {
    if (program_) glDeleteProgram(program_);
}

void RectFill::Fill(GLState& gl, GLuint framebuffer, GLuint emptyVertexArray, const PixelRect& bounds,
                    const PixelRect& rect, const std::array<uint8_t, 4>& rgba) {
    if (!program_) program_ = Program();
    glProgramUniform4f(program_, 0, rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f);
    const ViewportGL viewport{GLfloat(bounds.left),
                              GLfloat(bounds.top),
                              GLfloat(bounds.right - bounds.left),
                              GLfloat(bounds.bottom - bounds.top),
                              0,
                              1};
    const RectGL scissor{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    gl.UseProgram(program_);
    gl.BindVertexArray(emptyVertexArray);
    gl.BindDrawFramebuffer(framebuffer);
    gl.SetViewports(1, &viewport);
    gl.SetScissors(1, &scissor);
    gl.SetBlend(DefaultBlend(), {1, 1, 1, 1}, 0xffffffffu);
    gl.SetDepthStencil(kNoTests, 0);
    gl.SetRasterizer(kScissoredNoCull);
    gl.SetRasterizerDiscard(false);
    gl.Apply();
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

}  // namespace platform
