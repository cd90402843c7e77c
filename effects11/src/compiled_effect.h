// What the effect compiler produces and the runtime consumes: GLSL per pass plus HLSL-side reflection.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fx {

enum class VarClass : uint32_t { Scalar, Vector, Matrix, Struct, Texture, Sampler };
enum class BaseType : uint32_t { Float, Int, UInt, Bool, None };

struct Variable {
    std::string name;
    std::string typeName;  // as HLSL spells it: "float4x4", "PointLight", "Texture2D"
    VarClass cls = VarClass::Scalar;
    BaseType base = BaseType::Float;
    uint32_t rows = 1, columns = 1;  // HLSL rows and columns
    uint32_t elements = 0;           // array length; 0 when not an array
    uint32_t columnMajor = 1;        // matrices: HLSL packing in the buffer
    int32_t cbuffer = -1;            // -1 for textures and samplers
    uint32_t offset = 0, size = 0;   // bytes, HLSL packing
};

struct ConstantBuffer {
    std::string name;
    uint32_t size = 0;
    uint32_t binding = 0;
};

// Values as D3D11_FILTER and D3D11_TEXTURE_ADDRESS_MODE number them.
struct SamplerState {
    std::string name;
    uint32_t filter = 0x15;           // MIN_MAG_MIP_LINEAR
    uint32_t address[3] = {3, 3, 3};  // CLAMP
    uint32_t maxAnisotropy = 16;
    uint32_t comparison = 8;  // ALWAYS
    float mipLodBias = 0.0f;
    float minLod = -3.402823466e+38f;
    float maxLod = 3.402823466e+38f;
    float border[4] = {1, 1, 1, 1};
};

// A texture unit of a pass's program and the effect variables it combines.
struct TextureUnit {
    uint32_t unit = 0;
    int32_t texture = -1;  // index into variables
    int32_t sampler = -1;  // index into variables; -1 for fetches without a sampler
};

struct InputElement {
    std::string semantic;
    uint32_t index = 0;
    uint32_t location = 0;
    uint32_t components = 0;
    uint32_t componentType = 0;  // platform::d3d11::ComponentType
};

struct Pass {
    std::string name;
    std::string vertexGlsl, pixelGlsl;  // pixel empty when the pass has no pixel shader
    std::vector<TextureUnit> units;
    std::vector<InputElement> inputs;
    std::vector<uint32_t> flattened;  // constant buffers the program holds as plain uniform arrays
};

struct Technique {
    std::string name;
    std::vector<Pass> passes;
};

struct CompiledEffect {
    std::vector<ConstantBuffer> cbuffers;
    std::vector<Variable> variables;
    std::vector<SamplerState> samplers;  // one per sampler variable, by name
    std::vector<Technique> techniques;
};

std::vector<uint8_t> Serialise(const CompiledEffect& effect);
// False for anything that is not a complete, self-consistent serialised effect.
bool Deserialise(const void* data, size_t size, CompiledEffect* effect);

const char* FormatName(uint32_t components, uint32_t componentType);

}  // namespace fx
