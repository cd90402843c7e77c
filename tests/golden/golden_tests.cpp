// Golden frames: the splash, the menu and chosen frames of played games, compared byte for byte with the pictures
// today's code drew, so any change in drawing shows as the pixels it changed. CORVALO_GOLDEN_UPDATE=1 remakes the
// pictures on purpose instead of comparing.
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app_fixture.h"
#include "game.h"
#include "player.h"
#include "png_file.h"
#include "replay_script.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr size_t kBytesPerPixel = 4;
constexpr float kControlsShowSeconds = 7.0f;

bool Remaking() {
    const char* value = std::getenv("CORVALO_GOLDEN_UPDATE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

std::string GoldenPath(const std::string& name) { return std::string(CORVALO_GOLDEN_DIR) + "/" + name + ".png"; }

std::string Rgba(const uint8_t* pixel) {
    std::ostringstream out;
    out << "RGBA(" << +pixel[0] << ", " << +pixel[1] << ", " << +pixel[2] << ", " << +pixel[3] << ")";
    return out.str();
}

// Empty when the pictures are equal; otherwise how many pixels differ and which is the first.
std::string Difference(const RgbaPicture& expected, const RgbaPicture& drawn) {
    if (expected.width != drawn.width || expected.height != drawn.height) {
        return "the golden picture is " + std::to_string(expected.width) + "x" + std::to_string(expected.height);
    }
    size_t differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < drawn.pixels.size(); i += kBytesPerPixel) {
        if (std::memcmp(&expected.pixels[i], &drawn.pixels[i], kBytesPerPixel) == 0) continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return "";
    const size_t pixel = first / kBytesPerPixel;
    std::ostringstream out;
    out << differing << " pixels differ; the first, at (" << pixel % kWidth << ", " << pixel / kWidth << "), should be "
        << Rgba(&expected.pixels[first]) << " and is " << Rgba(&drawn.pixels[first]);
    return out.str();
}

std::string DrawnPath(const std::string& name) { return std::string(CORVALO_GOLDEN_ACTUAL_DIR) + "/" + name + ".png"; }

// Where the drawn frame was kept for a look, or why it was not.
std::string KeepDrawn(const std::string& name, const RgbaPicture& drawn) {
    std::error_code error;
    std::filesystem::create_directories(CORVALO_GOLDEN_ACTUAL_DIR, error);
    const std::string path = DrawnPath(name);
    return WritePng(path, drawn) ? "in " + path : "not kept: cannot write " + path;
}

// A frame kept by an earlier failing run would mislead once the frame matches again.
void ForgetDrawn(const std::string& name) {
    std::error_code error;
    std::filesystem::remove(DrawnPath(name), error);
}

void ReadScript(const std::string& path, std::vector<replay::Step>* steps) {
    std::ifstream file(path);
    ASSERT_TRUE(file) << "cannot open " << path;
    replay::ScriptError error;
    ASSERT_TRUE(replay::ParseScript(file, steps, &error))
        << path << ":" << error.line << ": \"" << error.text << "\": " << error.reason;
}

// What a golden frame of a game was chosen to show, checked on the game's state so a frame that drifted away from
// it is caught even when its picture is remade. Bars are judged by their red part, which covers the share missing.
using Shows = void (*)(const Game&);

float RedShare(const Sprite* redBar) { return redBar->GetScale().x; }

void Flame(const Game& game) { EXPECT_TRUE(game.IsFlameOn()) << "no jetpack flame"; }
void ArrowsInFlight(const Game& game) { EXPECT_FALSE(game.GetArrows().empty()) << "no arrow in flight"; }
void ControlsPanel(const Game& game) { EXPECT_LE(game.GetTotalTime(), kControlsShowSeconds) << "controls gone"; }
void PlayerBarShort(const Game& game) { EXPECT_GT(RedShare(game.GetPlayerRedHB()), 0.0f) << "player bar full"; }
void FuelBarPartlyUsed(const Game& game) {
    EXPECT_GT(RedShare(game.GetRedFB()), 0.0f) << "fuel bar full";
    EXPECT_LT(RedShare(game.GetRedFB()), 1.0f) << "fuel bar empty";
}
void EnemyBarShort(const Game& game) {
    bool shortened = false;
    for (size_t i = 0; i < game.GetEnemies().size(); ++i) shortened |= RedShare(game.GetEnemyRedHBs()[i]) > 0.0f;
    EXPECT_TRUE(shortened) << "every enemy bar full";
}
void BarsFull(const Game& game) {
    EXPECT_EQ(RedShare(game.GetPlayerRedHB()), 0.0f) << "player bar short";
    EXPECT_EQ(RedShare(game.GetRedFB()), 0.0f) << "fuel bar short";
    for (size_t i = 0; i < game.GetEnemies().size(); ++i) {
        EXPECT_EQ(RedShare(game.GetEnemyRedHBs()[i]), 0.0f) << "enemy bar " << i << " short";
    }
}

struct GoldenFrame {
    unsigned long frame;  // the game's update, counted from 0 as corvalo-replay numbers them
    const char* name;
    std::vector<Shows> shows;
};

class GoldenTest : public AppTest {
protected:
    void ExpectGolden(const std::string& name) const {
        const RgbaPicture drawn{kWidth, kHeight, Picture()};
        ASSERT_EQ(drawn.pixels.size(), kWidth * kHeight * kBytesPerPixel) << "the back buffer is not 1024x768";
        const std::string golden = GoldenPath(name);
        if (Remaking()) {
            ASSERT_TRUE(WritePng(golden, drawn)) << "cannot write " << golden;
            std::cout << "[ GOLDEN   ] CORVALO_GOLDEN_UPDATE=1: remade " << golden << std::endl;
            return;
        }
        RgbaPicture expected;
        ASSERT_TRUE(ReadPng(golden, &expected)) << "cannot read " << golden << " (CORVALO_GOLDEN_UPDATE=1 makes it)";
        const std::string difference = Difference(expected, drawn);
        if (difference.empty()) {
            ForgetDrawn(name);
            return;
        }
        ADD_FAILURE() << name << ": " << difference << "; the frame drawn is " << KeepDrawn(name, drawn);
    }

    // Starts a game from the menu and plays the script's keys through the application up to the last golden frame.
    void Play(const std::string& script, const std::vector<GoldenFrame>& goldens) {
        std::vector<replay::Step> steps;
        ASSERT_NO_FATAL_FAILURE(ReadScript(script, &steps));
        platform::SetKeySource([this](int key) { return key >= 0 && key < 256 && mHeld[static_cast<size_t>(key)]; });
        ASSERT_NO_FATAL_FAILURE(PressPlay());
        unsigned long frame = 0;
        auto next = goldens.begin();
        for (auto step = steps.begin(); step != steps.end() && next != goldens.end(); ++step) {
            Hold(step->keys);
            for (unsigned long i = 0; i < step->frames && next != goldens.end(); ++i, ++frame) {
                const GoldenFrame* golden = frame == next->frame ? &*next++ : nullptr;
                ASSERT_NO_FATAL_FAILURE(PlayFrame(step->dt, golden));
            }
        }
        EXPECT_TRUE(next == goldens.end()) << script << " ends before frame " << next->frame;
    }

    // Plays the whole script with every presented frame drawn whole as well and compared with the frame drawn only
    // where it changed.
    void PlayChecked(const std::string& script) {
#ifdef CORVALO_SANITIZE
        // Minutes of whole frames under the sanitizers for pixels the normal build compares; the damage code's
        // memory is checked here by the randomised scene test.
        GTEST_SKIP() << "compared in the normal build";
#endif
        std::vector<replay::Step> steps;
        ASSERT_NO_FATAL_FAILURE(ReadScript(script, &steps));
        platform::SetKeySource([this](int key) { return key >= 0 && key < 256 && mHeld[static_cast<size_t>(key)]; });
        platform::SetDamageCheck(true);
        ASSERT_NO_FATAL_FAILURE(PressPlay());
        unsigned long frames = 0;
        for (const replay::Step& step : steps) {
            Hold(step.keys);
            for (unsigned long i = 0; i < step.frames; ++i, ++frames) Frame(step.dt);
        }
        const uint64_t differences = platform::DamageCheckDifferences();
        const uint64_t checked = platform::DamageCheckedFrames();
        platform::SetDamageCheck(false);
        EXPECT_EQ(differences, 0u) << script;
        EXPECT_GT(checked, frames / 2) << script << ": most frames are drawn only where they changed";
    }

private:
    void Hold(const std::vector<int>& keys) {
        mHeld.fill(false);
        for (int key : keys) mHeld[static_cast<size_t>(key)] = true;
    }

    void PlayFrame(float dt, const GoldenFrame* golden) {
        app->Update(dt);
        const Game* game = app->GetGame();
        ASSERT_NE(game, nullptr) << "the game has ended";
        // Drawing puts the flame out, so the state is read between the update and the drawing.
        if (golden) {
            SCOPED_TRACE(golden->name);
            for (Shows shows : golden->shows) shows(*game);
        }
        app->Render();
        if (golden) ExpectGolden(golden->name);
    }

    std::array<bool, 256> mHeld = {};
};

TEST_F(GoldenTest, SplashThenTitleMenu) {
    Frame(0.25f);
    ExpectGolden("splash");
    ASSERT_NO_FATAL_FAILURE(PassSplash());
    ExpectGolden("menu");
}

// tests/replay/win.replay; `corvalo-replay tests/replay/win.replay` prints the state of each frame.
TEST_F(GoldenTest, WinningGame) {
    Play(CORVALO_WIN_REPLAY,
         {
             // Flying up the shaft on the jetpack under the controls panel, five arrows out, every bar full.
             {80, "win_080_jetpack", {Flame, ArrowsInFlight, ControlsPanel, BarsFull}},
             // Still flying; the first enemy, hit in the update before (bars are laid out before arrows strike), shows
             // a fifth of its bar red.
             {102, "win_102_enemy_hit", {Flame, ArrowsInFlight, ControlsPanel, EnemyBarShort}},
             // Dropping onto the block beside the first enemy, which has touched the player: its bar is four fifths
             // red, the player's a third.
             {150, "win_150_both_hurt", {ArrowsInFlight, ControlsPanel, EnemyBarShort, PlayerBarShort}},
         });
}

TEST_F(GoldenTest, WinningReplayDrawnWhereItChangedEqualsWholeFrames) { PlayChecked(CORVALO_WIN_REPLAY); }

TEST_F(GoldenTest, LosingReplayDrawnWhereItChangedEqualsWholeFrames) { PlayChecked(CORVALO_LOSE_REPLAY); }

TEST_F(GoldenTest, JetpackBurnsFuel) {
    Play(std::string(CORVALO_GOLDEN_DIR) + "/jetpack.replay",
         {
             // Still thrusting just after the first unit of fuel burnt: a fifth of the fuel bar is red.
             {182, "jetpack_182_fuel_used", {Flame, FuelBarPartlyUsed, ControlsPanel}},
         });
}

}  // namespace
