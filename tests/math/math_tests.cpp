#include <xnamath.h>

#include <gtest/gtest.h>

namespace {
constexpr float kTol = 1e-5f;

void ExpectVec(FXMVECTOR v, float x, float y, float z, float w, float tol = kTol) {
    EXPECT_NEAR(XMVectorGetX(v), x, tol);
    EXPECT_NEAR(XMVectorGetY(v), y, tol);
    EXPECT_NEAR(XMVectorGetZ(v), z, tol);
    EXPECT_NEAR(XMVectorGetW(v), w, tol);
}

void ExpectMat(CXMMATRIX a, CXMMATRIX b, float tol = kTol) {
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j) EXPECT_NEAR(a(i, j), b(i, j), tol) << "at (" << i << ", " << j << ")";
}

const XMMATRIX kCounting(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
// Block diagonal: [[1,2],[3,4]] (det -2) and [[2,1],[1,1]] (det 1).
const XMMATRIX kBlocks(1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 2, 1, 0, 0, 1, 1);
}  // namespace

TEST(MathLayout, TypesAreSixteenByteAligned) {
    EXPECT_EQ(alignof(XMVECTOR), 16u);
    EXPECT_EQ(sizeof(XMVECTOR), 16u);
    EXPECT_EQ(alignof(XMMATRIX), 16u);
    EXPECT_EQ(sizeof(XMMATRIX), 64u);
    EXPECT_EQ(sizeof(XMFLOAT4X4), 64u);
}

TEST(MathStorage, RecordsRoundTripAndAlias) {
    XMFLOAT3 zero{};
    EXPECT_EQ(zero.x + zero.y + zero.z, 0.0f);

    XMFLOAT4X4 f(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(f._23, 7.0f);
    EXPECT_EQ(f(1, 2), 7.0f);
    EXPECT_EQ(f._41, 13.0f);

    XMFLOAT4X4 back;
    XMStoreFloat4x4(&back, XMMatrixTranspose(XMLoadFloat4x4(&f)));
    EXPECT_EQ(back._32, 7.0f);
    EXPECT_EQ(back.m[0][3], 13.0f);

    const XMFLOAT2 p(3, 4);
    ExpectVec(XMLoadFloat2(&p), 3, 4, 0, 0);
    XMFLOAT3 q;
    XMStoreFloat3(&q, XMVectorSet(1, 2, 3, 9));
    EXPECT_EQ(q.z, 3.0f);
}

TEST(MathVector, OperatorsAndProducts) {
    XMVECTOR a = XMVectorSet(1, 2, 3, 4);
    const XMVECTOR b = XMVectorSet(4, 5, 6, 7);
    ExpectVec(a + b, 5, 7, 9, 11);
    ExpectVec(b - a, 3, 3, 3, 3);
    ExpectVec(2.0f * a / 4.0f, 0.5f, 1, 1.5f, 2);
    ExpectVec(-a, -1, -2, -3, -4);
    a += b;
    a *= 2.0f;
    ExpectVec(a, 10, 14, 18, 22);

    ExpectVec(XMVector3Dot(XMVectorSet(1, 2, 3, 100), b), 32, 32, 32, 32);
    ExpectVec(XMVector3Length(XMVectorSet(3, 4, 12, 7)), 13, 13, 13, 13);
    ExpectVec(XMVector2Length(XMVectorSet(3, 4, 12, 7)), 5, 5, 5, 5);
}

TEST(MathVector, CrossProductIsLeftHandedConvention) {
    ExpectVec(XMVector3Cross(XMVectorSet(1, 0, 0, 5), XMVectorSet(0, 1, 0, 5)), 0, 0, 1, 0);
    ExpectVec(XMVector3Cross(XMVectorSet(0, 1, 0, 0), XMVectorSet(1, 0, 0, 0)), 0, 0, -1, 0);
    ExpectVec(XMVector3Cross(XMVectorSet(1, 2, 3, 0), XMVectorSet(4, 5, 6, 0)), -3, 6, -3, 0);
}

TEST(MathVector, NormalisationHandlesZero) {
    ExpectVec(XMVector3Normalize(XMVectorSet(3, 0, 4, 0)), 0.6f, 0, 0.8f, 0);
    ExpectVec(XMVector2Normalize(XMVectorSet(3, 4, 7, 9)), 0.6f, 0.8f, 0, 0);
    EXPECT_TRUE(XMVector4Equal(XMVector3Normalize(XMVectorZero()), XMVectorZero()));
    EXPECT_TRUE(XMVector4Equal(XMVector2Normalize(XMVectorSet(0, 0, 5, 5)), XMVectorZero()));
}

TEST(MathMatrix, MultiplyAndTranspose) {
    // Row i of A x A^T holds dot(row i, row j).
    const XMMATRIX p = kCounting * XMMatrixTranspose(kCounting);
    ExpectVec(p.r[0], 30, 70, 110, 150);
    EXPECT_FLOAT_EQ(p(1, 1), 174);
    EXPECT_FLOAT_EQ(p(2, 1), 278);
    EXPECT_FLOAT_EQ(p(3, 3), 846);

    // Scale then translate leaves the offset alone; the other order scales it.
    const XMMATRIX s = XMMatrixScaling(2, 3, 4), t = XMMatrixTranslation(1, 2, 3);
    ExpectVec(XMMatrixMultiply(s, t).r[3], 1, 2, 3, 1);
    ExpectVec(XMMatrixMultiply(t, s).r[3], 2, 6, 12, 1);
    ExpectVec(XMMatrixMultiply(t, s).r[1], 0, 3, 0, 0);
}

TEST(MathMatrix, DeterminantAndInverse) {
    ExpectVec(XMMatrixDeterminant(kCounting), 0, 0, 0, 0);
    ExpectVec(XMMatrixDeterminant(kBlocks), -2, -2, -2, -2);

    XMVECTOR det = XMVectorZero();
    const XMMATRIX inv = XMMatrixInverse(&det, kBlocks);
    EXPECT_FLOAT_EQ(XMVectorGetX(det), -2);
    ExpectMat(inv, XMMATRIX(-2, 1, 0, 0, 1.5f, -0.5f, 0, 0, 0, 0, 1, -1, 0, 0, -1, 2));

    const XMMATRIX dense(2, 1, 0, 3, 1, 3, 2, 0, 0, 1, 4, 1, 1, 0, 1, 5);
    const XMMATRIX denseInv = XMMatrixInverse(nullptr, dense);
    ExpectMat(dense * denseInv, XMMatrixIdentity());
    ExpectMat(denseInv * dense, XMMatrixIdentity());
}

TEST(MathRotation, AxesTurnTheLeftHandedWay) {
    ExpectVec(XMVector3TransformNormal(XMVectorSet(1, 0, 0, 0), XMMatrixRotationZ(XM_PIDIV2)), 0, 1, 0, 0);
    ExpectVec(XMVector3TransformNormal(XMVectorSet(0, 1, 0, 0), XMMatrixRotationX(XM_PIDIV2)), 0, 0, 1, 0);
    ExpectVec(XMVector3TransformNormal(XMVectorSet(0, 0, 1, 0), XMMatrixRotationY(XM_PIDIV2)), 1, 0, 0, 0);
}

TEST(MathRotation, AxisRotationMatchesCardinalAndDiagonal) {
    ExpectMat(XMMatrixRotationAxis(XMVectorSet(0, 2, 0, 0), 0.7f), XMMatrixRotationY(0.7f));
    ExpectMat(XMMatrixRotationNormal(XMVectorSet(1, 0, 0, 0), -1.2f), XMMatrixRotationX(-1.2f));

    // A third of a turn about (1,1,1) cycles x -> y -> z.
    const XMMATRIX cycle = XMMatrixRotationAxis(XMVectorSet(1, 1, 1, 0), XM_2PI / 3);
    ExpectVec(XMVector3TransformNormal(XMVectorSet(1, 0, 0, 0), cycle), 0, 1, 0, 0);
    ExpectVec(XMVector3TransformNormal(XMVectorSet(0, 1, 0, 0), cycle), 0, 0, 1, 0);
}

TEST(MathCamera, LookAtAndLookTo) {
    const XMVECTOR up = XMVectorSet(0, 1, 0, 0);
    ExpectMat(XMMatrixLookAtLH(XMVectorZero(), XMVectorSet(0, 0, 1, 0), up), XMMatrixIdentity());

    const XMVECTOR eye = XMVectorSet(0, 0, -0.5f, 0);
    const XMMATRIX back = XMMatrixLookAtLH(eye, XMVectorZero(), up);
    ExpectMat(back, XMMatrixTranslation(0, 0, 0.5f));
    ExpectMat(XMMatrixLookToLH(eye, XMVectorSet(0, 0, 3, 0), up), back);

    // Facing +x, the old forward (+z) lies to the left.
    const XMMATRIX east = XMMatrixLookAtLH(XMVectorZero(), XMVectorSet(1, 0, 0, 0), up);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(0, 0, 1, 0), east), -1, 0, 0, 1);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(2, 0, 0, 0), east), 0, 0, 2, 1);
}

