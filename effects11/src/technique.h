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
    // Compiles and links the pass's program; false with a message on stderr when GL refuses it.
    bool Link();

    BOOL IsValid() override { return pass_ != nullptr; }
    HRESULT GetDesc(D3DX11_PASS_DESC* desc) override;
    HRESULT Apply(UINT flags, ID3D11DeviceContext* context) override;

    static EffectPass* Invalid();

private:
    struct Flat {
        uint32_t cbuffer;
        int32_t location;
        uint32_t type;  // GL_FLOAT_VEC4, GL_INT_VEC4 or GL_UNSIGNED_INT_VEC4
        uint64_t uploaded;
    };
    void UploadFlattened();
    void BindTextures();

    Effect* effect_;
    const Pass* pass_;
    uint32_t program_ = 0;
    std::vector<uint8_t> signature_;
    std::vector<Flat> flat_;
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
