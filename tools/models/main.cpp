// Makes the viewer's sample models with their materials and pictures into ROOT/Models, byte for byte the same on
// every run: a crate, a tower of three materials and a sphere of over 100,000 triangles.
#include <cmath>
#include <filesystem>
#include <string>

#include "command_line.h"
#include "draw.h"
#include "mesh.h"
#include "palette.h"
#include "rng.h"

namespace {

using art::Image;
using art::Rgb;
using art::Rgba;
using models::Corner;
using models::Mesh;
using models::Vec3;

// Names in the model files are read from the working directory, which is the data directory.
constexpr const char* kModelDir = "Models";
constexpr float kPi = 3.14159265f;

const cli::RootWriter kTool = {"make-models", kModelDir,
                               "Makes the model viewer's sample models, their material files and pictures into\n"
                               "ROOT/Models (ROOT is . when not given), byte for byte the same on every run.\n"};

// Boards across, a dark frame and a diagonal brace, as the game's wooden ledges are coloured.
Image MakeCrateTexture() {
    Image img(32, 32, Rgb(0x7e4b2e));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int board = y / 6;
            const Rgba base = board % 2 ? art::pal::kStoneB : art::pal::kStoneA;
            img.Set(x, y, art::HashCell(x / 5, y, 7u) % 9 == 0 ? art::pal::kStoneC : base);
            if (y % 6 == 0) img.Set(x, y, art::pal::kStoneDark);
        }
    }
    for (int i = 0; i < 32; ++i) {
        for (int t = -1; t <= 1; ++t) img.Set(i, 31 - i + t, art::pal::kLedgeUnder);
    }
    art::FrameRect(img, {0, 0, 32, 32}, 3, art::pal::kStoneShadow);
    art::FrameRect(img, {1, 1, 30, 30}, 1, art::pal::kStoneSide);
    for (const int x : {1, 30}) {
        for (const int y : {1, 30}) img.Set(x, y, art::pal::kLedgeTop);
    }
    return img;
}

// Staggered blocks of the den's warm stone.
Image MakeStoneTexture() {
    Image img(32, 32, art::pal::kStoneMortar);
    for (int row = 0; row < 4; ++row) {
        const int shift = row % 2 ? 4 : 0;
        for (int col = -1; col < 4; ++col) {
            const int x0 = col * 8 + shift;
            const std::uint32_t h = art::HashCell(col, row, 11u);
            const Rgba tone = h % 3 == 0 ? art::pal::kStoneA : h % 3 == 1 ? art::pal::kStoneB : art::pal::kStoneC;
            art::FillRect(img, {x0 + 1, row * 8 + 1, 7, 6}, tone);
            art::FillRect(img, {x0 + 1, row * 8 + 1, 7, 1}, art::pal::kStoneLight);
            art::FillRect(img, {x0 + 1, row * 8 + 6, 7, 1}, art::pal::kStoneDark);
        }
    }
    return img;
}

Image MakeWoodTexture() {
    Image img(16, 16, art::pal::kLedgeUnder);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (x % 4 == 0) img.Set(x, y, art::pal::kStoneDark);
            else if (art::HashCell(x, y / 3, 5u) % 7 == 0) img.Set(x, y, art::pal::kLedgeTop);
        }
    }
    return img;
}

// Overlapping rows of rounded tiles, deep red.
Image MakeRoofTexture() {
    Image img(32, 32, Rgb(0x5a1a1c));
    for (int row = 0; row < 4; ++row) {
        const int shift = row % 2 ? 4 : 0;
        for (int col = -1; col < 4; ++col) {
            const float cx = static_cast<float>(col * 8 + shift + 4);
            art::FillEllipse(img, cx, static_cast<float>(row * 8 + 3), 3.5f, 4.5f, Rgb(0xa8362c));
            art::FillEllipse(img, cx - 1.0f, static_cast<float>(row * 8 + 2), 1.5f, 2.0f, Rgb(0xd0583e));
        }
    }
    return img;
}

