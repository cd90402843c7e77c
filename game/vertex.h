#pragma once
#include <d3d11.h>
#include <d3dx11effect.h>
#include <xnamath.h>

// Vertex records, packed 32-bit floats with no gaps, and the input layouts that bind them to an effect pass.
namespace Vertex {

struct BasicVertex {
    XMFLOAT3 Pos;
};

struct NormalTexVertex {
    XMFLOAT3 Pos;
    XMFLOAT3 Normal;
    XMFLOAT2 Tex;
};

struct ParticleVertex {
    XMFLOAT3 Pos;
    XMFLOAT2 Size;
};

struct TerrainVertex {
    XMFLOAT3 Pos;
    XMFLOAT3 Normal;
    XMFLOAT2 Tex;
    XMFLOAT2 Tex2;
};

}  // namespace Vertex

// Program-wide layout handles, null until created.
extern ID3D11InputLayout* mBasicVertLayout;
extern ID3D11InputLayout* mNormalTexVertLayout;
extern ID3D11InputLayout* mParticleVertLayout;
extern ID3D11InputLayout* mTerrainVertLayout;

void CreateBasicLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique);
void CreateNormalTexLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique);
void CreateParticleLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique);
void CreateTerrainLayout(ID3D11Device* device, ID3DX11EffectTechnique* technique);
void DestroyAllLayouts();
