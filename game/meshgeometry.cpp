#include "meshgeometry.h"

#include <traceresult.h>

#include <algorithm>

#include "effect.h"
#include "d3dutil.h"

MeshGeometry::MeshGeometry(LitTexEffect* effect) : mDrawEffect(effect) {}

MeshGeometry::~MeshGeometry() {
    for (Subset& subset : mSubsets) ReleaseAndClear(subset.srv);
}

void MeshGeometry::BuildIndexBuffer(ID3D11Device*) {}

// A buffer of zero bytes is invalid; an empty mesh simply has none.
void MeshGeometry::CreateVertexBuffer(ID3D11Device* device, const Vertex::NormalTexVertex* vertices, UINT count) {
    ReleaseAndClear(mVB);
    if (count == 0) return;

    const D3D11_BUFFER_DESC vbd =
        ImmutableBufferDesc(sizeof(Vertex::NormalTexVertex) * count, D3D11_BIND_VERTEX_BUFFER);
    const D3D11_SUBRESOURCE_DATA vinitData = InitialData(vertices);
    VERIFY_HR(device->CreateBuffer(&vbd, &vinitData, &mVB));
}

void MeshGeometry::CreateIndexBuffer(ID3D11Device* device, const UINT* indices, UINT count) {
    mIndexCount = count;
    ReleaseAndClear(mIB);
    if (count == 0) return;

    const D3D11_BUFFER_DESC ibd = ImmutableBufferDesc(sizeof(UINT) * count, D3D11_BIND_INDEX_BUFFER);
    const D3D11_SUBRESOURCE_DATA iInitData = InitialData(indices);
    VERIFY_HR(device->CreateBuffer(&ibd, &iInitData, &mIB));
}

// The mesh owns the views of its subsets: those the new list does not carry on are released.
void MeshGeometry::AssignSubsets(const std::vector<Subset>& subsets) {
    for (Subset& old : mSubsets) {
        const bool kept =
            std::any_of(subsets.begin(), subsets.end(), [&old](const Subset& subset) { return subset.srv == old.srv; });
        if (!kept) ReleaseAndClear(old.srv);
    }
    mSubsets = subsets;
}

// A mesh whose load failed has no subsets and no buffers: there is nothing to draw and no first texture to read.
void MeshGeometry::DrawAll(ID3D11DeviceContext* context, CXMMATRIX world, CXMMATRIX worldInvTranspose,
                           CXMMATRIX viewProj) {
    if (mSubsets.empty() || !mIB || !mDrawEffect) return;

    ID3D11ShaderResourceView* diffuseMap = mSubsets[0].srv;
    const XMMATRIX worldViewProj = XMMatrixMultiply(world, viewProj);
    mDrawEffect->SetPerObject(world, worldInvTranspose, worldViewProj, diffuseMap);
    for (const Subset& subset : mSubsets) {
        mDrawEffect->SetDiffuseMap(subset.srv);
        mDrawEffect->DrawRange(context, mVB, mIB, subset.faceStart * 3, subset.faceCount * 3);
    }
}

void MeshGeometry::DrawOneSubset(ID3D11DeviceContext* context, UINT subset) {
    if (subset >= mSubsets.size() || !mVB || !mIB) return;
    const UINT stride = sizeof(Vertex::NormalTexVertex);
    const UINT offset = 0;
    context->IASetVertexBuffers(0, 1, &mVB, &stride, &offset);
    context->IASetIndexBuffer(mIB, DXGI_FORMAT_R32_UINT, 0);
    context->DrawIndexed(mSubsets[subset].faceCount * 3, mSubsets[subset].faceStart * 3, 0);
}
