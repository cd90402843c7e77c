#include "compiled_effect.h"

#include <cstring>

namespace fx {
namespace {

const char kMagic[4] = {'C', 'V', 'F', 'X'};
const uint32_t kVersion = 1;

class Writer {
public:
    void U32(uint32_t v) { Raw(&v, sizeof v); }
    void I32(int32_t v) { Raw(&v, sizeof v); }
    void F32(float v) { Raw(&v, sizeof v); }
    void Str(const std::string& s) {
        U32(static_cast<uint32_t>(s.size()));
        Raw(s.data(), s.size());
    }
    void Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    std::vector<uint8_t> bytes;
};

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
    uint32_t U32() {
        uint32_t v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    int32_t I32() {
        int32_t v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    float F32() {
        float v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    std::string Str() {
        uint32_t n = U32();
        if (!ok_ || n > left_) {
            ok_ = false;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        left_ -= n;
        return s;
    }
    // Bounds a count by the bytes left, so hostile counts cannot make huge allocations.
    uint32_t Count(size_t minElementBytes) {
        uint32_t n = U32();
        if (n > left_ / minElementBytes) ok_ = false;
        return ok_ ? n : 0;
    }
    bool Ok() const { return ok_; }
    bool AtEnd() const { return ok_ && left_ == 0; }

private:
    const uint8_t* p_;
    size_t left_;
    bool ok_ = true;
};

void Put(Writer& w, const Variable& v) {
    w.Str(v.name);
    w.Str(v.typeName);
    w.U32(static_cast<uint32_t>(v.cls));
    w.U32(static_cast<uint32_t>(v.base));
    w.U32(v.rows);
    w.U32(v.columns);
    w.U32(v.elements);
    w.U32(v.columnMajor);
    w.I32(v.cbuffer);
    w.U32(v.offset);
    w.U32(v.size);
}

void Get(Reader& r, Variable& v) {
    v.name = r.Str();
    v.typeName = r.Str();
    v.cls = static_cast<VarClass>(r.U32());
    v.base = static_cast<BaseType>(r.U32());
    v.rows = r.U32();
    v.columns = r.U32();
    v.elements = r.U32();
    v.columnMajor = r.U32();
    v.cbuffer = r.I32();
    v.offset = r.U32();
    v.size = r.U32();
}

void Put(Writer& w, const SamplerState& s) {
    w.Str(s.name);
    w.U32(s.filter);
    for (uint32_t a : s.address) w.U32(a);
    w.U32(s.maxAnisotropy);
    w.U32(s.comparison);
    w.F32(s.mipLodBias);
    w.F32(s.minLod);
    w.F32(s.maxLod);
    for (float b : s.border) w.F32(b);
}

void Get(Reader& r, SamplerState& s) {
    s.name = r.Str();
    s.filter = r.U32();
    for (uint32_t& a : s.address) a = r.U32();
    s.maxAnisotropy = r.U32();
    s.comparison = r.U32();
    s.mipLodBias = r.F32();
    s.minLod = r.F32();
    s.maxLod = r.F32();
    for (float& b : s.border) b = r.F32();
}

void Put(Writer& w, const Pass& p) {
    w.Str(p.name);
    w.Str(p.vertexGlsl);
    w.Str(p.pixelGlsl);
    w.U32(static_cast<uint32_t>(p.units.size()));
    for (const TextureUnit& u : p.units) {
        w.U32(u.unit);
        w.I32(u.texture);
        w.I32(u.sampler);
    }
    w.U32(static_cast<uint32_t>(p.flattened.size()));
    for (uint32_t f : p.flattened) w.U32(f);
    w.U32(static_cast<uint32_t>(p.inputs.size()));
    for (const InputElement& e : p.inputs) {
        w.Str(e.semantic);
        w.U32(e.index);
        w.U32(e.location);
        w.U32(e.components);
        w.U32(e.componentType);
    }
}

void Get(Reader& r, Pass& p) {
    p.name = r.Str();
    p.vertexGlsl = r.Str();
    p.pixelGlsl = r.Str();
    p.units.resize(r.Count(12));
    for (TextureUnit& u : p.units) {
        u.unit = r.U32();
        u.texture = r.I32();
        u.sampler = r.I32();
    }
    p.flattened.resize(r.Count(4));
    for (uint32_t& f : p.flattened) f = r.U32();
    p.inputs.resize(r.Count(20));
    for (InputElement& e : p.inputs) {
        e.semantic = r.Str();
        e.index = r.U32();
        e.location = r.U32();
        e.components = r.U32();
        e.componentType = r.U32();
    }
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
    w.U32(kVersion);
    w.U32(static_cast<uint32_t>(e.cbuffers.size()));
    for (const ConstantBuffer& cb : e.cbuffers) {
        w.Str(cb.name);
        w.U32(cb.size);
        w.U32(cb.binding);
    }
    w.U32(static_cast<uint32_t>(e.variables.size()));
    for (const Variable& v : e.variables) Put(w, v);
    w.U32(static_cast<uint32_t>(e.samplers.size()));
    for (const SamplerState& s : e.samplers) Put(w, s);
    w.U32(static_cast<uint32_t>(e.techniques.size()));
    for (const Technique& t : e.techniques) {
        w.Str(t.name);
        w.U32(static_cast<uint32_t>(t.passes.size()));
        for (const Pass& p : t.passes) Put(w, p);
    }
    return w.bytes;
}

bool Deserialise(const void* data, size_t size, CompiledEffect* out) {
    if (!data || !out) return false;
    Reader r(data, size);
    char magic[4] = {};
    if (!r.Raw(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0) return false;
    if (r.U32() != kVersion) return false;
    CompiledEffect e;
    e.cbuffers.resize(r.Count(12));
    for (ConstantBuffer& cb : e.cbuffers) {
        cb.name = r.Str();
        cb.size = r.U32();
        cb.binding = r.U32();
    }
    e.variables.resize(r.Count(44));
    for (Variable& v : e.variables) Get(r, v);
    e.samplers.resize(r.Count(56));
    for (SamplerState& s : e.samplers) Get(r, s);
    e.techniques.resize(r.Count(8));
    for (Technique& t : e.techniques) {
        t.name = r.Str();
        t.passes.resize(r.Count(20));
        for (Pass& p : t.passes) Get(r, p);
    }
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
