// Shows a picture scaled into a rectangle of a GL framebuffer, black around it, crisp for pixel art: whole
// factors copy pixels as squares; other scales enlarge pixel for pixel to the next whole factor and then smooth
// down, so only the seams between enlarged pixels blend (sharp bilinear).
#pragma once
#include "gl.h"
#include "picture_fit.h"

namespace platform {

class PictureScaler {
public:
    PictureScaler() = default;
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;
    // Needs the GL context it drew with to be current.
    ~PictureScaler();

    // `source` is a framebuffer whose first colour attachment holds the picture, top row first; the target is
    // a GL window or framebuffer, bottom row first. Scissor, colour mask and sRGB conversion must be off.
    void Show(GLuint source, int width, int height, GLuint target, int targetHeight,
              const PictureRect& picture);

private:
    void Reserve(int width, int height);

    GLuint enlarged_ = 0;
    GLuint enlargedFramebuffer_ = 0;
    int enlargedWidth_ = 0, enlargedHeight_ = 0;
};

}  // namespace platform