// Grey dust with craters, in blocks of the game's pixel size.
Image MakeMoonTexture() {
    Image img(128, 64, Rgb(0x8a8296));
    art::Rng rng(2024u);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (art::HashCell(x / 2, y / 2, 3u) % 5 == 0) img.Set(x, y, Rgb(0x7a7286));
        }
    }
    for (int i = 0; i < 40; ++i) {
        const float x = static_cast<float>(rng.Below(128)), y = static_cast<float>(8 + rng.Below(48));
        const float r = static_cast<float>(2 + rng.Below(6));
        art::FillEllipse(img, x, y, r, r, Rgb(0x5c5468));
        art::FillEllipse(img, x + 0.5f, y + 0.5f, r - 1.0f, r - 1.0f, Rgb(0x6e6680));
    }
    return img;
}

Vec3 Polar(float radius, float angle, float y) { return {radius * std::cos(angle), y, radius * std::sin(angle)}; }

void AddBox(Mesh& mesh) {
    const Vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const Vec3& n : axes) {
        // Two directions across the face; the face's corners follow them round.
        const Vec3 s = n.y != 0 ? Vec3{1, 0, 0} : Vec3{n.z, 0, -n.x};
        const Vec3 t = n.y != 0 ? Vec3{0, 0, n.y} : Vec3{0, -1, 0};
        const float su[4] = {-1, 1, 1, -1}, tv[4] = {-1, -1, 1, 1};
        std::vector<int> face;
        for (int k = 0; k < 4; ++k) {
            const Vec3 p = {n.x + s.x * su[k] + t.x * tv[k], n.y + s.y * su[k] + t.y * tv[k],
                            n.z + s.z * su[k] + t.z * tv[k]};
            face.push_back(mesh.AddVertex({p, n, (su[k] + 1) / 2, (tv[k] + 1) / 2}));
        }
        mesh.AddFace(face);
    }
}

// A band between two rings: radius and height at the bottom and the top; the normal leans with the slope.
void AddBand(Mesh& mesh, int segments, float r0, float y0, float r1, float y1, float uRepeat, float vRepeat) {
    const float slope = (r0 - r1) / (y1 - y0);
    const float length = std::sqrt(1.0f + slope * slope);
    std::vector<int> ring;
    for (int i = 0; i <= segments; ++i) {
        const float a = 2.0f * kPi * static_cast<float>(i % segments) / static_cast<float>(segments);
        const Vec3 n = {std::cos(a) / length, slope / length, std::sin(a) / length};
        const float u = uRepeat * static_cast<float>(i) / static_cast<float>(segments);
        ring.push_back(mesh.AddVertex({Polar(r0, a, y0), n, u, vRepeat}));
        ring.push_back(mesh.AddVertex({Polar(r1, a, y1), n, u, 0.0f}));
    }
    for (int i = 0; i < segments; ++i) {
        const int b = 2 * i;
        if (r1 == 0.0f) {
            mesh.AddFace({ring[b], ring[b + 1], ring[b + 2]});
        } else {
            mesh.AddFace({ring[b], ring[b + 1], ring[b + 3], ring[b + 2]});
        }
    }
}

// A flat ring facing up or down, between two radii (0 for a disc).
void AddRing(Mesh& mesh, int segments, float inner, float outer, float y, float up) {
    std::vector<int> ring;
    for (int i = 0; i <= segments; ++i) {
        const float a = 2.0f * kPi * static_cast<float>(i % segments) / static_cast<float>(segments);
        for (const float r : {inner, outer}) {
            const Vec3 p = Polar(r, a, y);
            ring.push_back(mesh.AddVertex({p, {0, up, 0}, 0.5f + p.x / 4, 0.5f + p.z / 4}));
        }
    }
    for (int i = 0; i < segments; ++i) {
        const int b = 2 * i;
        if (inner == 0.0f) {
            mesh.AddFace({ring[b], ring[b + 1], ring[b + 3]});
        } else {
            mesh.AddFace({ring[b], ring[b + 1], ring[b + 3], ring[b + 2]});
        }
    }
}

