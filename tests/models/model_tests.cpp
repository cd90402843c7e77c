// Placed objects, their world matrices and turns; models, their meshes, ownership and subset draws.
#include <basicmodel.h>
#include <effect.h>
#include <fpscamera.h>
#include <graphicalobject.h>

#include <gtest/gtest.h>

#include <cmath>

#include "test_device.h"
#include "model_files.h"

namespace {

struct PerObject {
    XMMATRIX world;
    XMMATRIX invTranspose;
    XMMATRIX worldViewProj;
    ID3D11ShaderResourceView* diffuseMap;
};

struct Range {
    UINT start;
    UINT count;
    bool operator==(const Range& other) const { return start == other.start && count == other.count; }
};

// Records what a mesh asks of the effect instead of drawing.
class RecordingEffect : public LitTexEffect {
public:
    void SetPerObject(CXMMATRIX world, CXMMATRIX invTransposeWorld, CXMMATRIX worldViewProj,
                      ID3D11ShaderResourceView* diffuseMap) override {
        perObject.push_back({world, invTransposeWorld, worldViewProj, diffuseMap});
    }
    void SetDiffuseMap(ID3D11ShaderResourceView* diffuseMap) override { maps.push_back(diffuseMap); }
    void DrawRange(ID3D11DeviceContext*, ID3D11Buffer*, ID3D11Buffer*, UINT startIndex, UINT indexCount) override {
        draws.push_back({startIndex, indexCount});
    }

    std::vector<PerObject> perObject;
    std::vector<ID3D11ShaderResourceView*> maps;
    std::vector<Range> draws;
};

// An object whose frame a test sets directly, to reach worlds no move or turn produces.
class FramedObject : public GraphicalObject {
public:
    FramedObject(const BasicModel& model, FXMVECTOR right, FXMVECTOR up, FXMVECTOR look, FXMVECTOR position)
        : GraphicalObject(position, look, up, model) {
        XMStoreFloat3(&mRight, right);
    }
};

void ExpectRow(CXMMATRIX m, int row, float x, float y, float z, float w) {
    SCOPED_TRACE(row);
    EXPECT_NEAR(m.r[row].m[0], x, 1e-5f);
    EXPECT_NEAR(m.r[row].m[1], y, 1e-5f);
    EXPECT_NEAR(m.r[row].m[2], z, 1e-5f);
    EXPECT_NEAR(m.r[row].m[3], w, 1e-5f);
}

void ExpectSameVector(FXMVECTOR a, FXMVECTOR b) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(a.m[i], b.m[i], 1e-5f) << "component " << i;
}

const XMVECTOR kLook = XMVectorSet(0, 0, 1, 0);
const XMVECTOR kUp = XMVectorSet(0, 1, 0, 0);

TEST(GraphicalObjectTest, WorldMatrixPlacesTheFrameAtThePosition) {
    GraphicalObject placed(XMVectorSet(1, 2, 3, 0), kLook, kUp, BasicModel());
    placed.RebuildWorld();
    const XMMATRIX world = placed.GetWorld();
    ExpectRow(world, 0, 1, 0, 0, 0);
    ExpectRow(world, 1, 0, 1, 0, 0);
    ExpectRow(world, 2, 0, 0, 1, 0);
    ExpectRow(world, 3, 1, 2, 3, 1);

    GraphicalObject byDefault;
    ExpectSameVector(byDefault.GetRight(), XMVectorSet(1, 0, 0, 0));
    byDefault.SetPosition(XMVectorSet(1, 2, 3, 0));
    byDefault.RebuildWorld();
    ExpectRow(byDefault.GetWorld(), 3, 1, 2, 3, 1);

    placed.RotateAboutWorldY(XM_PI / 2);
    placed.RebuildWorld();
    ExpectRow(placed.GetWorld(), 0, 0, 0, -1, 0);
    ExpectRow(placed.GetWorld(), 2, 1, 0, 0, 0);
    ExpectRow(placed.GetWorld(), 3, 1, 2, 3, 1);

    placed.MoveAlongLook(2.0f);  // look is now +x
    placed.RebuildWorld();
    ExpectRow(placed.GetWorld(), 3, 3, 2, 3, 1);
}

