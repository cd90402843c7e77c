#include "picture_scaler.h"

namespace platform {

PictureScaler::~PictureScaler() {
    if (enlargedFramebuffer_) glDeleteFramebuffers(1, &enlargedFramebuffer_);
    if (enlarged_) glDeleteTextures(1, &enlarged_);
}

void PictureScaler::Show(GLuint source, int width, int height, GLuint target, int targetHeight,
                         const PictureRect& picture) {
    static const GLfloat kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glClearNamedFramebufferfv(target, GL_COLOR, 0, kBlack);
    if (picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0) return;
    // The last copy turns the picture upside down into GL's bottom-up rows.
    const GLint left = picture.x, right = picture.x + picture.width;
    const GLint top = targetHeight - picture.y, bottom = top - picture.height;
    if (IsWholeScale(picture, width, height)) {
        glBlitNamedFramebuffer(source, target, 0, 0, width, height, left, top, right, bottom, GL_COLOR_BUFFER_BIT,
                               GL_NEAREST);
        return;
    }
    const int factor = SharpScaleFactor(picture, width, height);
    GLuint smoothed = source;
    GLint smoothedWidth = width, smoothedHeight = height;
    if (factor > 1) {
        Reserve(width * factor, height * factor);
        glBlitNamedFramebuffer(source, enlargedFramebuffer_, 0, 0, width, height, 0, 0, enlargedWidth_,
                               enlargedHeight_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        smoothed = enlargedFramebuffer_;
        smoothedWidth = enlargedWidth_;
        smoothedHeight = enlargedHeight_;
    }
    glBlitNamedFramebuffer(smoothed, target, 0, 0, smoothedWidth, smoothedHeight, left, top, right, bottom,
                           GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

void PictureScaler::Reserve(int width, int height) {
    if (width == enlargedWidth_ && height == enlargedHeight_) return;
    if (enlarged_) glDeleteTextures(1, &enlarged_);
    if (!enlargedFramebuffer_) glCreateFramebuffers(1, &enlargedFramebuffer_);
    glCreateTextures(GL_TEXTURE_2D, 1, &enlarged_);
    glTextureStorage2D(enlarged_, 1, GL_RGBA8, width, height);
    glNamedFramebufferTexture(enlargedFramebuffer_, GL_COLOR_ATTACHMENT0, enlarged_, 0);
    enlargedWidth_ = width;
    enlargedHeight_ = height;
}

}  // namespace platform
