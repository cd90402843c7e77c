#pragma once
#include <d3d11.h>

// Base of every drawable geometry: owns its vertex and index buffers.
class GraphicalGeometry {
public:
    GraphicalGeometry() : mVB(nullptr), mIB(nullptr), mIndexCount(0) {}
    virtual ~GraphicalGeometry() {
        if (mVB) mVB->Release();
        if (mIB) mIB->Release();
    }
    virtual void BuildIndexBuffer(ID3D11Device* device) = 0;

    GraphicalGeometry(const GraphicalGeometry&) = delete;
    GraphicalGeometry& operator=(const GraphicalGeometry&) = delete;

protected:
    ID3D11Buffer* mVB;
    ID3D11Buffer* mIB;
    UINT mIndexCount;
};
