// Fills rectangles of an 8-bit UNORM target by drawing: a scissored clear is a quad Mesa draws with a rounding of
// its own, and a texture clear makes the rasteriser finish the frame first.
#pragma once
#include <array>
#include <cstdint>
#include "damage.h"
#include "gl_state.h"

namespace platform {

class RectFill {
public:
    RectFill() = default;
    RectFill(const RectFill&) = delete;
    RectFill& operator=(const RectFill&) = delete;
    // Needs the GL context it drew with to be current.
    ~RectFill();

    // Draws `rect` of the target `bounds` big in the colour whose bytes, red first, are `rgba`: each byte k is
    // written as k / 255, which any rounding the rasteriser does brings back to k.
    void Fill(GLState& gl, GLuint framebuffer, GLuint emptyVertexArray, const PixelRect& bounds, const PixelRect& rect,
              const std::array<uint8_t, 4>& rgba);

private:
    GLuint program_ = 0;
};

}  // namespace platform