TEST(MathProjection, ScreenOrthographicMapsCorners) {
    const XMMATRIX ortho = XMMatrixOrthographicOffCenterLH(0, 1024, 0, 768, 0.0001f, 1000);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(0, 0, 0.0001f, 1), ortho), -1, -1, 0, 1);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(1024, 768, 0.0001f, 1), ortho), 1, 1, 0, 1);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(512, 384, 1000, 1), ortho), 0, 0, 1, 1);

    ExpectMat(XMMatrixOrthographicLH(4, 2, 1, 3), XMMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.5f, 0, 0, 0, -0.5f, 1));
}

TEST(MathProjection, PerspectiveDividesByDepth) {
    const XMMATRIX proj = XMMatrixPerspectiveFovLH(XM_PIDIV2, 1, 1, 11);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(1, 1, 1, 0), proj), 1, 1, 0, 1);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(2, 2, 11, 0), proj), 2.0f / 11, 2.0f / 11, 1, 1);
}

TEST(MathTransform, NormalIgnoresTranslationCoordAndVector4DoNot) {
    const XMMATRIX t = XMMatrixTranslation(5, 6, 7);
    ExpectVec(XMVector3TransformNormal(XMVectorSet(1, 2, 3, 1), t), 1, 2, 3, 0);
    ExpectVec(XMVector3TransformCoord(XMVectorSet(1, 2, 3, 0), t), 6, 8, 10, 1);
    ExpectVec(XMVector4Transform(XMVectorSet(1, 2, 3, 2), t), 11, 14, 17, 2);
}
