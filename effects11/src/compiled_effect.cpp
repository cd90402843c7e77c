#include "compiled_effect.h"

#include <cstring>
#include <type_traits>

namespace fx {
namespace {

const char kMagic[4] = {'C', 'V', 'F', 'X'};
const uint32_t kVersion = 1;

// Each part's fields are listed once, by its Layout below, for both directions: the Writer stores them and the Reader
// fills them in, in that order. A list goes as its count, then its elements.
class Writer {
public:
    void Field(uint32_t v) { Raw(&v, sizeof v); }
    void Field(int32_t v) { Raw(&v, sizeof v); }
    void Field(float v) { Raw(&v, sizeof v); }
    void Field(VarClass v) { Field(static_cast<uint32_t>(v)); }
    void Field(BaseType v) { Field(static_cast<uint32_t>(v)); }
    void Field(const std::string& s) {
        Field(static_cast<uint32_t>(s.size()));
        Raw(s.data(), s.size());
    }
    template <class T, size_t N>
    void Field(const T (&list)[N]) {
        for (const T& v : list) Field(v);
    }
    template <class T>
    void Field(const std::vector<T>& list) {
        Field(static_cast<uint32_t>(list.size()));
        for (const T& v : list) Field(v);
    }
    template <class T>
    void Field(const T& part);
    template <class... T>
    void Fields(const T&... fields) {
        (Field(fields), ...);
    }
    void Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    std::vector<uint8_t> bytes;
};

// The fewest bytes an element of a list takes: its form with empty strings and lists.
template <class T>
size_t MinimumBytes() {
    Writer w;
    w.Field(T{});
    return w.bytes.size();
}

// Every read checks the remaining length; a failed read poisons the reader.
class Reader {
public:
    Reader(const void* data, size_t size) : p_(static_cast<const uint8_t*>(data)), left_(size) {}
    bool Raw(void* out, size_t n) {
        if (!ok_ || n > left_) return ok_ = false;
        std::memcpy(out, p_, n);
        p_ += n;
        left_ -= n;
        return true;
    }
    void Field(uint32_t& v) { Raw(&v, sizeof v); }
    void Field(int32_t& v) { Raw(&v, sizeof v); }
    void Field(float& v) { Raw(&v, sizeof v); }
    void Field(VarClass& v) { v = static_cast<VarClass>(U32()); }
    void Field(BaseType& v) { v = static_cast<BaseType>(U32()); }
    void Field(std::string& s) {
        uint32_t n = U32();
        if (!ok_ || n > left_) {
            ok_ = false;
            return;
        }
        s.assign(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        left_ -= n;
    }
    template <class T, size_t N>
    void Field(T (&list)[N]) {
        for (T& v : list) Field(v);
    }
    // The count is bounded by the bytes left, so hostile counts cannot make huge allocations.
    template <class T>
    void Field(std::vector<T>& list) {
        uint32_t n = U32();
        if (n > left_ / MinimumBytes<T>()) ok_ = false;
        list.resize(ok_ ? n : 0);
        for (T& v : list) Field(v);
    }
    template <class T>
    void Field(T& part);
    template <class... T>
    void Fields(T&... fields) {
        (Field(fields), ...);
    }
    uint32_t U32() {
        uint32_t v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    bool AtEnd() const { return ok_ && left_ == 0; }

private:
    const uint8_t* p_;
    size_t left_;
    bool ok_ = true;
};

// A part as the Writer sees it (const) or as the Reader fills it.
template <class Stream, class T>
using Part = std::conditional_t<std::is_same_v<Stream, Writer>, const T, T>;

template <class S>
void Layout(S& s, Part<S, ConstantBuffer>& cb) {
    s.Fields(cb.name, cb.size, cb.binding);
}

template <class S>
void Layout(S& s, Part<S, Variable>& v) {
    s.Fields(v.name, v.typeName, v.cls, v.base, v.rows, v.columns, v.elements, v.columnMajor, v.cbuffer, v.offset,
             v.size);
}

template <class S>
void Layout(S& s, Part<S, SamplerState>& state) {
    s.Fields(state.name, state.filter, state.address, state.maxAnisotropy, state.comparison, state.mipLodBias,
             state.minLod, state.maxLod, state.border);
}

template <class S>
void Layout(S& s, Part<S, TextureUnit>& u) {
    s.Fields(u.unit, u.texture, u.sampler);
}

template <class S>
void Layout(S& s, Part<S, InputElement>& e) {
    s.Fields(e.semantic, e.index, e.location, e.components, e.componentType);
}

template <class S>
void Layout(S& s, Part<S, Pass>& p) {
    s.Fields(p.name, p.vertexGlsl, p.pixelGlsl, p.units, p.flattened, p.inputs);
}

template <class S>
void Layout(S& s, Part<S, Technique>& t) {
    s.Fields(t.name, t.passes);
}

template <class S>
void Layout(S& s, Part<S, CompiledEffect>& e) {
    s.Fields(e.cbuffers, e.variables, e.samplers, e.techniques);
}

template <class T>
void Writer::Field(const T& part) {
    Layout<Writer>(*this, part);
}
template <class T>
void Reader::Field(T& part) {
    Layout<Reader>(*this, part);
}

bool IsObject(VarClass c) { return c == VarClass::Texture || c == VarClass::Sampler; }

bool ValidVariable(const Variable& v, const CompiledEffect& e) {
    if (v.name.empty() || static_cast<uint32_t>(v.cls) > static_cast<uint32_t>(VarClass::Sampler)) return false;
    if (static_cast<uint32_t>(v.base) > static_cast<uint32_t>(BaseType::None)) return false;
    if (v.rows < 1 || v.rows > 4 || v.columns < 1 || v.columns > 4) return false;
    if (IsObject(v.cls)) return v.cbuffer == -1;
    if (v.cbuffer < 0 || static_cast<size_t>(v.cbuffer) >= e.cbuffers.size()) return false;
    uint64_t end = uint64_t(v.offset) + v.size;
    return v.size > 0 && end <= e.cbuffers[v.cbuffer].size;
}

bool ValidObjectIndex(int32_t index, VarClass cls, const CompiledEffect& e) {
    return index >= 0 && static_cast<size_t>(index) < e.variables.size() && e.variables[index].cls == cls;
}

bool ValidPass(const Pass& p, const CompiledEffect& e) {
    if (p.vertexGlsl.empty()) return false;
    for (const TextureUnit& u : p.units) {
        if (u.unit >= 32 || !ValidObjectIndex(u.texture, VarClass::Texture, e)) return false;
        if (u.sampler != -1 && !ValidObjectIndex(u.sampler, VarClass::Sampler, e)) return false;
    }
    for (uint32_t f : p.flattened) {
        if (f >= e.cbuffers.size()) return false;
    }
    for (const InputElement& in : p.inputs) {
        if (in.components < 1 || in.components > 4 || in.componentType > 2 || in.location >= 32) return false;
    }
    return true;
}

const uint32_t kMaxBufferSize = 65536;  // 4096 constants of 16 bytes

bool Validate(const CompiledEffect& e) {
    for (const ConstantBuffer& cb : e.cbuffers) {
        if (cb.size > kMaxBufferSize || cb.binding >= e.cbuffers.size()) return false;
    }
    for (const Variable& v : e.variables) {
        if (!ValidVariable(v, e)) return false;
    }
    for (const Technique& t : e.techniques) {
        for (const Pass& p : t.passes) {
            if (!ValidPass(p, e)) return false;
        }
    }
    return true;
}

}  // namespace

std::vector<uint8_t> Serialise(const CompiledEffect& e) {
    Writer w;
    w.Raw(kMagic, sizeof kMagic);
    w.Field(kVersion);
    w.Field(e);
    return w.bytes;
}

bool Deserialise(const void* data, size_t size, CompiledEffect* out) {
    if (!data || !out) return false;
    Reader r(data, size);
    char magic[4] = {};
    if (!r.Raw(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0) return false;
    if (r.U32() != kVersion) return false;
    CompiledEffect e;
    r.Field(e);
    if (!r.AtEnd() || !Validate(e)) return false;
    *out = std::move(e);
    return true;
}

const char* FormatName(uint32_t components, uint32_t componentType) {
    static const char* const kNames[3][4] = {
        {"R32_FLOAT", "R32G32_FLOAT", "R32G32B32_FLOAT", "R32G32B32A32_FLOAT"},
        {"R32_SINT", "R32G32_SINT", "R32G32B32_SINT", "R32G32B32A32_SINT"},
        {"R32_UINT", "R32G32_UINT", "R32G32B32_UINT", "R32G32B32A32_UINT"},
    };
    if (components < 1 || components > 4 || componentType > 2) return "UNKNOWN";
    return kNames[componentType][components - 1];
}

}  // namespace fx
