#include "basecamera.h"

#include <cassert>

#include "mathhelper.h"

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
    Orientation().SetPosition(position);
    Orientation().SetOrientation(look, up);
    XMStoreFloat4x4(&mViewMatrix, XMMatrixIdentity());
}

BaseCamera::~BaseCamera() = default;

void BaseCamera::RebuildView() {
    if (!mViewDirty) return;
    mViewDirty = false;
    assert(IsFiniteNonZero(mLook) && "the look vector is zero or not finite");
    assert(IsFiniteNonZero(mUp) && "the up vector is zero or not finite");
    const XMVECTOR eye = XMLoadFloat3(&mPosition);
    const XMVECTOR focus = XMVectorAdd(eye, XMLoadFloat3(&mLook));
    XMStoreFloat4x4(&mViewMatrix, XMMatrixLookAtLH(eye, focus, XMLoadFloat3(&mUp)));
}

XMVECTOR BaseCamera::GetPosition() const { return XMLoadFloat3(&mPosition); }
XMVECTOR BaseCamera::GetLook() const { return XMLoadFloat3(&mLook); }
XMVECTOR BaseCamera::GetUp() const { return XMLoadFloat3(&mUp); }
XMVECTOR BaseCamera::GetRight() const { return XMLoadFloat3(&mRight); }
XMMATRIX BaseCamera::GetView() const { return XMLoadFloat4x4(&mViewMatrix); }

void BaseCamera::SetPosition(FXMVECTOR position) { Orientation().SetPosition(position); }

void BaseCamera::SetOrientation(FXMVECTOR look, FXMVECTOR up) { Orientation().SetOrientation(look, up); }
