#pragma once
#include <xnamath.h>

// The matrix that carries normals through a world matrix: its translation row is dropped first, since directions
// are not translated, then the inverse is transposed.
inline XMMATRIX InverseTranspose(CXMMATRIX m) {
    XMMATRIX a = m;
    a.r[3] = XMVectorSet(0.0f, 0.0f, 0.0f, 1.0f);
    XMVECTOR determinant = XMMatrixDeterminant(a);
    return XMMatrixTranspose(XMMatrixInverse(&determinant, a));
}
