// ID3DX11Effect over OpenGL: one program per pass, one uniform buffer and CPU copy per constant buffer.
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
    uint32_t gl = 0;
    uint64_t version = 1;  // bumped on every write; the GL copy and flattened uploads follow it
    uint64_t uploaded = 0;
};

class EffectPass;
class EffectTechnique;

class Effect final : public ID3DX11Effect {
public:
    Effect(CompiledEffect compiled, ID3D11Device* device);
    // Builds the GL objects; false (with a message on stderr) when a program does not link.
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
    BufferState& Buffer(size_t index) { return buffers_[index]; }
    VariableSet& Variables() { return *variables_; }
    uint32_t Sampler(int32_t variable) const;
    bool MakeCurrent() const;
    // Uploads changed constant buffers and binds them at their bindings.
    void BindBuffers();

private:
    ~Effect() override;
    void DestroyGl();

    std::atomic<ULONG> refs_{1};
    CompiledEffect compiled_;
    ID3D11Device* device_;
    std::vector<BufferState> buffers_;
    std::vector<uint32_t> samplers_;  // GL sampler per variable index (0 for non-samplers)
    std::unique_ptr<VariableSet> variables_;
    std::vector<std::unique_ptr<EffectTechnique>> techniques_;
};

}  // namespace fx
