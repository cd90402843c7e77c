#pragma once
#include <cstdint>
#include <string>
#include <vector>

// 8-bit RGBA pictures, rows from the top, stored without any colour conversion so bytes survive the round trip.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

bool ReadPng(const std::string& path, RgbaPicture* picture);
bool WritePng(const std::string& path, const RgbaPicture& picture);
