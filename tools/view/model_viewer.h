#pragma once
// corvalo-view: one OBJ model placed in the world with GraphicalObject, seen through an FPSCamera and lit through
// LitTexEffect's per-frame lights, on the application frame the game runs on.
#include <d3dapp.h>
#include <effect.h>
#include <fpscamera.h>
#include <graphicalobject.h>
#include <lights.h>

#include <cstdint>
#include <string>
#include <vector>

struct ViewerOptions {
    std::wstring model;
    bool flipWinding = false;
    bool flipTexV = false;
    float turnDegrees = 0.0f;  // the object's turn about the world's y axis at start
    bool vertexLight = false;  // the game's per-vertex technique instead of the per-pixel one
};

// LitTexEffect drawing with the per-pixel technique when the file has one; the variables are the same.
class PixelLitEffect : public LitTexEffect {
public:
    void FetchVariables() override;
    void UseVertexLight(bool vertexLight) { mVertexLight = vertexLight; }

private:
    bool mVertexLight = false;
};

class ModelViewer : public D3DApp {
public:
    // Keys that switch a light, and the walk, turn and move keys polled every frame.
    static constexpr int kAmbientKey = '1';
    static constexpr int kPointKey = '2';
    static constexpr int kSpotKey = '3';
    static constexpr float kWalkRadiiPerSecond = 1.2f;  // distances scale with the model's radius
    static constexpr float kFastFactor = 3.0f;          // Page Up/Down against walking
    static constexpr float kWheelRadii = 0.25f;         // per wheel notch
    static constexpr float kTurnPerSecond = 1.5f;       // Q/E, radians
    static constexpr float kLookPerPixel = 0.005f;      // mouse drag, radians

    ModelViewer(HINSTANCE instance, const ViewerOptions& options);
    ~ModelViewer() override;
    ModelViewer(const ModelViewer&) = delete;
    ModelViewer& operator=(const ModelViewer&) = delete;

    bool Initialize() override;
    void HandleResize() override;
    void Update(float dt) override;
    void Render() override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void MouseDown(WPARAM buttons, int x, int y) override;
    void MouseUp(WPARAM buttons, int x, int y) override;
    void MouseMove(WPARAM buttons, int x, int y) override;

    // False after Initialize when the model did not load; the loader's messages say why.
    bool ModelLoaded() const { return mLoaded; }
    // The presented picture, RGBA rows from the top.
    std::vector<uint8_t> Picture() const;

    FPSCamera& Camera() { return mCamera; }
    GraphicalObject* Object() { return mObject; }
    float ModelRadius() const { return mRadius; }
    void SetLights(bool ambient, bool point, bool spot);
    HWND GetWindow() const { return mWindow; }

private:
    void FrameModel();
    void SetUpLights(float seconds);
    void CreateStates();

    ViewerOptions mOptions;
    PixelLitEffect* mEffect;
    BasicModel* mModel;
    GraphicalObject* mObject;
    FPSCamera mCamera;
    XMFLOAT4X4 mProj;
    XMFLOAT3 mCentre;  // of the bounding box, in model space
    float mRadius;     // half the bounding box's diagonal
    bool mLoaded;
    float mSeconds;
    bool mAmbientOn;
    bool mPointOn;
    bool mSpotOn;
    XMFLOAT4 mAmbientLight;
    PointLight mPointLight;
    SpotLight mSpotLight;
    ID3D11DepthStencilState* mDepthDS;
    ID3D11RasterizerState* mCullRS;
    bool mDragging;
    int mDragX;
    int mDragY;
};
