#include <string>

#include "den.hpp"
#include "font.hpp"
#include "palette.hpp"
#include "scenes.hpp"
#include "sprites.hpp"

namespace art {

namespace {

constexpr int kW = 1024;
constexpr int kH = 768;
constexpr int kFloorTop = 704;
constexpr int kCeilingBottom = 24;

struct Block {
    Rect r;
    bool contains(int x, int y) const { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }
};

// Stone blocks of a screen; beyond the picture counts as rock.
SolidTest blocksTest(std::vector<Block> blocks) {
    return [blocks](int x, int y) {
        if (x < 0 || y < 0 || x >= kW || y >= kH) return true;
        for (const Block& b : blocks)
            if (b.contains(x, y)) return true;
        return false;
    };
}

const std::vector<Block> kRoomBlocks = {
    {{0, 0, kW, kCeilingBottom}}, {{0, kFloorTop, kW, kH - kFloorTop}}, {{0, 0, 28, kH}}, {{kW - 28, 0, 28, kH}}};

// Wall, ceiling, floor and two torches: the room every menu screen sits in.
Image denRoom(const std::vector<Block>& extraBlocks = {}) {
    Image img(kW, kH);
    std::vector<Block> blocks = kRoomBlocks;
    blocks.insert(blocks.end(), extraBlocks.begin(), extraBlocks.end());
    const SolidTest solid = blocksTest(blocks);
    paintWall(img, {0, 0, kW, kH});
    const SolidTest air = [&](int x, int y) { return !solid(x, y); };
    paintTorch(img, 110, 330, air);
    paintTorch(img, kW - 110, 330, air);
    paintChain(img, 200, kCeilingBottom, 90);
    paintChain(img, kW - 200, kCeilingBottom, 90);
    paintCoinPile(img, 180, kFloorTop, 22);
    paintCoinPile(img, 214, kFloorTop, 12);
    paintCoinPile(img, kW - 170, kFloorTop, 18);
    paintChest(img, kW - 250, kFloorTop);
    paintStone(img, {0, 0, kW, kH}, solid);
    return img;
}

// Gold lettering with a heavy dark rim, for titles.
void drawTitle(Image& img, const std::string& text, int cy, int scale, Rgba top, Rgba bottom) {
    const int y = cy - textHeight(scale) / 2;
    const int rim = scale / 3 + 1;
    const TextStyle ink{scale, pal::kInk, pal::kInk, kClear};
    for (int dy = -rim; dy <= rim; dy += rim)
        for (int dx = -rim; dx <= rim; dx += rim) drawTextCentred(img, text, kW / 2 + dx, y + dy, ink);
    drawTextCentred(img, text, kW / 2, y, {scale, top, bottom, pal::kShadow});
}

void drawGoldTitle(Image& img, const std::string& text, int cy, int scale) {
    drawTitle(img, text, cy, scale, pal::kGoldTop, pal::kGoldBottom);
}

// Painted 2 px inside the clickable region so no part of it lies on the border.
void drawButton(Image& img, Rect region, const std::string& label, int scale) {
    const Rect r{region.x + 2, region.y + 2, region.w - 4, region.h - 4};
    fillRoundRect(img, r, 8, pal::kInk);
    fillRoundRect(img, {r.x + 3, r.y + 3, r.w - 6, r.h - 6}, 6, rgb(0x5e321a));
    fillRoundRect(img, {r.x + 3, r.y + 3, r.w - 6, r.h - 12}, 6, rgb(0x8c4e28));
    fillRoundRect(img, {r.x + 6, r.y + 5, r.w - 12, 3}, 1, rgb(0xb86e3a));
    const int ty = r.y + (r.h - textHeight(scale)) / 2 - 1;
    drawTextCentred(img, label, r.x + r.w / 2, ty, {scale, pal::kGoldTop, pal::kGoldBottom, pal::kShadow});
}

// Dark translucent board that keeps small text readable over the wall.
void drawBoard(Image& img, Rect r) {
    fillRoundRect(img, r, 10, rgb(0xc98444));
    fillRoundRect(img, {r.x + 3, r.y + 3, r.w - 6, r.h - 6}, 8, rgb(0x0c0810, 235));
}

void drawSprite(Image& img, const Image& strip, int frame, int x, int y, int scale) {
    blit(img, strip, {frame * kFrame, 0, kFrame, kFrame}, x, y, scale);
}

}  // namespace

Image makeControlsPanel() {
    Image img(411, 203);
    fillRoundRect(img, {0, 0, 411, 203}, 12, rgb(0xc98444, 235));
    fillRoundRect(img, {3, 3, 405, 197}, 10, rgb(0x0c0810, 215));
    drawTextCentred(img, "CONTROLS", 205, 12, {3, pal::kGoldTop, pal::kGoldBottom, pal::kShadow});
    const TextStyle key{2, rgb(0xffd86a), rgb(0xffb040), kClear};
    const TextStyle action{2, pal::kTextLight, pal::kTextLight, kClear};
    const char* rows[][2] = {{"LEFT / RIGHT", "WALK"}, {"UP", "JUMP"}, {"CTRL", "JETPACK"}, {"SPACE", "SHOOT"}};
    int y = 46;
    for (const auto& row : rows) {
        drawText(img, row[0], 28, y, key);
        drawText(img, row[1], 212, y, action);
        y += 24;
    }
    fillRect(img, {28, 144, 355, 1}, rgb(0x6a4024));
    const TextStyle goal{2, rgb(0x9ef08e), rgb(0x5ed06a), kClear};
    drawTextCentred(img, "SHOOT ALL SIX,", 205, 154, goal);
    drawTextCentred(img, "THEN REACH THE EXIT", 205, 176, goal);
    return img;
}

Image makeSplash(const SpriteSet& sprites) {
    const std::vector<Block> ledges = {{{60, 560, 240, 40}}, {{700, 480, 200, 36}}};
    Image img = denRoom(ledges);
    drawSprite(img, sprites.player, 0, 100, 560 - 6 * 31, 6);
    drawSprite(img, sprites.portal, 0, 752, 480 - 3 * 32, 3);
    drawSprite(img, sprites.enemies[0], 0, 420, 330, 4);
    drawSprite(img, sprites.enemies[1], 1, 250, 250, 3);
    drawSprite(img, sprites.enemies[2], 2, 870, 560, 3);
    drawSprite(img, sprites.enemies[3], 0, 330, 520, 3);
    drawSprite(img, sprites.enemies[4], 1, 580, 420, 3);
    drawSprite(img, sprites.enemies[5], 2, 520, 590, 3);
    drawGoldTitle(img, "CORVALO", 150, 18);
    drawTextCentred(img, "A GAME BY THE CORVALO TEAM", kW / 2, 730,
                    {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    return img;
}

Image makeMenuScreen(const SpriteSet& sprites) {
    Image img = denRoom();
    drawSprite(img, sprites.player, 1, 90, kFloorTop - 5 * 31, 5);
    drawSprite(img, sprites.enemies[0], 0, 790, 430, 4);
    drawGoldTitle(img, "CORVALO", 190, 16);
    drawTextCentred(img, "THE DEN OF THIEVES", kW / 2, 300, {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    drawButton(img, {335, 420, 320, 90}, "PLAY", 7);
    drawButton(img, {320, 516, 384, 90}, "CREDITS", 6);
    drawButton(img, {430, 668, 168, 70}, "QUIT", 5);
    return img;
}

Image makeCreditScreen() {
    Image img = denRoom();
    drawGoldTitle(img, "CREDITS", 96, 10);
    drawBoard(img, {152, 170, 720, 430});
    const TextStyle heading{3, pal::kGoldTop, pal::kGoldBottom, kClear};
    const TextStyle body{3, pal::kTextLight, pal::kTextLight, kClear};
    drawTextCentred(img, "MADE BY", kW / 2, 200, heading);
    drawTextCentred(img, "THE CORVALO TEAM", kW / 2, 236, {4, pal::kTextLight, pal::kTextLight, kClear});
    drawTextCentred(img, "CODE, PIXELS AND MUSIC", kW / 2, 284, body);
    drawTextCentred(img, "BUILT ON", kW / 2, 360, heading);
    drawTextCentred(img, "SDL2, SDL2_MIXER, SDL2_IMAGE,", kW / 2, 400, body);
    drawTextCentred(img, "MESA OPENGL, GLSLANG,", kW / 2, 436, body);
    drawTextCentred(img, "SPIRV-CROSS, LIBPNG,", kW / 2, 472, body);
    drawTextCentred(img, "GOOGLETEST", kW / 2, 508, body);
    drawButton(img, {416, 630, 192, 68}, "BACK", 5);
    return img;
}

Image makeGameOverScreen(const SpriteSet& sprites) {
    Image img = denRoom();
    drawSprite(img, sprites.enemies[0], 1, 150, 430, 4);
    drawSprite(img, sprites.enemies[2], 0, 746, 440, 4);
    drawTitle(img, "GAME OVER", 170, 12, rgb(0xff8a7a), rgb(0xb01e1e));
    drawButton(img, {384, 300, 288, 58}, "PLAY AGAIN", 4);
    drawButton(img, {460, 376, 144, 58}, "QUIT", 4);
    drawTextCentred(img, "THE THIEVES KEEP THEIR GOLD", kW / 2, 520,
                    {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    return img;
}

Image makeWinScreen(const SpriteSet& sprites) {
    Image img = denRoom();
    drawGoldTitle(img, "YOU WIN", 170, 14);
    drawTextCentred(img, "THE DEN IS YOURS!", kW / 2, 290, {3, pal::kTextLight, pal::kTextLight, pal::kShadow});
    drawSprite(img, sprites.player, 0, 140, kFloorTop - 5 * 31, 5);
    drawSprite(img, sprites.portal, 1, 760, kFloorTop - 5 * 32, 5);
    // The two clickable regions share rows 458-460, so each button keeps to its own rows.
    drawButton(img, {314, 394, 390, 64}, "PLAY AGAIN", 5);
    drawButton(img, {426, 460, 166, 64}, "QUIT", 5);
    return img;
}

}  // namespace art
