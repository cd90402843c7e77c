// Portable replacement for the XNA Math API: row vectors (p x M), left-handed, radians.
// Plain scalar C++; the 16-byte alignment is kept so structures match the GPU-side layout.
#pragma once

#include <cmath>

constexpr float XM_PI = 3.141592654f;
constexpr float XM_2PI = 6.283185307f;
constexpr float XM_1DIVPI = 0.318309886f;
constexpr float XM_PIDIV2 = 1.570796327f;
constexpr float XM_PIDIV4 = 0.785398163f;

struct alignas(16) XMVECTOR {
    float m[4];
};

typedef const XMVECTOR FXMVECTOR;
typedef const XMVECTOR GXMVECTOR;
typedef const XMVECTOR HXMVECTOR;
typedef const XMVECTOR& CXMVECTOR;

inline XMVECTOR operator+(FXMVECTOR a, FXMVECTOR b) {
    return {{a.m[0] + b.m[0], a.m[1] + b.m[1], a.m[2] + b.m[2], a.m[3] + b.m[3]}};
}

inline XMVECTOR operator-(FXMVECTOR a, FXMVECTOR b) {
    return {{a.m[0] - b.m[0], a.m[1] - b.m[1], a.m[2] - b.m[2], a.m[3] - b.m[3]}};
}

inline XMVECTOR operator*(FXMVECTOR v, float s) { return {{v.m[0] * s, v.m[1] * s, v.m[2] * s, v.m[3] * s}}; }

inline XMVECTOR operator*(float s, FXMVECTOR v) { return v * s; }

inline XMVECTOR operator/(FXMVECTOR v, float s) { return {{v.m[0] / s, v.m[1] / s, v.m[2] / s, v.m[3] / s}}; }

inline XMVECTOR operator-(FXMVECTOR v) { return v * -1.0f; }

inline XMVECTOR& operator+=(XMVECTOR& a, FXMVECTOR b) { return a = a + b; }
inline XMVECTOR& operator-=(XMVECTOR& a, FXMVECTOR b) { return a = a - b; }
inline XMVECTOR& operator*=(XMVECTOR& v, float s) { return v = v * s; }
inline XMVECTOR& operator/=(XMVECTOR& v, float s) { return v = v / s; }

struct alignas(16) XMMATRIX {
    XMVECTOR r[4];

    XMMATRIX() = default;
    constexpr XMMATRIX(FXMVECTOR r0, FXMVECTOR r1, FXMVECTOR r2, FXMVECTOR r3) : r{r0, r1, r2, r3} {}
    constexpr XMMATRIX(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                       float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33)
        : r{{{m00, m01, m02, m03}}, {{m10, m11, m12, m13}}, {{m20, m21, m22, m23}}, {{m30, m31, m32, m33}}} {}

    float operator()(unsigned row, unsigned col) const { return r[row].m[col]; }
    float& operator()(unsigned row, unsigned col) { return r[row].m[col]; }

    XMMATRIX operator*(const XMMATRIX& b) const;
    XMMATRIX& operator*=(const XMMATRIX& b) { return *this = *this * b; }
};

typedef const XMMATRIX& FXMMATRIX;
typedef const XMMATRIX& CXMMATRIX;

struct XMFLOAT2 {
    float x, y;

    XMFLOAT2() = default;
    constexpr XMFLOAT2(float x_, float y_) : x(x_), y(y_) {}
};

struct XMFLOAT3 {
    float x, y, z;

    XMFLOAT3() = default;
    constexpr XMFLOAT3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

struct XMFLOAT4 {
    float x, y, z, w;

    XMFLOAT4() = default;
    constexpr XMFLOAT4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

struct XMFLOAT4X4 {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };

    XMFLOAT4X4() = default;
    XMFLOAT4X4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
               float m21, float m22, float m23, float m30, float m31, float m32, float m33)
        : m{{m00, m01, m02, m03}, {m10, m11, m12, m13}, {m20, m21, m22, m23}, {m30, m31, m32, m33}} {}

    float operator()(unsigned row, unsigned col) const { return m[row][col]; }
    float& operator()(unsigned row, unsigned col) { return m[row][col]; }
};

