// How the effects framework reaches the OpenGL objects behind the Direct3D interfaces. Not a Windows header:
// only the layer and the effects framework include it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ID3D11Device;
struct ID3D11DeviceContext;
struct ID3D11ShaderResourceView;

namespace platform::gl {

// Makes the device's OpenGL context current on this thread; false when the device has none.
bool MakeCurrent(ID3D11Device* device);

// The GL texture name and target (GL_TEXTURE_2D, GL_TEXTURE_2D_ARRAY, GL_TEXTURE_1D, ...) behind a view; 0 for null.
uint32_t TextureName(ID3D11ShaderResourceView* view);
uint32_t TextureTarget(ID3D11ShaderResourceView* view);

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

}  // namespace platform::gl
