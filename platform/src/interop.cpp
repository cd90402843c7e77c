#include <cstring>
#include "d3d11_gl_interop.h"
#include "device.h"
#include "views.h"

namespace platform::gl {
namespace {

// Encoded signature: "CVIS", version, element count, then per element: semantic index, location,
// components, component type, name length, name bytes. Integers are 32-bit little-endian.
constexpr char kMagic[4] = {'C', 'V', 'I', 'S'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxElements = 32;
constexpr uint32_t kMaxLocation = 32;
constexpr uint32_t kMaxSemanticIndex = 255;
constexpr uint32_t kMaxNameLength = 64;

void Put(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(value >> shift));
}

class Reader {
public:
    Reader(const void* bytes, size_t size) : at_(static_cast<const uint8_t*>(bytes)), left_(size) {}
    bool Get(uint32_t* value) {
        if (left_ < 4) return false;
        *value = uint32_t(at_[0]) | uint32_t(at_[1]) << 8 | uint32_t(at_[2]) << 16 | uint32_t(at_[3]) << 24;
        Skip(4);
        return true;
    }
    bool Get(std::string* text, size_t length) {
        if (left_ < length) return false;
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
    for (char c : name) {
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

bool ReadElement(Reader& in, SignatureElement* e) {
    uint32_t type = 0, nameLength = 0;
    if (!in.Get(&e->semanticIndex) || !in.Get(&e->location) || !in.Get(&e->components) || !in.Get(&type) ||
        !in.Get(&nameLength)) {
        return false;
    }
    if (e->semanticIndex > kMaxSemanticIndex || e->location >= kMaxLocation) return false;
    if (e->components < 1 || e->components > 4 || type > uint32_t(ComponentType::UInt)) return false;
    if (nameLength == 0 || nameLength > kMaxNameLength || !in.Get(&e->semantic, nameLength)) return false;
    e->componentType = ComponentType(type);
    return PlainName(e->semantic);
}

}  // namespace

std::vector<uint8_t> EncodeInputSignature(const std::vector<SignatureElement>& elements) {
    std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
    Put(out, kVersion);
    Put(out, uint32_t(elements.size()));
    for (const SignatureElement& e : elements) {
        Put(out, e.semanticIndex);
        Put(out, e.location);
        Put(out, e.components);
        Put(out, uint32_t(e.componentType));
        Put(out, uint32_t(e.semantic.size()));
        out.insert(out.end(), e.semantic.begin(), e.semantic.end());
    }
    return out;
}

bool DecodeInputSignature(const void* bytes, size_t size, std::vector<SignatureElement>* elements) {
    if (!bytes || !elements || size < sizeof kMagic || std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return false;
    Reader in(static_cast<const uint8_t*>(bytes) + sizeof kMagic, size - sizeof kMagic);
    uint32_t version = 0, count = 0;
    if (!in.Get(&version) || version != kVersion || !in.Get(&count) || count > kMaxElements) return false;
    std::vector<SignatureElement> decoded(count);
    for (SignatureElement& e : decoded) {
        if (!ReadElement(in, &e)) return false;
    }
    if (!in.Done()) return false;
    *elements = std::move(decoded);
    return true;
}

bool MakeCurrent(ID3D11Device* device) {
    if (!device) return false;
    static_cast<Device*>(device)->MakeCurrent();
    return SDL_GL_GetCurrentContext() != nullptr;
}

uint32_t TextureName(ID3D11ShaderResourceView* view) {
    return view ? static_cast<ShaderResourceView*>(view)->Name() : 0;
}

uint32_t TextureTarget(ID3D11ShaderResourceView* view) {
    return view ? static_cast<ShaderResourceView*>(view)->Target() : 0;
}

}  // namespace platform::gl