// ---------------------------------------------------------------------------
// Scalars

inline float XMScalarSin(float a) { return std::sin(a); }
inline float XMScalarCos(float a) { return std::cos(a); }

inline void XMScalarSinCos(float* pSin, float* pCos, float a) {
    *pSin = std::sin(a);
    *pCos = std::cos(a);
}

constexpr float XMConvertToRadians(float degrees) { return degrees * (XM_PI / 180.0f); }

// ---------------------------------------------------------------------------
// Vector construction and access

inline XMVECTOR XMVectorSet(float x, float y, float z, float w) { return {{x, y, z, w}}; }
inline XMVECTOR XMVectorZero() { return {{0.0f, 0.0f, 0.0f, 0.0f}}; }
inline XMVECTOR XMVectorReplicate(float f) { return {{f, f, f, f}}; }

inline float XMVectorGetX(FXMVECTOR v) { return v.m[0]; }
inline float XMVectorGetY(FXMVECTOR v) { return v.m[1]; }
inline float XMVectorGetZ(FXMVECTOR v) { return v.m[2]; }
inline float XMVectorGetW(FXMVECTOR v) { return v.m[3]; }

inline XMVECTOR XMVectorSetByIndex(XMVECTOR v, float f, unsigned i) {
    v.m[i] = f;
    return v;
}
inline XMVECTOR XMVectorSetX(XMVECTOR v, float f) { return XMVectorSetByIndex(v, f, 0); }
inline XMVECTOR XMVectorSetY(XMVECTOR v, float f) { return XMVectorSetByIndex(v, f, 1); }
inline XMVECTOR XMVectorSetZ(XMVECTOR v, float f) { return XMVectorSetByIndex(v, f, 2); }
inline XMVECTOR XMVectorSetW(XMVECTOR v, float f) { return XMVectorSetByIndex(v, f, 3); }

inline XMVECTOR XMLoadFloat2(const XMFLOAT2* p) { return {{p->x, p->y, 0.0f, 0.0f}}; }
inline XMVECTOR XMLoadFloat3(const XMFLOAT3* p) { return {{p->x, p->y, p->z, 0.0f}}; }
inline XMVECTOR XMLoadFloat4(const XMFLOAT4* p) { return {{p->x, p->y, p->z, p->w}}; }

inline void XMStoreFloat2(XMFLOAT2* p, FXMVECTOR v) { *p = XMFLOAT2(v.m[0], v.m[1]); }
inline void XMStoreFloat3(XMFLOAT3* p, FXMVECTOR v) { *p = XMFLOAT3(v.m[0], v.m[1], v.m[2]); }
inline void XMStoreFloat4(XMFLOAT4* p, FXMVECTOR v) { *p = XMFLOAT4(v.m[0], v.m[1], v.m[2], v.m[3]); }

// ---------------------------------------------------------------------------
// Vector arithmetic

inline XMVECTOR XMVectorAdd(FXMVECTOR a, FXMVECTOR b) { return a + b; }
inline XMVECTOR XMVectorSubtract(FXMVECTOR a, FXMVECTOR b) { return a - b; }
inline XMVECTOR XMVectorScale(FXMVECTOR v, float s) { return v * s; }
inline XMVECTOR XMVectorNegate(FXMVECTOR v) { return -v; }

inline XMVECTOR XMVectorMultiply(FXMVECTOR a, FXMVECTOR b) {
    return {{a.m[0] * b.m[0], a.m[1] * b.m[1], a.m[2] * b.m[2], a.m[3] * b.m[3]}};
}

inline XMVECTOR XMVector3Dot(FXMVECTOR a, FXMVECTOR b) {
    return XMVectorReplicate(a.m[0] * b.m[0] + a.m[1] * b.m[1] + a.m[2] * b.m[2]);
}

inline XMVECTOR XMVector3Cross(FXMVECTOR a, FXMVECTOR b) {
    return {{a.m[1] * b.m[2] - a.m[2] * b.m[1], a.m[2] * b.m[0] - a.m[0] * b.m[2], a.m[0] * b.m[1] - a.m[1] * b.m[0],
             0.0f}};
}

