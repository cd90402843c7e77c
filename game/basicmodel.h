#pragma once
#include <d3d11.h>

#include <string>
#include <vector>

#include "meshgeometry.h"
#include "vertex.h"

class LitTexEffect;

// A model loaded from an OBJ file: the loaded lists and the drawable mesh made from them, which it owns.
class BasicModel {
public:
    BasicModel();
    BasicModel(ID3D11Device* device, LitTexEffect* effect, const std::wstring& fileName, bool flipWinding,
               bool flipTexV);
    virtual ~BasicModel();

    BasicModel& operator=(const BasicModel&) = delete;

    MeshGeometry* GetMesh() const { return mMesh; }
    const std::vector<Vertex::NormalTexVertex>& GetVertices() const { return mVertices; }
    const std::vector<UINT>& GetIndices() const { return mIndices; }
    const std::vector<MeshGeometry::Subset>& GetSubsets() const { return mSubsets; }

protected:
    // Shares the source's mesh. Only a derived object that gives the mesh up before it is destroyed may copy, so a
    // mesh is never deleted twice.
    BasicModel(const BasicModel& other);

    std::vector<Vertex::NormalTexVertex> mVertices;
    std::vector<UINT> mIndices;
    std::vector<MeshGeometry::Subset> mSubsets;
    MeshGeometry* mMesh;
};
