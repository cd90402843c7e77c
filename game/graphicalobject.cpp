#include "graphicalobject.h"

#include "mathhelper.h"

namespace {

XMVECTOR Direction(const XMFLOAT3& v) { return XMVectorSet(v.x, v.y, v.z, 0.0f); }

XMMATRIX RotationAbout(const XMFLOAT3& axis, float angle) {
    return XMMatrixRotationNormal(XMVector3Normalize(Direction(axis)), angle);
}

}  // namespace

// The world matrix is given a defined value before the first rebuild, though nothing should read it then.
GraphicalObject::GraphicalObject()
    : mPosition(0.0f, 0.0f, 0.0f), mLook(0.0f, 0.0f, 1.0f), mRight(1.0f, 0.0f, 0.0f), mUp(0.0f, 1.0f, 0.0f),
      mWorldDirty(true) {
    XMStoreFloat4x4(&mWorldMatrix, XMMatrixIdentity());
}

GraphicalObject::GraphicalObject(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up, const BasicModel& model)
    : BasicModel(model), mWorldDirty(true) {
    XMStoreFloat3(&mPosition, position);
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, up);
    XMStoreFloat3(&mRight, XMVector3Cross(up, look));
    XMStoreFloat4x4(&mWorldMatrix, XMMatrixIdentity());
}

// The mesh belongs to the model this object was copied from.
GraphicalObject::~GraphicalObject() { mMesh = nullptr; }

void GraphicalObject::MoveAlongLook(float distance) {
    XMStoreFloat3(&mPosition, XMVectorAdd(Direction(mPosition), XMVectorScale(Direction(mLook), distance)));
    mWorldDirty = true;
}

void GraphicalObject::MoveAlongRight(float distance) {
    XMStoreFloat3(&mPosition, XMVectorAdd(Direction(mPosition), XMVectorScale(Direction(mRight), distance)));
    mWorldDirty = true;
}

void GraphicalObject::RotateAboutRight(float angle) {
    const XMMATRIX r = RotationAbout(mRight, angle);
    const XMVECTOR look = XMVector3TransformNormal(Direction(mLook), r);
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, XMVector3Normalize(XMVector3Cross(look, Direction(mRight))));
    mWorldDirty = true;
}

void GraphicalObject::RotateAboutLook(float angle) {
    const XMMATRIX r = RotationAbout(mLook, angle);
    const XMVECTOR up = XMVector3TransformNormal(Direction(mUp), r);
    XMStoreFloat3(&mUp, up);
    XMStoreFloat3(&mRight, XMVector3Normalize(XMVector3Cross(up, Direction(mLook))));
    mWorldDirty = true;
}

void GraphicalObject::RotateAboutWorldY(float angle) {
    const XMMATRIX r = XMMatrixRotationY(angle);
    const XMVECTOR right = XMVector3TransformNormal(Direction(mRight), r);
    const XMVECTOR look = XMVector3TransformNormal(Direction(mLook), r);
    XMStoreFloat3(&mRight, right);
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, XMVector3Normalize(XMVector3Cross(look, right)));
    mWorldDirty = true;
}

void GraphicalObject::RotateAboutUp(float angle) {
    const XMMATRIX r = RotationAbout(mUp, angle);
    const XMVECTOR right = XMVector3TransformNormal(Direction(mRight), r);
    XMStoreFloat3(&mRight, right);
    XMStoreFloat3(&mLook, XMVector3Normalize(XMVector3Cross(right, Direction(mUp))));
    mWorldDirty = true;
}

XMVECTOR GraphicalObject::GetPosition() const { return Direction(mPosition); }
XMVECTOR GraphicalObject::GetLook() const { return Direction(mLook); }
XMVECTOR GraphicalObject::GetRight() const { return Direction(mRight); }
XMVECTOR GraphicalObject::GetUp() const { return Direction(mUp); }

void GraphicalObject::SetPosition(FXMVECTOR position) {
    XMStoreFloat3(&mPosition, position);
    mWorldDirty = true;
}

void GraphicalObject::SetOrientation(FXMVECTOR look, FXMVECTOR up) {
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, up);
    XMStoreFloat3(&mRight, XMVector3Cross(up, look));
    mWorldDirty = true;
}

void GraphicalObject::RebuildWorld() {
    if (!mWorldDirty) return;
    mWorldDirty = false;
    const XMMATRIX world = XMMatrixSet(mRight.x, mRight.y, mRight.z, 0.0f,
                                       mUp.x, mUp.y, mUp.z, 0.0f,
                                       mLook.x, mLook.y, mLook.z, 0.0f,
                                       mPosition.x, mPosition.y, mPosition.z, 1.0f);
    XMStoreFloat4x4(&mWorldMatrix, world);
}

// An object made without a model has no mesh to draw.
void GraphicalObject::DrawModel(ID3D11DeviceContext* context, CXMMATRIX viewProj) {
    if (!mMesh) return;
    const XMMATRIX world = XMLoadFloat4x4(&mWorldMatrix);
    mMesh->DrawAll(context, world, InverseTranspose(world), viewProj);
}
