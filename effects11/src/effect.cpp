#include "effect.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "technique.h"
#include "windows.h"

namespace fx {
namespace {

D3D11_SAMPLER_DESC SamplerDesc(const SamplerState& s) {
    D3D11_SAMPLER_DESC d = {};
    d.Filter = D3D11_FILTER(s.filter);
    d.AddressU = D3D11_TEXTURE_ADDRESS_MODE(s.address[0]);
    d.AddressV = D3D11_TEXTURE_ADDRESS_MODE(s.address[1]);
    d.AddressW = D3D11_TEXTURE_ADDRESS_MODE(s.address[2]);
    d.MipLODBias = s.mipLodBias;
    d.MaxAnisotropy = s.maxAnisotropy;
    d.ComparisonFunc = D3D11_COMPARISON_FUNC(s.comparison);
    std::memcpy(d.BorderColor, s.border, sizeof d.BorderColor);
    d.MinLOD = s.minLod;
    d.MaxLOD = s.maxLod;
    return d;
}

template <class T>
void SafeRelease(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

Effect::Effect(CompiledEffect compiled, ID3D11Device* device) : compiled_(std::move(compiled)), device_(device) {
    device_->AddRef();
    variables_ = std::make_unique<VariableSet>(this);
    for (const Technique& t : compiled_.techniques) techniques_.push_back(std::make_unique<EffectTechnique>(this, &t));
}

Effect::~Effect() {
    techniques_.clear();
    for (BufferState& b : buffers_) SafeRelease(b.buffer);
    for (ID3D11SamplerState*& s : samplers_) SafeRelease(s);
    device_->Release();
}

bool Effect::Create() {
    if (!CreateBuffers() || !CreateSamplers()) return false;
    for (auto& t : techniques_) {
        if (!t->Link()) return false;
    }
    return true;
}

bool Effect::CreateBuffers() {
    for (const ConstantBuffer& cb : compiled_.cbuffers) {
        BufferState b;
        b.data.assign(cb.size, 0);
        D3D11_BUFFER_DESC desc = {cb.size ? cb.size : 16, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
        const HRESULT hr = device_->CreateBuffer(&desc, nullptr, &b.buffer);
        buffers_.push_back(std::move(b));
        if (FAILED(hr) || cb.binding >= D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
            OutputDebugStringA(
                ("effect: constant buffer '" + cb.name + "' cannot be created (" + code + ")\n").c_str());
            return false;
        }
    }
    return true;
}

bool Effect::CreateSamplers() {
    samplers_.assign(compiled_.variables.size(), nullptr);
    for (size_t i = 0; i < compiled_.variables.size(); ++i) {
        if (compiled_.variables[i].cls != VarClass::Sampler) continue;
        for (const SamplerState& s : compiled_.samplers) {
            if (s.name != compiled_.variables[i].name) continue;
            const D3D11_SAMPLER_DESC desc = SamplerDesc(s);
            if (FAILED(device_->CreateSamplerState(&desc, &samplers_[i]))) {
                OutputDebugStringA(("effect: sampler state '" + s.name + "' is not valid\n").c_str());
                return false;
            }
        }
    }
    return true;
}

ID3D11SamplerState* Effect::Sampler(int32_t variable) const {
    return variable >= 0 && static_cast<size_t>(variable) < samplers_.size() ? samplers_[variable] : nullptr;
}

void Effect::BindBuffers(ID3D11DeviceContext* context) {
    for (size_t i = 0; i < buffers_.size(); ++i) {
        BufferState& b = buffers_[i];
        if (b.uploaded != b.version && !b.data.empty()) {
            context->UpdateSubresource(b.buffer, 0, nullptr, b.data.data(), 0, 0);
            b.uploaded = b.version;
        }
        const UINT slot = compiled_.cbuffers[i].binding;
        context->VSSetConstantBuffers(slot, 1, &b.buffer);
        context->PSSetConstantBuffers(slot, 1, &b.buffer);
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
