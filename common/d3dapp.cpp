#include "d3dapp.h"

#include <cassert>
#include <sstream>

#include "d3dutil.h"

D3DApp* gApplication = nullptr;
int gFrameStatsCount = 0;
float gFrameStatsMark = 0.0f;

namespace {

// The swap chain's and depth buffer's sampling: 4x MSAA at the best quality the device has, or none.
DXGI_SAMPLE_DESC Sampling(bool use4xMsaa, UINT quality4x) {
    if (use4xMsaa) return {4, quality4x - 1};
    return {1, 0};
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages sent while CreateWindow runs arrive before mWindow is set, so the handle is passed on as received.
    return gApplication->HandleMessage(window, message, wParam, lParam);
}

D3DApp::D3DApp(HINSTANCE instance)
    : mInstance(instance),
      mWindow(nullptr),
      mPaused(false),
      mIsMinimized(false),
      mIsMaximized(false),
      mInSizeMove(false),
      m4xMsaaQuality(0),
      md3dDevice(nullptr),
      md3dImmediateContext(nullptr),
      mSwapChain(nullptr),
      mDepthStencilBuffer(nullptr),
      mRenderTargetView(nullptr),
      mDepthStencilView(nullptr),
      mViewport(),
      mCaption(L"D3D11 Application"),
      mDriverType(D3D_DRIVER_TYPE_HARDWARE),
      mClientWidth(1024),
      mClientHeight(768),
      mUse4xMsaa(false) {
    gApplication = this;
}

D3DApp::~D3DApp() {
    ReleaseAndClear(mRenderTargetView);
    ReleaseAndClear(mDepthStencilView);
    ReleaseAndClear(mSwapChain);
    ReleaseAndClear(mDepthStencilBuffer);
    if (md3dImmediateContext) md3dImmediateContext->ClearState();
    ReleaseAndClear(md3dImmediateContext);
    ReleaseAndClear(md3dDevice);
}

bool D3DApp::Initialize() {
    if (!CreateMainWindow()) return false;
    return CreateDevice();
}

bool D3DApp::CreateMainWindow() {
    WNDCLASS windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = mInstance;
    windowClass.hIcon = LoadIcon(0, IDI_APPLICATION);
    windowClass.hCursor = LoadCursor(0, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszMenuName = 0;
    windowClass.lpszClassName = L"D3DWndClassName";
    if (!RegisterClass(&windowClass)) {
        MessageBox(0, L"RegisterClass Failed.", 0, 0);
        return false;
    }

    RECT rect = {0, 0, mClientWidth, mClientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, false);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    mWindow = CreateWindowEx(0, L"D3DWndClassName", mCaption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             width, height, 0, 0, mInstance, 0);
    if (!mWindow) {
        MessageBox(0, L"CreateWindow Failed.", 0, 0);
        return false;
    }

    ShowWindow(mWindow, SW_SHOW);
    UpdateWindow(mWindow);
    return true;
}

bool D3DApp::CreateDevice() {
    UINT createDeviceFlags = D3D11_CREATE_DEVICE_DEBUG;
    D3D_FEATURE_LEVEL featureLevel;
    const HRESULT hr = D3D11CreateDevice(0, mDriverType, 0, createDeviceFlags, 0, 0, D3D11_SDK_VERSION, &md3dDevice,
                                         &featureLevel, &md3dImmediateContext);
    if (FAILED(hr)) {
        MessageBox(0, L"D3D11CreateDevice Failed.", 0, 0);
        return false;
    }
    if (featureLevel != D3D_FEATURE_LEVEL_11_0) {
        MessageBox(0, L"Direct3D Feature Level 11 unsupported.", 0, 0);
        return false;
    }

    VERIFY_HR(md3dDevice->CheckMultisampleQualityLevels(DXGI_FORMAT_R8G8B8A8_UNORM, 4, &m4xMsaaQuality));
    assert(m4xMsaaQuality > 0);

    DXGI_SWAP_CHAIN_DESC sd = {};
    sd.BufferDesc.Width = mClientWidth;
    sd.BufferDesc.Height = mClientHeight;
    sd.BufferDesc.RefreshRate.Numerator = 60;
    sd.BufferDesc.RefreshRate.Denominator = 1;
    sd.BufferDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    sd.BufferDesc.ScanlineOrdering = DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED;
    sd.BufferDesc.Scaling = DXGI_MODE_SCALING_UNSPECIFIED;
    sd.SampleDesc = Sampling(mUse4xMsaa, m4xMsaaQuality);
    sd.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    sd.BufferCount = 1;
    sd.OutputWindow = mWindow;
    sd.Windowed = true;
    sd.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
    sd.Flags = 0;

    IDXGIDevice* dxgiDevice = nullptr;
    VERIFY_HR(md3dDevice->QueryInterface(__uuidof(IDXGIDevice), (void**)&dxgiDevice));
    IDXGIAdapter* dxgiAdapter = nullptr;
    if (dxgiDevice) VERIFY_HR(dxgiDevice->GetParent(__uuidof(IDXGIAdapter), (void**)&dxgiAdapter));
    IDXGIFactory* dxgiFactory = nullptr;
    if (dxgiAdapter) VERIFY_HR(dxgiAdapter->GetParent(__uuidof(IDXGIFactory), (void**)&dxgiFactory));
    if (dxgiFactory) VERIFY_HR(dxgiFactory->CreateSwapChain(md3dDevice, &sd, &mSwapChain));
    ReleaseAndClear(dxgiDevice);
    ReleaseAndClear(dxgiAdapter);
    ReleaseAndClear(dxgiFactory);

    HandleResize();
    return true;
}

void D3DApp::HandleResize() {
    assert(md3dImmediateContext);
    assert(md3dDevice);
    assert(mSwapChain);
    // A failed swap-chain creation has been reported already; without one there is nothing to size.
    if (!mSwapChain) return;

    ReleaseAndClear(mRenderTargetView);
    ReleaseAndClear(mDepthStencilView);
    ReleaseAndClear(mDepthStencilBuffer);

    VERIFY_HR(mSwapChain->ResizeBuffers(1, mClientWidth, mClientHeight, DXGI_FORMAT_R8G8B8A8_UNORM, 0));
    ID3D11Texture2D* backBuffer = nullptr;
    VERIFY_HR(mSwapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer)));
    if (backBuffer) {
        VERIFY_HR(md3dDevice->CreateRenderTargetView(backBuffer, 0, &mRenderTargetView));
        ReleaseAndClear(backBuffer);
    }

