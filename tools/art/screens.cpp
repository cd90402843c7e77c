#include <string>

#include "den.h"
#include "font.h"
#include "palette.h"
#include "scenes.h"
#include "sprites.h"

namespace art {

namespace {

constexpr int kW = 1024;
constexpr int kH = 768;
constexpr int kFloorTop = 704;
constexpr int kCeilingBottom = 24;

struct Block {
    Rect r;
    bool Contains(int x, int y) const { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }
};

// Stone blocks of a screen; beyond the picture counts as rock.
SolidTest BlocksTest(std::vector<Block> blocks) {
    return [blocks](int x, int y) {
        if (x < 0 || y < 0 || x >= kW || y >= kH) return true;
        for (const Block& b : blocks)
            if (b.Contains(x, y)) return true;
        return false;
    };
}

const std::vector<Block> kRoomBlocks = {
    {{0, 0, kW, kCeilingBottom}}, {{0, kFloorTop, kW, kH - kFloorTop}}, {{0, 0, 28, kH}}, {{kW - 28, 0, 28, kH}}};

// Wall, ceiling, floor and two torches: the room every menu screen sits in.
Image DenRoom(const std::vector<Block>& extraBlocks = {}) {
    Image img(kW, kH);
    std::vector<Block> blocks = kRoomBlocks;
    blocks.insert(blocks.end(), extraBlocks.begin(), extraBlocks.end());
    const SolidTest solid = BlocksTest(blocks);
    PaintWall(img, {0, 0, kW, kH});
    const SolidTest air = [&](int x, int y) { return !solid(x, y); };
    PaintTorch(img, 110, 330, air);
    PaintTorch(img, kW - 110, 330, air);
    PaintChain(img, 200, kCeilingBottom, 90);
    PaintChain(img, kW - 200, kCeilingBottom, 90);
    PaintCoinPile(img, 180, kFloorTop, 22);
    PaintCoinPile(img, 214, kFloorTop, 12);
    PaintCoinPile(img, kW - 170, kFloorTop, 18);
    PaintChest(img, kW - 250, kFloorTop);
    PaintStone(img, {0, 0, kW, kH}, solid);
    return img;
}

// Gold lettering with a heavy dark rim, for titles.
void DrawTitle(Image& img, const std::string& text, int cy, int scale, Rgba top, Rgba bottom) {
    const int y = cy - TextHeight(scale) / 2;
    const int rim = scale / 3 + 1;
    const TextStyle ink{scale, pal::kInk, pal::kInk, kClear};
    for (int dy = -rim; dy <= rim; dy += rim)
        for (int dx = -rim; dx <= rim; dx += rim) DrawTextCentred(img, text, kW / 2 + dx, y + dy, ink);
    DrawTextCentred(img, text, kW / 2, y, {scale, top, bottom, pal::kShadow});
}

void DrawGoldTitle(Image& img, const std::string& text, int cy, int scale) {
    DrawTitle(img, text, cy, scale, pal::kGoldTop, pal::kGoldBottom);
}

// Painted 2 px inside the clickable region so no part of it lies on the border.
void DrawButton(Image& img, Rect region, const std::string& label, int scale) {
    const Rect r{region.x + 2, region.y + 2, region.w - 4, region.h - 4};
    FillRoundRect(img, r, 8, pal::kInk);
    FillRoundRect(img, {r.x + 3, r.y + 3, r.w - 6, r.h - 6}, 6, Rgb(0x5e321a));
    FillRoundRect(img, {r.x + 3, r.y + 3, r.w - 6, r.h - 12}, 6, Rgb(0x8c4e28));
    FillRoundRect(img, {r.x + 6, r.y + 5, r.w - 12, 3}, 1, Rgb(0xb86e3a));
    const int ty = r.y + (r.h - TextHeight(scale)) / 2 - 1;
    DrawTextCentred(img, label, r.x + r.w / 2, ty, {scale, pal::kGoldTop, pal::kGoldBottom, pal::kShadow});
}

// Dark translucent board that keeps small text readable over the wall.
void DrawBoard(Image& img, Rect r) {
    FillRoundRect(img, r, 10, Rgb(0xc98444));
    FillRoundRect(img, {r.x + 3, r.y + 3, r.w - 6, r.h - 6}, 8, Rgb(0x0c0810, 235));
}

void DrawSprite(Image& img, const Image& strip, int frame, int x, int y, int scale) {
    Blit(img, strip, {frame * kFrame, 0, kFrame, kFrame}, x, y, scale);
}

}  // namespace

Image MakeControlsPanel() {
    Image img(411, 203);
    FillRoundRect(img, {0, 0, 411, 203}, 12, Rgb(0xc98444, 235));
    FillRoundRect(img, {3, 3, 405, 197}, 10, Rgb(0x0c0810, 215));
    DrawTextCentred(img, "CONTROLS", 205, 12, {3, pal::kGoldTop, pal::kGoldBottom, pal::kShadow});
    const TextStyle key{2, Rgb(0xffd86a), Rgb(0xffb040), kClear};
    const TextStyle action{2, pal::kTextLight, pal::kTextLight, kClear};
    const char* rows[][2] = {{"LEFT / RIGHT", "WALK"}, {"UP", "JUMP"}, {"CTRL", "JETPACK"}, {"SPACE", "SHOOT"}};
    int y = 46;
    for (const auto& row : rows) {
        DrawText(img, row[0], 28, y, key);
        DrawText(img, row[1], 212, y, action);
        y += 24;
    }
    FillRect(img, {28, 144, 355, 1}, Rgb(0x6a4024));
    const TextStyle goal{2, Rgb(0x9ef08e), Rgb(0x5ed06a), kClear};
    DrawTextCentred(img, "SHOOT ALL SIX,", 205, 154, goal);
    DrawTextCentred(img, "THEN REACH THE EXIT", 205, 176, goal);
    return img;
}

Image MakeSplash(const SpriteSet& sprites) {
    const std::vector<Block> ledges = {{{60, 560, 240, 40}}, {{700, 480, 200, 36}}};
    Image img = DenRoom(ledges);
    DrawSprite(img, sprites.player, 0, 100, 560 - 6 * 31, 6);
    DrawSprite(img, sprites.portal, 0, 752, 480 - 3 * 32, 3);
    DrawSprite(img, sprites.enemies[0], 0, 420, 330, 4);
    DrawSprite(img, sprites.enemies[1], 1, 250, 250, 3);
    DrawSprite(img, sprites.enemies[2], 2, 870, 560, 3);
    DrawSprite(img, sprites.enemies[3], 0, 330, 520, 3);
    DrawSprite(img, sprites.enemies[4], 1, 580, 420, 3);
    DrawSprite(img, sprites.enemies[5], 2, 520, 590, 3);
    DrawGoldTitle(img, "CORVALO", 150, 18);
    DrawTextCentred(img, "A GAME BY THE CORVALO TEAM", kW / 2, 730,
                    {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    return img;
}

Image MakeMenuScreen(const SpriteSet& sprites) {
    Image img = DenRoom();
    DrawSprite(img, sprites.player, 1, 90, kFloorTop - 5 * 31, 5);
    DrawSprite(img, sprites.enemies[0], 0, 790, 430, 4);
    DrawGoldTitle(img, "CORVALO", 190, 16);
    DrawTextCentred(img, "THE DEN OF THIEVES", kW / 2, 300, {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    DrawButton(img, {335, 420, 320, 90}, "PLAY", 7);
    DrawButton(img, {320, 516, 384, 90}, "CREDITS", 6);
    DrawButton(img, {430, 668, 168, 70}, "QUIT", 5);
    return img;
}

Image MakeCreditScreen() {
    Image img = DenRoom();
    DrawGoldTitle(img, "CREDITS", 96, 10);
    DrawBoard(img, {152, 170, 720, 430});
    const TextStyle heading{3, pal::kGoldTop, pal::kGoldBottom, kClear};
    const TextStyle body{3, pal::kTextLight, pal::kTextLight, kClear};
    DrawTextCentred(img, "MADE BY", kW / 2, 200, heading);
    DrawTextCentred(img, "THE CORVALO TEAM", kW / 2, 236, {4, pal::kTextLight, pal::kTextLight, kClear});
    DrawTextCentred(img, "CODE, PIXELS AND MUSIC", kW / 2, 284, body);
    DrawTextCentred(img, "BUILT ON", kW / 2, 360, heading);
    DrawTextCentred(img, "SDL2, SDL2_MIXER, SDL2_IMAGE,", kW / 2, 400, body);
    DrawTextCentred(img, "MESA OPENGL, GLSLANG,", kW / 2, 436, body);
    DrawTextCentred(img, "SPIRV-CROSS, LIBPNG,", kW / 2, 472, body);
    DrawTextCentred(img, "GOOGLETEST", kW / 2, 508, body);
    DrawButton(img, {416, 630, 192, 68}, "BACK", 5);
    return img;
}

Image MakeGameOverScreen(const SpriteSet& sprites) {
    Image img = DenRoom();
    DrawSprite(img, sprites.enemies[0], 1, 150, 430, 4);
    DrawSprite(img, sprites.enemies[2], 0, 746, 440, 4);
    DrawTitle(img, "GAME OVER", 170, 12, Rgb(0xff8a7a), Rgb(0xb01e1e));
    DrawButton(img, {384, 300, 288, 58}, "PLAY AGAIN", 4);
    DrawButton(img, {460, 376, 144, 58}, "QUIT", 4);
    DrawTextCentred(img, "THE THIEVES KEEP THEIR GOLD", kW / 2, 520,
                    {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    return img;
}

Image MakeWinScreen(const SpriteSet& sprites) {
    Image img = DenRoom();
    DrawGoldTitle(img, "YOU WIN", 170, 14);
    DrawTextCentred(img, "THE DEN IS YOURS!", kW / 2, 290, {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    DrawSprite(img, sprites.player, 0, 140, kFloorTop - 5 * 31, 5);
    DrawSprite(img, sprites.portal, 1, 760, kFloorTop - 5 * 32, 5);
    // The two clickable regions share rows 458-460, so each button keeps to its own rows.
    DrawButton(img, {314, 394, 390, 64}, "PLAY AGAIN", 5);
    DrawButton(img, {426, 460, 166, 64}, "QUIT", 5);
    return img;
}

}  // namespace art
