#include <SDL2/SDL_image.h>
#include <list>
#include <memory>
#include <mutex>
#include <vector>
#include "d3dx11.h"
#include "platform_files.h"
#include "platform_text.h"

namespace platform {
namespace {

bool FromFile(UINT value) { return value == D3DX11_DEFAULT || value == D3DX11_FROM_FILE || value == 0; }

UINT FullChain(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT size = width > height ? width : height; size > 1; size >>= 1) ++levels;
    return levels;
}

// SDL's packed formats named by component order in a 32-bit word; on little-endian machines
// ABGR8888 is the bytes R, G, B, A and ARGB8888 the bytes B, G, R, A.
bool SdlFormatFor(DXGI_FORMAT format, Uint32* sdlFormat) {
    switch (format) {
    case DXGI_FORMAT_R8G8B8A8_UNORM:
    case DXGI_FORMAT_R8G8B8A8_UNORM_SRGB:
        *sdlFormat = SDL_PIXELFORMAT_ABGR8888;
        return true;
    case DXGI_FORMAT_B8G8R8A8_UNORM:
        *sdlFormat = SDL_PIXELFORMAT_ARGB8888;
        return true;
    default:
        return false;
    }
}

struct Image {
    UINT width = 0, height = 0;
    std::vector<uint8_t> pixels;  // rows top-first, 4 bytes a texel, no padding
    D3DX11_IMAGE_FILE_FORMAT fileFormat = D3DX11_IFF_PNG;
};

D3DX11_IMAGE_FILE_FORMAT FileFormatOf(SDL_RWops* file) {
    if (IMG_isPNG(file)) return D3DX11_IFF_PNG;
    if (IMG_isJPG(file)) return D3DX11_IFF_JPG;
    if (IMG_isBMP(file)) return D3DX11_IFF_BMP;
    if (IMG_isGIF(file)) return D3DX11_IFF_GIF;
    if (IMG_isTIF(file)) return D3DX11_IFF_TIFF;
    return D3DX11_IFF_PNG;
}

bool ReadFile(LPCWSTR path, std::vector<uint8_t>* bytes) {
    if (!path) return false;
    SDL_RWops* file = OpenRegularStream(ToUtf8(path).c_str());
    if (!file) return false;
    const Sint64 size = SDL_RWsize(file);
    bytes->resize(size > 0 ? size_t(size) : 0);
    const bool read = size >= 0 && SDL_RWread(file, bytes->data(), 1, bytes->size()) == bytes->size();
    SDL_RWclose(file);
    return read;
}

HRESULT Decode(const std::vector<uint8_t>& bytes, Uint32 sdlFormat, Image* image) {
    if (bytes.empty()) return D3DXERR_INVALIDDATA;
    SDL_RWops* file = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (!file) return E_OUTOFMEMORY;
    image->fileFormat = FileFormatOf(file);
    SDL_Surface* decoded = IMG_Load_RW(file, 1);
    if (!decoded) return D3DXERR_INVALIDDATA;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(decoded, sdlFormat, 0);
    SDL_FreeSurface(decoded);
    if (!converted) return D3DXERR_INVALIDDATA;
    image->width = UINT(converted->w);
    image->height = UINT(converted->h);
    const size_t rowBytes = size_t(image->width) * 4;
    image->pixels.resize(rowBytes * image->height);
    SDL_LockSurface(converted);
    for (UINT row = 0; row < image->height; ++row) {
        SDL_memcpy(&image->pixels[row * rowBytes],
                   static_cast<const uint8_t*>(converted->pixels) + row * converted->pitch, rowBytes);
    }
    SDL_UnlockSurface(converted);
    SDL_FreeSurface(converted);
    return S_OK;
}

// Each level averages 2 x 2 texels of the one above (clamped at odd edges).
std::vector<uint8_t> HalfSize(const std::vector<uint8_t>& above, UINT width, UINT height) {
    const UINT w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
    std::vector<uint8_t> below(size_t(w) * h * 4);
    for (UINT y = 0; y < h; ++y) {
        for (UINT x = 0; x < w; ++x) {
            const UINT x0 = x * 2 < width ? x * 2 : width - 1, x1 = x * 2 + 1 < width ? x * 2 + 1 : x0;
            const UINT y0 = y * 2 < height ? y * 2 : height - 1, y1 = y * 2 + 1 < height ? y * 2 + 1 : y0;
            for (UINT c = 0; c < 4; ++c) {
                const UINT sum = above[(y0 * width + x0) * 4 + c] + above[(y0 * width + x1) * 4 + c] +
                                 above[(y1 * width + x0) * 4 + c] + above[(y1 * width + x1) * 4 + c];
                below[(y * w + x) * 4 + c] = uint8_t((sum + 2) / 4);
            }
        }
    }
    return below;
}

// A decoded picture and its whole mip chain; level 0 is the picture. Never changed once made.
struct DecodedImage {
    Image image;  // its pixels moved to levels[0]
    std::vector<std::vector<uint8_t>> levels;
};

// Decoded pictures by file contents and pixel format: the game loads the same textures at the start of every
// game, and decoding them and building their mip chains is most of what creating them costs. The least recently
// used go first once the pictures pass a size.
class DecodedImages {
public:
    HRESULT Find(std::vector<uint8_t> bytes, Uint32 sdlFormat, std::shared_ptr<const DecodedImage>* out) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->format != sdlFormat || it->bytes != bytes) continue;
            entries_.splice(entries_.begin(), entries_, it);
            *out = it->image;
            return S_OK;
        }
        auto image = std::make_shared<DecodedImage>();
        if (HRESULT hr = Decode(bytes, sdlFormat, &image->image); FAILED(hr)) return hr;
        BuildChain(*image);
        Insert({sdlFormat, std::move(bytes), image});
        *out = image;
        return S_OK;
    }

