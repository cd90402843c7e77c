// libFuzzer target of the OBJ and material readers. An input is a mesh file, optionally followed by a NUL byte and
// the material file, which the mesh reaches as "mtllib fuzz.mtl". Both are written to a private folder and loaded
// with no device; a load must end in true with consistent lists or in false with the lists untouched. The working
// folder is the private one only during a load, so libFuzzer's own relative paths keep their meaning.
#include <objloader.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string gFolder;
std::string gHome;

void WriteFile(const char* name, const uint8_t* data, size_t size) {
    std::ofstream(gFolder + "/" + name, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), size);
}

void RemoveFolder() {
    unlink((gFolder + "/fuzz.obj").c_str());
    unlink((gFolder + "/fuzz.mtl").c_str());
    rmdir(gFolder.c_str());
}

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckLoaded(const std::vector<Vertex::NormalTexVertex>& vertices, const std::vector<UINT>& indices,
                 const std::vector<MeshGeometry::Subset>& subsets) {
    Require(indices.size() % 3 == 0 && indices.size() <= OBJLoader::kMaxIndices);
    for (const UINT index : indices) Require(index < vertices.size());
    Require(!subsets.empty());
    UINT faces = 0;
    for (size_t j = 0; j < subsets.size(); ++j) {
        Require(subsets[j].id == j && subsets[j].faceStart == faces && subsets[j].srv == nullptr);
        Require(subsets[j].vertexStart == 0 && subsets[j].vertexCount == vertices.size());
        faces += subsets[j].faceCount;
    }
    Require(faces * 3 == indices.size());
}

void LoadOnce(bool flipWinding, bool flipTexV) {
    std::vector<Vertex::NormalTexVertex> vertices;
    std::vector<UINT> indices;
    std::vector<MeshGeometry::Subset> subsets;
    if (OBJLoader().LoadMeshFile(nullptr, L"fuzz.obj", vertices, indices, subsets, flipWinding, flipTexV)) {
        CheckLoaded(vertices, indices, subsets);
        return;
    }
    Require(vertices.empty() && indices.empty() && subsets.empty());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/obj_fuzzer_XXXXXX";
    char home[4096];
    if (!mkdtemp(pattern) || !getcwd(home, sizeof home)) abort();
    gFolder = pattern;
    gHome = home;
    atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t meshSize = split ? static_cast<size_t>(split - data) : size;
    WriteFile("fuzz.obj", data, meshSize);
    WriteFile("fuzz.mtl", data + meshSize + (split ? 1 : 0), size - meshSize - (split ? 1 : 0));
    if (chdir(gFolder.c_str()) != 0) abort();
    LoadOnce(false, false);
    LoadOnce(true, true);
    if (chdir(gHome.c_str()) != 0) abort();
    return 0;
}
