#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Rgba {
    std::uint8_t r, g, b, a;
};

constexpr Rgba Rgb(std::uint32_t hex, std::uint8_t alpha = 255) {
    return Rgba{static_cast<std::uint8_t>(hex >> 16), static_cast<std::uint8_t>(hex >> 8),
                static_cast<std::uint8_t>(hex), alpha};
}

constexpr Rgba kClear{0, 0, 0, 0};

// Linear mix of two colours, t in [0, 1].
Rgba Mix(Rgba a, Rgba b, float t);

class Image {
public:
    Image(int width, int height, Rgba fill = kClear);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgba At(int x, int y) const { return pixels_[Index(x, y)]; }

    // Both clip silently so shapes may hang over the edge.
    void Set(int x, int y, Rgba c);
    void Blend(int x, int y, Rgba c);

    // Throws std::runtime_error when the file cannot be written.
    void SavePng(const std::string& path) const;

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

}  // namespace art
