// Paints every picture of the game into <root>/Textures.
#include <filesystem>
#include <string>

#include "command_line.h"
#include "scenes.h"
#include "sprites.h"

namespace {

const cli::RootWriter kTool = {"make-art", "Textures",
                               "Paints every picture of the game into ROOT/Textures (ROOT is . when not given),\n"
                               "byte for byte the same on every run.\n"};

void Save(const art::Image& img, const std::filesystem::path& dir, const std::string& name) {
    cli::ReplaceFile(dir / name, [&](const std::filesystem::path& file) { img.SavePng(file.string()); });
}

void WriteAll(const std::filesystem::path& dir) {
    using namespace art;
    const SpriteSet sprites{MakePlayer(), MakeEnemies(), MakeExitPortal()};
    Save(MakeArrow(), dir, "arrow.png");
    Save(MakeFlame(), dir, "flame.png");
    Save(sprites.player, dir, "player.png");
    Save(sprites.portal, dir, "EOLobj.png");
    const char* enemyFiles[] = {"enemyStrip1.png", "enemyStrip2.png", "enemyStrip3.png",
                                "enemy4.png",      "enemy5.png",      "enemy6.png"};
    for (std::size_t i = 0; i < sprites.enemies.size(); ++i) Save(sprites.enemies[i], dir, enemyFiles[i]);
    Save(MakeHealthTile(BarTone::Green), dir, "greenHealth.png");
    Save(MakeHealthTile(BarTone::Red), dir, "redHealth.png");
    Save(MakeFuelBar(BarTone::Green), dir, "greenFuel.png");
    Save(MakeFuelBar(BarTone::Red), dir, "redFuel.png");
    for (const int size : {32, 48, 64, 128, 256})
        Save(MakeIcon(sprites.player, size), dir, "corvalo-icon-" + std::to_string(size) + ".png");
    Save(MakeLevelBackground(), dir, "QivbgTiled.png");
    Save(MakeControlsPanel(), dir, "controlsFont.png");
    Save(MakeSplash(sprites), dir, "menuBackground.png");
    Save(MakeMenuScreen(sprites), dir, "MenuScreen.png");
    Save(MakeCreditScreen(), dir, "CreditScreen.png");
    Save(MakeGameOverScreen(sprites), dir, "GameOverBackground.png");
    Save(MakeWinScreen(sprites), dir, "WinBackground.png");
}

}  // namespace

int main(int argc, char** argv) { return cli::WriteUnderRoot(kTool, argc, argv, WriteAll); }
