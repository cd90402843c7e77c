// Random numbers, random-vector textures and texture arrays built from image files.
#include <d3dutil.h>
#include <xnamath.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "failing_device.h"
#include "test_device.h"
#include "model_files.h"

namespace {

template <typename Texture>
Texture* TextureOf(ID3D11ShaderResourceView* view) {
    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    Texture* texture = nullptr;
    resource->QueryInterface(__uuidof(Texture), reinterpret_cast<void**>(&texture));
    resource->Release();
    return texture;
}

std::vector<float> RandomTexels(TestDevice& gpu, ID3D11ShaderResourceView* view) {
    ID3D11Texture1D* texture = TextureOf<ID3D11Texture1D>(view);
    const std::vector<uint8_t> bytes =
        ReadBack(gpu.device, gpu.context, texture, 0, 1024 * 16, 1, &ID3D11Device::CreateTexture1D);
    texture->Release();
    std::vector<float> texels(bytes.size() / sizeof(float));
    std::memcpy(texels.data(), bytes.data(), bytes.size());
    return texels;
}

TEST(RandFTest, StaysWithinItsRangeOverTheWholeGenerator) {
    std::srand(1);
    float low = 1.0f;
    float high = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float value = RandF();
        low = std::min(low, value);
        high = std::max(high, value);
        const float ranged = RandF(-3.0f, 5.0f);
        ASSERT_GE(ranged, -3.0f);
        ASSERT_LE(ranged, 5.0f);
    }
    EXPECT_GE(low, 0.0f);
    EXPECT_LT(low, 0.001f);
    EXPECT_LE(high, 1.0f);
    EXPECT_GT(high, 0.999f);
}

TEST(RandomTextureTest, HoldsTheGeneratorsSequenceAndRepeatsAfterTheSameSeed) {
    TestDevice gpu;
    std::srand(42);
    ID3D11ShaderResourceView* first = CreateRandomTexture1DSRV(gpu.device);
    std::srand(42);
    ID3D11ShaderResourceView* second = CreateRandomTexture1DSRV(gpu.device);
    std::srand(43);
    ID3D11ShaderResourceView* other = CreateRandomTexture1DSRV(gpu.device);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(other, nullptr);

    D3D11_SHADER_RESOURCE_VIEW_DESC viewDesc = {};
    first->GetDesc(&viewDesc);
    EXPECT_EQ(viewDesc.Format, DXGI_FORMAT_R32G32B32A32_FLOAT);
    EXPECT_EQ(viewDesc.ViewDimension, D3D11_SRV_DIMENSION_TEXTURE1D);
    EXPECT_EQ(viewDesc.Texture1D.MipLevels, 1u);

    const std::vector<float> texels = RandomTexels(gpu, first);
    ASSERT_EQ(texels.size(), 4096u);
    EXPECT_EQ(texels, RandomTexels(gpu, second));
    EXPECT_NE(texels, RandomTexels(gpu, other));

    std::srand(42);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(texels[i], RandF(-1.0f, 1.0f)) << "component " << i;
    EXPECT_TRUE(std::all_of(texels.begin(), texels.end(), [](float v) { return v >= -1.0f && v <= 1.0f; }));

    ReleaseAndClear(first);
    ReleaseAndClear(second);
    ReleaseAndClear(other);
}

class TextureArrayTest : public ::testing::Test {
protected:
    std::wstring Square(const std::string& name, int size, uint32_t rgba) {
        return Wide(dir.WritePng(name, size, size, [rgba](int, int) { return rgba; }));
    }

    TestDevice gpu;
    TempDir dir;
};

const uint32_t kSliceColours[3] = {0xff0000ffu, 0x00ff00ffu, 0x0000ffffu};

