// Loads a generated OBJ mesh of 100 000 triangles (a 250 × 200 grid with texture coordinates and one normal) and
// prints the median load time of five loads.
#include <objloader.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "bench_figures.h"

namespace {

constexpr int kColumns = 250;
constexpr int kRows = 200;

void WriteGrid(const std::string& path) {
    std::ofstream obj(path);
    for (int y = 0; y <= kRows; ++y) {
        for (int x = 0; x <= kColumns; ++x) obj << "v " << x << ' ' << y << " 0\n";
    }
    for (int y = 0; y <= kRows; ++y) {
        for (int x = 0; x <= kColumns; ++x) obj << "vt " << float(x) / kColumns << ' ' << float(y) / kRows << '\n';
    }
    obj << "vn 0 0 -1\n";
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            const int a = y * (kColumns + 1) + x + 1;
            const int b = a + 1;
            const int c = a + kColumns + 1;
            const int d = c + 1;
            obj << "f " << a << '/' << a << "/1 " << c << '/' << c << "/1 " << d << '/' << d << "/1\n";
            obj << "f " << a << '/' << a << "/1 " << d << '/' << d << "/1 " << b << '/' << b << "/1\n";
        }
    }
}

}  // namespace

int main() {
    char folder[] = "/tmp/bench_obj_XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string path = std::string(folder) + "/grid.obj";
    WriteGrid(path);

    std::vector<double> milliseconds;
    size_t triangles = 0;
    for (int run = 0; run < 5; ++run) {
        std::vector<Vertex::NormalTexVertex> vertices;
        std::vector<UINT> indices;
        std::vector<MeshGeometry::Subset> subsets;
        const double start = bench::WallSeconds();
        const bool ok = OBJLoader().LoadMeshFile(nullptr, std::wstring(path.begin(), path.end()), vertices, indices,
                                                 subsets, false, false);
        milliseconds.push_back((bench::WallSeconds() - start) * 1000.0);
        if (!ok) {
            std::fprintf(stderr, "bench-obj: the generated mesh did not load\n");
            return 1;
        }
        triangles = indices.size() / 3;
    }
    unlink(path.c_str());
    rmdir(folder);

    std::printf("triangles: %zu\n", triangles);
    std::printf("load_ms_per_100k_triangles: %.1f\n", bench::Percentile(milliseconds, 0.5) * 100000.0 / triangles);
    return 0;
}
