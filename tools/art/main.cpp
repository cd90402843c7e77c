// Paints every picture of the game into <root>/Textures.
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "command_line.h"
#include "scenes.hpp"
#include "sprites.hpp"

namespace {

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
  for (std::size_t i = 0; i < sprites.enemies.size(); ++i)
    save(sprites.enemies[i], dir, enemyFiles[i]);
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

int main(int argc, char** argv) {
  const cli::Syntax syntax = {"make-art", "[ROOT]", 0, 1,
                          "Paints every picture of the game into ROOT/Textures (ROOT is . when not given),\n"
                          "byte for byte the same on every run.\n",
                          {}};
  cli::Arguments args;
  if (const std::optional<int> exitCode = cli::ParseCommandLine(syntax, argc, argv, &args)) return *exitCode;
  const std::filesystem::path root = args.operands.empty() ? "." : args.operands[0];
  const std::filesystem::path dir = root / "Textures";
  try {
    std::filesystem::create_directories(dir);
    writeAll(dir);
  } catch (const std::exception& e) {
    std::cerr << "make-art: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