TEST(GraphicalObjectTest, MovesAndTurnsExactlyAsTheFreeCamera) {
    const XMVECTOR position = XMVectorSet(4, -1, 2, 0);
    const XMVECTOR look = XMVector3Normalize(XMVectorSet(1, 0.5f, 2, 0));
    const XMVECTOR up = XMVector3Normalize(XMVector3Cross(look, XMVectorSet(1, 0, 0, 0)));
    GraphicalObject object(position, look, up, BasicModel());
    FPSCamera camera(position, look, up);

    object.RotateAboutRight(0.3f);
    camera.RotateAboutRight(0.3f);
    object.RotateAboutLook(-0.7f);
    camera.RotateAboutLook(-0.7f);
    object.RotateAboutWorldY(1.1f);
    camera.RotateAboutWorldY(1.1f);
    object.RotateAboutUp(0.4f);
    camera.RotateAboutUp(0.4f);
    object.MoveAlongLook(2.5f);
    camera.MoveAlongLook(2.5f);
    object.MoveAlongRight(-1.5f);
    camera.MoveAlongRight(-1.5f);

    ExpectSameVector(object.GetPosition(), camera.GetPosition());
    ExpectSameVector(object.GetLook(), camera.GetLook());
    ExpectSameVector(object.GetRight(), camera.GetRight());
    ExpectSameVector(object.GetUp(), camera.GetUp());

    object.SetOrientation(XMVectorSet(0, 0, 2, 0), XMVectorSet(0, 3, 0, 0));
    ExpectSameVector(object.GetRight(), XMVectorSet(6, 0, 0, 0));
}

class ModelTest : public ::testing::Test {
protected:
    // Two materials: one triangle of Red, then two of Blue.
    std::wstring WriteTwoMaterialModel() {
        const std::string red = dir.WritePng("red.png", 4, 4, [](int, int) { return 0xff0000ffu; });
        const std::string blue = dir.WritePng("blue.png", 4, 4, [](int, int) { return 0x0000ffffu; });
        const std::string mtl =
            dir.Write("two.mtl", "newmtl Red\nmap_Kd " + red + "\nnewmtl Blue\nmap_Kd " + blue + "\n");
        return Wide(dir.Write("two.obj", "mtllib " + mtl +
                                             "\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                             "usemtl Red\nf 1 2 3\nusemtl Blue\nf 1 3 4\nf 2 3 4\n"));
    }

    TestDevice gpu{D3D_DRIVER_TYPE_NULL};
    TempDir dir;
    RecordingEffect effect;
};

TEST_F(ModelTest, ASubsetPerMaterialIsDrawnWithItsTextureAndRange) {
    BasicModel model(gpu.device, &effect, WriteTwoMaterialModel(), false, false);
    ASSERT_TRUE(model.GetMesh()->HasBuffers());
    const auto& subsets = model.GetMesh()->GetSubsets();
    ASSERT_EQ(subsets.size(), 2u);
    ASSERT_NE(subsets[0].srv, nullptr);
    ASSERT_NE(subsets[1].srv, nullptr);

    GraphicalObject object(XMVectorSet(1, 2, 3, 0), kLook, kUp, model);
    object.RebuildWorld();
    const XMMATRIX viewProj = XMMatrixScaling(2, 3, 4);
    object.DrawModel(gpu.context, viewProj);

    ASSERT_EQ(effect.perObject.size(), 1u);
    EXPECT_EQ(effect.perObject[0].diffuseMap, subsets[0].srv);
    ExpectRow(effect.perObject[0].worldViewProj, 3, 2, 6, 12, 1);
    EXPECT_EQ(effect.maps, (std::vector<ID3D11ShaderResourceView*>{subsets[0].srv, subsets[1].srv}));
    EXPECT_EQ(effect.draws, (std::vector<Range>{{0, 3}, {3, 6}}));
}

TEST_F(ModelTest, DrawingUsesTheInverseTransposeWithoutTranslation) {
    BasicModel model(gpu.device, &effect, WriteTwoMaterialModel(), false, false);
    FramedObject scaled(model, XMVectorSet(2, 0, 0, 0), XMVectorSet(0, 2, 0, 0), XMVectorSet(0, 0, 2, 0),
                        XMVectorSet(5, 6, 7, 0));
    scaled.RebuildWorld();
    scaled.DrawModel(gpu.context, XMMatrixIdentity());
    ASSERT_EQ(effect.perObject.size(), 1u);
    const XMMATRIX& invTranspose = effect.perObject[0].invTranspose;
    ExpectRow(invTranspose, 0, 0.5f, 0, 0, 0);
    ExpectRow(invTranspose, 1, 0, 0.5f, 0, 0);
    ExpectRow(invTranspose, 2, 0, 0, 0.5f, 0);
    ExpectRow(invTranspose, 3, 0, 0, 0, 1);
    ExpectRow(effect.perObject[0].world, 3, 5, 6, 7, 1);
}

TEST_F(ModelTest, AModelWhoseFileIsMissingHasAnEmptyMeshThatDrawsNothing) {
    DebugCapture capture;
    BasicModel model(gpu.device, &effect, Wide(dir.Path("absent.obj")), false, false);
    ASSERT_NE(model.GetMesh(), nullptr);
    EXPECT_FALSE(model.GetMesh()->HasBuffers());
    EXPECT_TRUE(model.GetMesh()->GetSubsets().empty());

    GraphicalObject object(XMVectorZero(), kLook, kUp, model);
    object.RebuildWorld();
    object.DrawModel(gpu.context, XMMatrixIdentity());
    GraphicalObject withoutModel;
    withoutModel.RebuildWorld();
    withoutModel.DrawModel(gpu.context, XMMatrixIdentity());
    EXPECT_TRUE(effect.perObject.empty());
    EXPECT_TRUE(effect.draws.empty());
}

TEST_F(ModelTest, ObjectsShareTheModelsMeshAndOnlyTheModelDeletesIt) {
    auto* model = new BasicModel(gpu.device, &effect, WriteTwoMaterialModel(), false, false);
    ID3D11ShaderResourceView* texture = model->GetMesh()->GetSubsets()[0].srv;
    ASSERT_NE(texture, nullptr);
    texture->AddRef();
    {
        GraphicalObject object(XMVectorZero(), kLook, kUp, *model);
        GraphicalObject copy(object);
        EXPECT_EQ(object.GetMesh(), model->GetMesh());
        EXPECT_EQ(copy.GetMesh(), model->GetMesh());
        EXPECT_EQ(object.GetIndices(), model->GetIndices());
        EXPECT_EQ(object.GetVertices().size(), 4u);
    }
    EXPECT_EQ(texture->AddRef(), 3u);  // the test's two and the mesh's
    texture->Release();

    GraphicalObject later(XMVectorZero(), kLook, kUp, *model);
    later.RebuildWorld();
    later.DrawModel(gpu.context, XMMatrixIdentity());
    EXPECT_EQ(effect.draws.size(), 2u);

    delete model;
    EXPECT_EQ(texture->Release(), 0u);  // the mesh let go of its reference exactly once
}

TEST_F(ModelTest, DrawOneSubsetIssuesOneIndexedDrawOfThatSubset) {
    BasicModel model(gpu.device, &effect, WriteTwoMaterialModel(), false, false);
    std::vector<platform::DrawRecord> records;
    platform::SetDrawHook([&records](const platform::DrawRecord& record) { records.push_back(record); });
    gpu.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);  // the caller's part
    model.GetMesh()->DrawOneSubset(gpu.context, 1);
    model.GetMesh()->DrawOneSubset(gpu.context, 2);  // no such subset
    platform::SetDrawHook(nullptr);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].startIndex, 3u);
    EXPECT_EQ(records[0].indexCount, 6u);
    EXPECT_TRUE(effect.draws.empty());
}

