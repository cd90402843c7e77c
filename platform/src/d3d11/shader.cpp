#include "shader.h"
#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

GLuint CompileGl(const d3d11::ShaderBytecode& code) {
    const GLenum stage = code.stage == d3d11::ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER;
    const GLuint shader = glCreateShader(stage);
    const char* text = code.glsl.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "OpenGL rejected a %s shader: %s\n", stage == GL_VERTEX_SHADER ? "vertex" : "pixel", log);
    glDeleteShader(shader);
    return 0;
}

// `positions`: the program only writes each vertex's clip-space position to transform feedback.
GLuint LinkGl(GLuint vertex, GLuint pixel, bool positions = false) {
    const GLuint program = glCreateProgram();
    if (positions) {
        const char* varyings[] = {"gl_Position"};
        glTransformFeedbackVaryings(program, 1, varyings, GL_INTERLEAVED_ATTRIBS);
    }
    glAttachShader(program, vertex);
    if (pixel) glAttachShader(program, pixel);
    glLinkProgram(program);
    glDetachShader(program, vertex);
    if (pixel) glDetachShader(program, pixel);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok) return program;
    char log[2048] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "OpenGL could not link a program: %s\n", log);
    glDeleteProgram(program);
    return 0;
}

GLenum UniformType(GLuint program, const std::string& name) {
    GLuint index = GL_INVALID_INDEX;
    const char* names[] = {name.c_str()};
    glGetUniformIndices(program, 1, names, &index);
    GLint type = GL_FLOAT_VEC4;
    if (index != GL_INVALID_INDEX) glGetActiveUniformsiv(program, 1, &index, GL_UNIFORM_TYPE, &type);
    return GLenum(type);
}

// Which slots a stage's blocks use: GLSL names them `binding = N`.
uint32_t BlockSlots(GLuint program) {
    GLint blocks = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_BLOCKS, &blocks);
    uint32_t slots = 0;
    for (GLint i = 0; i < blocks; ++i) {
        GLint binding = 0;
        glGetActiveUniformBlockiv(program, GLuint(i), GL_UNIFORM_BLOCK_BINDING, &binding);
        if (binding >= 0 && binding < 32) slots |= 1u << binding;
    }
    return slots;
}

}  // namespace

ProgramCache::~ProgramCache() {
    for (auto& entry : programs_) {
        if (entry.second->name) glDeleteProgram(entry.second->name);
    }
    for (auto& entry : positions_) {
        if (entry.second->name) glDeleteProgram(entry.second->name);
    }
    for (auto& entry : shaders_) {
        if (entry.second->name) glDeleteShader(entry.second->name);
    }
}

const CompiledShader& ProgramCache::Compile(const d3d11::ShaderBytecode& code) {
    std::unique_ptr<CompiledShader>& entry = shaders_[{uint32_t(code.stage), code.glsl}];
    if (entry) return *entry;
    entry = std::make_unique<CompiledShader>();
    entry->code = code;
    entry->name = rasterises_ ? CompileGl(code) : 0;
    entry->compiled = !rasterises_ || entry->name != 0;
    return *entry;
}

const LinkedProgram& ProgramCache::Link(const CompiledShader& vertex, const CompiledShader* pixel) {
    std::unique_ptr<LinkedProgram>& entry = programs_[{&vertex, pixel}];
    if (entry) return *entry;
    entry = std::make_unique<LinkedProgram>();
    const bool stagesCompiled = vertex.compiled && (!pixel || pixel->compiled);
    if (!rasterises_ || !stagesCompiled) {
        entry->linked = stagesCompiled;
        return *entry;
    }
    entry->name = LinkGl(vertex.name, pixel ? pixel->name : 0);
    Describe(vertex, pixel, entry.get());
    return *entry;
}

const LinkedProgram& ProgramCache::LinkPositions(const CompiledShader& vertex) {
    std::unique_ptr<LinkedProgram>& entry = positions_[&vertex];
    if (entry) return *entry;
    entry = std::make_unique<LinkedProgram>();
    if (rasterises_ && vertex.compiled) entry->name = LinkGl(vertex.name, 0, true);
    Describe(vertex, nullptr, entry.get());
    return *entry;
}

void ProgramCache::Describe(const CompiledShader& vertex, const CompiledShader* pixel, LinkedProgram* entry) {
    entry->linked = entry->name != 0;
    if (!entry->linked) return;
    entry->bufferSlots = BlockSlots(entry->name);
    FindFlattened(vertex, entry);
    if (pixel) FindFlattened(*pixel, entry);
}

void ProgramCache::FindFlattened(const CompiledShader& shader, LinkedProgram* program) {
    for (uint32_t slot : shader.code.flattenedSlots) {
        const std::string name = d3d11::FlattenedBufferName(slot);
        const GLint location = glGetUniformLocation(program->name, name.c_str());
        const bool listed = std::any_of(program->flattened.begin(), program->flattened.end(),
                                        [slot](const LinkedProgram::Flattened& f) { return f.slot == slot; });
        if (location < 0 || listed) continue;
        program->flattened.push_back({slot, location, UniformType(program->name, name)});
        program->flattenedSlots |= 1u << slot;
    }
}

template <class Interface, d3d11::ShaderStage Stage>
HRESULT Shader<Interface, Stage>::Create(Device& device, const void* bytecode, SIZE_T length, Interface** shader) {
    ClearOut(shader);
    d3d11::ShaderBytecode code;
    if (!d3d11::DecodeShader(bytecode, length, &code) || code.stage != Stage) return E_INVALIDARG;
    if (!device.Usable()) return E_NOTIMPL;
    device.MakeCurrent();
    const CompiledShader& compiled = device.Programs().Compile(code);
    if (!compiled.compiled) return E_INVALIDARG;
    return HandOut(new Shader(device, compiled), shader);
}

template class Shader<ID3D11VertexShader, d3d11::ShaderStage::Vertex>;
template class Shader<ID3D11PixelShader, d3d11::ShaderStage::Pixel>;

}  // namespace platform
