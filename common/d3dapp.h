#pragma once
#include <d3d11.h>
#include <dxgi.h>
#include <windows.h>

#include <string>

#include "frameclock.h"
#include "traceresult.h"

// The application frame: one window, the Direct3D 11 device and swap chain with its size-dependent targets, the
// message and frame loop, and the frame-rate read-out in the caption. Games derive from it.
class D3DApp {
public:
    explicit D3DApp(HINSTANCE instance);
    virtual ~D3DApp();

    virtual bool Initialize();
    virtual void HandleResize();
    virtual void Update(float dt) = 0;
    virtual void Render() = 0;
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void MouseDown(WPARAM buttons, int x, int y);
    virtual void MouseUp(WPARAM buttons, int x, int y);
    virtual void MouseMove(WPARAM buttons, int x, int y);

    int RunLoop();

protected:
    bool CreateMainWindow();
    bool CreateDevice();
    void ShowFrameStats();

    HINSTANCE mInstance;
    HWND mWindow;
    bool mPaused;
    bool mIsMinimized;
    bool mIsMaximized;
    bool mInSizeMove;
    UINT m4xMsaaQuality;
    FrameClock mClock;
    ID3D11Device* md3dDevice;
    ID3D11DeviceContext* md3dImmediateContext;
    IDXGISwapChain* mSwapChain;
    ID3D11Texture2D* mDepthStencilBuffer;
    ID3D11RenderTargetView* mRenderTargetView;
    ID3D11DepthStencilView* mDepthStencilView;
    D3D11_VIEWPORT mViewport;
    std::wstring mCaption;
    D3D_DRIVER_TYPE mDriverType;
    int mClientWidth;
    int mClientHeight;
    bool mUse4xMsaa;
};

// The one application; the window procedure reaches it only through this pointer.
extern D3DApp* gApplication;

// Counters of the frame-rate read-out: frames since the last read-out and the time of the last read-out.
extern int gFrameStatsCount;
extern float gFrameStatsMark;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
