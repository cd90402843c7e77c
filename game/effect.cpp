#include "effect.h"

#include <d3dx11async.h>
#include <traceresult.h>

#include "vertex.h"

namespace {

const XMMATRIX& AsMatrix(CXMMATRIX m) { return m; }
const float* Floats(CXMMATRIX m) { return reinterpret_cast<const float*>(&AsMatrix(m)); }

}  // namespace

Effect::Effect() : mEffect(nullptr), mTech(nullptr), mWVPVar(nullptr) {}

Effect::~Effect() { ReleaseEffect(); }

// The variables and the technique belong to the effect and go with it.
void Effect::ReleaseEffect() {
    if (!mEffect) return;
    mEffect->Release();
    mEffect = nullptr;
    mTech = nullptr;
    mWVPVar = nullptr;
}

void Effect::LoadFromFile(const std::wstring& fileName, ID3D11Device* device) {
    ReleaseEffect();
    const UINT shaderFlags = D3D10_SHADER_DEBUG | D3D10_SHADER_SKIP_OPTIMIZATION;
    ID3D10Blob* compiledShader = nullptr;
    ID3D10Blob* compilationMsgs = nullptr;
    const HRESULT hr = D3DX11CompileFromFile(fileName.c_str(), 0, 0, 0, "fx_5_0", shaderFlags, 0, 0, &compiledShader,
                                             &compilationMsgs, 0);
    if (compilationMsgs) {
        MessageBoxA(0, static_cast<const char*>(compilationMsgs->GetBufferPointer()), 0, 0);
        compilationMsgs->Release();
    }
    if (FAILED(hr)) {
        TraceResult(SourceFileName(__FILE__), static_cast<DWORD>(__LINE__), hr, L"D3DX11CompileFromFile", true);
    }
    // Without compiled bytes there is no effect to create; the wrapper then draws and sets nothing.
    if (!compiledShader) return;

    VERIFY_HR(D3DX11CreateEffectFromMemory(compiledShader->GetBufferPointer(), compiledShader->GetBufferSize(), 0,
                                           device, &mEffect));
    compiledShader->Release();
    if (mEffect) FetchVariables();
}

void Effect::FetchVariables() {
    mTech = mEffect->GetTechniqueByName("TestTech");
    mWVPVar = mEffect->GetVariableByName("gWVP")->AsMatrix();
}

void Effect::SetWorldViewProj(CXMMATRIX worldViewProj) {
    if (mWVPVar) mWVPVar->SetMatrix(Floats(worldViewProj));
}

void Effect::DrawRange(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                       UINT startIndex, UINT indexCount) {
    DrawWithStride(context, vertexBuffer, indexBuffer, sizeof(Vertex::NormalTexVertex), startIndex, indexCount);
}

void Effect::DrawIndices(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                         UINT indexCount) {
    DrawWithStride(context, vertexBuffer, indexBuffer, sizeof(Vertex::NormalTexVertex), 0, indexCount);
}

void Effect::DrawWithStride(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                            UINT stride, UINT startIndex, UINT indexCount) {
    if (!mTech) return;
    const UINT offset = 0;
    context->IASetVertexBuffers(0, 1, &vertexBuffer, &stride, &offset);
    context->IASetIndexBuffer(indexBuffer, DXGI_FORMAT_R32_UINT, 0);

    D3DX11_TECHNIQUE_DESC techDesc = {};
    mTech->GetDesc(&techDesc);
    for (UINT p = 0; p < techDesc.Passes; ++p) {
        mTech->GetPassByIndex(p)->Apply(0, context);
        context->DrawIndexed(indexCount, startIndex, 0);
    }
}

LitTexEffect::LitTexEffect()
    : mWVar(nullptr),
      mInvTransposeWVar(nullptr),
      mAmbientLightVar(nullptr),
      mEyePosVar(nullptr),
      mPointLightVar(nullptr),
      mSpotLightVar(nullptr),
      mDiffuseMapVar(nullptr) {}

