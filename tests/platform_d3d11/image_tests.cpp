#include <SDL2/SDL_image.h>
#include <unistd.h>
#include <d3dx11.h>
#include <cstdio>
#include <string>
#include "d3d11_fixture.h"

namespace d3d11_test {
namespace {

class ImageTest : public D3D11Test {
protected:
    void TearDown() override {
        for (const std::string& file : files) std::remove(file.c_str());
        D3D11Test::TearDown();
    }

    static std::array<uint8_t, 4> Texel(int x, int y) {
        return {uint8_t(40 * x), uint8_t(100 * y), 9, uint8_t(255 - x)};
    }

    // A 3 x 2 PNG whose texels encode their position.
    std::wstring WritePng() {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_ABGR8888);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const auto texel = Texel(x, y);
                std::memcpy(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * 4, texel.data(), 4);
            }
        }
        const std::string path = Temporary("png");
        EXPECT_EQ(IMG_SavePNG(surface, path.c_str()), 0);
        SDL_FreeSurface(surface);
        return std::wstring(path.begin(), path.end());
    }

    std::string Temporary(const char* extension) {
        // Named by process: the sanitizer build's allocator hands out the same addresses in every process.
        files.push_back("/tmp/corvalo_d3dx11_" + std::to_string(getpid()) + "_" + std::to_string(files.size()) + "." +
                        extension);
        return files.back();
    }

    std::vector<std::string> files;
};

TEST_F(ImageTest, LoadsAPngWithItsSizeTexelsOrientationAndMipChain) {
    ID3D11ShaderResourceView* view = nullptr;
    HRESULT reported = E_FAIL;
    ASSERT_EQ(D3DX11CreateShaderResourceViewFromFile(device, WritePng().c_str(), nullptr, nullptr, &view, &reported),
              S_OK);
    EXPECT_EQ(reported, S_OK);
    D3D11_TEXTURE2D_DESC desc = {};
    ID3D11Texture2D* texture = TextureOf(view, &desc);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(desc.Width, 3u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(desc.MipLevels, 2u);
    EXPECT_EQ(desc.Format, DXGI_FORMAT_R8G8B8A8_UNORM);
    const Pixels pixels = ReadBack(context, texture);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixels.At(x, y), Texel(x, y)) << x << "," << y;
    }
    texture->Release();
    view->Release();
}

TEST_F(ImageTest, LoadsIntoAStagingTextureAsTheLoadInfoAsks) {
    D3DX11_IMAGE_LOAD_INFO info;
    D3DX11_IMAGE_INFO source = {};
    info.MipLevels = D3DX11_FROM_FILE;
    info.Usage = D3D11_USAGE_STAGING;
    info.BindFlags = 0;
    info.CpuAccessFlags = D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE;
    info.MiscFlags = 0;
    info.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    info.pSrcInfo = &source;
    ID3D11Resource* resource = nullptr;
    ASSERT_EQ(D3DX11CreateTextureFromFile(device, WritePng().c_str(), &info, nullptr, &resource, nullptr), S_OK);
    EXPECT_EQ(source.Width, 3u);
    EXPECT_EQ(source.ImageFileFormat, D3DX11_IFF_PNG);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    ASSERT_EQ(context->Map(resource, 0, D3D11_MAP_READ, 0, &mapped), S_OK);
    EXPECT_EQ(mapped.RowPitch, 12u);
    const uint8_t* row1 = static_cast<const uint8_t*>(mapped.pData) + mapped.RowPitch;
    EXPECT_EQ(Rgba(row1[8], row1[9], row1[10], row1[11]), Texel(2, 1));
    context->Unmap(resource, 0);
    resource->Release();
}

TEST_F(ImageTest, MissingAndUndecodableFilesGiveTheirCodes) {
    ID3D11ShaderResourceView* view = reinterpret_cast<ID3D11ShaderResourceView*>(1);
    HRESULT reported = S_OK;
    EXPECT_EQ(
        D3DX11CreateShaderResourceViewFromFile(device, L"/nonexistent/none.png", nullptr, nullptr, &view, &reported),
        D3D11_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reported, D3D11_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(view, nullptr);

    const std::string garbage = Temporary("png");
    std::FILE* file = std::fopen(garbage.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("this is not an image at all", file);
    std::fclose(file);
    view = reinterpret_cast<ID3D11ShaderResourceView*>(1);
    const std::wstring wide(garbage.begin(), garbage.end());
    EXPECT_EQ(D3DX11CreateShaderResourceViewFromFile(device, wide.c_str(), nullptr, nullptr, &view, &reported),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(reported, D3DXERR_INVALIDDATA);
    EXPECT_EQ(view, nullptr);
}

}  // namespace
}  // namespace d3d11_test
