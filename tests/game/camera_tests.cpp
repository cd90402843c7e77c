#include <basecamera.h>
#include <fpscamera.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

void ExpectMatrix(CXMMATRIX actual, CXMMATRIX expected) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual(r, c), expected(r, c), 1e-5f) << r << "," << c;
    }
}

void ExpectVector(FXMVECTOR actual, float x, float y, float z) {
    EXPECT_NEAR(XMVectorGetX(actual), x, 1e-5f);
    EXPECT_NEAR(XMVectorGetY(actual), y, 1e-5f);
    EXPECT_NEAR(XMVectorGetZ(actual), z, 1e-5f);
}

TEST(BaseCamera, DefaultCameraSeesTheIdentity) {
    BaseCamera camera;
    camera.RebuildView();
    ExpectMatrix(camera.GetView(), XMMatrixIdentity());
}

TEST(BaseCamera, GameCameraMovesTheWorldHalfAUnitIn) {
    BaseCamera camera(XMVectorSet(0, 0, -0.5f, 0), XMVectorSet(0, 0, 1, 0), XMVectorSet(0, 1, 0, 0));
    ExpectVector(camera.GetRight(), 1, 0, 0);
    camera.RebuildView();
    ExpectMatrix(camera.GetView(), XMMatrixTranslation(0, 0, 0.5f));
}

TEST(BaseCamera, ViewChangesOnlyAtRebuild) {
    BaseCamera camera;
    camera.RebuildView();
    camera.SetPosition(XMVectorSet(1, 2, 3, 0));
    ExpectMatrix(camera.GetView(), XMMatrixIdentity());
    camera.RebuildView();
    ExpectMatrix(camera.GetView(), XMMatrixTranslation(-1, -2, -3));
    camera.RebuildView();
    ExpectMatrix(camera.GetView(), XMMatrixTranslation(-1, -2, -3));
}

TEST(FPSCamera, MovesAlongItsOwnAxes) {
    FPSCamera camera;
    camera.MoveAlongLook(2);
    ExpectVector(camera.GetPosition(), 0, 0, 2);
    camera.MoveAlongRight(-1);
    ExpectVector(camera.GetPosition(), -1, 0, 2);
}

TEST(FPSCamera, ZeroRotationsKeepTheFrame) {
    FPSCamera camera;
    camera.RotateAboutWorldY(0);
    camera.RotateAboutUp(0);
    camera.RotateAboutRight(0);
    camera.RotateAboutLook(0);
    ExpectVector(camera.GetLook(), 0, 0, 1);
    ExpectVector(camera.GetUp(), 0, 1, 0);
    ExpectVector(camera.GetRight(), 1, 0, 0);
}

TEST(FPSCamera, QuarterTurnAboutWorldYKeepsRightEqualUpCrossLook) {
    FPSCamera camera;
    camera.RotateAboutWorldY(XM_PIDIV2);
    ExpectVector(camera.GetLook(), 1, 0, 0);
    ExpectVector(camera.GetRight(), 0, 0, -1);
    ExpectVector(camera.GetUp(), 0, 1, 0);
    const XMVECTOR cross = XMVector3Cross(camera.GetUp(), camera.GetLook());
    ExpectVector(cross, XMVectorGetX(camera.GetRight()), XMVectorGetY(camera.GetRight()),
                 XMVectorGetZ(camera.GetRight()));
}

TEST(FPSCamera, TurnsAboutItsOwnAxesWithTheSameHandedness) {
    FPSCamera camera;
    camera.RotateAboutUp(XM_PIDIV2);  // the same turn as about the world's y while up is +y
    ExpectVector(camera.GetLook(), 1, 0, 0);
    FPSCamera pitched;
    pitched.RotateAboutRight(XM_PIDIV2);  // look tips down toward -y
    ExpectVector(pitched.GetLook(), 0, -1, 0);
    ExpectVector(pitched.GetUp(), 0, 0, 1);
    FPSCamera rolled;
    rolled.RotateAboutLook(XM_PIDIV2);
    ExpectVector(rolled.GetUp(), -1, 0, 0);
    ExpectVector(rolled.GetRight(), 0, 1, 0);
}

// Release builds go on with whatever the math layer makes of such a frame.
TEST(CameraDeathTest, ZeroOrNonFiniteFramesAreCaughtInDebugBuilds) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const XMVECTOR look = XMVectorSet(0, 0, 1, 0);
    const XMVECTOR up = XMVectorSet(0, 1, 0, 0);
    for (const XMVECTOR bad : {XMVectorZero(), XMVectorSet(inf, 0, 0, 0), XMVectorSet(0, nan, 1, 0)}) {
        BaseCamera badLook(XMVectorZero(), bad, up);
        EXPECT_DEBUG_DEATH(badLook.RebuildView(), "look vector");
        BaseCamera badUp(XMVectorZero(), look, bad);
        EXPECT_DEBUG_DEATH(badUp.RebuildView(), "up vector");
    }

    FPSCamera noLook;
    noLook.SetOrientation(XMVectorZero(), up);  // right = up x look is zero too
    EXPECT_DEBUG_DEATH(noLook.RotateAboutRight(1.0f), "rotation axis");
    EXPECT_DEBUG_DEATH(noLook.RotateAboutLook(1.0f), "rotation axis");
    FPSCamera noUp;
    noUp.SetOrientation(look, XMVectorZero());
    EXPECT_DEBUG_DEATH(noUp.RotateAboutUp(1.0f), "rotation axis");
}

TEST(ScreenProjection, MapsTheClientAreaOntoClipSpace) {
    const XMMATRIX proj = XMMatrixOrthographicOffCenterLH(0, 1024, 0, 768, 0.0001f, 1000);
    const XMVECTOR lowerLeft = XMVector3TransformCoord(XMVectorSet(0, 0, 0.0001f, 1), proj);
    const XMVECTOR upperRight = XMVector3TransformCoord(XMVectorSet(1024, 768, 1000, 1), proj);
    ExpectVector(lowerLeft, -1, -1, 0);
    ExpectVector(upperRight, 1, 1, 1);
}

}  // namespace
