#include "model_viewer.h"

#include <d3dutil.h>
#include <vertex.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

constexpr float kFovY = XM_PI / 4.0f;
constexpr float kStartPitch = 0.35f;  // radians, looking a little down on the model
constexpr float kPointOrbitPerSecond = 0.8f;
constexpr float kBackground[4] = {0.08f, 0.07f, 0.10f, 1.0f};

bool Held(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

float Axis(int positive, int alsoPositive, int negative, int alsoNegative) {
    float value = 0.0f;
    if (Held(positive) || Held(alsoPositive)) value += 1.0f;
    if (Held(negative) || Held(alsoNegative)) value -= 1.0f;
    return value;
}

}  // namespace

void PixelLitEffect::FetchVariables() {
    LitTexEffect::FetchVariables();
    if (mVertexLight || !mEffect) return;
    // An effect file without the per-pixel technique still draws, per vertex.
    ID3DX11EffectTechnique* pixel = mEffect->GetTechniqueByName("PixelTech");
    if (pixel && pixel->IsValid()) mTech = pixel;
}

ModelViewer::ModelViewer(HINSTANCE instance, const ViewerOptions& options)
    : D3DApp(instance),
      mOptions(options),
      mEffect(nullptr),
      mModel(nullptr),
      mObject(nullptr),
      mCentre(0, 0, 0),
      mRadius(1.0f),
      mLoaded(false),
      mSeconds(0.0f),
      mAmbientOn(true),
      mPointOn(true),
      mSpotOn(true),
      mAmbientLight(0, 0, 0, 0),
      mDepthDS(nullptr),
      mCullRS(nullptr),
      mDragging(false),
      mDragX(0),
      mDragY(0) {
    const std::wstring& model = options.model;
    mCaption = L"corvalo-view: " + model.substr(model.find_last_of(L'/') + 1);
    XMStoreFloat4x4(&mProj, XMMatrixIdentity());
}

ModelViewer::~ModelViewer() {
    // The placed object shares the model's mesh, so it goes first.
    delete mObject;
    delete mModel;
    DestroyAllLayouts();
    delete mEffect;
    ReleaseAndClear(mDepthDS);
    ReleaseAndClear(mCullRS);
}

bool ModelViewer::Initialize() {
    if (!D3DApp::Initialize()) return false;
    mEffect = new PixelLitEffect();
    mEffect->UseVertexLight(mOptions.vertexLight);
    mEffect->LoadFromFile(L"FX/lighting.fx", md3dDevice);
    CreateNormalTexLayout(md3dDevice, mEffect->GetTechnique());
    CreateStates();

    mModel = new BasicModel(md3dDevice, mEffect, mOptions.model, mOptions.flipWinding, mOptions.flipTexV);
    mLoaded = mModel->GetMesh()->HasBuffers() && !mModel->GetIndices().empty();
    if (mLoaded) {
        mObject = new GraphicalObject(XMVectorZero(), XMVectorSet(0, 0, 1, 0), XMVectorSet(0, 1, 0, 0), *mModel);
        FrameModel();
    }
    SetUpLights(0.0f);
    HandleResize();
    return true;
}

void ModelViewer::CreateStates() {
    const D3D11_DEPTH_STENCILOP_DESC face = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP,
                                             D3D11_COMPARISON_ALWAYS};
    const D3D11_DEPTH_STENCIL_DESC dsDesc = {
        TRUE, D3D11_DEPTH_WRITE_MASK_ALL, D3D11_COMPARISON_LESS, FALSE, 0xFF, 0xFF, face, face};
    VERIFY_HR(md3dDevice->CreateDepthStencilState(&dsDesc, &mDepthDS));
    // Faces wound clockwise, seen from outside, are the front ones, as the loader's flip option expects.
    const D3D11_RASTERIZER_DESC rsDesc = {
        D3D11_FILL_SOLID, D3D11_CULL_BACK, FALSE, 0, 0.0f, 0.0f, TRUE, FALSE, FALSE, FALSE};
    VERIFY_HR(md3dDevice->CreateRasterizerState(&rsDesc, &mCullRS));
}