void LitTexEffect::FetchVariables() {
    Effect::FetchVariables();
    mAmbientLightVar = mEffect->GetVariableByName("gAmbientLight")->AsVector();
    mEyePosVar = mEffect->GetVariableByName("gEyePos")->AsVector();
    mPointLightVar = mEffect->GetVariableByName("gPointLight");
    mSpotLightVar = mEffect->GetVariableByName("gSpotLight");
    mWVar = mEffect->GetVariableByName("gW")->AsMatrix();
    mInvTransposeWVar = mEffect->GetVariableByName("gInvTransposeW")->AsMatrix();
    mDiffuseMapVar = mEffect->GetVariableByName("gDiffuseMap")->AsShaderResource();
}

void LitTexEffect::SetPerFrame(FXMVECTOR ambientLight, FXMVECTOR eyePosition, const PointLight* pointLight,
                               const SpotLight* spotLight) {
    if (!mEffect) return;
    mEyePosVar->SetRawValue(&eyePosition, 0, 12);
    mPointLightVar->SetRawValue(pointLight, 0, sizeof(PointLight));
    mSpotLightVar->SetRawValue(spotLight, 0, sizeof(SpotLight));
    mAmbientLightVar->SetRawValue(&ambientLight, 0, 16);
}

void LitTexEffect::SetPerObject(CXMMATRIX world, CXMMATRIX invTransposeWorld, CXMMATRIX worldViewProj,
                                ID3D11ShaderResourceView* diffuseMap) {
    if (!mEffect) return;
    SetWorldViewProj(worldViewProj);
    mInvTransposeWVar->SetMatrix(Floats(invTransposeWorld));
    mWVar->SetMatrix(Floats(world));
    mDiffuseMapVar->SetResource(diffuseMap);
}

void LitTexEffect::SetDiffuseMap(ID3D11ShaderResourceView* diffuseMap) {
    if (mEffect && mDiffuseMapVar) mDiffuseMapVar->SetResource(diffuseMap);
}

TerrainEffect::TerrainEffect() : mDiffuseMapVars(nullptr), mBlendVar(nullptr) {}

TerrainEffect::~TerrainEffect() { delete[] mDiffuseMapVars; }

void TerrainEffect::FetchVariables() {
    LitTexEffect::FetchVariables();
    delete[] mDiffuseMapVars;
    mDiffuseMapVars = new ID3DX11EffectShaderResourceVariable*[3];
    mDiffuseMapVars[0] = mEffect->GetVariableByName("gDiffuseMap2")->AsShaderResource();
    mDiffuseMapVars[1] = mEffect->GetVariableByName("gDiffuseMap3")->AsShaderResource();
    mDiffuseMapVars[2] = mEffect->GetVariableByName("gDiffuseMap4")->AsShaderResource();
    mBlendVar = mEffect->GetVariableByName("gBlend")->AsShaderResource();
}

void TerrainEffect::DrawIndices(ID3D11DeviceContext* context, ID3D11Buffer* vertexBuffer, ID3D11Buffer* indexBuffer,
                                UINT indexCount) {
    DrawWithStride(context, vertexBuffer, indexBuffer, sizeof(Vertex::TerrainVertex), 0, indexCount);
}

void TerrainEffect::SetTerrainPerObject(CXMMATRIX world, CXMMATRIX invTransposeWorld, CXMMATRIX worldViewProj,
                                        ID3D11ShaderResourceView* diffuseMap, ID3D11ShaderResourceView* diffuseMap2,
                                        ID3D11ShaderResourceView* diffuseMap3, ID3D11ShaderResourceView* diffuseMap4,
                                        ID3D11ShaderResourceView* blendMap) {
    SetPerObject(world, invTransposeWorld, worldViewProj, diffuseMap);
    if (!mEffect || !mDiffuseMapVars) return;
    mDiffuseMapVars[0]->SetResource(diffuseMap2);
    mDiffuseMapVars[1]->SetResource(diffuseMap3);
    mDiffuseMapVars[2]->SetResource(diffuseMap4);
    mBlendVar->SetResource(blendMap);
}
