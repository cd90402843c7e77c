// Paints every picture of the game into <root>/Textures.
#include <filesystem>
#include <string>

#include "command_line.h"
#include "scenes.hpp"
#include "sprites.hpp"

namespace {

const cli::RootWriter kTool = {"make-art", "Textures",
                               "Paints every picture of the game into ROOT/Textures (ROOT is . when not given),\n"
                               "byte for byte the same on every run.\n"};

void save(const art::Image& img, const std::filesystem::path& dir, const std::string& name) {
    img.savePng((dir / name).string());
}

void writeAll(const std::filesystem::path& dir) {
    using namespace art;
    const SpriteSet sprites{makePlayer(), makeEnemies(), makeExitPortal()};
    save(makeArrow(), dir, "arrow.png");
    save(makeFlame(), dir, "flame.png");
    save(sprites.player, dir, "player.png");
    save(sprites.portal, dir, "EOLobj.png");
    const char* enemyFiles[] = {"enemyStrip1.png", "enemyStrip2.png", "enemyStrip3.png",
                                "enemy4.png",      "enemy5.png",      "enemy6.png"};
    for (std::size_t i = 0; i < sprites.enemies.size(); ++i) save(sprites.enemies[i], dir, enemyFiles[i]);
    save(makeHealthTile(BarTone::Green), dir, "greenHealth.png");
    save(makeHealthTile(BarTone::Red), dir, "redHealth.png");
    save(makeFuelBar(BarTone::Green), dir, "greenFuel.png");
    save(makeFuelBar(BarTone::Red), dir, "redFuel.png");
    for (const int size : {32, 48, 64, 128, 256})
        save(makeIcon(sprites.player, size), dir, "corvalo-icon-" + std::to_string(size) + ".png");
    save(makeLevelBackground(), dir, "QivbgTiled.png");
    save(makeControlsPanel(), dir, "controlsFont.png");
    save(makeSplash(sprites), dir, "menuBackground.png");
    save(makeMenuScreen(sprites), dir, "MenuScreen.png");
    save(makeCreditScreen(), dir, "CreditScreen.png");
    save(makeGameOverScreen(sprites), dir, "GameOverBackground.png");
    save(makeWinScreen(sprites), dir, "WinBackground.png");
}

}  // namespace

int main(int argc, char** argv) { return cli::WriteUnderRoot(kTool, argc, argv, writeAll); }