// Centres the bounding box on the origin (after the start turn) and backs the camera off until the box's
// enclosing sphere fits the narrower field of view.
void ModelViewer::FrameModel() {
    XMFLOAT3 low(FLT_MAX, FLT_MAX, FLT_MAX);
    XMFLOAT3 high(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (const Vertex::NormalTexVertex& v : mModel->GetVertices()) {
        low = XMFLOAT3(std::min(low.x, v.Pos.x), std::min(low.y, v.Pos.y), std::min(low.z, v.Pos.z));
        high = XMFLOAT3(std::max(high.x, v.Pos.x), std::max(high.y, v.Pos.y), std::max(high.z, v.Pos.z));
    }
    mCentre = XMFLOAT3((low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2);
    const float dx = high.x - low.x, dy = high.y - low.y, dz = high.z - low.z;
    mRadius = std::max(std::sqrt(dx * dx + dy * dy + dz * dz) / 2.0f, 1.0e-3f);

    mObject->RotateAboutWorldY(XMConvertToRadians(mOptions.turnDegrees));
    mObject->RebuildWorld();
    const XMVECTOR centre = XMVector3TransformCoord(XMLoadFloat3(&mCentre), mObject->GetWorld());
    mObject->SetPosition(XMVectorNegate(centre));
    mObject->RebuildWorld();

    mCamera.RotateAboutRight(kStartPitch);
    const float distance = mRadius / std::sin(kFovY / 2.0f);
    mCamera.SetPosition(XMVectorScale(mCamera.GetLook(), -distance));
    mCamera.RebuildView();
}

void ModelViewer::HandleResize() {
    D3DApp::HandleResize();
    const float aspect = static_cast<float>(mClientWidth) / static_cast<float>(std::max(mClientHeight, 1));
    XMStoreFloat4x4(&mProj, XMMatrixPerspectiveFovLH(kFovY, aspect, mRadius * 0.01f, mRadius * 100.0f));
}

void ModelViewer::SetLights(bool ambient, bool point, bool spot) {
    mAmbientOn = ambient;
    mPointOn = point;
    mSpotOn = spot;
    SetUpLights(mSeconds);
}

// A light that is off keeps its place and gives no colour.
void ModelViewer::SetUpLights(float seconds) {
    const float ambient = mAmbientOn ? 0.25f : 0.0f;
    mAmbientLight = XMFLOAT4(ambient, ambient, ambient, 1.0f);

    const float angle = seconds * kPointOrbitPerSecond;
    mPointLight.Colour = mPointOn ? XMFLOAT4(1.0f, 0.82f, 0.55f, 1.0f) : XMFLOAT4(0, 0, 0, 0);
    mPointLight.Position = XMFLOAT3(std::cos(angle) * 1.6f * mRadius, 0.9f * mRadius, std::sin(angle) * 1.6f * mRadius);
    mPointLight.Range = 100.0f * mRadius;
    mPointLight.Attenuation = XMFLOAT3(1.0f, 0.0f, 0.0f);

    mSpotLight.Colour = mSpotOn ? XMFLOAT4(0.55f, 0.6f, 0.7f, 1.0f) : XMFLOAT4(0, 0, 0, 0);
    XMStoreFloat3(&mSpotLight.Position, mCamera.GetPosition());
    XMStoreFloat3(&mSpotLight.Direction, mCamera.GetLook());
    mSpotLight.Range = 100.0f * mRadius;
    mSpotLight.SpotFactor = 24.0f;
    mSpotLight.Attenuation = XMFLOAT3(1.0f, 0.0f, 0.0f);
}

void ModelViewer::Update(float dt) {
    mSeconds += dt;
    const float step = kWalkRadiiPerSecond * mRadius * dt;
    mCamera.MoveAlongLook(step * Axis('W', VK_UP, 'S', VK_DOWN) +
                          kFastFactor * step * Axis(VK_PRIOR, VK_PRIOR, VK_NEXT, VK_NEXT));
    mCamera.MoveAlongRight(step * Axis('D', VK_RIGHT, 'A', VK_LEFT));
    mCamera.RebuildView();
    if (mObject) {
        const float turn = Axis('E', 'E', 'Q', 'Q');
        if (turn != 0.0f) mObject->RotateAboutWorldY(turn * kTurnPerSecond * dt);
        mObject->RebuildWorld();
    }
    SetUpLights(mSeconds);
}

void ModelViewer::Render() {
    md3dImmediateContext->ClearRenderTargetView(mRenderTargetView, kBackground);
    md3dImmediateContext->ClearDepthStencilView(mDepthStencilView, D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 1.0f, 0);
    md3dImmediateContext->OMSetDepthStencilState(mDepthDS, 0);
    md3dImmediateContext->OMSetBlendState(nullptr, nullptr, 0xFFFFFFFF);
    md3dImmediateContext->RSSetState(mCullRS);
    md3dImmediateContext->IASetInputLayout(mNormalTexVertLayout);
    md3dImmediateContext->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);

    mEffect->SetPerFrame(XMLoadFloat4(&mAmbientLight), mCamera.GetPosition(), &mPointLight, &mSpotLight);
    if (mObject) mObject->DrawModel(md3dImmediateContext, XMMatrixMultiply(mCamera.GetView(), XMLoadFloat4x4(&mProj)));
    VERIFY_HR(mSwapChain->Present(1, 0));
}

LRESULT ModelViewer::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        const bool repeat = (lParam & (1 << 30)) != 0;
        if (wParam == VK_ESCAPE) {
            DestroyWindow(window);
        } else if (!repeat && wParam == kAmbientKey) {
            SetLights(!mAmbientOn, mPointOn, mSpotOn);
        } else if (!repeat && wParam == kPointKey) {
            SetLights(mAmbientOn, !mPointOn, mSpotOn);
        } else if (!repeat && wParam == kSpotKey) {
            SetLights(mAmbientOn, mPointOn, !mSpotOn);
        }
        return 0;
    }
    if (message == WM_MOUSEWHEEL) {
        const float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        mCamera.MoveAlongLook(notches * kWheelRadii * mRadius);
        return 0;
    }
    return D3DApp::HandleMessage(window, message, wParam, lParam);
}

