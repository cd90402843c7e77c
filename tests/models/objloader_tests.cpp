// The OBJ and material readers: triangulation, de-duplication, materials, and what they do with broken files.
#include <objloader.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "test_device.h"
#include "model_files.h"
#include "platform_files.h"
#include "platform_text.h"

namespace {

using Indices = std::vector<UINT>;

class ObjLoaderTest : public ::testing::Test {
protected:
    bool Load(const std::string& obj, bool flipWinding = false, bool flipTexV = false, ID3D11Device* device = nullptr) {
        return LoadFile(dir.Write("mesh.obj", obj), flipWinding, flipTexV, device);
    }

    bool LoadFile(const std::string& path, bool flipWinding = false, bool flipTexV = false,
                  ID3D11Device* device = nullptr) {
        return OBJLoader().LoadMeshFile(device, Wide(path), vertices, indices, subsets, flipWinding, flipTexV);
    }

    void Reset() {
        vertices.clear();
        indices.clear();
        subsets.clear();
    }

    std::string MtlLib(const std::string& mtl) { return "mtllib " + dir.Write("mesh.mtl", mtl) + "\n"; }

    void ReleaseViews() {
        for (MeshGeometry::Subset& subset : subsets) {
            if (subset.srv) subset.srv->Release();
            subset.srv = nullptr;
        }
    }

