// The model viewer driven frame by frame: its pictures of the sample models against golden files, the depth
// buffer, the steering keys and mouse against FPSCamera's and GraphicalObject's own operations, and broken models.
#include <model_viewer.h>
#include <platform_hooks.h>
#include <platform_text.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "png_file.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr float kStep = 1.0f / 60.0f;

bool Remaking() {
    const char* value = std::getenv("CORVALO_GOLDEN_UPDATE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// A private folder for the files a test writes; removed with everything in it.
class Scratch {
public:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvalo_view_XXXXXX").string();
        mPath = mkdtemp(pattern.data());
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string Path(const std::string& name) const { return mPath + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }
    std::string Texture(const std::string& name, uint8_t r, uint8_t g, uint8_t b) const {
        RgbaPicture picture{2, 2, {}};
        for (int i = 0; i < 4; ++i) picture.pixels.insert(picture.pixels.end(), {r, g, b, 255});
        WritePng(Path(name), picture);
        return Path(name);
    }

private:
    std::string mPath;
};

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetMessageBoxHook([this](const platform::MessageBoxRequest& request) {
            reports += platform::ToUtf8(request.text) + "\n";
            return IDNO;
        });
        platform::SetDebugOutputHook([this](const std::wstring& text) { reports += platform::ToUtf8(text) + "\n"; });
        platform::SetKeySource([this](int virtualKey) { return heldKey != 0 && virtualKey == heldKey; });
    }

    void TearDown() override {
        Close();
        platform::SetKeySource(nullptr);
        platform::SetDebugOutputHook(nullptr);
        platform::SetMessageBoxHook(nullptr);
    }

    ModelViewer& Open(const std::string& model, float turnDegrees = 0.0f, bool vertexLight = false) {
        Close();
        ViewerOptions options;
        options.model = platform::FromUtf8(model);
        options.turnDegrees = turnDegrees;
        options.vertexLight = vertexLight;
        viewer = std::make_unique<ModelViewer>(GetModuleHandleW(nullptr), options);
        EXPECT_TRUE(viewer->Initialize()) << reports;
        return *viewer;
    }

    void Close() {
        if (!viewer) return;
        if (IsWindow(viewer->GetWindow())) DestroyWindow(viewer->GetWindow());
        MSG message = {};
        while (PeekMessageW(&message, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        viewer.reset();
        UnregisterClassW(L"D3DWndClassName", GetModuleHandleW(nullptr));
    }

    RgbaPicture Draw(int frames) {
        for (int i = 0; i < frames; ++i) {
            viewer->Update(kStep);
            viewer->Render();
        }
        return RgbaPicture{kWidth, kHeight, viewer->Picture()};
    }

    std::unique_ptr<ModelViewer> viewer;
    std::string reports;
    int heldKey = 0;
};

void ExpectSameMatrix(const XMMATRIX& expected, const XMMATRIX& actual, const std::string& what) {
    XMFLOAT4X4 e, a;
    XMStoreFloat4x4(&e, expected);
    XMStoreFloat4x4(&a, actual);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(e.m[r][c], a.m[r][c]) << what << ": row " << r << " column " << c;
    }
}

// Golden pictures: every sample model with all three lights on, the point light a quarter second along its
// circle, so the picture shows the per-pixel light of both the point and the spot light.
struct GoldenModel {
    const char* name;
    std::string path;
    float turnDegrees;
};

TEST_F(ViewerTest, SampleModelsDrawAsTheGoldenPictures) {
    const GoldenModel models[] = {{"crate", "Models/crate.obj", 30.0f},
                                  {"tower", "Models/tower.obj", 0.0f},
                                  {"sphere", CORVALO_SAMPLE_SPHERE, 0.0f}};
    for (const GoldenModel& model : models) {
        SCOPED_TRACE(model.name);
        Open(model.path, model.turnDegrees);
        ASSERT_TRUE(viewer->ModelLoaded()) << reports;
        const RgbaPicture drawn = Draw(15);
        const std::string golden = std::string(CORVALO_VIEW_GOLDEN_DIR) + "/" + model.name + ".png";
        if (Remaking()) {
            ASSERT_TRUE(WritePng(golden, drawn)) << "cannot write " << golden;
            continue;
        }
        RgbaPicture expected;
        ASSERT_TRUE(ReadPng(golden, &expected)) << "cannot read " << golden;
        const bool same = expected.width == drawn.width && expected.pixels == drawn.pixels;
        if (!same) {
            std::filesystem::create_directories(CORVALO_GOLDEN_ACTUAL_DIR);
            WritePng(std::string(CORVALO_GOLDEN_ACTUAL_DIR) + "/view-" + model.name + ".png", drawn);
        }
        EXPECT_TRUE(same) << model.name << " differs from " << golden << "; the drawn frame is in "
                          << CORVALO_GOLDEN_ACTUAL_DIR;
    }
}

// Two squares facing the camera, a small red one in front of a large green one: written in either order, the
// red one covers the green one's middle and the pictures are the same.
TEST_F(ViewerTest, TheNearFaceHidesTheFarOneWhateverTheDrawOrder) {
    Scratch scratch;
    const std::string red = scratch.Texture("red.png", 255, 0, 0);
    const std::string green = scratch.Texture("green.png", 0, 255, 0);
    scratch.Write("two.mtl", "newmtl near\nmap_Kd " + red + "\nnewmtl far\nmap_Kd " + green + "\n");
    const std::string vertices =
        "mtllib " + scratch.Path("two.mtl") +
        "\nv -1 1 -1\nv 1 1 -1\nv 1 -1 -1\nv -1 -1 -1\nv -3 3 3\nv 3 3 3\nv 3 -3 3\nv -3 -3 3\n"
        "vt 0 0\nvn 0 0 -1\n";
    const std::string nearFace = "usemtl near\nf 1/1/1 2/1/1 3/1/1 4/1/1\n";
    const std::string farFace = "usemtl far\nf 5/1/1 6/1/1 7/1/1 8/1/1\n";
    const struct {
        const char* order;
        std::string text;
    } files[] = {{"near first", vertices + nearFace + farFace}, {"far first", vertices + farFace + nearFace}};

    std::vector<RgbaPicture> pictures;
    for (const auto& file : files) {
        SCOPED_TRACE(file.order);
        Open(scratch.Write("two.obj", file.text));
        ASSERT_TRUE(viewer->ModelLoaded()) << reports;
        viewer->SetLights(true, false, false);
        pictures.push_back(Draw(1));
        const uint8_t* middle = &pictures.back().pixels[((kHeight / 2) * kWidth + kWidth / 2) * 4];
        EXPECT_GT(middle[0], 0);
        EXPECT_EQ(middle[1], 0) << "the far face shows through the near one";
    }
    EXPECT_TRUE(pictures[0].pixels == pictures[1].pixels) << "the draw order changed the picture";
}

// A large white square of two triangles under the torch alone: worked out at the corners, the torch's narrow cone
// hardly reaches the middle; worked out per pixel, it lights the middle most.
TEST_F(ViewerTest, TheTorchLightsTheMiddleOfACoarseFacePerPixel) {
    Scratch scratch;
    const std::string white = scratch.Texture("white.png", 255, 255, 255);
    scratch.Write("square.mtl", "newmtl white\nmap_Kd " + white + "\n");
    const std::string square = scratch.Write("square.obj", "mtllib " + scratch.Path("square.mtl") +
                                                               "\nv -5 5 0\nv 5 5 0\nv 5 -5 0\nv -5 -5 0\n"
                                                               "vt 0 0\nvn 0 0 -1\nusemtl white\n"
                                                               "f 1/1/1 2/1/1 3/1/1 4/1/1\n");
    int middle[2] = {};
    for (const bool vertexLight : {true, false}) {
        Open(square, 0.0f, vertexLight);
        ASSERT_TRUE(viewer->ModelLoaded()) << reports;
        viewer->SetLights(false, false, true);
        const RgbaPicture picture = Draw(1);
        middle[vertexLight] = picture.pixels[((kHeight / 2) * kWidth + kWidth / 2) * 4];
    }
    EXPECT_GT(middle[false], middle[true] + 60) << "per pixel " << middle[false] << ", per vertex " << middle[true];
}

// Each held key moves the camera exactly as the FPSCamera operation it stands for; Q and E turn the object as
// GraphicalObject's turn does.
TEST_F(ViewerTest, KeysSteerTheCameraAndTheObjectThroughTheirOwnOperations) {
    const float walk = ModelViewer::kWalkRadiiPerSecond * kStep;
    const float fast = ModelViewer::kFastFactor * walk;
    const float turn = ModelViewer::kTurnPerSecond * kStep;
    const struct {
        int key;
        float alongLook;  // in model radii
        float alongRight;
        float objectTurn;
    } cases[] = {{'W', walk, 0, 0},      {VK_UP, walk, 0, 0},    {'S', -walk, 0, 0}, {VK_DOWN, -walk, 0, 0},
                 {'D', 0, walk, 0},      {VK_RIGHT, 0, walk, 0}, {'A', 0, -walk, 0}, {VK_LEFT, 0, -walk, 0},
                 {VK_PRIOR, fast, 0, 0}, {VK_NEXT, -fast, 0, 0}, {'E', 0, 0, turn},  {'Q', 0, 0, -turn}};
    for (const auto& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key));
        Open("Models/tower.obj");
        const float radius = viewer->ModelRadius();
        FPSCamera camera = viewer->Camera();
        GraphicalObject object;
        object.SetOrientation(viewer->Object()->GetLook(), viewer->Object()->GetUp());
        const RgbaPicture before = Draw(0);

        heldKey = c.key;
        const RgbaPicture after = Draw(1);
        heldKey = 0;

        camera.MoveAlongLook(c.alongLook * radius);
        camera.MoveAlongRight(c.alongRight * radius);
        camera.RebuildView();
        ExpectSameMatrix(camera.GetView(), viewer->Camera().GetView(), "view");
        if (c.objectTurn != 0.0f) object.RotateAboutWorldY(c.objectTurn);
        XMFLOAT3 expected, actual;
        XMStoreFloat3(&expected, object.GetLook());
        XMStoreFloat3(&actual, viewer->Object()->GetLook());
        EXPECT_EQ(expected.x, actual.x);
        EXPECT_EQ(expected.z, actual.z);
        EXPECT_FALSE(before.pixels == after.pixels) << "the picture did not change";
    }
}

