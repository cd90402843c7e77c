#include "fpscamera.h"

#include <cassert>

#include "mathhelper.h"

namespace {

XMVECTOR Load(const XMFLOAT3& v) { return XMVectorSet(v.x, v.y, v.z, 0.0f); }

XMMATRIX RotationAbout(const XMFLOAT3& axis, float angle) {
    assert(IsFiniteNonZero(axis) && "the rotation axis is zero or not finite");
    return XMMatrixRotationNormal(XMVector3Normalize(Load(axis)), angle);
}

}  // namespace

FPSCamera::FPSCamera() = default;
FPSCamera::FPSCamera(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up) : BaseCamera(position, look, up) {}
FPSCamera::~FPSCamera() = default;

void FPSCamera::MoveAlongLook(float distance) {
    XMStoreFloat3(&mPosition, XMVectorAdd(Load(mPosition), XMVectorScale(Load(mLook), distance)));
    mViewDirty = true;
}

void FPSCamera::MoveAlongRight(float distance) {
    XMStoreFloat3(&mPosition, XMVectorAdd(Load(mPosition), XMVectorScale(Load(mRight), distance)));
    mViewDirty = true;
}

void FPSCamera::RotateAboutRight(float angle) {
    const XMMATRIX r = RotationAbout(mRight, angle);
    const XMVECTOR look = XMVector3TransformNormal(Load(mLook), r);
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, XMVector3Normalize(XMVector3Cross(look, Load(mRight))));
    mViewDirty = true;
}

void FPSCamera::RotateAboutLook(float angle) {
    const XMMATRIX r = RotationAbout(mLook, angle);
    const XMVECTOR up = XMVector3TransformNormal(Load(mUp), r);
    XMStoreFloat3(&mUp, up);
    XMStoreFloat3(&mRight, XMVector3Normalize(XMVector3Cross(up, Load(mLook))));
    mViewDirty = true;
}

void FPSCamera::RotateAboutWorldY(float angle) {
    const XMMATRIX r = XMMatrixRotationY(angle);
    const XMVECTOR right = XMVector3TransformNormal(Load(mRight), r);
    const XMVECTOR look = XMVector3TransformNormal(Load(mLook), r);
    XMStoreFloat3(&mRight, right);
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, XMVector3Normalize(XMVector3Cross(look, right)));
    mViewDirty = true;
}

void FPSCamera::RotateAboutUp(float angle) {
    const XMMATRIX r = RotationAbout(mUp, angle);
    const XMVECTOR right = XMVector3TransformNormal(Load(mRight), r);
    XMStoreFloat3(&mRight, right);
    XMStoreFloat3(&mLook, XMVector3Normalize(XMVector3Cross(right, Load(mUp))));
    mViewDirty = true;
}
