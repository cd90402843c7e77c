#include "formats.h"

namespace platform {
namespace {

const TextureFormat kTextureFormats[] = {
    {DXGI_FORMAT_R32G32B32A32_FLOAT, GL_RGBA32F, GL_RGBA, GL_FLOAT, 16, false, false, true},
    {DXGI_FORMAT_R32G32B32A32_UINT, GL_RGBA32UI, GL_RGBA_INTEGER, GL_UNSIGNED_INT, 16, false, false, true},
    {DXGI_FORMAT_R32G32B32_FLOAT, GL_RGB32F, GL_RGB, GL_FLOAT, 12, false, false, false},
    {DXGI_FORMAT_R16G16B16A16_FLOAT, GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8, false, false, true},
    {DXGI_FORMAT_R16G16B16A16_UNORM, GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, 8, false, false, true},
    {DXGI_FORMAT_R32G32_FLOAT, GL_RG32F, GL_RG, GL_FLOAT, 8, false, false, true},
    {DXGI_FORMAT_R8G8B8A8_UNORM, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4, false, false, true},
    {DXGI_FORMAT_R8G8B8A8_UNORM_SRGB, GL_SRGB8_ALPHA8, GL_RGBA, GL_UNSIGNED_BYTE, 4, false, false, true},
    {DXGI_FORMAT_R8G8B8A8_UINT, GL_RGBA8UI, GL_RGBA_INTEGER, GL_UNSIGNED_BYTE, 4, false, false, true},
    {DXGI_FORMAT_R16G16_FLOAT, GL_RG16F, GL_RG, GL_HALF_FLOAT, 4, false, false, true},
    {DXGI_FORMAT_D32_FLOAT, GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT, 4, true, false, true},
    {DXGI_FORMAT_R32_FLOAT, GL_R32F, GL_RED, GL_FLOAT, 4, false, false, true},
    {DXGI_FORMAT_R32_UINT, GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT, 4, false, false, true},
    {DXGI_FORMAT_D24_UNORM_S8_UINT, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4, true, true, true},
    {DXGI_FORMAT_R8G8_UNORM, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 2, false, false, true},
    {DXGI_FORMAT_R16_FLOAT, GL_R16F, GL_RED, GL_HALF_FLOAT, 2, false, false, true},
    {DXGI_FORMAT_D16_UNORM, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 2, true, false, true},
    {DXGI_FORMAT_R16_UINT, GL_R16UI, GL_RED_INTEGER, GL_UNSIGNED_SHORT, 2, false, false, true},
    {DXGI_FORMAT_R8_UNORM, GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, false, false, true},
    {DXGI_FORMAT_B8G8R8A8_UNORM, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4, false, false, true},
};

const VertexFormat kVertexFormats[] = {
    {DXGI_FORMAT_R32G32B32A32_FLOAT, 4, GL_FLOAT, false, false, 16},
    {DXGI_FORMAT_R32G32B32A32_UINT, 4, GL_UNSIGNED_INT, false, true, 16},
    {DXGI_FORMAT_R32G32B32A32_SINT, 4, GL_INT, false, true, 16},
    {DXGI_FORMAT_R32G32B32_FLOAT, 3, GL_FLOAT, false, false, 12},
    {DXGI_FORMAT_R32G32B32_UINT, 3, GL_UNSIGNED_INT, false, true, 12},
    {DXGI_FORMAT_R32G32B32_SINT, 3, GL_INT, false, true, 12},
    {DXGI_FORMAT_R16G16B16A16_FLOAT, 4, GL_HALF_FLOAT, false, false, 8},
    {DXGI_FORMAT_R32G32_FLOAT, 2, GL_FLOAT, false, false, 8},
    {DXGI_FORMAT_R32G32_UINT, 2, GL_UNSIGNED_INT, false, true, 8},
    {DXGI_FORMAT_R32G32_SINT, 2, GL_INT, false, true, 8},
    {DXGI_FORMAT_R8G8B8A8_UNORM, 4, GL_UNSIGNED_BYTE, true, false, 4},
    {DXGI_FORMAT_R8G8B8A8_UINT, 4, GL_UNSIGNED_BYTE, false, true, 4},
    {DXGI_FORMAT_R8G8B8A8_SNORM, 4, GL_BYTE, true, false, 4},
    {DXGI_FORMAT_R16G16_FLOAT, 2, GL_HALF_FLOAT, false, false, 4},
    {DXGI_FORMAT_R32_FLOAT, 1, GL_FLOAT, false, false, 4},
    {DXGI_FORMAT_R32_UINT, 1, GL_UNSIGNED_INT, false, true, 4},
    {DXGI_FORMAT_R32_SINT, 1, GL_INT, false, true, 4},
    {DXGI_FORMAT_B8G8R8A8_UNORM, GL_BGRA, GL_UNSIGNED_BYTE, true, false, 4},
};

template <class Table>
auto FindIn(const Table& table, DXGI_FORMAT format) -> decltype(&table[0]) {
    for (const auto& entry : table) {
        if (entry.format == format) return &entry;
    }
    return nullptr;
}

}  // namespace

const TextureFormat* FindTextureFormat(DXGI_FORMAT format) { return FindIn(kTextureFormats, format); }

const VertexFormat* FindVertexFormat(DXGI_FORMAT format) { return FindIn(kVertexFormats, format); }

GLenum IndexType(DXGI_FORMAT format, uint32_t* indexBytes) {
    if (format == DXGI_FORMAT_R16_UINT) {
        *indexBytes = 2;
        return GL_UNSIGNED_SHORT;
    }
    if (format == DXGI_FORMAT_R32_UINT) {
        *indexBytes = 4;
        return GL_UNSIGNED_INT;
    }
    *indexBytes = 0;
    return 0;
}

bool ViewCompatible(DXGI_FORMAT resource, DXGI_FORMAT view) {
    if (view == DXGI_FORMAT_UNKNOWN || view == resource) return true;
    const bool rgba8 = resource == DXGI_FORMAT_R8G8B8A8_UNORM || resource == DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
    return rgba8 && (view == DXGI_FORMAT_R8G8B8A8_UNORM || view == DXGI_FORMAT_R8G8B8A8_UNORM_SRGB);
}

}  // namespace platform
