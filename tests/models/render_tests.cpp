// A textured cube loaded from OBJ, material and PNG files, drawn through the lit effect, read back pixel by pixel.
#include <basicmodel.h>
#include <d3dutil.h>
#include <effect.h>
#include <graphicalobject.h>
#include <vertex.h>

#include <gtest/gtest.h>

#include <sstream>

#include "test_device.h"
#include "model_files.h"

namespace {

constexpr UINT kSize = 64;
constexpr uint32_t kRed = 0xff0000ffu;
constexpr uint32_t kBlue = 0x0000ffffu;

struct Face {
    XMVECTOR normal;
    XMVECTOR up;
};

// Each face is wound clockwise as seen from outside, with u running to the viewer's right and v downwards.
std::string CubeObj(const std::string& mtl) {
    const Face faces[6] = {
        {XMVectorSet(0, 0, -1, 0), XMVectorSet(0, 1, 0, 0)}, {XMVectorSet(0, 0, 1, 0), XMVectorSet(0, 1, 0, 0)},
        {XMVectorSet(-1, 0, 0, 0), XMVectorSet(0, 1, 0, 0)}, {XMVectorSet(1, 0, 0, 0), XMVectorSet(0, 1, 0, 0)},
        {XMVectorSet(0, 1, 0, 0), XMVectorSet(0, 0, 1, 0)},  {XMVectorSet(0, -1, 0, 0), XMVectorSet(0, 0, 1, 0)}};
    std::ostringstream obj;
    obj << "mtllib " << mtl << "\nvt 0 1\nvt 0 0\nvt 1 0\nvt 1 1\nusemtl Halves\n";
    int face = 0;
    for (const Face& f : faces) {
        const XMVECTOR right = XMVector3Cross(f.up, -f.normal);
        const XMVECTOR corners[4] = {f.normal - right - f.up, f.normal - right + f.up, f.normal + right + f.up,
                                     f.normal + right - f.up};
        for (const XMVECTOR& c : corners) obj << "v " << c.m[0] << ' ' << c.m[1] << ' ' << c.m[2] << '\n';
        obj << "vn " << f.normal.m[0] << ' ' << f.normal.m[1] << ' ' << f.normal.m[2] << '\n';
        const int base = face * 4;
        ++face;
        obj << "f";
        for (int k = 1; k <= 4; ++k) obj << ' ' << base + k << '/' << k << '/' << face;
        obj << '\n';
    }
    return obj.str();
}

class CubeRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(target.Create(gpu.device, kSize, kSize, false));

        effect.LoadFromFile(L"FX/lighting.fx", gpu.device);
        ASSERT_NE(effect.GetTechnique(), nullptr);
        CreateNormalTexLayout(gpu.device, effect.GetTechnique());
        ASSERT_NE(mNormalTexVertLayout, nullptr);
    }

    void TearDown() override { DestroyAllLayouts(); }

    // Draws the object into the cleared target from a camera at z = -5 looking at the origin.
    std::vector<uint8_t> Draw(GraphicalObject& object) {
        const float background[4] = {0.0f, 0.5f, 0.0f, 1.0f};
        gpu.context->ClearRenderTargetView(target.View(), background);
        target.Bind(gpu.context);
        gpu.context->IASetInputLayout(mNormalTexVertLayout);
        gpu.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);

        const XMVECTOR eye = XMVectorSet(0, 0, -5, 0);
        PointLight point;
        SpotLight spot;
        effect.SetPerFrame(XMVectorSet(1, 1, 1, 1), eye, &point, &spot);
        const XMMATRIX view = XMMatrixLookAtLH(eye, XMVectorZero(), XMVectorSet(0, 1, 0, 0));
        const XMMATRIX proj = XMMatrixPerspectiveFovLH(XM_PIDIV4, 1.0f, 1.0f, 100.0f);
        object.RebuildWorld();
        object.DrawModel(gpu.context, XMMatrixMultiply(view, proj));
        return ReadBack(gpu.device, gpu.context, target.Texture(), 0, kSize * 4, kSize, &ID3D11Device::CreateTexture2D);
    }

    static uint32_t Pixel(const std::vector<uint8_t>& pixels, UINT x, UINT y) {
        const uint8_t* p = pixels.data() + (y * kSize + x) * 4;
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }

    TestDevice gpu;
    TempDir dir;
    LitTexEffect effect;
    OffscreenTarget target;
};

TEST_F(CubeRenderTest, TheCameraSeesTheCubesTextureWhereTheCubeIs) {
    const std::string png = dir.WritePng("halves.png", 8, 8, [](int x, int) { return x < 4 ? kRed : kBlue; });
    const std::string mtl = dir.Write("cube.mtl", "newmtl Halves\nmap_Kd " + png + "\n");
    const std::string obj = dir.Write("cube.obj", CubeObj(mtl));
    BasicModel model(gpu.device, &effect, Wide(obj), false, false);
    ASSERT_EQ(model.GetIndices().size(), 36u);

    GraphicalObject cube(XMVectorZero(), XMVectorSet(0, 0, 1, 0), XMVectorSet(0, 1, 0, 0), model);
    std::vector<uint8_t> pixels = Draw(cube);
    ASSERT_EQ(pixels.size(), kSize * kSize * 4);
    // The front face spans about pixels 13 to 51 each way; row 0 is the top of the image.
    EXPECT_EQ(Pixel(pixels, 20, 32), kRed);
    EXPECT_EQ(Pixel(pixels, 44, 32), kBlue);
    EXPECT_EQ(Pixel(pixels, 20, 16), kRed);
    EXPECT_EQ(Pixel(pixels, 2, 2), 0x008000ffu);
    EXPECT_EQ(Pixel(pixels, 61, 32), 0x008000ffu);

    // Moved right by half a face, the cube's red half now covers the middle.
    cube.MoveAlongRight(1.0f);
    pixels = Draw(cube);
    EXPECT_EQ(Pixel(pixels, 38, 32), kRed);
    EXPECT_EQ(Pixel(pixels, 12, 32), 0x008000ffu);
}

}  // namespace