// A left-button drag turns the view about the camera's right axis and the world's y axis; without the button
// the mouse turns nothing. The wheel moves along the look direction.
TEST_F(ViewerTest, DraggingLooksAroundAndTheWheelMovesAlongTheView) {
    Open("Models/crate.obj");
    FPSCamera camera = viewer->Camera();
    viewer->MouseMove(0, 600, 300);
    viewer->MouseDown(MK_LBUTTON, 500, 400);
    viewer->MouseMove(MK_LBUTTON, 540, 370);
    viewer->MouseUp(0, 540, 370);
    viewer->MouseMove(0, 700, 100);
    camera.RotateAboutRight(-30 * ModelViewer::kLookPerPixel);
    camera.RotateAboutWorldY(40 * ModelViewer::kLookPerPixel);
    camera.RebuildView();
    viewer->Camera().RebuildView();
    ExpectSameMatrix(camera.GetView(), viewer->Camera().GetView(), "after the drag");

    // Two notches towards the user: the turn sits in wParam's high word.
    const WPARAM towardsUser = static_cast<WPARAM>(static_cast<WORD>(-2 * WHEEL_DELTA)) << 16;
    viewer->HandleMessage(viewer->GetWindow(), WM_MOUSEWHEEL, towardsUser, 0);
    camera.MoveAlongLook(-2 * ModelViewer::kWheelRadii * viewer->ModelRadius());
    camera.RebuildView();
    viewer->Camera().RebuildView();
    ExpectSameMatrix(camera.GetView(), viewer->Camera().GetView(), "after the wheel");
}

