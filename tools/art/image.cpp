#include "image.h"

#include <png.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace art {

namespace {

std::uint8_t LerpChannel(std::uint8_t a, std::uint8_t b, float t) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

Rgba Mix(Rgba a, Rgba b, float t) {
    return Rgba{LerpChannel(a.r, b.r, t), LerpChannel(a.g, b.g, t), LerpChannel(a.b, b.b, t), LerpChannel(a.a, b.a, t)};
}

Image::Image(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Image::Set(int x, int y, Rgba c) {
    if (Contains(x, y)) pixels_[Index(x, y)] = c;
}

// Integer "over" compositing keeps the output identical on every machine.
void Image::Blend(int x, int y, Rgba c) {
    if (!Contains(x, y) || c.a == 0) return;
    Rgba& d = pixels_[Index(x, y)];
    if (c.a == 255 || d.a == 0) {
        d = c;
        return;
    }
    const int sa = c.a;
    const int da = d.a * (255 - sa) / 255;
    const int oa = sa + da;
    auto channel = [&](int s, int dst) { return static_cast<std::uint8_t>((s * sa + dst * da + oa / 2) / oa); };
    d = Rgba{channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), static_cast<std::uint8_t>(oa)};
}

void Image::SavePng(const std::string& path) const {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng init failed");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        const std::string reason = std::ferror(file.get()) ? std::strerror(errno) : "libpng failed";
        throw std::runtime_error("failed writing " + path + ": " + reason);
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    // Unfiltered rows decode several times faster (the game decodes its textures at the start of a game) for a
    // few more bytes on disk.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<png_const_bytep>(&pixels_[Index(0, y)]);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    // A full disk may show only when the buffered end of the file goes out.
    if (std::fclose(file.release()) != 0)
        throw std::runtime_error("failed writing " + path + ": " + std::strerror(errno));
}

}  // namespace art
