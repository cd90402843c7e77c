// The fullscreen picture: black bars, whole factors copied as squares, other scales sharp except at the seams.
#include <array>
#include "d3d11/context.h"
#include "d3d11_fixture.h"
#include "win32/picture_fit.h"
#include "d3d11/resources.h"

using namespace d3d11_test;

namespace {

using Colour = std::array<uint8_t, 4>;
const Colour kColumns[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
const Colour kBlack = {0, 0, 0, 255};

Colour Mix(const Colour& a, const Colour& b) {
    Colour mixed;
    for (int i = 0; i < 4; ++i) mixed[i] = uint8_t((a[i] + b[i] + 1) / 2);
    return mixed;
}

Colour Half(const Colour& c) { return {uint8_t(c[0] / 2), uint8_t(c[1] / 2), uint8_t(c[2] / 2), c[3]}; }

bool Near(const Colour& a, const Colour& b) {
    for (int i = 0; i < 4; ++i) {
        if (std::abs(int(a[i]) - int(b[i])) > 2) return false;
    }
    return true;
}

class PictureScalerTest : public D3D11Test {
protected:
    void TearDown() override {
        SafeRelease(picture);
        SafeRelease(view);
        SafeRelease(target);
        D3D11Test::TearDown();
    }

    // Four columns of their own colour; the bottom row half as bright.
    void MakePicture() {
        Colour texels[8];
        for (int i = 0; i < 8; ++i) texels[i] = i < 4 ? kColumns[i] : Half(kColumns[i - 4]);
        D3D11_TEXTURE2D_DESC desc = {
            4, 2, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_SHADER_RESOURCE, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {texels, 16, 0};
        ASSERT_EQ(device->CreateTexture2D(&desc, &data, &picture), S_OK);
    }

    // The row the picture's pixels land in, shown in a target of the given size.
    std::vector<Colour> ShowRow(int width, int height, int row) {
        MakePicture();
        MakeTarget(UINT(width), UINT(height), &target, &view);
        GLuint framebuffer = 0;
        glCreateFramebuffers(1, &framebuffer);
        glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, platform::TextureOf(target)->name, 0);
        const platform::PictureRect rect = platform::FitPicture(width, height, 4, 2);
        static_cast<platform::Context*>(context)->ShowPicture(*platform::TextureOf(picture), framebuffer, height, rect);
        glDeleteFramebuffers(1, &framebuffer);
        // A window's rows run bottom-up: read upside down, the picture stands upright.
        pixels = ReadBack(context, target);
        std::vector<Colour> colours;
        for (int x = 0; x < width; ++x) colours.push_back(pixels.At(UINT(x), UINT(height - 1 - row)));
        return colours;
    }

    void ExpectRow(const std::vector<Colour>& actual, const std::vector<Colour>& expected) {
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t x = 0; x < actual.size(); ++x) {
            EXPECT_TRUE(Near(actual[x], expected[x]))
                << "column " << x << ": " << int(actual[x][0]) << "," << int(actual[x][1]) << "," << int(actual[x][2]);
        }
    }

    Pixels pixels;
    ID3D11Texture2D* picture = nullptr;
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* view = nullptr;
};

TEST_F(PictureScalerTest, WholeFactorsCopyPixelsAsSquaresBetweenBlackBars) {
    const auto& [c0, c1, c2, c3] = kColumns;
    ExpectRow(ShowRow(10, 4, 1), {kBlack, c0, c0, c1, c1, c2, c2, c3, c3, kBlack});
    std::vector<Colour> bottom;
    for (UINT x = 0; x < 10; ++x) bottom.push_back(pixels.At(x, 0));
    ExpectRow(bottom, {kBlack, Half(c0), Half(c0), Half(c1), Half(c1), Half(c2), Half(c2), Half(c3), Half(c3), kBlack});
}

TEST_F(PictureScalerTest, OtherScalesStaySharpAndBlendOnlyAtTheSeams) {
    const auto& [c0, c1, c2, c3] = kColumns;
    // 2.5 times: enlarged three times, then smoothed down; plain smoothing would blend most columns.
    ExpectRow(ShowRow(12, 5, 0), {kBlack, c0, c0, Mix(c0, c1), c1, c1, c2, c2, Mix(c2, c3), c3, c3, kBlack});
}

TEST_F(PictureScalerTest, ScreensSmallerThanThePictureAreSmoothedDown) {
    const auto& [c0, c1, c2, c3] = kColumns;
    const std::vector<Colour> row = ShowRow(2, 1, 0);
    ExpectRow(row, {Mix(Mix(c0, c1), Half(Mix(c0, c1))), Mix(Mix(c2, c3), Half(Mix(c2, c3)))});
}

}  // namespace