inline XMVECTOR XMVector3Length(FXMVECTOR v) { return XMVectorReplicate(std::sqrt(XMVector3Dot(v, v).m[0])); }

inline XMVECTOR XMVector2Length(FXMVECTOR v) { return XMVectorReplicate(std::sqrt(v.m[0] * v.m[0] + v.m[1] * v.m[1])); }

// Degenerate input yields zero rather than NaN so it cannot poison later maths.
inline XMVECTOR XMVector3Normalize(FXMVECTOR v) {
    const float len = XMVector3Length(v).m[0];
    return len > 0.0f ? v / len : XMVectorZero();
}

inline XMVECTOR XMVector2Normalize(FXMVECTOR v) {
    const float len = XMVector2Length(v).m[0];
    if (!(len > 0.0f)) return XMVectorZero();
    return {{v.m[0] / len, v.m[1] / len, 0.0f, 0.0f}};
}

inline bool XMVector3Equal(FXMVECTOR a, FXMVECTOR b) {
    return a.m[0] == b.m[0] && a.m[1] == b.m[1] && a.m[2] == b.m[2];
}

inline bool XMVector4Equal(FXMVECTOR a, FXMVECTOR b) { return XMVector3Equal(a, b) && a.m[3] == b.m[3]; }

// ---------------------------------------------------------------------------
// Vector transforms (row vector on the left)

inline XMVECTOR XMVector4Transform(FXMVECTOR v, CXMMATRIX m) {
    return m.r[0] * v.m[0] + m.r[1] * v.m[1] + m.r[2] * v.m[2] + m.r[3] * v.m[3];
}

inline XMVECTOR XMVector3TransformNormal(FXMVECTOR v, CXMMATRIX m) {
    return m.r[0] * v.m[0] + m.r[1] * v.m[1] + m.r[2] * v.m[2];
}

inline XMVECTOR XMVector3TransformCoord(FXMVECTOR v, CXMMATRIX m) {
    const XMVECTOR h = XMVector3TransformNormal(v, m) + m.r[3];
    return h / h.m[3];
}

// ---------------------------------------------------------------------------
// Matrix basics

inline XMMATRIX XMLoadFloat4x4(const XMFLOAT4X4* p) {
    const auto& a = p->m;
    return XMMATRIX(a[0][0], a[0][1], a[0][2], a[0][3], a[1][0], a[1][1], a[1][2], a[1][3], a[2][0], a[2][1], a[2][2],
                    a[2][3], a[3][0], a[3][1], a[3][2], a[3][3]);
}

inline void XMStoreFloat4x4(XMFLOAT4X4* p, CXMMATRIX m) {
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j) p->m[i][j] = m(i, j);
}

inline XMMATRIX XMMatrixSet(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                            float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33) {
    return XMMATRIX(m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33);
}

inline XMMATRIX XMMatrixIdentity() { return XMMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1); }

inline XMMATRIX XMMatrixMultiply(CXMMATRIX a, CXMMATRIX b) {
    return XMMATRIX(XMVector4Transform(a.r[0], b), XMVector4Transform(a.r[1], b), XMVector4Transform(a.r[2], b),
                    XMVector4Transform(a.r[3], b));
}

inline XMMATRIX XMMATRIX::operator*(const XMMATRIX& b) const { return XMMatrixMultiply(*this, b); }

inline XMMATRIX XMMatrixTranspose(CXMMATRIX m) {
    XMMATRIX t;
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j) t(i, j) = m(j, i);
    return t;
}

namespace xnamath_detail {
// Signed determinant of the 3x3 minor left after deleting one row and column.
inline float Cofactor(CXMMATRIX m, unsigned row, unsigned col) {
    unsigned r[3], c[3];
    for (unsigned i = 0, ri = 0, ci = 0; i < 4; ++i) {
        if (i != row) r[ri++] = i;
        if (i != col) c[ci++] = i;
    }
    const float minor = m(r[0], c[0]) * (m(r[1], c[1]) * m(r[2], c[2]) - m(r[1], c[2]) * m(r[2], c[1])) -
                        m(r[0], c[1]) * (m(r[1], c[0]) * m(r[2], c[2]) - m(r[1], c[2]) * m(r[2], c[0])) +
                        m(r[0], c[2]) * (m(r[1], c[0]) * m(r[2], c[1]) - m(r[1], c[1]) * m(r[2], c[0]));
    return (row + col) % 2 ? -minor : minor;
}
}  // namespace xnamath_detail

