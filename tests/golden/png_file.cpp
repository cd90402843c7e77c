#include "png_file.h"

#include <png.h>

bool ReadPng(const std::string& path, RgbaPicture* picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->pixels.resize(PNG_IMAGE_SIZE(image));
    // On failure the read frees the image itself.
    return png_image_finish_read(&image, nullptr, picture->pixels.data(), 0, nullptr) != 0;
}

bool WritePng(const std::string& path, const RgbaPicture& picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.pixels.data(), 0, nullptr) != 0;
}
