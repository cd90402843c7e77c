#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include "basicmodel.h"
#include "orientationframe.h"

// A model placed in the world: a position and an orientation frame (right = up × look) that move and turn as the
// free-steering camera does, and the world matrix built from them. Shares the source model's mesh without owning it.
class GraphicalObject : public BasicModel, public Steering<GraphicalObject> {
public:
    GraphicalObject();
    GraphicalObject(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up, const BasicModel& model);
    GraphicalObject(const GraphicalObject& other) = default;
    ~GraphicalObject() override;

    virtual void MoveAlongLook(float distance);
    virtual void MoveAlongRight(float distance);

    XMVECTOR GetPosition() const { return XMLoadFloat3(&mPosition); }
    XMVECTOR GetLook() const { return XMLoadFloat3(&mLook); }
    XMVECTOR GetRight() const { return XMLoadFloat3(&mRight); }
    XMVECTOR GetUp() const { return XMLoadFloat3(&mUp); }
    void SetPosition(FXMVECTOR position) { Orientation().SetPosition(position); }
    void SetOrientation(FXMVECTOR look, FXMVECTOR up) { Orientation().SetOrientation(look, up); }

    // Rebuilds the world matrix only when something changed since the last rebuild.
    void RebuildWorld();
    XMMATRIX GetWorld() const { return XMLoadFloat4x4(&mWorldMatrix); }
    void DrawModel(ID3D11DeviceContext* context, CXMMATRIX viewProj);

protected:
    OrientationFrame Orientation() { return {mPosition, mLook, mUp, mRight, mWorldDirty}; }

    XMFLOAT3 mPosition;
    XMFLOAT3 mLook;
    XMFLOAT3 mRight;
    XMFLOAT3 mUp;
    XMFLOAT4X4 mWorldMatrix;
    bool mWorldDirty;

private:
    friend class Steering<GraphicalObject>;
};
