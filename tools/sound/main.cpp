// Synthesises the game's sounds into <root>/Sounds, encoded with oggenc and lame.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "command_line.h"
#include "sounds.h"
#include "wav.h"

namespace {

const cli::RootWriter kTool = {"make-sounds", "Sounds",
                               "Synthesises the game's sounds into ROOT/Sounds (ROOT is . when not given), encoded\n"
                               "with oggenc and lame from the PATH, byte for byte the same on every run.\n"};

namespace fs = std::filesystem;

// A relative path that begins with '-' would be read as an option.
std::string Operand(const fs::path& p) {
    const std::string text = p.string();
    return !text.empty() && text[0] == '-' ? "./" + text : text;
}

// The encoder gets its arguments as they are: no shell, so nothing in a path is ever run or split.
void Run(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0) throw std::runtime_error("cannot run " + command[0] + ": " + std::strerror(error));
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("lost " + command[0] + ": " + std::strerror(errno));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string line = command[0];
        for (size_t i = 1; i < command.size(); ++i) line += " " + command[i];
        throw std::runtime_error("command failed: " + line);
    }
}

// Fixed serial number and no tags keep the Ogg file identical run to run.
void EncodeOgg(const fs::path& wav, const fs::path& out) {
    cli::ReplaceFile(out, [&](const fs::path& file) {
        Run({"oggenc", "-Q", "-s", "1", "-q", "4", "-o", Operand(file), Operand(wav)});
    });
}

void EncodeMp3(const fs::path& wav, const fs::path& out) {
    cli::ReplaceFile(out, [&](const fs::path& file) {
        Run({"lame", "--quiet", "--noreplaygain", "-b", "128", Operand(wav), Operand(file)});
    });
}

// The intermediate WAV file goes whether or not its encoder succeeds.
struct Scratch {
    fs::path path;
    ~Scratch() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

void WriteAll(const fs::path& dir) {
    const snd::Mono arrow = snd::MakeArrowRelease();
    {
        const Scratch arrowWav{dir / "choo.wav"};
        snd::WriteWav(arrowWav.path.string(), {&arrow});
        EncodeOgg(arrowWav.path, dir / "choo.ogg");
    }
    const snd::Stereo music = snd::MakeDenMusic();
    const Scratch musicWav{dir / "QivDenofThieves.wav"};
    snd::WriteWav(musicWav.path.string(), {&music.left, &music.right});
    EncodeMp3(musicWav.path, dir / "QivDenofThieves.mp3");
}

}  // namespace

int main(int argc, char** argv) { return cli::WriteUnderRoot(kTool, argc, argv, WriteAll); }
