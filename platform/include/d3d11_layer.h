// What the effects framework needs of the layer beyond Direct3D 11's own calls: the bytecode its shaders are made
// from, the input signature its passes describe, and one call Direct3D has no counterpart for (linking a pair of
// shaders, so a pass that cannot run fails when its effect is created). Not a Windows header: only the layer, the
// effects framework and their tests include it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "d3d11.h"

namespace platform::d3d11 {

// One vertex input of a compiled vertex shader, as a pass description's input signature carries it.
enum class ComponentType : uint32_t { Float = 0, SInt = 1, UInt = 2 };
struct SignatureElement {
    std::string semantic;  // as written in the shader, e.g. "POSITION", "TEXCOORD"
    uint32_t semanticIndex = 0;
    uint32_t location = 0;    // the GL attribute location the shader reads it from
    uint32_t components = 0;  // 1 to 4
    ComponentType componentType = ComponentType::Float;
};
std::vector<uint8_t> EncodeInputSignature(const std::vector<SignatureElement>& elements);
// False for bytes that are not an encoded signature (wrong tag, truncated, absurd counts).
bool DecodeInputSignature(const void* bytes, size_t size, std::vector<SignatureElement>* elements);

// A shader as the layer runs it: GLSL 4.50 whose uniform blocks use `binding = SLOT` for constant-buffer slots and
// whose samplers use `binding = SLOT` for the pixel stage's shader-resource and sampler slots of the same number.
// A constant buffer whose packing GLSL blocks cannot express is a plain vec4 (or ivec4, uvec4) array named
// FlattenedBufferName(slot), listed in flattenedSlots; the context uploads it from the bound buffer.
enum class ShaderStage : uint32_t { Vertex = 0, Pixel = 1 };
struct ShaderBytecode {
    ShaderStage stage = ShaderStage::Vertex;
    std::string glsl;
    std::vector<uint32_t> flattenedSlots;
};
std::vector<uint8_t> EncodeShader(const ShaderBytecode& shader);
// False for bytes that are not an encoded shader.
bool DecodeShader(const void* bytes, size_t size, ShaderBytecode* shader);
inline std::string FlattenedBufferName(uint32_t slot) { return "fx_cbuffer_" + std::to_string(slot); }

// Links the two shaders as the context will run them (the device keeps linked pairs for its lifetime): S_OK, or
// E_FAIL with the linker's log on standard error. A null device validates only.
HRESULT PrepareProgram(ID3D11Device* device, ID3D11VertexShader* vertexShader, ID3D11PixelShader* pixelShader);

}  // namespace platform::d3d11
