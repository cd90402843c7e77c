#pragma once
#include <xnamath.h>

#include <cmath>

// What the math layer needs of a direction it normalises or builds a frame from.
inline bool IsFiniteNonZero(const XMFLOAT3& v) {
    const bool finite = std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    return finite && (v.x != 0.0f || v.y != 0.0f || v.z != 0.0f);
}

// The matrix that carries normals through a world matrix: its translation row is dropped first, since directions
// are not translated, then the inverse is transposed.
inline XMMATRIX InverseTranspose(CXMMATRIX m) {
    XMMATRIX a = m;
    a.r[3] = XMVectorSet(0.0f, 0.0f, 0.0f, 1.0f);
    XMVECTOR determinant = XMMatrixDeterminant(a);
    return XMMatrixTranspose(XMMatrixInverse(&determinant, a));
}
