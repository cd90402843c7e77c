// Synthesises the game's sounds into <root>/Sounds, encoded with oggenc and lame.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "command_line.h"
#include "sounds.hpp"
#include "wav.hpp"

namespace {

const cli::RootWriter kTool = {"make-sounds", "Sounds",
                               "Synthesises the game's sounds into ROOT/Sounds (ROOT is . when not given), encoded\n"
                               "with oggenc and lame from the PATH, byte for byte the same on every run.\n"};

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

int main(int argc, char** argv) { return cli::WriteUnderRoot(kTool, argc, argv, writeAll); }