// The start view holds the whole bounding box: no pixel of the frame's border shows the model.
TEST_F(ViewerTest, TheWholeModelIsInViewAtStartAtAnyTurn) {
    for (const float turn : {0.0f, 45.0f, 90.0f, 200.0f}) {
        SCOPED_TRACE("turn " + std::to_string(turn));
        Open("Models/tower.obj", turn);
        viewer->SetLights(true, false, false);
        const RgbaPicture picture = Draw(1);
        const uint8_t* corner = &picture.pixels[0];
        int covered = 0, edge = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool differs = std::memcmp(&picture.pixels[(y * kWidth + x) * 4], corner, 4) != 0;
                covered += differs;
                if (x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1) edge += differs;
            }
        }
        EXPECT_EQ(edge, 0) << "the model reaches the frame's edge";
        EXPECT_GT(covered, kWidth * kHeight / 20) << "the model is too small to see";
    }
}

// Broken models: what the loader refuses is not drawn and is reported with its file and line; what it loads
// without a material or a picture is drawn untextured.
TEST_F(ViewerTest, BrokenModelsAreReportedOrDrawnAsFarAsTheyLoaded) {
    Scratch scratch;
    const std::string quad = "v -1 1 0\nv 1 1 0\nv 1 -1 0\nv -1 -1 0\nvt 0 0\nvn 0 0 -1\n";
    const std::string face = "f 1/1/1 2/1/1 3/1/1 4/1/1\n";
    scratch.Write("nopicture.mtl", "newmtl m\nmap_Kd " + scratch.Path("absent.png") + "\n");
    const struct {
        const char* name;
        std::string text;  // empty: the file is not written at all
        bool loads;
        const char* reported;
    } cases[] = {
        {"missing.obj", "", false, "Error loading mesh file."},
        {"nomtl.obj", "mtllib " + scratch.Path("absent.mtl") + "\n" + quad + face, true,
         "Error loading material file."},
        {"nopicture.obj", "mtllib " + scratch.Path("nopicture.mtl") + "\nusemtl m\n" + quad + face, true,
         "D3DX11CreateShaderResourceViewFromFile"},
        {"garbage.obj", quad + "v 1 2 banana\n" + face, false, "garbage.obj(7)"},
        {"badindex.obj", quad + "f 1/1/1 2/1/1 9/1/1\n", false, "badindex.obj(7)"},
        {"empty.obj", "# nothing\n", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reports.clear();
        const std::string path = c.text.empty() ? scratch.Path(c.name) : scratch.Write(c.name, c.text);
        Open(path);
        EXPECT_EQ(viewer->ModelLoaded(), c.loads) << reports;
        EXPECT_NE(reports.find(c.reported), std::string::npos) << reports;
        Draw(2);
    }
}

}  // namespace
