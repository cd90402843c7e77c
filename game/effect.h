#pragma once
#include <d3d11.h>
#include <d3dx11effect.h>
#include <xnamath.h>

#include <string>

#include "lights.h"

// Wrapper of a compiled effect: compiles the file, looks its technique and variables up once, and draws an index
// range once per pass of the technique.
class Effect {
public:
    Effect();
    virtual ~Effect();

    virtual void DrawRange(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                           UINT startIndex, UINT indexCount);
    virtual void DrawIndices(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                             UINT indexCount);
    virtual void FetchVariables();
    virtual void SetWorldViewProj(CXMMATRIX worldViewProj);

    // A second load replaces the effect of the first.
    void LoadFromFile(const std::wstring& fileName, ID3D11Device* device);
    ID3DX11EffectTechnique* GetTechnique() const { return mTech; }

    // A copy would release the effect a second time.
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

protected:
    void DrawWithStride(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                        UINT stride, UINT startIndex, UINT indexCount);

    ID3DX11Effect* mEffect;
    ID3DX11EffectTechnique* mTech;
    ID3DX11EffectMatrixVariable* mWVPVar;

private:
    void ReleaseEffect();
};

// The lit, textured effect every sprite and mesh is drawn with.
class LitTexEffect : public Effect {
public:
    LitTexEffect();

    void FetchVariables() override;
    virtual void SetPerFrame(FXMVECTOR ambientLight, FXMVECTOR eyePosition, const PointLight* pointLight,
                             const SpotLight* spotLight);
    virtual void SetPerObject(CXMMATRIX world, CXMMATRIX invTransposeWorld, CXMMATRIX worldViewProj,
                              ID3D11ShaderResourceView* diffuseMap);
    virtual void SetDiffuseMap(ID3D11ShaderResourceView* diffuseMap);

protected:
    ID3DX11EffectMatrixVariable* mWVar;
    ID3DX11EffectMatrixVariable* mInvTransposeWVar;
    ID3DX11EffectVectorVariable* mAmbientLightVar;
    ID3DX11EffectVectorVariable* mEyePosVar;
    ID3DX11EffectVariable* mPointLightVar;
    ID3DX11EffectVariable* mSpotLightVar;
    ID3DX11EffectShaderResourceVariable* mDiffuseMapVar;
};

// The lit effect with three more diffuse maps and a blend map; part of the toolkit, not created by the game.
class TerrainEffect : public LitTexEffect {
public:
    TerrainEffect();
    ~TerrainEffect() override;

    void DrawIndices(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                     UINT indexCount) override;
    void FetchVariables() override;
    virtual void SetTerrainPerObject(CXMMATRIX world, CXMMATRIX invTransposeWorld, CXMMATRIX worldViewProj,
                                     ID3D11ShaderResourceView* diffuseMap, ID3D11ShaderResourceView* diffuseMap2,
                                     ID3D11ShaderResourceView* diffuseMap3, ID3D11ShaderResourceView* diffuseMap4,
                                     ID3D11ShaderResourceView* blendMap);

protected:
    ID3DX11EffectShaderResourceVariable** mDiffuseMapVars;
    ID3DX11EffectShaderResourceVariable* mBlendVar;
};
