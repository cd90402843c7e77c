#pragma once
#include <d3d11.h>

// How every geometry buffer is made: immutable, no CPU access, no misc flags, no structure stride.
inline D3D11_BUFFER_DESC ImmutableBufferDesc(UINT byteWidth, UINT bindFlags) {
    return {byteWidth, D3D11_USAGE_IMMUTABLE, bindFlags, 0, 0, 0};
}

inline D3D11_SUBRESOURCE_DATA InitialData(const void* data) { return {data, 0, 0}; }

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
