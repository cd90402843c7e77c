// How each supported DXGI format maps onto OpenGL, for textures, vertex attributes and indices.
#pragma once
#include <cstdint>
#include "dxgi.h"
#include "gl.h"

namespace platform {

struct TextureFormat {
    DXGI_FORMAT format;
    GLenum internalFormat;
    GLenum pixelFormat;  // for uploads and read-backs
    GLenum pixelType;
    uint32_t bytesPerTexel;
    bool depth;
    bool stencil;
    bool renderable;
};
// Null for a format textures cannot have here.
const TextureFormat* FindTextureFormat(DXGI_FORMAT format);

struct VertexFormat {
    DXGI_FORMAT format;
    GLint components;
    GLenum type;
    bool normalized;
    bool integer;
    uint32_t bytes;
};
const VertexFormat* FindVertexFormat(DXGI_FORMAT format);

// GL_UNSIGNED_SHORT or GL_UNSIGNED_INT with the index size; 0 for other formats.
GLenum IndexType(DXGI_FORMAT format, uint32_t* indexBytes);

// Formats that can be viewed as one another (a GL texture view of the same storage).
bool ViewCompatible(DXGI_FORMAT resource, DXGI_FORMAT view);

}  // namespace platform
