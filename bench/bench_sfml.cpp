// The playing screen's sprite load drawn by SFML in a real window, as a reference for bench-game on the same machine.
// Prints the pace and the cost of ten seconds after a one-second warm-up.
// Usage: bench-sfml [--uncapped | --vsync]; by default a 60 Hz frame-rate limiter paces the frames.
#include <SFML/Graphics.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_figures.h"

namespace {

constexpr unsigned kWidth = 1024;
constexpr unsigned kHeight = 768;
constexpr double kWarmUpSeconds = 1.0;
constexpr double kMeasureSeconds = 10.0;
constexpr float kWalkSpeed = 100.0f;
constexpr float kWalkLeft = 100.0f;
constexpr float kWalkRight = 924.0f;
constexpr float kArrowSpeed = 250.0f;
constexpr float kFrameTime = 0.25f;
constexpr float kPlayerBarWidth = 96.0f;
constexpr float kEnemyBarWidth = 32.0f;
constexpr float kEnemyBarRise = 32.0f;
constexpr size_t kEnemies = 6;
constexpr size_t kArrows = 5;

enum class Pacing { Limiter, VerticalSync, Uncapped };

struct Textures {
    sf::Texture background, player, flame, greenHealth, redHealth, greenFuel, redFuel, arrow, controls;
    std::array<sf::Texture, kEnemies> enemies;
};

struct Figures {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    std::vector<double> frameMs;
};

bool Load(sf::Texture& texture, const char* file) {
    return texture.loadFromFile(std::string(CORVALO_DATA_DIR "/Textures/") + file);
}

bool LoadAll(Textures& t) {
    const char* const enemyFiles[kEnemies] = {"enemyStrip1.png", "enemyStrip2.png", "enemyStrip3.png",
                                              "enemy4.png",      "enemy5.png",      "enemy6.png"};
    bool loaded = Load(t.background, "QivbgTiled.png") && Load(t.player, "player.png") && Load(t.flame, "flame.png") &&
                  Load(t.greenHealth, "greenHealth.png") && Load(t.redHealth, "redHealth.png") &&
                  Load(t.greenFuel, "greenFuel.png") && Load(t.redFuel, "redFuel.png") && Load(t.arrow, "arrow.png") &&
                  Load(t.controls, "controlsFont.png");
    for (size_t i = 0; i < kEnemies; ++i) loaded = loaded && Load(t.enemies[i], enemyFiles[i]);
    // The player's health bar is the enemies' 32 x 8 bar tiled over 96 x 16, as the game's wrapping sampler does.
    t.greenHealth.setRepeated(true);
    t.redHealth.setRepeated(true);
    return loaded;
}

// The game's world has y up from the bottom edge; SFML's has y down from the top.
sf::Vector2f Screen(float x, float y) { return {x, kHeight - y}; }

// The game centres every quad on its position, and scales and flips it about that centre.
sf::Sprite Quad(const sf::Texture& texture, sf::IntRect frame, float x, float y) {
    sf::Sprite sprite(texture, frame);
    sprite.setOrigin(frame.width / 2.0f, frame.height / 2.0f);
    sprite.setPosition(Screen(x, y));
    return sprite;
}

sf::Sprite Whole(const sf::Texture& texture, float x, float y) {
    const sf::Vector2u size = texture.getSize();
    return Quad(texture, {0, 0, static_cast<int>(size.x), static_cast<int>(size.y)}, x, y);
}

// As the game lays out a bar: the red part covers the missing right-hand share.
void LayOutBar(sf::Sprite& green, sf::Sprite& red, float x, float y, float share, float width) {
    green.setPosition(Screen(x, y));
    red.setPosition(Screen(x + width / 2 * share, y));
    red.setScale(1.0f - share, 1.0f);
}

// Every sprite of the playing screen at its place in the game, with partly spent bars so that every red part shows.
class Scene {
public:
    explicit Scene(const Textures& t)
        : mBackground(Whole(t.background, 512, 384)),
          mPlayer(Quad(t.player, {0, 0, 32, 32}, 0, 0)),
          mFlame(Whole(t.flame, 0, 0)),
          mHealthGreen(Quad(t.greenHealth, {0, 0, 96, 16}, 0, 0)),
          mHealthRed(Quad(t.redHealth, {0, 0, 96, 16}, 0, 0)),
          mFuelGreen(Whole(t.greenFuel, 0, 0)),
          mFuelRed(Whole(t.redFuel, 0, 0)),
          mControls(Whole(t.controls, 800, 100)) {
        LayOutBar(mHealthGreen, mHealthRed, 60, 736, 2.0f / 3.0f, kPlayerBarWidth);
        LayOutBar(mFuelGreen, mFuelRed, 60, 698, 3.0f / 5.0f, kPlayerBarWidth);
        for (size_t i = 0; i < kEnemies; ++i) {
            mEnemies[i] = Quad(t.enemies[i], {0, 0, 32, 32}, 0, 0);
            mEnemyGreen[i] = Whole(t.greenHealth, 0, 0);
            mEnemyRed[i] = Whole(t.redHealth, 0, 0);
        }
        for (sf::Sprite& arrow : mArrows) arrow = Whole(t.arrow, 0, 0);
    }

    void Step(float seconds) {
        StepPlayer(seconds);
        StepEnemies(seconds);
        StepArrows(seconds);
    }