    TempDir dir;
    std::vector<Vertex::NormalTexVertex> vertices;
    Indices indices;
    std::vector<MeshGeometry::Subset> subsets;
};

const char* const kSquare =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 2 2\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 0 -1\nvn 0 0 1\nvn 1 0 0\n";

TEST_F(ObjLoaderTest, TexturedTriangleGivesThreeVerticesAndOneSubsetEitherWinding) {
    const std::string obj = MtlLib("newmtl Wood\nmap_Kd wood.png\n") + kSquare + "usemtl Wood\nf 1/1/1 2/2/2 3/3/3\n";
    ASSERT_TRUE(Load(obj));
    EXPECT_EQ(indices, (Indices{0, 1, 2}));
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_FLOAT_EQ(vertices[1].Pos.x, 1.0f);
    EXPECT_FLOAT_EQ(vertices[1].Tex.x, 1.0f);
    EXPECT_FLOAT_EQ(vertices[1].Normal.z, 1.0f);
    EXPECT_FLOAT_EQ(vertices[2].Normal.x, 1.0f);
    ASSERT_EQ(subsets.size(), 1u);
    EXPECT_EQ(subsets[0].name, L"Wood");
    EXPECT_EQ(subsets[0].faceCount, 1u);
    EXPECT_EQ(subsets[0].faceStart, 0u);
    EXPECT_EQ(subsets[0].vertexStart, 0u);
    EXPECT_EQ(subsets[0].vertexCount, 3u);
    EXPECT_EQ(subsets[0].srv, nullptr);  // no device, no texture

    Reset();
    ASSERT_TRUE(Load(obj, true));
    EXPECT_EQ(indices, (Indices{0, 2, 1}));
}

TEST_F(ObjLoaderTest, QuadBecomesTwoTrianglesAndAFifthCornerIsIgnored) {
    ASSERT_TRUE(Load(std::string(kSquare) + "f 1 2 3 4\n"));
    EXPECT_EQ(indices, (Indices{0, 1, 2, 0, 2, 3}));

    Reset();
    ASSERT_TRUE(Load(std::string(kSquare) + "f 1 2 3 4\n", true));
    EXPECT_EQ(indices, (Indices{0, 2, 1, 2, 0, 3}));

    Reset();
    ASSERT_TRUE(Load(std::string(kSquare) + "f 1 2 3 4 5\n"));
    EXPECT_EQ(indices, (Indices{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(vertices.size(), 4u);
}

TEST_F(ObjLoaderTest, CornersShareAVertexOnlyWithTheSamePositionIndexAndEqualAttributes) {
    const std::string obj = std::string(kSquare) +
                            "v 0 0 0\n"  // position 6 repeats position 1
                            "f 1/1/1 2/1/1 3/1/1\n"
                            "f 1/1/1 3/1/1 4/1/1\n"   // 1 and 3 shared
                            "f 1/2/1 2/1/1 6/1/1\n";  // other texture index at 1; other position index at 6
    ASSERT_TRUE(Load(obj));
    EXPECT_EQ(indices, (Indices{0, 1, 2, 0, 2, 3, 4, 1, 5}));
    EXPECT_EQ(vertices.size(), 6u);
}

TEST_F(ObjLoaderTest, EqualValuesThroughDifferentTextureIndicesShareAVertex) {
    ASSERT_TRUE(Load(std::string(kSquare) + "vt 0 0\nf 1/1 2/1 3/1\nf 1/5 3/1 4/1\n"));
    EXPECT_EQ(indices, (Indices{0, 1, 2, 0, 2, 3}));
}

TEST_F(ObjLoaderTest, AllCornerFormsAreReadAndFlipTexVMirrorsEveryUse) {
    const std::string obj =
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0.25 0.75\nvn 0 1 0\n"
        "f 1 2/1 3/1/1\nf 1//1 2/1 3//1\n";
    ASSERT_TRUE(Load(obj, false, true));
    ASSERT_EQ(vertices.size(), 5u);
    EXPECT_FLOAT_EQ(vertices[1].Tex.x, 0.25f);
    EXPECT_FLOAT_EQ(vertices[1].Tex.y, 0.25f);
    EXPECT_FLOAT_EQ(vertices[2].Tex.y, 0.25f);
    EXPECT_FLOAT_EQ(vertices[2].Normal.y, 1.0f);
    EXPECT_FLOAT_EQ(vertices[3].Normal.y, 1.0f);  // 1//1
    EXPECT_FLOAT_EQ(vertices[3].Tex.y, 0.0f);     // no texture reference: zero
    EXPECT_EQ(indices, (Indices{0, 1, 2, 3, 1, 4}));
}

TEST_F(ObjLoaderTest, MaterialsWithoutTextureAddNoSubsetAndTheirFacesGoToListZero) {
    const std::string obj = MtlLib(
                                "# materials\nnewmtl A\nKd 1 0 0\nmap_Kd a.png\n"
                                "newmtl B\nnewmtl C\nmap_Kd c.png\n") +
                            kSquare + "usemtl C\nf 3 4 1\nusemtl A\nf 1 2 3\nusemtl B\nf 2 3 4\n";
    ASSERT_TRUE(Load(obj));
    ASSERT_EQ(subsets.size(), 2u);
    EXPECT_EQ(subsets[0].name, L"A");
    EXPECT_EQ(subsets[1].name, L"C");
    EXPECT_EQ(subsets[0].faceCount, 2u);  // A's and B's faces
    EXPECT_EQ(subsets[0].faceStart, 0u);
    EXPECT_EQ(subsets[1].faceCount, 1u);
    EXPECT_EQ(subsets[1].faceStart, subsets[0].faceCount);
    EXPECT_EQ(subsets[1].id, 1u);
    EXPECT_EQ(subsets[1].vertexCount, 4u);
    EXPECT_EQ(indices, (Indices{2, 3, 0, 3, 0, 1, 0, 1, 2}));  // list 0 first, then C's list
}

TEST_F(ObjLoaderTest, UnknownKeywordsCommentsTrailingValuesAndLineEndsAreSkipped) {
    const std::string obj =
        "# a comment\r\n"
        "o thing\ng group\ns 1\nvp 1 2\n\n   \n"
        "v 1 2 3 1.0\r\n"
        "v 4 5 6 # fourth value and comment ignored\n"
        "v 7 8 9\n"
        "vt 0.5 0.25 0.0\n"
        "f 1/1 2/1 3/1 \r\n"  // trailing blank before the line end
        "usemtl nothing\n"
        "f 3/1 2/1 1/1";  // no final line feed
    ASSERT_TRUE(Load(obj));
    EXPECT_EQ(indices, (Indices{0, 1, 2, 2, 1, 0}));
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_FLOAT_EQ(vertices[1].Pos.z, 6.0f);
    EXPECT_FLOAT_EQ(vertices[0].Tex.y, 0.25f);
}

TEST_F(ObjLoaderTest, AMalformedNumberEndsTheReadWithWhatCameBefore) {
    DebugCapture capture;
    const std::string path = dir.Write("oops.obj", std::string(kSquare) + "f 1 2 3\nv 1 oops 2\nf 2 3 4\n");
    ASSERT_TRUE(LoadFile(path));
    EXPECT_EQ(indices, (Indices{0, 1, 2}));
    const size_t line = std::count(kSquare, kSquare + std::strlen(kSquare), '\n') + 2;
    EXPECT_EQ(capture.Text(),
              Wide(path) + L"(" + std::to_wstring(line) + L"): malformed number: the mesh ends before this line\n");
}

TEST_F(ObjLoaderTest, MissingFilesAreReportedWithTheirMessages) {
    DebugCapture capture;
    vertices.resize(2);
    indices = {7};
    EXPECT_FALSE(LoadFile(dir.Path("absent.obj")));
    EXPECT_TRUE(capture.Contains(L"Error loading mesh file."));
    EXPECT_EQ(vertices.size(), 2u);
    EXPECT_EQ(indices, (Indices{7}));
    EXPECT_TRUE(subsets.empty());
    EXPECT_FALSE(LoadFile(dir.Path("")));  // a folder is no mesh file

    vertices.clear();
    indices.clear();
    EXPECT_FALSE(capture.Contains(L"Error loading material file."));
    ASSERT_TRUE(Load("mtllib " + dir.Path("absent.mtl") + "\n" + kSquare + "f 1 2 3\n"));
    EXPECT_TRUE(capture.Contains(L"Error loading material file."));
    ASSERT_EQ(subsets.size(), 1u);  // the faces still get a subset, without texture
    EXPECT_EQ(subsets[0].faceCount, 1u);
    EXPECT_EQ(subsets[0].srv, nullptr);
}

TEST_F(ObjLoaderTest, AMeshWithoutMaterialsGetsOneUntexturedSubset) {
    ASSERT_TRUE(Load(std::string(kSquare) + "usemtl Anything\nf 1 2 3 4\n"));
    ASSERT_EQ(subsets.size(), 1u);
    EXPECT_EQ(subsets[0].faceCount, 2u);
    EXPECT_EQ(subsets[0].vertexCount, 4u);
    EXPECT_TRUE(subsets[0].name.empty());

    Reset();
    ASSERT_TRUE(Load(""));
    ASSERT_EQ(subsets.size(), 1u);
    EXPECT_EQ(subsets[0].faceCount, 0u);
}

TEST_F(ObjLoaderTest, BrokenFacesFailWithFileAndLineAndLeaveTheListsAlone) {
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {"f 0 1 2", L"position index 0 is outside 1..5"},
        {"f 1 2 6", L"position index 6 is outside 1..5"},
        {"f -1 -2 -3", L"position index -1 is outside 1..5"},
        {"f 1/5 2/1 3/1", L"texture index 5 is outside 1..4"},
        {"f 1/1/4 2/1/1 3/1/1", L"normal index 4 is outside 1..3"},
        {"f 1//0 2//1 3//1", L"normal index 0 is outside 1..3"},
        {"f 99999999999999999999999 1 2", L"malformed face corner"},
        {"f 1 2", L"at least three corners"},
        {"f 1", L"at least three corners"},
        {"f", L"at least three corners"},
        {"f   \r", L"at least three corners"},
        {"f a b c", L"malformed face corner"},
        {"f 1/x 2 3", L"malformed texture index"},
        {"f 1/\n2 3 4", L"malformed texture index"},
    };
    for (const auto& [face, reason] : cases) {
        SCOPED_TRACE(face);
        DebugCapture capture;
        vertices.resize(1);
        indices = {9};
        subsets.clear();
        const std::string path = dir.Write("broken.obj", std::string("# header\n\n") + kSquare + face + "\n");
        EXPECT_FALSE(LoadFile(path));
        EXPECT_TRUE(capture.Contains(Wide(path) + L"(15): "))
            << std::string(capture.Text().begin(), capture.Text().end());
        EXPECT_TRUE(capture.Contains(reason));
        EXPECT_EQ(vertices.size(), 1u);
        EXPECT_EQ(indices, (Indices{9}));
        EXPECT_TRUE(subsets.empty());
    }
}

TEST_F(ObjLoaderTest, DevicesAndFoldersNamedAsMaterialFilesAreNotRead) {
    DebugCapture capture;
    ASSERT_TRUE(Load("mtllib /dev/zero\nmtllib " + dir.Path("") + "\n" + kSquare + "f 1 2 3\n"));
    EXPECT_TRUE(capture.Contains(L"Error loading material file."));
    EXPECT_EQ(subsets.size(), 1u);
}

std::string Repeat(const std::string& line, int times) {
    std::string text;
    text.reserve(line.size() * times);
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

TEST_F(ObjLoaderTest, IndexCountIsLimitedToTwoMillion) {
    const std::string triangles = std::string(kSquare) + Repeat("f 1 2 3\n", 666666);  // 1,999,998 indices
    ASSERT_TRUE(Load(triangles));
    EXPECT_EQ(indices.size(), 1999998u);

    DebugCapture capture;
    Reset();
    EXPECT_FALSE(Load(triangles + "f 1 2 3\n"));
    EXPECT_TRUE(capture.Contains(L"more indices than the loader accepts"));
    EXPECT_TRUE(indices.empty());
    EXPECT_TRUE(vertices.empty());
}

TEST_F(ObjLoaderTest, FilesBuiltToExhaustTheLoaderFailCleanly) {
    DebugCapture capture;
    // Every corner names position 1 with another texture coordinate: the de-duplication chain grows with each.
    std::ostringstream chain;
    chain << "v 0 0 0\n";
    for (int i = 0; i < 15000; ++i) chain << "vt " << i << " 0\n";
    for (int i = 0; i < 15000; i += 3) chain << "f 1/" << i + 1 << " 1/" << i + 2 << " 1/" << i + 3 << "\n";
    EXPECT_FALSE(Load(chain.str()));
    EXPECT_TRUE(capture.Contains(L"too many different corners share one position"));

    // Naming one material library over and over multiplies its materials.
    const std::string library = dir.Write("many.mtl", Repeat("newmtl M\nmap_Kd m.png\n", 100));
    EXPECT_FALSE(Load(Repeat("mtllib " + library + "\n", 50) + kSquare + "f 1 2 3\n"));
    EXPECT_TRUE(capture.Contains(L"more materials than the loader accepts"));
    EXPECT_TRUE(subsets.empty());
}

// Sparse files past the readers' limit: every byte reads as a zero, as from an endless input.
TEST_F(ObjLoaderTest, MeshAndMaterialFilesPastTheReadersLimitAreRefusedNamingThem) {
    const std::string huge = dir.Write("huge.txt", "");
    ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(platform::kMaxInputFileBytes + 1)), 0);
    for (const std::string& obj : {huge, dir.Write("mesh.obj", "mtllib " + huge + "\n" + kSquare + "f 1 2 3\n")}) {
        DebugCapture capture;
        EXPECT_FALSE(LoadFile(obj)) << obj;
        EXPECT_TRUE(capture.Contains(Wide(huge) + L": larger than 64 MiB")) << obj;
        EXPECT_TRUE(subsets.empty()) << obj;
    }
}

TEST_F(ObjLoaderTest, MaterialTexturesAreCreatedOnTheDeviceAndAFailedOneIsReported) {
    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    DebugCapture capture;
    const std::string png = dir.WritePng("red.png", 4, 4, [](int, int) { return 0xff0000ffu; });
    const std::string obj =
        MtlLib("newmtl Red\nmap_Kd " + png + "\nnewmtl Lost\nmap_Kd " + dir.Path("lost.png") + "\n") + kSquare +
        "usemtl Lost\nf 1 2 3\n";
    ASSERT_TRUE(Load(obj, false, false, gpu.device));
    ASSERT_EQ(subsets.size(), 2u);
    EXPECT_NE(subsets[0].srv, nullptr);
    EXPECT_EQ(subsets[1].srv, nullptr);
    EXPECT_EQ(subsets[1].faceCount, 1u);
    EXPECT_TRUE(
        capture.Contains(L"D3DX11CreateShaderResourceViewFromFile(device, symbol.c_str(), 0, 0, &newData.srv, 0)"));
    ReleaseViews();
}

TEST_F(ObjLoaderTest, FindSubsetByNameGivesTheFirstMatchOrZero) {
    std::vector<MeshGeometry::Subset> list(3);
    list[0].name = L"A";
    list[1].name = L"B";
    list[2].name = L"B";
    OBJLoader loader;
    EXPECT_EQ(loader.FindSubsetByName(L"B", list), 1u);
    EXPECT_EQ(loader.FindSubsetByName(L"Z", list), 0u);
    EXPECT_EQ(loader.FindSubsetByName(L"b", list), 0u);
}

TEST_F(ObjLoaderTest, MissingArgumentsAreNotTakenFromTheNextLine) {
    DebugCapture capture;
    // A keyword without its argument leaves the next line to be read as a line of its own.
    const std::string path = dir.Write("bare.obj", std::string("mtllib\nusemtl\n") + kSquare + "f 1 2 9\n");
    EXPECT_FALSE(LoadFile(path));
    EXPECT_EQ(capture.Text(), Wide(path) + L"(15): position index 9 is outside 1..5\n");

    // A number missing from its line is malformed: the read ends before that line.
    Reset();
    ASSERT_TRUE(Load(std::string(kSquare) + "f 1 2 3\nvt 0.5\n1 2 3\nf 1 3 4\n"));
    EXPECT_EQ(indices, (Indices{0, 1, 2}));

    const std::string mtl = dir.Write("bare.mtl", "newmtl\nmap_Kd\nnewmtl B\nmap_Kd\n");
    subsets.clear();
    OBJLoader().LoadMaterialFile(nullptr, Wide(mtl), subsets);
    ASSERT_EQ(subsets.size(), 2u);
    EXPECT_EQ(subsets[0].name, L"");
    EXPECT_EQ(subsets[1].name, L"B");
}

TEST_F(ObjLoaderTest, ACommentMayFollowTheCornersOfAFace) {
    ASSERT_TRUE(Load(std::string(kSquare) + "f 1/1 2/1 3/1 4/1 # a quad\nf 1 2 3#tight\nf 1/1/1 2/1/1 3/1/1 #\n"));
    EXPECT_EQ(indices, (Indices{0, 1, 2, 0, 2, 3, 0, 1, 2, 4, 5, 6}));
}

TEST_F(ObjLoaderTest, TheOpenMessagesAreExactlyTheirTexts) {
    DebugCapture missingMesh;
    EXPECT_FALSE(LoadFile(dir.Path("absent.obj")));
    EXPECT_EQ(missingMesh.Text(), L"Error loading mesh file.");

    DebugCapture missingMaterials;
    ASSERT_TRUE(Load("mtllib " + dir.Path("absent.mtl") + "\n" + kSquare + "f 1 2 3\n"));
    EXPECT_EQ(missingMaterials.Text(), L"Error loading material file.");
}

TEST_F(ObjLoaderTest, AMaterialFileReadDirectlyStopsAtTheLimitWithAMessage) {
    DebugCapture capture;
    std::string library;
    for (size_t i = 0; i <= OBJLoader::kMaxSubsets; ++i) library += "newmtl M" + std::to_string(i) + "\nmap_Kd m.png\n";
    const std::string path = dir.Write("many.mtl", library);
    subsets.resize(2);
    OBJLoader().LoadMaterialFile(nullptr, Wide(path), subsets);
    EXPECT_EQ(subsets.size(), 2 + OBJLoader::kMaxSubsets);
    EXPECT_EQ(subsets.back().name, L"M" + std::to_wstring(OBJLoader::kMaxSubsets - 1));
    const std::wstring line = std::to_wstring(2 * (OBJLoader::kMaxSubsets + 1));
    EXPECT_EQ(capture.Text(), Wide(path) + L"(" + line + L"): more materials than the loader accepts\n");
}

TEST_F(ObjLoaderTest, UtfEightFileNamesOpen) {
    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    DebugCapture capture;
    const std::string png = dir.WritePng(
        "d\xC3\xA9"
        "cor-\xE6\x9C\xA8.png",
        2, 2, [](int, int) { return 0x8040ffffu; });
    const std::string mtl = dir.Write("mati\xC3\xA8re.mtl", "newmtl Bois\nmap_Kd " + png + "\n");
    ASSERT_TRUE(Load("mtllib " + mtl + "\n" + kSquare + "usemtl Bois\nf 1 2 3\n", false, false, gpu.device));
    EXPECT_TRUE(capture.Text().empty()) << platform::ToUtf8(capture.Text());
    ASSERT_EQ(subsets.size(), 1u);
    EXPECT_EQ(subsets[0].name, L"Bois");
    EXPECT_NE(subsets[0].srv, nullptr);
    ReleaseViews();
}

TEST_F(ObjLoaderTest, SubsetsTheCallerPassedInAreLeftAsTheyWere) {
    MeshGeometry::Subset theirs;
    theirs.id = 7;
    theirs.faceCount = 5;
    theirs.faceStart = 3;
    theirs.vertexCount = 9;
    theirs.name = L"Wood";
    const auto same = [&theirs](const MeshGeometry::Subset& subset) {
        return subset.id == theirs.id && subset.faceCount == theirs.faceCount && subset.faceStart == theirs.faceStart &&
               subset.vertexCount == theirs.vertexCount && subset.name == theirs.name;
    };

    subsets = {theirs, theirs};
    indices = {0, 0, 0};
    ASSERT_TRUE(Load(std::string(kSquare) + "f 1 2 3\n"));
    ASSERT_EQ(subsets.size(), 3u);
    EXPECT_TRUE(same(subsets[0]) && same(subsets[1]));
    EXPECT_EQ(subsets[2].id, 2u);
    EXPECT_EQ(subsets[2].faceStart, 1u);
    EXPECT_EQ(subsets[2].faceCount, 1u);

    // The mesh's own "Wood" gets the faces, not the caller's subset of that name.
    Reset();
    subsets = {theirs};
    ASSERT_TRUE(Load(MtlLib("newmtl Wood\nmap_Kd wood.png\n") + kSquare + "usemtl Wood\nf 1 2 3\n"));
    ASSERT_EQ(subsets.size(), 2u);
    EXPECT_TRUE(same(subsets[0]));
    EXPECT_EQ(subsets[1].faceCount, 1u);
    EXPECT_EQ(subsets[1].faceStart, 0u);
}

}  // namespace