void ModelViewer::MouseDown(WPARAM buttons, int x, int y) {
    if (!(buttons & MK_LBUTTON)) return;
    mDragging = true;
    mDragX = x;
    mDragY = y;
    SetCapture(mWindow);
}

void ModelViewer::MouseUp(WPARAM buttons, int, int) {
    if (buttons & MK_LBUTTON) return;
    mDragging = false;
    ReleaseCapture();
}

// Right and down turn the view right and down.
void ModelViewer::MouseMove(WPARAM buttons, int x, int y) {
    if (!mDragging || !(buttons & MK_LBUTTON)) return;
    mCamera.RotateAboutRight(static_cast<float>(y - mDragY) * kLookPerPixel);
    mCamera.RotateAboutWorldY(static_cast<float>(x - mDragX) * kLookPerPixel);
    mDragX = x;
    mDragY = y;
}

std::vector<uint8_t> ModelViewer::Picture() const {
    std::vector<uint8_t> pixels;
    ID3D11Texture2D* backBuffer = nullptr;
    if (FAILED(mSwapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer)))) {
        return pixels;
    }
    D3D11_TEXTURE2D_DESC desc = {};
    backBuffer->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    ID3D11Texture2D* staging = nullptr;
    if (SUCCEEDED(md3dDevice->CreateTexture2D(&desc, nullptr, &staging))) {
        md3dImmediateContext->CopyResource(staging, backBuffer);
        D3D11_MAPPED_SUBRESOURCE mapped = {};
        if (SUCCEEDED(md3dImmediateContext->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
            const size_t rowBytes = desc.Width * 4u;
            pixels.resize(rowBytes * desc.Height);
            for (UINT row = 0; row < desc.Height; ++row) {
                std::memcpy(&pixels[row * rowBytes], static_cast<const uint8_t*>(mapped.pData) + row * mapped.RowPitch,
                            rowBytes);
            }
            md3dImmediateContext->Unmap(staging, 0);
        }
        staging->Release();
    }
    backBuffer->Release();
    return pixels;
}
