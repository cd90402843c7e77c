#include "vertex.h"

#include <traceresult.h>

static_assert(sizeof(Vertex::BasicVertex) == 12, "basic vertex is 12 bytes");
static_assert(sizeof(Vertex::NormalTexVertex) == 32, "position-normal-texture vertex is 32 bytes");
static_assert(sizeof(Vertex::ParticleVertex) == 20, "particle vertex is 20 bytes");
static_assert(sizeof(Vertex::TerrainVertex) == 40, "terrain vertex is 40 bytes");

ID3D11InputLayout* mBasicVertLayout = nullptr;
ID3D11InputLayout* mNormalTexVertLayout = nullptr;
ID3D11InputLayout* mParticleVertLayout = nullptr;
ID3D11InputLayout* mTerrainVertLayout = nullptr;

namespace {

// Pass 0 carries the input signature every layout is matched against; an invalid technique gives an empty one.
D3DX11_PASS_DESC FirstPassDesc(ID3DX11EffectTechnique* technique) {
    D3DX11_PASS_DESC passDesc = {};
    if (technique) technique->GetPassByIndex(0)->GetDesc(&passDesc);
    return passDesc;
}

// Also what a second creation of a layout does with the first.
void ReleaseLayout(ID3D11InputLayout*& layout) {
    if (!layout) return;
    layout->Release();
    layout = nullptr;
}

}  // namespace

void CreateBasicLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    const D3D11_INPUT_ELEMENT_DESC vertexDesc[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    const D3DX11_PASS_DESC passDesc = FirstPassDesc(technique);
    ReleaseLayout(mBasicVertLayout);
    VERIFY_HR(device->CreateInputLayout(vertexDesc, 1, passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, &mBasicVertLayout));
}

void CreateNormalTexLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    const D3D11_INPUT_ELEMENT_DESC vertexDesc[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 24, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    const D3DX11_PASS_DESC passDesc = FirstPassDesc(technique);
    ReleaseLayout(mNormalTexVertLayout);
    VERIFY_HR(device->CreateInputLayout(vertexDesc, 3, passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, &mNormalTexVertLayout));
}

void CreateParticleLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    const D3D11_INPUT_ELEMENT_DESC vertexDesc[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"SIZE", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    const D3DX11_PASS_DESC passDesc = FirstPassDesc(technique);
    ReleaseLayout(mParticleVertLayout);
    VERIFY_HR(device->CreateInputLayout(vertexDesc, 2 , passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, &mParticleVertLayout));
}

void CreateTerrainLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    const D3D11_INPUT_ELEMENT_DESC vertexDesc[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 24, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 1, DXGI_FORMAT_R32G32_FLOAT, 0, 32, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    const D3DX11_PASS_DESC passDesc = FirstPassDesc(technique);
    ReleaseLayout(mTerrainVertLayout);
    VERIFY_HR(device->CreateInputLayout(vertexDesc, 4, passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, &mTerrainVertLayout));
}

void DestroyAllLayouts() {
    ReleaseLayout(mTerrainVertLayout);
    ReleaseLayout(mNormalTexVertLayout);
    ReleaseLayout(mBasicVertLayout);
    ReleaseLayout(mParticleVertLayout);
}