    const D3D11_TEXTURE2D_DESC depthStencilDesc =
        DepthStencilDesc(mClientWidth, mClientHeight, Sampling(mUse4xMsaa, m4xMsaaQuality));
    VERIFY_HR(md3dDevice->CreateTexture2D(&depthStencilDesc, 0, &mDepthStencilBuffer));
    if (mDepthStencilBuffer) {
        VERIFY_HR(md3dDevice->CreateDepthStencilView(mDepthStencilBuffer, 0, &mDepthStencilView));
    }

    md3dImmediateContext->OMSetRenderTargets(1, &mRenderTargetView, mDepthStencilView);

    mViewport = FullViewport(mClientWidth, mClientHeight);
    md3dImmediateContext->RSSetViewports(1, &mViewport);
}

LRESULT D3DApp::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<SHORT>(LOWORD(lParam));
    const int y = static_cast<SHORT>(HIWORD(lParam));
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            mPaused = true;
            mClock.Halt();
        } else {
            mPaused = false;
            mClock.Resume();
        }
        return 0;

    case WM_SIZE:
        mClientWidth = LOWORD(lParam);
        mClientHeight = HIWORD(lParam);
        if (!md3dDevice) return 0;
        if (wParam == SIZE_MINIMIZED) {
            mPaused = true;
            mIsMinimized = true;
            mIsMaximized = false;
        } else if (wParam == SIZE_MAXIMIZED) {
            mPaused = false;
            mIsMinimized = false;
            mIsMaximized = true;
            HandleResize();
        } else if (wParam == SIZE_RESTORED) {
            if (mIsMinimized) {
                mPaused = false;
                mIsMinimized = false;
                HandleResize();
            } else if (mIsMaximized) {
                mPaused = false;
                mIsMaximized = false;
                HandleResize();
            } else if (!mInSizeMove) {
                // During a frame drag the targets are rebuilt once, when the drag ends.
                HandleResize();
            }
        }
        return 0;

    case WM_ENTERSIZEMOVE:
        mPaused = true;
        mInSizeMove = true;
        mClock.Halt();
        return 0;

    case WM_EXITSIZEMOVE:
        mPaused = false;
        mInSizeMove = false;
        mClock.Resume();
        HandleResize();
        return 0;

    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;

    case WM_MENUCHAR:
        // Alt+key combinations close the menu without a beep.
        return MAKELRESULT(0, MNC_CLOSE);

    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = 200;
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.y = 200;
        return 0;

    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        MouseDown(wParam, x, y);
        return 0;

    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
        MouseUp(wParam, x, y);
        return 0;

    case WM_MOUSEMOVE:
        MouseMove(wParam, x, y);
        return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

void D3DApp::MouseDown(WPARAM, int, int) {}
void D3DApp::MouseUp(WPARAM, int, int) {}
void D3DApp::MouseMove(WPARAM, int, int) {}

int D3DApp::RunLoop() {
    MSG msg = {};
    mClock.Restart();
    while (msg.message != WM_QUIT) {
        if (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            continue;
        }
        mClock.Advance();
        if (mPaused) {
            Sleep(100);
            continue;
        }
        ShowFrameStats();
        Update(mClock.StepSeconds());
        Render();
    }
    return static_cast<int>(msg.wParam);
}

void D3DApp::ShowFrameStats() {
    ++gFrameStatsCount;
    if (mClock.TotalSeconds() - gFrameStatsMark < 1.0f) return;

    const float fps = static_cast<float>(gFrameStatsCount);
    const float frameMilliseconds = 1000.0f / fps;
    std::wostringstream caption;
    caption.precision(6);
    caption << mCaption << L"    " << L"FPS: " << fps << L"    " << L"Frame Time: " << frameMilliseconds << L" (ms)";
    SetWindowText(mWindow, caption.str().c_str());

    gFrameStatsCount = 0;
    // The mark advances by exactly one second, so after a stall it catches up one second per frame.
    gFrameStatsMark += 1.0f;
}
