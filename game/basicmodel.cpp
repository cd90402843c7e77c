#include "basicmodel.h"

#include "objloader.h"

BasicModel::BasicModel() : mMesh(nullptr) {}

BasicModel::BasicModel(ID3D11Device* device, LitTexEffect* effect, const std::wstring& fileName, bool flipWinding,
                       bool flipTexV)
    : mMesh(new MeshGeometry(effect)) {
    OBJLoader loader;
    if (!loader.LoadMeshFile(device, fileName, mVertices, mIndices, mSubsets, flipWinding, flipTexV)) return;
    mMesh->CreateVertexBuffer(device, mVertices.data(), static_cast<UINT>(mVertices.size()));
    mMesh->CreateIndexBuffer(device, mIndices.data(), static_cast<UINT>(mIndices.size()));
    mMesh->AssignSubsets(mSubsets);
}

BasicModel::BasicModel(const BasicModel& other)
    : mVertices(other.mVertices), mIndices(other.mIndices), mSubsets(other.mSubsets), mMesh(other.mMesh) {}

BasicModel::~BasicModel() { delete mMesh; }