TEST_F(TextureArrayTest, OneSlicePerFileWithEveryMipLevel) {
    const std::vector<std::wstring> files = {Square("a.png", 64, kSliceColours[0]),
                                             Square("b.png", 64, kSliceColours[1]),
                                             Square("c.png", 64, kSliceColours[2])};
    ID3D11ShaderResourceView* view = CreateTexture2DArraySRV(gpu.device, gpu.context, files, DXGI_FORMAT_R8G8B8A8_UNORM,
                                                             D3DX11_FILTER_NONE, D3DX11_FILTER_LINEAR);
    ASSERT_NE(view, nullptr);
    ID3D11Texture2D* array = TextureOf<ID3D11Texture2D>(view);
    D3D11_TEXTURE2D_DESC desc = {};
    array->GetDesc(&desc);
    EXPECT_EQ(desc.ArraySize, 3u);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.MipLevels, 1u);  // a PNG file carries one level
    D3D11_SHADER_RESOURCE_VIEW_DESC viewDesc = {};
    view->GetDesc(&viewDesc);
    EXPECT_EQ(viewDesc.ViewDimension, D3D11_SRV_DIMENSION_TEXTURE2DARRAY);
    EXPECT_EQ(viewDesc.Texture2DArray.ArraySize, 3u);
    EXPECT_EQ(viewDesc.Texture2DArray.MipLevels, desc.MipLevels);

    // Every level of every slice holds its file's colour, at the sub-resource level + slice × levels.
    for (UINT slice = 0; slice < 3; ++slice) {
        for (UINT level = 0; level < desc.MipLevels; ++level) {
            const UINT size = std::max(1u, 64u >> level);
            const std::vector<uint8_t> texels = ReadBack(gpu.device, gpu.context, array, level + slice * desc.MipLevels,
                                                         size * 4, size, &ID3D11Device::CreateTexture2D);
            ASSERT_EQ(texels.size(), size * size * 4) << "slice " << slice << " level " << level;
            const uint32_t colour = kSliceColours[slice];
            const uint8_t expected[4] = {uint8_t(colour >> 24), uint8_t(colour >> 16), uint8_t(colour >> 8), 0xff};
            EXPECT_EQ(std::memcmp(texels.data(), expected, 4), 0) << "slice " << slice << " level " << level;
            EXPECT_EQ(std::memcmp(texels.data() + texels.size() - 4, expected, 4), 0);
        }
    }
    array->Release();
    view->Release();
}

TEST_F(TextureArrayTest, AnEmptyListOrFilesThatDoNotMatchGiveNoView) {
    DebugCapture capture;
    EXPECT_EQ(CreateTexture2DArraySRV(gpu.device, gpu.context, {}), nullptr);
    const std::vector<std::wstring> mixed = {Square("big.png", 64, kSliceColours[0]),
                                             Square("small.png", 32, kSliceColours[1])};
    EXPECT_EQ(CreateTexture2DArraySRV(gpu.device, gpu.context, mixed), nullptr);
    EXPECT_TRUE(capture.Contains(L"differ in size"));

    const std::vector<std::wstring> missing = {Square("one.png", 8, kSliceColours[0]), Wide(dir.Path("none.png"))};
    EXPECT_EQ(CreateTexture2DArraySRV(gpu.device, gpu.context, missing), nullptr);
    EXPECT_TRUE(capture.Contains(
        L"D3DX11CreateTextureFromFile(device, filenames[i].c_str(), &loadInfo, 0, (ID3D11Resource**)&srcTex[i], 0)"));
}

// The staging loads succeed; the array itself is refused and reported by its creation call.
TEST_F(TextureArrayTest, ARefusedArrayIsReportedByItsCreationCall) {
    DebugCapture capture;
    TextureRefusingDevice failing(gpu.device, D3D11_BIND_SHADER_RESOURCE);
    const std::vector<std::wstring> files = {Square("a.png", 8, kSliceColours[0])};
    EXPECT_EQ(CreateTexture2DArraySRV(&failing, gpu.context, files), nullptr);
    EXPECT_TRUE(capture.Contains(L"device->CreateTexture2D( &texArrayDesc, 0, &texArray)")) << capture.Text();
}

}  // namespace
