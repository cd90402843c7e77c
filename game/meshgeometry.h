#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include <string>
#include <vector>

#include "graphicalgeometry.h"
#include "vertex.h"

class LitTexEffect;

// An indexed triangle mesh in immutable buffers, drawn subset by subset with each subset's diffuse texture.
class MeshGeometry : public GraphicalGeometry {
public:
    // One material's run of triangles. The texture view is owned by the mesh the subset is assigned to.
    struct Subset {
        UINT id = 0;
        UINT vertexStart = 0;
        UINT vertexCount = 0;
        UINT faceCount = 0;
        UINT faceStart = 0;
        ID3D11ShaderResourceView* srv = nullptr;
        std::wstring name;
    };

    explicit MeshGeometry(LitTexEffect* effect);
    ~MeshGeometry() override;

    // The index buffer comes from CreateIndexBuffer.
    void BuildIndexBuffer(ID3D11Device* device) override;

    void CreateVertexBuffer(ID3D11Device* device, const Vertex::NormalTexVertex* vertices, UINT count);
    void CreateIndexBuffer(ID3D11Device* device, const UINT* indices, UINT count);
    void AssignSubsets(const std::vector<Subset>& subsets);

    void DrawAll(ID3D11DeviceContext* context, CXMMATRIX world, CXMMATRIX worldInvTranspose, CXMMATRIX viewProj);
    void DrawOneSubset(ID3D11DeviceContext* context, UINT subset);

    const std::vector<Subset>& GetSubsets() const { return mSubsets; }
    bool HasBuffers() const { return mVB && mIB; }

private:
    std::vector<Subset> mSubsets;
    LitTexEffect* mDrawEffect;
};
