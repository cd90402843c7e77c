#include "graphicalobject.h"

#include "mathhelper.h"

// The world matrix is given a defined value before the first rebuild, though nothing should read it then.
GraphicalObject::GraphicalObject()
    : mPosition(0.0f, 0.0f, 0.0f),
      mLook(0.0f, 0.0f, 1.0f),
      mRight(1.0f, 0.0f, 0.0f),
      mUp(0.0f, 1.0f, 0.0f),
      mWorldDirty(true) {
    XMStoreFloat4x4(&mWorldMatrix, XMMatrixIdentity());
}

GraphicalObject::GraphicalObject(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up, const BasicModel& model)
    : BasicModel(model), mWorldDirty(true) {
    Orientation().SetPosition(position);
    Orientation().SetOrientation(look, up);
    XMStoreFloat4x4(&mWorldMatrix, XMMatrixIdentity());
}

// The mesh belongs to the model this object was copied from.
GraphicalObject::~GraphicalObject() { mMesh = nullptr; }

void GraphicalObject::MoveAlongLook(float distance) { Steering::MoveAlongLook(distance); }
void GraphicalObject::MoveAlongRight(float distance) { Steering::MoveAlongRight(distance); }

void GraphicalObject::RebuildWorld() {
    if (!mWorldDirty) return;
    mWorldDirty = false;
    const XMMATRIX world = XMMatrixSet(mRight.x, mRight.y, mRight.z, 0.0f, mUp.x, mUp.y, mUp.z, 0.0f, mLook.x, mLook.y,
                                       mLook.z, 0.0f, mPosition.x, mPosition.y, mPosition.z, 1.0f);
    XMStoreFloat4x4(&mWorldMatrix, world);
}

// An object made without a model has no mesh to draw.
void GraphicalObject::DrawModel(ID3D11DeviceContext* context, CXMMATRIX viewProj) {
    if (!mMesh) return;
    const XMMATRIX world = XMLoadFloat4x4(&mWorldMatrix);
    mMesh->DrawAll(context, world, InverseTranspose(world), viewProj);
}