ID3D11ShaderResourceView* NewView(ID3D11Device* device) {
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = desc.Height = desc.MipLevels = desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    ID3D11Texture2D* texture = nullptr;
    EXPECT_EQ(device->CreateTexture2D(&desc, nullptr, &texture), S_OK);
    ID3D11ShaderResourceView* view = nullptr;
    if (!texture) return view;
    EXPECT_EQ(device->CreateShaderResourceView(texture, nullptr, &view), S_OK);
    texture->Release();
    return view;
}

MeshGeometry::Subset SubsetWith(ID3D11ShaderResourceView* view) {
    MeshGeometry::Subset subset;
    subset.faceCount = 1;
    subset.srv = view;
    return subset;
}

TEST_F(ModelTest, AssigningSubsetsAgainReleasesOnlyTheViewsLeftBehind) {
    ID3D11ShaderResourceView* first = NewView(gpu.device);
    ID3D11ShaderResourceView* second = NewView(gpu.device);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->AddRef();  // the test's own references, beside the one each mesh takes over
    second->AddRef();
    {
        MeshGeometry mesh(&effect);
        mesh.AssignSubsets({SubsetWith(first)});
        mesh.AssignSubsets({SubsetWith(first), SubsetWith(second)});
        mesh.AssignSubsets({SubsetWith(second)});
        EXPECT_EQ(first->Release(), 0u);
    }
    EXPECT_EQ(second->Release(), 0u);
}

TEST_F(ModelTest, ASubsetOfAMeshMissingABufferDrawsNothing) {
    MeshGeometry mesh(&effect);
    const UINT indices[] = {0, 1, 2};
    mesh.CreateVertexBuffer(gpu.device, nullptr, 0);  // as a failed creation leaves it
    mesh.CreateIndexBuffer(gpu.device, indices, 3);
    mesh.AssignSubsets({SubsetWith(nullptr)});
    std::vector<platform::DrawRecord> records;
    platform::SetDrawHook([&records](const platform::DrawRecord& record) { records.push_back(record); });
    mesh.DrawOneSubset(gpu.context, 0);
    platform::SetDrawHook(nullptr);
    EXPECT_TRUE(records.empty());
}

}  // namespace
