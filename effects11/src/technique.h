// Techniques and passes of an effect, with the invalid objects failed lookups return.
#pragma once
#include <memory>
#include <vector>

#include "compiled_effect.h"
#include "d3dx11effect.h"

namespace fx {

class Effect;

class EffectPass final : public ID3DX11EffectPass {
public:
    EffectPass(Effect* effect, const Pass* pass);
    ~EffectPass();
    EffectPass(const EffectPass&) = delete;
    EffectPass& operator=(const EffectPass&) = delete;
    // Creates the pass's shaders and has the layer link them; false, told in the debugger output, when it cannot.
    bool Link();

    BOOL IsValid() override { return pass_ != nullptr; }
    HRESULT GetDesc(D3DX11_PASS_DESC* desc) override;
    HRESULT Apply(UINT flags, ID3D11DeviceContext* context) override;

    static EffectPass* Invalid();

private:
    void BindTextures(ID3D11DeviceContext* context);

    Effect* effect_;
    const Pass* pass_;
    ID3D11VertexShader* vertexShader_ = nullptr;
    ID3D11PixelShader* pixelShader_ = nullptr;
    std::vector<uint8_t> signature_;
};

class EffectTechnique final : public ID3DX11EffectTechnique {
public:
    EffectTechnique(Effect* effect, const Technique* technique);
    bool Link();

    BOOL IsValid() override { return technique_ != nullptr; }
    HRESULT GetDesc(D3DX11_TECHNIQUE_DESC* desc) override;
    ID3DX11EffectPass* GetPassByIndex(UINT index) override;
    ID3DX11EffectPass* GetPassByName(LPCSTR name) override;

    static EffectTechnique* Invalid();

private:
    const Technique* technique_;
    std::vector<std::unique_ptr<EffectPass>> passes_;
};

}  // namespace fx
