// Synthesises the game's sounds into <root>/Sounds, encoded with oggenc and lame.
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "command_line.h"
#include "sounds.hpp"
#include "wav.hpp"

namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

void run(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("command failed: " + command);
}

// Fixed serial number and no tags keep the Ogg file identical run to run.
void encodeOgg(const fs::path& wav, const fs::path& out) {
  run("oggenc -Q -s 1 -q 4 -o " + quoted(out) + " " + quoted(wav));
}

void encodeMp3(const fs::path& wav, const fs::path& out) {
  run("lame --quiet --noreplaygain -b 128 " + quoted(wav) + " " + quoted(out));
}

void writeAll(const fs::path& dir) {
  const snd::Mono arrow = snd::makeArrowRelease();
  const fs::path arrowWav = dir / "choo.wav";
  snd::writeWav(arrowWav.string(), {&arrow});
  encodeOgg(arrowWav, dir / "choo.ogg");
  fs::remove(arrowWav);

  const snd::Stereo music = snd::makeDenMusic();
  const fs::path musicWav = dir / "QivDenofThieves.wav";
  snd::writeWav(musicWav.string(), {&music.left, &music.right});
  encodeMp3(musicWav, dir / "QivDenofThieves.mp3");
  fs::remove(musicWav);
}

}  // namespace

int main(int argc, char** argv) {
  const cli::Syntax syntax = {"make-sounds", "[ROOT]", 0, 1,
                          "Synthesises the game's sounds into ROOT/Sounds (ROOT is . when not given), encoded\n"
                          "with oggenc and lame from the PATH, byte for byte the same on every run.\n",
                          {}};
  cli::Arguments args;
  if (const std::optional<int> exitCode = cli::ParseCommandLine(syntax, argc, argv, &args)) return *exitCode;
  const fs::path root = args.operands.empty() ? "." : args.operands[0];
  try {
    fs::create_directories(root / "Sounds");
    writeAll(root / "Sounds");
  } catch (const std::exception& e) {
    std::cerr << "make-sounds: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
