#pragma once
#include <xnamath.h>

#include "orientationframe.h"

// A position and an orientation frame (look, up, right = up × look) turned into a left-handed view matrix on demand.
class BaseCamera {
public:
    BaseCamera();
    BaseCamera(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up);
    virtual ~BaseCamera();

    // Rebuilds the view only when something changed since the last rebuild.
    virtual void RebuildView();

    XMVECTOR GetPosition() const;
    XMVECTOR GetLook() const;
    XMVECTOR GetUp() const;
    XMVECTOR GetRight() const;
    XMMATRIX GetView() const;
    void SetPosition(FXMVECTOR position);
    void SetOrientation(FXMVECTOR look, FXMVECTOR up);

protected:
    OrientationFrame Orientation() { return {mPosition, mLook, mUp, mRight, mViewDirty}; }

    XMFLOAT3 mPosition;
    XMFLOAT3 mLook;
    XMFLOAT3 mUp;
    XMFLOAT3 mRight;
    XMFLOAT4X4 mViewMatrix;
    bool mViewDirty;
};
