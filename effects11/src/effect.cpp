#include "effect.h"

#include <cstdio>
#include <cstring>

#include <GL/glcorearb.h>

#include "d3d11_gl_interop.h"
#include "technique.h"

namespace fx {
namespace {

GLint AddressMode(uint32_t mode) {
    switch (mode) {
        case 1: return GL_REPEAT;
        case 2: return GL_MIRRORED_REPEAT;
        case 4: return GL_CLAMP_TO_BORDER;
        case 5: return GL_MIRROR_CLAMP_TO_EDGE;
        default: return GL_CLAMP_TO_EDGE;
    }
}

// D3D11_FILTER bits: mip linear 0x1, mag linear 0x4, min linear 0x10, anisotropic 0x40, comparison 0x80.
uint32_t CreateSampler(const SamplerState& s) {
    GLuint sampler = 0;
    glCreateSamplers(1, &sampler);
    bool anisotropic = (s.filter & 0x40) != 0;
    bool minLinear = anisotropic || (s.filter & 0x10), magLinear = anisotropic || (s.filter & 0x04);
    bool mipLinear = anisotropic || (s.filter & 0x01);
    GLint minFilter = minLinear ? (mipLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                                : (mipLinear ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(s.address[0]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(s.address[1]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, AddressMode(s.address[2]));
    glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, s.mipLodBias);
    glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, s.minLod);
    glSamplerParameterf(sampler, GL_TEXTURE_MAX_LOD, s.maxLod);
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, s.border);
    if (anisotropic) glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, static_cast<float>(s.maxAnisotropy));
    if (s.filter & 0x80) {
        static const GLint kCompare[] = {GL_NEVER, GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL,
                                         GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
        glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_FUNC, kCompare[s.comparison <= 8 ? s.comparison : 8]);
    }
    return sampler;
}

}  // namespace

Effect::Effect(CompiledEffect compiled, ID3D11Device* device) : compiled_(std::move(compiled)), device_(device) {
    device_->AddRef();
    variables_ = std::make_unique<VariableSet>(this);
    for (const Technique& t : compiled_.techniques) techniques_.push_back(std::make_unique<EffectTechnique>(this, &t));
}

Effect::~Effect() {
    DestroyGl();
    device_->Release();
}

void Effect::DestroyGl() {
    MakeCurrent();
    techniques_.clear();
    for (BufferState& b : buffers_) {
        if (b.gl) glDeleteBuffers(1, &b.gl);
    }
    buffers_.clear();
    for (uint32_t s : samplers_) {
        if (s) glDeleteSamplers(1, &s);
    }
    samplers_.clear();
}

bool Effect::Create() {
    if (!MakeCurrent()) {
        std::fprintf(stderr, "effect: the device has no OpenGL context\n");
        return false;
    }
    for (const ConstantBuffer& cb : compiled_.cbuffers) {
        BufferState b;
        b.data.assign(cb.size, 0);
        glCreateBuffers(1, &b.gl);
        glNamedBufferData(b.gl, cb.size ? cb.size : 16, nullptr, GL_DYNAMIC_DRAW);
        buffers_.push_back(std::move(b));
    }
    samplers_.assign(compiled_.variables.size(), 0);
    for (size_t i = 0; i < compiled_.variables.size(); ++i) {
        if (compiled_.variables[i].cls != VarClass::Sampler) continue;
        for (const SamplerState& s : compiled_.samplers) {
            if (s.name == compiled_.variables[i].name) samplers_[i] = CreateSampler(s);
        }
    }
    for (auto& t : techniques_) {
        if (!t->Link()) return false;
    }
    return true;
}

bool Effect::MakeCurrent() const { return platform::gl::MakeCurrent(device_); }

uint32_t Effect::Sampler(int32_t variable) const {
    return variable >= 0 && static_cast<size_t>(variable) < samplers_.size() ? samplers_[variable] : 0;
}

void Effect::BindBuffers() {
    for (size_t i = 0; i < buffers_.size(); ++i) {
        BufferState& b = buffers_[i];
        if (b.uploaded != b.version && !b.data.empty()) {
            glNamedBufferSubData(b.gl, 0, static_cast<GLsizeiptr>(b.data.size()), b.data.data());
            b.uploaded = b.version;
        }
        glBindBufferBase(GL_UNIFORM_BUFFER, compiled_.cbuffers[i].binding, b.gl);
    }
}

HRESULT Effect::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != __uuidof(IUnknown) && riid != __uuidof(ID3DX11Effect)) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<ID3DX11Effect*>(this);
    return S_OK;
}

ULONG Effect::AddRef() { return ++refs_; }

ULONG Effect::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT Effect::GetDevice(ID3D11Device** device) {
    if (!device) return E_INVALIDARG;
    device_->AddRef();
    *device = device_;
    return S_OK;
}

HRESULT Effect::GetDesc(D3DX11_EFFECT_DESC* desc) {
    if (!desc) return E_INVALIDARG;
    *desc = {static_cast<UINT>(compiled_.cbuffers.size()), static_cast<UINT>(compiled_.variables.size()), 0,
             static_cast<UINT>(compiled_.techniques.size()), 0};
    return S_OK;
}

ID3DX11EffectVariable* Effect::GetVariableByIndex(UINT index) { return variables_->Get(index); }

ID3DX11EffectVariable* Effect::GetVariableByName(LPCSTR name) {
    for (size_t i = 0; name && i < compiled_.variables.size(); ++i) {
        if (compiled_.variables[i].name == name) return variables_->Get(i);
    }
    return VariableSet::Invalid();
}

ID3DX11EffectVariable* Effect::GetVariableBySemantic(LPCSTR) { return VariableSet::Invalid(); }

ID3DX11EffectTechnique* Effect::GetTechniqueByIndex(UINT index) {
    return index < techniques_.size() ? techniques_[index].get() : EffectTechnique::Invalid();
}

ID3DX11EffectTechnique* Effect::GetTechniqueByName(LPCSTR name) {
    for (size_t i = 0; name && i < techniques_.size(); ++i) {
        if (compiled_.techniques[i].name == name) return techniques_[i].get();
    }
    return EffectTechnique::Invalid();
}

}  // namespace fx

HRESULT D3DX11CreateEffectFromMemory(const void* data, SIZE_T size, UINT, ID3D11Device* device,
                                     ID3DX11Effect** effect) {
    if (!effect) return E_INVALIDARG;
    *effect = nullptr;
    fx::CompiledEffect compiled;
    if (!device || !fx::Deserialise(data, size, &compiled)) return E_INVALIDARG;
    auto* created = new fx::Effect(std::move(compiled), device);
    if (!created->Create()) {
        created->Release();
        return E_FAIL;
    }
    *effect = created;
    return S_OK;
}
