// Synthesises the game's sounds into <root>/Sounds, encoded with oggenc and lame.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "command_line.h"
#include "sounds.h"
#include "wav.h"

namespace {

const cli::RootWriter kTool = {"make-sounds", "Sounds",
                               "Synthesises the game's sounds into ROOT/Sounds (ROOT is . when not given), encoded\n"
                               "with oggenc and lame from the PATH, byte for byte the same on every run.\n"};

namespace fs = std::filesystem;

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("command failed: " + command);
}

// Fixed serial number and no tags keep the Ogg file identical run to run.
void EncodeOgg(const fs::path& wav, const fs::path& out) {
    Run("oggenc -Q -s 1 -q 4 -o " + Quoted(out) + " " + Quoted(wav));
}

void EncodeMp3(const fs::path& wav, const fs::path& out) {
    Run("lame --quiet --noreplaygain -b 128 " + Quoted(wav) + " " + Quoted(out));
}

void WriteAll(const fs::path& dir) {
    const snd::Mono arrow = snd::MakeArrowRelease();
    const fs::path arrowWav = dir / "choo.wav";
    snd::WriteWav(arrowWav.string(), {&arrow});
    EncodeOgg(arrowWav, dir / "choo.ogg");
    fs::remove(arrowWav);

    const snd::Stereo music = snd::MakeDenMusic();
    const fs::path musicWav = dir / "QivDenofThieves.wav";
    snd::WriteWav(musicWav.string(), {&music.left, &music.right});
    EncodeMp3(musicWav, dir / "QivDenofThieves.mp3");
    fs::remove(musicWav);
}

}  // namespace

int main(int argc, char** argv) { return cli::WriteUnderRoot(kTool, argc, argv, WriteAll); }
