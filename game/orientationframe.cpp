#include "orientationframe.h"

#include <cassert>

#include "mathhelper.h"

void OrientationFrame::SetPosition(FXMVECTOR newPosition) const {
    XMStoreFloat3(&position, newPosition);
    dirty = true;
}

void OrientationFrame::SetOrientation(FXMVECTOR newLook, FXMVECTOR newUp) const {
    XMStoreFloat3(&look, newLook);
    XMStoreFloat3(&up, newUp);
    XMStoreFloat3(&right, XMVector3Cross(newUp, newLook));
    dirty = true;
}

void OrientationFrame::MoveAlong(const XMFLOAT3& axis, float distance) const {
    XMStoreFloat3(&position, XMVectorAdd(XMLoadFloat3(&position), XMVectorScale(XMLoadFloat3(&axis), distance)));
    dirty = true;
}

void OrientationFrame::TurnAbout(const XMFLOAT3& axis, XMFLOAT3& turned, XMFLOAT3& recomputed, float angle) const {
    assert(IsFiniteNonZero(axis) && "the rotation axis is zero or not finite");
    const XMMATRIX r = XMMatrixRotationNormal(XMVector3Normalize(XMLoadFloat3(&axis)), angle);
    const XMVECTOR turnedNow = XMVector3TransformNormal(XMLoadFloat3(&turned), r);
    XMStoreFloat3(&turned, turnedNow);
    XMStoreFloat3(&recomputed, XMVector3Normalize(XMVector3Cross(turnedNow, XMLoadFloat3(&axis))));
    dirty = true;
}

void OrientationFrame::TurnAboutWorldY(float angle) const {
    const XMMATRIX r = XMMatrixRotationY(angle);
    const XMVECTOR rightNow = XMVector3TransformNormal(XMLoadFloat3(&right), r);
    const XMVECTOR lookNow = XMVector3TransformNormal(XMLoadFloat3(&look), r);
    XMStoreFloat3(&right, rightNow);
    XMStoreFloat3(&look, lookNow);
    XMStoreFloat3(&up, XMVector3Normalize(XMVector3Cross(lookNow, rightNow)));
    dirty = true;
}