inline XMVECTOR XMMatrixDeterminant(CXMMATRIX m) {
    float det = 0.0f;
    for (unsigned j = 0; j < 4; ++j) det += m(0, j) * xnamath_detail::Cofactor(m, 0, j);
    return XMVectorReplicate(det);
}

// As with the original API, a singular matrix gives non-finite entries; callers
// that can meet one ask for the determinant and check it.
inline XMMATRIX XMMatrixInverse(XMVECTOR* pDeterminant, CXMMATRIX m) {
    const XMVECTOR det = XMMatrixDeterminant(m);
    if (pDeterminant) *pDeterminant = det;
    const float invDet = 1.0f / det.m[0];
    XMMATRIX inv;
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j) inv(j, i) = xnamath_detail::Cofactor(m, i, j) * invDet;
    return inv;
}

// ---------------------------------------------------------------------------
// Affine transforms

inline XMMATRIX XMMatrixScaling(float sx, float sy, float sz) {
    return XMMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixTranslation(float x, float y, float z) {
    return XMMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
}

inline XMMATRIX XMMatrixRotationX(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return XMMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationY(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return XMMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationZ(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return XMMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationNormal(FXMVECTOR n, float a) {
    const float c = std::cos(a), s = std::sin(a), t = 1.0f - c;
    const float x = n.m[0], y = n.m[1], z = n.m[2];
    return XMMATRIX(t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0, t * x * y - s * z, t * y * y + c,
                    t * y * z + s * x, 0, t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationAxis(FXMVECTOR axis, float a) {
    return XMMatrixRotationNormal(XMVector3Normalize(axis), a);
}

// ---------------------------------------------------------------------------
// Camera and projection

inline XMMATRIX XMMatrixLookToLH(FXMVECTOR eye, FXMVECTOR dir, FXMVECTOR up) {
    const XMVECTOR r2 = XMVector3Normalize(dir);
    const XMVECTOR r0 = XMVector3Normalize(XMVector3Cross(up, r2));
    const XMVECTOR r1 = XMVector3Cross(r2, r0);
    return XMMATRIX(r0.m[0], r1.m[0], r2.m[0], 0, r0.m[1], r1.m[1], r2.m[1], 0, r0.m[2], r1.m[2], r2.m[2], 0,
                    -XMVector3Dot(r0, eye).m[0], -XMVector3Dot(r1, eye).m[0], -XMVector3Dot(r2, eye).m[0], 1);
}

inline XMMATRIX XMMatrixLookAtLH(FXMVECTOR eye, FXMVECTOR focus, FXMVECTOR up) {
    return XMMatrixLookToLH(eye, focus - eye, up);
}

inline XMMATRIX XMMatrixOrthographicOffCenterLH(float l, float r, float b, float t, float n, float f) {
    const float depth = 1.0f / (f - n);
    return XMMATRIX(2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0, 0, 0, depth, 0, (l + r) / (l - r),
                    (t + b) / (b - t), -n * depth, 1);
}

inline XMMATRIX XMMatrixOrthographicLH(float width, float height, float n, float f) {
    const float hw = 0.5f * width, hh = 0.5f * height;
    return XMMatrixOrthographicOffCenterLH(-hw, hw, -hh, hh, n, f);
}

inline XMMATRIX XMMatrixPerspectiveFovLH(float fovY, float aspect, float n, float f) {
    const float h = std::cos(0.5f * fovY) / std::sin(0.5f * fovY);
    const float w = h / aspect;
    const float q = f / (f - n);
    return XMMATRIX(w, 0, 0, 0, 0, h, 0, 0, 0, 0, q, 1, 0, 0, -n * q, 0);
}
