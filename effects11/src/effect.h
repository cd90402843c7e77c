// ID3DX11Effect on the layer's Direct3D 11: one constant buffer per effect cbuffer (with the CPU copy variables
// write), one sampler state per sampler variable, and per pass a vertex and a pixel shader.
#pragma once
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "compiled_effect.h"
#include "d3dx11effect.h"
#include "variables.h"

namespace fx {

struct BufferState {
    std::vector<uint8_t> data;
    ID3D11Buffer* buffer = nullptr;
    uint64_t version = 1;  // bumped on every write; Apply uploads when the buffer's copy is older
    uint64_t uploaded = 0;
};

// What a call on an effect object answers before its work: E_FAIL on the invalid object a failed lookup gives,
// E_INVALIDARG without the argument it writes to or reads from, S_OK when it may go on.
inline HRESULT CallState(bool valid, const void* argument) {
    if (!valid) return E_FAIL;
    return argument ? S_OK : E_INVALIDARG;
}

class EffectPass;
class EffectTechnique;

class Effect final : public ID3DX11Effect {
public:
    Effect(CompiledEffect compiled, ID3D11Device* device);
    // Creates the device objects; false, told in the debugger output, when the device refuses one.
    bool Create();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    BOOL IsValid() override { return TRUE; }
    HRESULT GetDevice(ID3D11Device** device) override;
    HRESULT GetDesc(D3DX11_EFFECT_DESC* desc) override;
    ID3DX11EffectVariable* GetVariableByIndex(UINT index) override;
    ID3DX11EffectVariable* GetVariableByName(LPCSTR name) override;
    ID3DX11EffectVariable* GetVariableBySemantic(LPCSTR semantic) override;
    ID3DX11EffectTechnique* GetTechniqueByIndex(UINT index) override;
    ID3DX11EffectTechnique* GetTechniqueByName(LPCSTR name) override;

    const CompiledEffect& Compiled() const { return compiled_; }
    ID3D11Device* Device() const { return device_; }
    BufferState& Buffer(size_t index) { return buffers_[index]; }
    VariableSet& Variables() { return *variables_; }
    ID3D11SamplerState* Sampler(int32_t variable) const;
    // Uploads changed constant buffers and binds every buffer at its slot in both stages.
    void BindBuffers(ID3D11DeviceContext* context);

private:
    ~Effect() override;
    bool CreateBuffers();
    bool CreateSamplers();

    std::atomic<ULONG> refs_{1};
    CompiledEffect compiled_;
    ID3D11Device* device_;
    std::vector<BufferState> buffers_;
    std::vector<ID3D11SamplerState*> samplers_;  // per variable index; null for non-samplers
    std::unique_ptr<VariableSet> variables_;
    std::vector<std::unique_ptr<EffectTechnique>> techniques_;
};

}  // namespace fx
