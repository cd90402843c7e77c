// Shows a picture scaled into a rectangle of a GL framebuffer, black around it, crisp for pixel art (sharp
// bilinear): as if enlarged pixel for pixel by the next whole factor and then smoothed down, so whole factors copy
// pixels as squares and other scales blend only the seams between pixels. One pass, so a large screen costs one
// write of the picture's rectangle.
#pragma once
#include "gl_state.h"
#include "win32/picture_fit.h"

namespace platform {

class PictureScaler {
public:
    PictureScaler() = default;
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;
    // Needs the GL context it drew with to be current.
    ~PictureScaler();

    // `picture` is a 2-D texture, top row first; the target is a GL window or framebuffer, bottom row first. Draws
    // through the state tracker with blending, depth, stencil, culling and sRGB conversion off. `only`, in the
    // target's bottom-up pixels, draws there alone and leaves the bars as they are.
    void Show(GLState& gl, GLuint picture, int width, int height, GLuint target, int targetHeight,
              const PictureRect& rect, const RectGL* only = nullptr);

private:
    void Create();

    GLuint program_ = 0;
    GLuint vertexArray_ = 0;
    GLuint sampler_ = 0;
};

}  // namespace platform
