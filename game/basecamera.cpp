#include "basecamera.h"

#include <cassert>

#include "mathhelper.h"

namespace {

XMVECTOR Direction(const XMFLOAT3& v) { return XMVectorSet(v.x, v.y, v.z, 0.0f); }

}  // namespace

// The view is given a defined value before the first rebuild, though nothing reads it then.
BaseCamera::BaseCamera()
    : mPosition(0.0f, 0.0f, 0.0f),
      mLook(0.0f, 0.0f, 1.0f),
      mUp(0.0f, 1.0f, 0.0f),
      mRight(1.0f, 0.0f, 0.0f),
      mViewDirty(true) {
    XMStoreFloat4x4(&mViewMatrix, XMMatrixIdentity());
}

BaseCamera::BaseCamera(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up) : mViewDirty(true) {
    XMStoreFloat3(&mPosition, position);
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, up);
    XMStoreFloat3(&mRight, XMVector3Cross(up, look));
    XMStoreFloat4x4(&mViewMatrix, XMMatrixIdentity());
}

BaseCamera::~BaseCamera() = default;

void BaseCamera::RebuildView() {
    if (!mViewDirty) return;
    mViewDirty = false;
    assert(IsFiniteNonZero(mLook) && "the look vector is zero or not finite");
    assert(IsFiniteNonZero(mUp) && "the up vector is zero or not finite");
    const XMVECTOR eye = Direction(mPosition);
    const XMVECTOR focus = XMVectorAdd(eye, Direction(mLook));
    XMStoreFloat4x4(&mViewMatrix, XMMatrixLookAtLH(eye, focus, Direction(mUp)));
}

XMVECTOR BaseCamera::GetPosition() const { return Direction(mPosition); }
XMVECTOR BaseCamera::GetLook() const { return Direction(mLook); }
XMVECTOR BaseCamera::GetUp() const { return Direction(mUp); }
XMVECTOR BaseCamera::GetRight() const { return Direction(mRight); }
XMMATRIX BaseCamera::GetView() const { return XMLoadFloat4x4(&mViewMatrix); }

void BaseCamera::SetPosition(FXMVECTOR position) {
    XMStoreFloat3(&mPosition, position);
    mViewDirty = true;
}

void BaseCamera::SetOrientation(FXMVECTOR look, FXMVECTOR up) {
    XMStoreFloat3(&mLook, look);
    XMStoreFloat3(&mUp, up);
    XMStoreFloat3(&mRight, XMVector3Cross(up, look));
    mViewDirty = true;
}
