#include <cstring>
#include "d3d11_layer.h"
#include "device.h"
#include "shader.h"

namespace platform::d3d11 {
namespace {

// Both encodings are a four-byte tag, a version, then 32-bit little-endian integers and length-prefixed texts.
// Signature ("CVIS"): element count, then per element semantic index, location, components, component type, name.
// Shader ("CGSL"): stage, GLSL text, flattened slot count, the slots.
constexpr char kSignatureTag[4] = {'C', 'V', 'I', 'S'};
constexpr char kShaderTag[4] = {'C', 'G', 'S', 'L'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxElements = 32;
constexpr uint32_t kMaxLocation = 32;
constexpr uint32_t kMaxSemanticIndex = 255;
constexpr uint32_t kMaxNameLength = 64;
constexpr uint32_t kMaxShaderLength = 1u << 20;

void Put(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(value >> shift));
}

void Put(std::vector<uint8_t>& out, const std::string& text) {
    Put(out, uint32_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

std::vector<uint8_t> Start(const char (&tag)[4]) {
    std::vector<uint8_t> out(std::begin(tag), std::end(tag));
    Put(out, kVersion);
    return out;
}

class Reader {
public:
    Reader(const void* bytes, size_t size) : at_(static_cast<const uint8_t*>(bytes)), left_(bytes ? size : 0) {}
    // Consumes the tag and the version.
    bool Start(const char (&tag)[4]) {
        uint32_t version = 0;
        if (left_ < sizeof tag || std::memcmp(at_, tag, sizeof tag) != 0) return false;
        Skip(sizeof tag);
        return Get(&version) && version == kVersion;
    }
    bool Get(uint32_t* value) {
        if (left_ < 4) return false;
        *value = uint32_t(at_[0]) | uint32_t(at_[1]) << 8 | uint32_t(at_[2]) << 16 | uint32_t(at_[3]) << 24;
        Skip(4);
        return true;
    }
    bool Get(std::string* text, uint32_t maxLength) {
        uint32_t length = 0;
        if (!Get(&length) || length > maxLength || left_ < length) return false;
        text->assign(reinterpret_cast<const char*>(at_), length);
        Skip(length);
        return true;
    }
    bool Done() const { return left_ == 0; }

private:
    void Skip(size_t n) {
        at_ += n;
        left_ -= n;
    }
    const uint8_t* at_;
    size_t left_;
};

bool PlainName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

bool ReadElement(Reader& in, SignatureElement* e) {
    uint32_t type = 0;
    if (!in.Get(&e->semanticIndex) || !in.Get(&e->location) || !in.Get(&e->components) || !in.Get(&type)) {
        return false;
    }
    if (e->semanticIndex > kMaxSemanticIndex || e->location >= kMaxLocation) return false;
    if (e->components < 1 || e->components > 4 || type > uint32_t(ComponentType::UInt)) return false;
    if (!in.Get(&e->semantic, kMaxNameLength)) return false;
    e->componentType = ComponentType(type);
    return PlainName(e->semantic);
}

}  // namespace

std::vector<uint8_t> EncodeInputSignature(const std::vector<SignatureElement>& elements) {
    std::vector<uint8_t> out = Start(kSignatureTag);
    Put(out, uint32_t(elements.size()));
    for (const SignatureElement& e : elements) {
        Put(out, e.semanticIndex);
        Put(out, e.location);
        Put(out, e.components);
        Put(out, uint32_t(e.componentType));
        Put(out, e.semantic);
    }
    return out;
}

bool DecodeInputSignature(const void* bytes, size_t size, std::vector<SignatureElement>* elements) {
    Reader in(bytes, size);
    uint32_t count = 0;
    if (!elements || !in.Start(kSignatureTag) || !in.Get(&count) || count > kMaxElements) return false;
    std::vector<SignatureElement> decoded(count);
    for (SignatureElement& e : decoded) {
        if (!ReadElement(in, &e)) return false;
    }
    if (!in.Done()) return false;
    *elements = std::move(decoded);
    return true;
}

std::vector<uint8_t> EncodeShader(const ShaderBytecode& shader) {
    std::vector<uint8_t> out = Start(kShaderTag);
    Put(out, uint32_t(shader.stage));
    Put(out, shader.glsl);
    Put(out, uint32_t(shader.flattenedSlots.size()));
    for (uint32_t slot : shader.flattenedSlots) Put(out, slot);
    return out;
}

bool DecodeShader(const void* bytes, size_t size, ShaderBytecode* shader) {
    Reader in(bytes, size);
    ShaderBytecode decoded;
    uint32_t stage = 0, count = 0;
    if (!shader || !in.Start(kShaderTag) || !in.Get(&stage) || stage > uint32_t(ShaderStage::Pixel)) return false;
    if (!in.Get(&decoded.glsl, kMaxShaderLength) || decoded.glsl.empty()) return false;
    if (!in.Get(&count) || count > D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT) return false;
    decoded.flattenedSlots.resize(count);
    for (uint32_t& slot : decoded.flattenedSlots) {
        if (!in.Get(&slot) || slot >= D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT) return false;
    }
    if (!in.Done()) return false;
    decoded.stage = ShaderStage(stage);
    *shader = std::move(decoded);
    return true;
}

HRESULT PrepareProgram(ID3D11Device* device, ID3D11VertexShader* vertexShader, ID3D11PixelShader* pixelShader) {
    if (!device || !vertexShader) return E_INVALIDARG;
    auto* owner = static_cast<Device*>(device);
    owner->MakeCurrent();
    const CompiledShader* pixel = pixelShader ? &static_cast<PixelShader*>(pixelShader)->Compiled() : nullptr;
    const LinkedProgram& program = owner->Programs().Link(static_cast<VertexShader*>(vertexShader)->Compiled(), pixel);
    return program.linked ? S_OK : E_FAIL;
}

}  // namespace platform::d3d11