Mesh MakeTower() {
    constexpr int kSegments = 24;
    Mesh mesh;
    mesh.UseMaterial("stone");
    AddBand(mesh, kSegments, 1.0f, 0.0f, 1.0f, 3.0f, 4.0f, 3.0f);
    AddRing(mesh, kSegments, 0.0f, 1.0f, 0.0f, -1.0f);
    mesh.UseMaterial("wood");
    AddBand(mesh, kSegments, 1.2f, 3.0f, 1.2f, 3.3f, 6.0f, 0.5f);
    AddRing(mesh, kSegments, 1.0f, 1.2f, 3.0f, -1.0f);
    AddRing(mesh, kSegments, 0.0f, 1.2f, 3.3f, 1.0f);
    mesh.UseMaterial("roof");
    AddBand(mesh, kSegments, 1.45f, 3.3f, 0.0f, 5.2f, 6.0f, 3.0f);
    AddRing(mesh, kSegments, 1.2f, 1.45f, 3.3f, -1.0f);
    return mesh;
}

// Rings of latitude from pole to pole; the texture's rows run from the north pole down.
Mesh MakeSphere() {
    constexpr int kStacks = 160;
    constexpr int kSlices = 320;
    Mesh mesh;
    mesh.UseMaterial("moon");
    std::vector<int> grid;
    for (int s = 0; s <= kStacks; ++s) {
        const float polar = kPi * static_cast<float>(s) / kStacks;
        for (int i = 0; i <= kSlices; ++i) {
            const float a = 2.0f * kPi * static_cast<float>(i % kSlices) / kSlices;
            const Vec3 n = {std::sin(polar) * std::cos(a), std::cos(polar), std::sin(polar) * std::sin(a)};
            grid.push_back(mesh.AddVertex({n, n, static_cast<float>(i) / kSlices, static_cast<float>(s) / kStacks}));
        }
    }
    const auto at = [&grid](int s, int i) { return grid[s * (kSlices + 1) + i]; };
    for (int s = 0; s < kStacks; ++s) {
        for (int i = 0; i < kSlices; ++i) {
            if (s == 0) {
                mesh.AddFace({at(s, i), at(s + 1, i), at(s + 1, i + 1)});
            } else if (s == kStacks - 1) {
                mesh.AddFace({at(s, i), at(s + 1, i), at(s, i + 1)});
            } else {
                mesh.AddFace({at(s, i), at(s + 1, i), at(s + 1, i + 1), at(s, i + 1)});
            }
        }
    }
    return mesh;
}

void WriteAll(const std::filesystem::path& dir) {
    const std::string out = dir.string();
    MakeCrateTexture().SavePng(out + "/crate.png");
    models::SaveMaterials(out, kModelDir, "crate", {{"crate", "crate.png"}});
    Mesh crate;
    crate.UseMaterial("crate");
    AddBox(crate);
    crate.Save(out, kModelDir, "crate");

    MakeStoneTexture().SavePng(out + "/stone.png");
    MakeWoodTexture().SavePng(out + "/wood.png");
    MakeRoofTexture().SavePng(out + "/roof.png");
    models::SaveMaterials(out, kModelDir, "tower",
                          {{"stone", "stone.png"}, {"wood", "wood.png"}, {"roof", "roof.png"}});
    MakeTower().Save(out, kModelDir, "tower");

    MakeMoonTexture().SavePng(out + "/moon.png");
    models::SaveMaterials(out, kModelDir, "sphere", {{"moon", "moon.png"}});
    MakeSphere().Save(out, kModelDir, "sphere");
}

}  // namespace

int main(int argc, char** argv) { return cli::WriteUnderRoot(kTool, argc, argv, WriteAll); }