private:
    struct Entry {
        Uint32 format;
        std::vector<uint8_t> bytes;
        std::shared_ptr<const DecodedImage> image;
    };
    static constexpr size_t kCapacityBytes = 128u << 20;

    static void BuildChain(DecodedImage& decoded) {
        UINT width = decoded.image.width, height = decoded.image.height;
        decoded.levels.push_back(std::move(decoded.image.pixels));
        for (UINT level = 1; level < FullChain(decoded.image.width, decoded.image.height); ++level) {
            decoded.levels.push_back(HalfSize(decoded.levels.back(), width, height));
            width = width > 1 ? width / 2 : 1;
            height = height > 1 ? height / 2 : 1;
        }
    }

    static size_t SizeOf(const Entry& entry) {
        size_t size = entry.bytes.size();
        for (const std::vector<uint8_t>& level : entry.image->levels) size += level.size();
        return size;
    }

    void Insert(Entry entry) {
        bytes_ += SizeOf(entry);
        entries_.push_front(std::move(entry));
        while (bytes_ > kCapacityBytes && entries_.size() > 1) {
            bytes_ -= SizeOf(entries_.back());
            entries_.pop_back();
        }
    }

    std::mutex mutex_;
    std::list<Entry> entries_;  // most recently used first
    size_t bytes_ = 0;
};

DecodedImages& Images() {
    static DecodedImages images;
    return images;
}

// The texture description the load information asks for; E_NOTIMPL for what would need resampling.
HRESULT DescribeTexture(const D3DX11_IMAGE_LOAD_INFO& info, const Image& image, D3D11_TEXTURE2D_DESC* desc) {
    if ((!FromFile(info.Width) && info.Width != image.width) ||
        (!FromFile(info.Height) && info.Height != image.height)) {
        return E_NOTIMPL;
    }
    if (!FromFile(info.FirstMipLevel) || !(FromFile(info.Depth) || info.Depth == 1)) return E_NOTIMPL;
    const UINT fullChain = FullChain(image.width, image.height);
    UINT mipLevels = info.MipLevels == D3DX11_FROM_FILE ? 1 : info.MipLevels;
    if (mipLevels == D3DX11_DEFAULT || mipLevels == 0) mipLevels = fullChain;
    if (mipLevels > fullChain) return E_INVALIDARG;
    const D3D11_USAGE usage = info.Usage == D3D11_USAGE(D3DX11_DEFAULT) ? D3D11_USAGE_DEFAULT : info.Usage;
    const UINT defaultBind = usage == D3D11_USAGE_STAGING ? 0 : D3D11_BIND_SHADER_RESOURCE;
    *desc = {image.width,
             image.height,
             mipLevels,
             1,
             info.Format,
             {1, 0},
             usage,
             info.BindFlags == D3DX11_DEFAULT ? defaultBind : info.BindFlags,
             info.CpuAccessFlags == D3DX11_DEFAULT ? 0 : info.CpuAccessFlags,
             info.MiscFlags == D3DX11_DEFAULT ? 0 : info.MiscFlags};
    return S_OK;
}

