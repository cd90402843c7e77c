#include "vertex.h"

#include <traceresult.h>

#include <vector>

#include "d3dutil.h"

static_assert(sizeof(Vertex::BasicVertex) == 12, "basic vertex is 12 bytes");
static_assert(sizeof(Vertex::NormalTexVertex) == 32, "position-normal-texture vertex is 32 bytes");
static_assert(sizeof(Vertex::ParticleVertex) == 20, "particle vertex is 20 bytes");
static_assert(sizeof(Vertex::TerrainVertex) == 40, "terrain vertex is 40 bytes");

ID3D11InputLayout* mBasicVertLayout = nullptr;
ID3D11InputLayout* mNormalTexVertLayout = nullptr;
ID3D11InputLayout* mParticleVertLayout = nullptr;
ID3D11InputLayout* mTerrainVertLayout = nullptr;

namespace {

D3D11_INPUT_ELEMENT_DESC PerVertex(const char* semantic, UINT index, DXGI_FORMAT format, UINT offset) {
    return {semantic, index, format, 0, offset, D3D11_INPUT_PER_VERTEX_DATA, 0};
}

const D3D11_INPUT_ELEMENT_DESC kPosition = PerVertex("POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0);
const D3D11_INPUT_ELEMENT_DESC kNormal = PerVertex("NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 12);
const D3D11_INPUT_ELEMENT_DESC kTex = PerVertex("TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 24);
const D3D11_INPUT_ELEMENT_DESC kTex2 = PerVertex("TEXCOORD", 1, DXGI_FORMAT_R32G32_FLOAT, 32);
const D3D11_INPUT_ELEMENT_DESC kSize = PerVertex("SIZE", 0, DXGI_FORMAT_R32G32_FLOAT, 12);

// A layout's handle, its elements, and its creation call as a failure report names it.
struct Layout {
    ID3D11InputLayout** handle;
    std::vector<D3D11_INPUT_ELEMENT_DESC> elements;
    const wchar_t* call;
};

enum LayoutKind { kBasic, kNormalTex, kParticle, kTerrain };

const Layout kLayouts[] = {
    {&mBasicVertLayout,
     {kPosition},
     L"device->CreateInputLayout(vertexDesc, 1, passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, "
     L"&mBasicVertLayout)"},
    {&mNormalTexVertLayout,
     {kPosition, kNormal, kTex},
     L"device->CreateInputLayout(vertexDesc, 3, passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, "
     L"&mNormalTexVertLayout)"},
    {&mParticleVertLayout,
     {kPosition, kSize},
     L"device->CreateInputLayout(vertexDesc, 2 , passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, "
     L"&mParticleVertLayout)"},
    {&mTerrainVertLayout,
     {kPosition, kNormal, kTex, kTex2},
     L"device->CreateInputLayout(vertexDesc, 4, passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, "
     L"&mTerrainVertLayout)"},
};

// Pass 0 carries the input signature every layout is matched against; an invalid technique gives an empty one.
D3DX11_PASS_DESC FirstPassDesc(ID3DX11EffectTechnique* technique) {
    D3DX11_PASS_DESC passDesc = {};
    if (technique) technique->GetPassByIndex(0)->GetDesc(&passDesc);
    return passDesc;
}

// A second creation of a layout releases the first. A failure is reported and the handle stays null.
void CreateLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique, LayoutKind kind) {
    const Layout& layout = kLayouts[kind];
    const D3DX11_PASS_DESC passDesc = FirstPassDesc(technique);
    ReleaseAndClear(*layout.handle);
    const HRESULT hr =
        device->CreateInputLayout(layout.elements.data(), static_cast<UINT>(layout.elements.size()),
                                  passDesc.pIAInputSignature, passDesc.IAInputSignatureSize, layout.handle);
    if (FAILED(hr)) TraceResult(SourceFileName(__FILE__), static_cast<DWORD>(__LINE__), hr, layout.call, true);
}

}  // namespace

void CreateBasicLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    CreateLayout(device, technique, kBasic);
}

void CreateNormalTexLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    CreateLayout(device, technique, kNormalTex);
}

void CreateParticleLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    CreateLayout(device, technique, kParticle);
}

void CreateTerrainLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique) {
    CreateLayout(device, technique, kTerrain);
}

void DestroyAllLayouts() {
    ReleaseAndClear(mTerrainVertLayout);
    ReleaseAndClear(mNormalTexVertLayout);
    ReleaseAndClear(mBasicVertLayout);
    ReleaseAndClear(mParticleVertLayout);
}