    void Draw(sf::RenderTarget& target) const {
        for (const sf::Drawable* d :
             {&mBackground, &mPlayer, &mFlame, &mHealthGreen, &mHealthRed, &mFuelGreen, &mFuelRed})
            target.draw(*d);
        for (size_t i = 0; i < kEnemies; ++i) {
            target.draw(mEnemies[i]);
            target.draw(mEnemyGreen[i]);
            target.draw(mEnemyRed[i]);
        }
        for (const sf::Sprite& arrow : mArrows) target.draw(arrow);
        target.draw(mControls);
    }

private:
    void StepPlayer(float seconds) {
        const float span = kWalkRight - kWalkLeft;
        const float travelled = std::fmod(kWalkSpeed * seconds, 2 * span);
        const bool facingRight = travelled < span;
        const float x = facingRight ? kWalkLeft + travelled : kWalkRight - (travelled - span);
        const int frame = static_cast<int>(seconds / kFrameTime) % 3;
        mPlayer.setTextureRect({32 * frame, 0, 32, 32});
        mPlayer.setPosition(Screen(x, 384));
        mPlayer.setScale(facingRight ? 1.0f : -1.0f, 1.0f);
        mFlame.setPosition(Screen(facingRight ? x - 5 : x + 5, 368));
    }

    void StepEnemies(float seconds) {
        const float starts[kEnemies][2] = {{800, 500}, {600, 700}, {800, 200}, {200, 500}, {200, 700}, {200, 200}};
        for (size_t i = 0; i < kEnemies; ++i) {
            const float x = starts[i][0];
            const float y = starts[i][1] + 10 * std::sin(seconds * 2 + i);
            mEnemies[i].setPosition(Screen(x, y));
            LayOutBar(mEnemyGreen[i], mEnemyRed[i], x, y + kEnemyBarRise, (i % 4 + 1) / 5.0f, kEnemyBarWidth);
        }
    }

    void StepArrows(float seconds) {
        for (size_t i = 0; i < kArrows; ++i) {
            const float direction = i % 2 == 0 ? 1.0f : -1.0f;
            const float travelled = std::fmod(kArrowSpeed * seconds + 200 * i, static_cast<float>(kWidth));
            mArrows[i].setPosition(Screen(direction > 0 ? travelled : kWidth - travelled, 150 + 110 * i));
            mArrows[i].setScale(direction, 1.0f);
        }
    }

    sf::Sprite mBackground, mPlayer, mFlame, mHealthGreen, mHealthRed, mFuelGreen, mFuelRed, mControls;
    std::array<sf::Sprite, kEnemies> mEnemies, mEnemyGreen, mEnemyRed;
    std::array<sf::Sprite, kArrows> mArrows;
};

Pacing PacingFrom(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--uncapped") == 0) return Pacing::Uncapped;
    if (argc > 1 && std::strcmp(argv[1], "--vsync") == 0) return Pacing::VerticalSync;
    return Pacing::Limiter;
}

// SFML advises against mixing vertical sync with its limiter, so each pacing sets both.
void SetPacing(sf::Window& window, Pacing pacing) {
    window.setVerticalSyncEnabled(pacing == Pacing::VerticalSync);
    window.setFramerateLimit(pacing == Pacing::Limiter ? 60 : 0);
}

// Returns when the frame was shown. Events are drained so the window stays responsive to the X server.
double ShowFrame(sf::RenderWindow& window, Scene& scene, double seconds) {
    sf::Event event;
    while (window.pollEvent(event)) {
    }
    scene.Step(static_cast<float>(seconds));
    window.clear(sf::Color::White);
    scene.Draw(window);
    window.display();
    return bench::WallSeconds();
}

Figures Run(sf::RenderWindow& window, Scene& scene) {
    const double start = bench::WallSeconds();
    double shown = start;
    while (shown - start < kWarmUpSeconds) shown = ShowFrame(window, scene, shown - start);
    Figures figures;
    const double measureStart = shown;
    const double cpuStart = bench::CpuSeconds();
    while (shown - measureStart < kMeasureSeconds) {
        const double next = ShowFrame(window, scene, shown - start);
        figures.frameMs.push_back((next - shown) * 1000.0);
        shown = next;
    }
    figures.wallSeconds = shown - measureStart;
    figures.cpuSeconds = bench::CpuSeconds() - cpuStart;
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    sf::RenderWindow window(sf::VideoMode(kWidth, kHeight), "bench-sfml", sf::Style::Titlebar | sf::Style::Close);
    SetPacing(window, PacingFrom(argc, argv));
    Textures textures;
    if (!LoadAll(textures)) {
        std::fprintf(stderr, "bench-sfml: a texture under %s/Textures did not load\n", CORVALO_DATA_DIR);
        return 1;
    }
    Scene scene(textures);
    const Figures figures = Run(window, scene);

    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("fps: %.2f\n", figures.frameMs.size() / figures.wallSeconds);
    std::printf("frame_ms_p99: %.3f\n", bench::Percentile(figures.frameMs, 0.99));
    std::printf("cpu_percent: %.1f\n", 100.0 * figures.cpuSeconds / figures.wallSeconds);
    std::printf("peak_rss_mb: %.1f\n", usage.ru_maxrss / 1024.0);
    return 0;
}