DXGI_FORMAT RequestedFormat(const D3DX11_IMAGE_LOAD_INFO& info) {
    const bool fromFile = info.Format == DXGI_FORMAT_FROM_FILE || info.Format == DXGI_FORMAT(D3DX11_DEFAULT) ||
                          info.Format == DXGI_FORMAT_UNKNOWN;
    return fromFile ? DXGI_FORMAT_R8G8B8A8_UNORM : info.Format;
}

HRESULT CreateTexture(ID3D11Device* device, LPCWSTR path, const D3DX11_IMAGE_LOAD_INFO* loadInfo,
                      ID3D11Texture2D** texture) {
    if (!device || !path) return E_INVALIDARG;
    D3DX11_IMAGE_LOAD_INFO info = loadInfo ? *loadInfo : D3DX11_IMAGE_LOAD_INFO();
    info.Format = RequestedFormat(info);
    Uint32 sdlFormat = 0;
    if (!SdlFormatFor(info.Format, &sdlFormat)) return E_NOTIMPL;
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, &bytes)) return D3D11_ERROR_FILE_NOT_FOUND;
    std::shared_ptr<const DecodedImage> decoded;
    if (HRESULT hr = Images().Find(std::move(bytes), sdlFormat, &decoded); FAILED(hr)) return hr;
    const Image& image = decoded->image;
    D3D11_TEXTURE2D_DESC desc{};
    if (HRESULT hr = DescribeTexture(info, image, &desc); FAILED(hr)) return hr;
    std::vector<D3D11_SUBRESOURCE_DATA> data;
    UINT width = image.width;
    for (UINT level = 0; level < desc.MipLevels; ++level) {
        data.push_back({decoded->levels[level].data(), width * 4, UINT(decoded->levels[level].size())});
        width = width > 1 ? width / 2 : 1;
    }
    if (info.pSrcInfo) {
        *info.pSrcInfo = {
            image.width,     image.height, 1, 1, 1, 0, DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_RESOURCE_DIMENSION_TEXTURE2D,
            image.fileFormat};
    }
    return device->CreateTexture2D(&desc, data.data(), texture);
}

HRESULT Report(HRESULT hr, HRESULT* hResult) {
    if (hResult) *hResult = hr;
    return hr;
}

}  // namespace
}  // namespace platform

HRESULT D3DX11CreateTextureFromFileW(ID3D11Device* device, LPCWSTR srcFile, D3DX11_IMAGE_LOAD_INFO* loadInfo,
                                     ID3DX11ThreadPump* /*pump*/, ID3D11Resource** texture, HRESULT* hResult) {
    if (texture) *texture = nullptr;
    if (!texture) return platform::Report(E_INVALIDARG, hResult);
    ID3D11Texture2D* created = nullptr;
    const HRESULT hr = platform::CreateTexture(device, srcFile, loadInfo, &created);
    *texture = created;
    return platform::Report(hr, hResult);
}

HRESULT D3DX11CreateShaderResourceViewFromFileW(ID3D11Device* device, LPCWSTR srcFile, D3DX11_IMAGE_LOAD_INFO* loadInfo,
                                                ID3DX11ThreadPump* /*pump*/,
                                                ID3D11ShaderResourceView** shaderResourceView, HRESULT* hResult) {
    if (shaderResourceView) *shaderResourceView = nullptr;
    if (!shaderResourceView) return platform::Report(E_INVALIDARG, hResult);
    ID3D11Texture2D* texture = nullptr;
    HRESULT hr = platform::CreateTexture(device, srcFile, loadInfo, &texture);
    if (SUCCEEDED(hr)) {
        hr = device->CreateShaderResourceView(texture, nullptr, shaderResourceView);
        texture->Release();
    }
    return platform::Report(hr, hResult);
}
