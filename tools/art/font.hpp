#pragma once

#include <string>

#include "image.hpp"

namespace art {

// 5 x 7 capitals, digits and punctuation; every glyph cell is 6 x 7 at scale 1.
struct TextStyle {
    int scale = 2;
    Rgba top = rgb(0xffffff);     // colour of the glyphs' first row
    Rgba bottom = rgb(0xffffff);  // colour of the last row; rows between are blended
    Rgba shadow = kClear;         // drop shadow down-right, skipped when clear
};

int textWidth(const std::string& text, int scale);
int textHeight(int scale);
void drawText(Image& img, const std::string& text, int x, int y, const TextStyle& style);
// Horizontally centred on cx.
void drawTextCentred(Image& img, const std::string& text, int cx, int y, const TextStyle& style);

}  // namespace art
