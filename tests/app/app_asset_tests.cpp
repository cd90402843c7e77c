// Broken data files and no sound output: the game starts, gets as far into play as its failure handling lets it,
// and ends with exit code 0 when its window closes. Each data file is broken in every way a user's copy could be.
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "data_dir.h"
#include "app_fixture.h"

namespace fs = std::filesystem;

namespace {

enum class Breakage { Corrupt, Truncated, Empty, Directory, Fifo, Oversized };

constexpr size_t kOversizedBytes = 16u << 20;

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

// The header is kept, so the decoder gets past its first check and meets the damage.
std::string Corrupted(std::string bytes) {
    for (size_t i = 64; i < bytes.size(); i += 3) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    return bytes;
}

// Text files grow by blank lines, so that the file stays valid and its size alone is tried.
std::string Oversized(std::string bytes, bool text) {
    bytes.resize(kOversizedBytes, text ? '\n' : '\0');
    return bytes;
}

void Break(const fs::path& path, const fs::path& original, Breakage breakage) {
    const std::string bytes = Read(original);
    switch (breakage) {
    case Breakage::Corrupt:
        return Write(path, Corrupted(bytes));
    case Breakage::Truncated:
        return Write(path, bytes.substr(0, bytes.size() / 2));
    case Breakage::Empty:
        return Write(path, "");
    case Breakage::Directory:
        fs::create_directory(path);
        return;
    case Breakage::Fifo:
        mkfifo(path.c_str(), 0600);
        return;
    case Breakage::Oversized:
        return Write(path, Oversized(bytes, path.extension() == ".fx"));
    }
}

class AssetTest : public AppTest {
protected:
    // Plays with Space held so the arrow sound is asked for, then closes the window as the user would.
    void PlayAndClose() {
        StartGame();
        heldKey = VK_SPACE;
        for (int i = 0; i < 30; ++i) Frame();
        heldKey = 0;
        EXPECT_EQ(app->GetState(), Playing);
        PostMessageW(app->GetWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app->RunLoop(), 0);
        EXPECT_FALSE(IsWindow(app->GetWindow()));
    }
};

using Broken = std::tuple<const char*, Breakage>;

class BrokenFileTest : public AssetTest, public ::testing::WithParamInterface<Broken> {
protected:
    void SetUp() override {
        const Breakage breakage = std::get<1>(GetParam());
        data_ = std::make_unique<ScratchDataDir>(
            std::get<0>(GetParam()),
            [breakage](const fs::path& target, const fs::path& original) { Break(target, original, breakage); });
        AppTest::SetUp();
    }
    void TearDown() override {
        AppTest::TearDown();
        data_.reset();
    }

private:
    std::unique_ptr<ScratchDataDir> data_;
};

TEST_P(BrokenFileTest, TheGamePlaysAndEndsWithZero) { PlayAndClose(); }

std::string BrokenName(const ::testing::TestParamInfo<Broken>& info) {
    static const char* const kBreakages[] = {"Corrupt", "Truncated", "Empty", "Directory", "Fifo", "Oversized"};
    std::string name =
        fs::path(std::get<0>(info.param)).stem().string() + "_" + kBreakages[static_cast<int>(std::get<1>(info.param))];
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Assets, BrokenFileTest,
    ::testing::Combine(::testing::Values("Textures/QivbgTiled.png", "Textures/menuBackground.png", "Sounds/choo.ogg",
                                         "Sounds/QivDenofThieves.mp3", "FX/lighting.fx"),
                       ::testing::Values(Breakage::Corrupt, Breakage::Truncated, Breakage::Empty, Breakage::Directory,
                                         Breakage::Fifo, Breakage::Oversized)),
    BrokenName);

// No output to play into: a driver that does not exist, and the disk driver with nowhere to write.
class NoAudioTest : public AssetTest, public ::testing::WithParamInterface<std::vector<const char*>> {
protected:
    void SetUp() override {
        const std::vector<const char*>& settings = GetParam();
        for (size_t i = 0; i + 1 < settings.size(); i += 2) setenv(settings[i], settings[i + 1], 1);
        platform::SetDebugOutputHook([this](const std::wstring& text) { said += platform::ToUtf8(text); });
        AppTest::SetUp();
    }
    void TearDown() override {
        AppTest::TearDown();
        platform::SetDebugOutputHook(nullptr);
    }

    std::string said;
};

TEST_P(NoAudioTest, TheGamePlaysSilentlySayingSoOnceAndEndsWithZero) {
    PlayAndClose();
    EXPECT_EQ(gShotChannel, nullptr);
    EXPECT_EQ(gMusicChannel, nullptr);
    const size_t first = said.find("no audio output");
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find("no audio output", first + 1), std::string::npos) << said;
}

std::string NoAudioName(const ::testing::TestParamInfo<std::vector<const char*>>& info) {
    return info.index == 0 ? "UnknownDriver" : "UnwritableDiskFile";
}

INSTANTIATE_TEST_SUITE_P(Assets, NoAudioTest,
                         ::testing::Values(std::vector<const char*>{"SDL_AUDIODRIVER", "no-such-driver"},
                                           std::vector<const char*>{"SDL_AUDIODRIVER", "disk", "SDL_DISKAUDIOFILE",
                                                                    "/nonexistent/corvalo/audio.raw"}),
                         NoAudioName);

}  // namespace
