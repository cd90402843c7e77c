#pragma once
#include <d3d11.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>
#include <platform_hooks.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// A private folder for the OBJ, material and image files a test writes; removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvalo_models_XXXXXX").string();
        mPath = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return mPath + "/" + name; }

    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    // rgba(x, y) gives a texel as 0xRRGGBBAA.
    std::string WritePng(const std::string& name, int width, int height,
                         const std::function<uint32_t(int, int)>& rgba) const {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
        for (int y = 0; y < height; ++y) {
            auto* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
            for (int x = 0; x < width; ++x) {
                const uint32_t texel = rgba(x, y);
                for (int c = 0; c < 4; ++c) row[x * 4 + c] = static_cast<uint8_t>(texel >> (24 - 8 * c));
            }
        }
        IMG_SavePNG(surface, Path(name).c_str());
        SDL_FreeSurface(surface);
        return Path(name);
    }

private:
    std::string mPath;
};

inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Collects the debugger output and answers failed-call boxes with "No" while it lives.
class DebugCapture {
public:
    DebugCapture() {
        platform::SetDebugOutputHook([this](const std::wstring& text) { mText += text; });
        platform::SetMessageBoxHook([](const platform::MessageBoxRequest&) { return IDNO; });
    }
    ~DebugCapture() {
        platform::SetDebugOutputHook(nullptr);
        platform::SetMessageBoxHook(nullptr);
    }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    const std::wstring& Text() const { return mText; }
    bool Contains(const std::wstring& part) const { return mText.find(part) != std::wstring::npos; }

private:
    std::wstring mText;
};

// Copies a texture to a CPU-readable twin and returns the bytes of one sub-resource, rowBytes per row.
template <typename Texture, typename Desc>
std::vector<uint8_t> ReadBack(ID3D11Device* device, ID3D11DeviceContext* context, Texture* texture, UINT subresource,
                              UINT rowBytes, UINT rows,
                              HRESULT (ID3D11Device::*create)(const Desc*, const D3D11_SUBRESOURCE_DATA*, Texture**)) {
    Desc desc = {};
    texture->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    Texture* staging = nullptr;
    EXPECT_TRUE(SUCCEEDED((device->*create)(&desc, nullptr, &staging)));
    if (!staging) return {};
    context->CopyResource(staging, texture);

    std::vector<uint8_t> bytes;
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    if (SUCCEEDED(context->Map(staging, subresource, D3D11_MAP_READ, 0, &mapped))) {
        for (UINT row = 0; row < rows; ++row) {
            const auto* begin = static_cast<const uint8_t*>(mapped.pData) + row * mapped.RowPitch;
            bytes.insert(bytes.end(), begin, begin + rowBytes);
        }
        context->Unmap(staging, subresource);
    }
    staging->Release();
    return bytes;
}
