// Shaders and the programs made of them. The device compiles each distinct source once and links each pair of
// shaders once, for its whole life: an effect created again (every game creates its own) finds them ready, and
// the rasteriser keeps the code it generated for them.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "d3d11_layer.h"
#include "device.h"

namespace platform {

struct CompiledShader {
    d3d11::ShaderBytecode code;
    GLuint name = 0;  // 0 on a device that does not rasterise
    bool compiled = false;
};

struct LinkedProgram {
    // A constant buffer the program holds as a plain uniform array.
    struct Flattened {
        uint32_t slot;
        GLint location;
        GLenum type;  // GL_FLOAT_VEC4, GL_INT_VEC4 or GL_UNSIGNED_INT_VEC4
    };
    GLuint name = 0;
    bool linked = false;
    std::vector<Flattened> flattened;
    uint32_t bufferSlots = 0;     // bit i set when a uniform block of the program reads constant-buffer slot i
    uint32_t flattenedSlots = 0;  // bit i set when `flattened` holds slot i
};

class ProgramCache {
public:
    explicit ProgramCache(bool rasterises) : rasterises_(rasterises) {}
    ~ProgramCache();
    ProgramCache(const ProgramCache&) = delete;
    ProgramCache& operator=(const ProgramCache&) = delete;

    // The compiled shader for this bytecode; `compiled` is false (with the log on stderr) when GL refused it.
    const CompiledShader& Compile(const d3d11::ShaderBytecode& code);
    // The program of a vertex shader and an optional pixel shader.
    const LinkedProgram& Link(const CompiledShader& vertex, const CompiledShader* pixel);
    // The vertex shader alone, writing clip-space positions to transform feedback and rasterising nothing.
    const LinkedProgram& LinkPositions(const CompiledShader& vertex);
    size_t Programs() const { return programs_.size(); }

private:
    void Describe(const CompiledShader& vertex, const CompiledShader* pixel, LinkedProgram* program);
    void FindFlattened(const CompiledShader& shader, LinkedProgram* program);

    bool rasterises_;
    std::map<std::pair<uint32_t, std::string>, std::unique_ptr<CompiledShader>> shaders_;
    std::map<std::pair<const CompiledShader*, const CompiledShader*>, std::unique_ptr<LinkedProgram>> programs_;
    std::map<const CompiledShader*, std::unique_ptr<LinkedProgram>> positions_;
};

template <class Interface, d3d11::ShaderStage Stage>
class Shader final : public DeviceChild<Interface> {
public:
    static HRESULT Create(Device& device, const void* bytecode, SIZE_T length, Interface** shader);
    const CompiledShader& Compiled() const { return compiled_; }

private:
    Shader(Device& device, const CompiledShader& compiled) : DeviceChild<Interface>(device), compiled_(compiled) {}
    const CompiledShader& compiled_;
};

using VertexShader = Shader<ID3D11VertexShader, d3d11::ShaderStage::Vertex>;
using PixelShader = Shader<ID3D11PixelShader, d3d11::ShaderStage::Pixel>;

}  // namespace platform
