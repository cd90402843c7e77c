#pragma once

#include <string>

#include "image.h"

namespace art {

// 5 x 7 capitals, digits and punctuation; every glyph cell is 6 x 7 at scale 1.
struct TextStyle {
    int scale = 2;
    Rgba top = Rgb(0xffffff);     // colour of the glyphs' first row
    Rgba bottom = Rgb(0xffffff);  // colour of the last row; rows between are blended
    Rgba shadow = kClear;         // drop shadow down-right, skipped when clear
};

int TextWidth(const std::string& text, int scale);
int TextHeight(int scale);
void DrawText(Image& img, const std::string& text, int x, int y, const TextStyle& style);
// Horizontally centred on cx.
void DrawTextCentred(Image& img, const std::string& text, int cx, int y, const TextStyle& style);

}  // namespace art
