#pragma once
#include <d3dapp.h>

#include <functional>
#include <vector>

// The smallest application on the frame: clears the back buffer to one colour and presents. Tests drive it, and the
// frame benchmark runs its loop for a fixed time.
class ClearApp : public D3DApp {
public:
    explicit ClearApp(HINSTANCE instance, float r = 0.25f, float g = 0.5f, float b = 0.75f)
        : D3DApp(instance), mColour{r, g, b, 1.0f} {
        mCaption = L"Clear";
    }

    // Ends the loop once the clock has run this long; 0 runs until the window closes.
    void SetRunSeconds(float seconds) { mRunSeconds = seconds; }
    const std::vector<float>& FrameSteps() const { return mFrameSteps; }
    int ResizeCount() const { return mResizeCount; }

    void HandleResize() override {
        ++mResizeCount;
        D3DApp::HandleResize();
    }

    void Update(float dt) override {
        mFrameSteps.push_back(dt);
        if (mRunSeconds > 0.0f && mClock.TotalSeconds() >= mRunSeconds) PostQuitMessage(0);
    }

    void Render() override {
        md3dImmediateContext->ClearRenderTargetView(mRenderTargetView, mColour);
        md3dImmediateContext->ClearDepthStencilView(mDepthStencilView, D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 1.0f,
                                                    0);
        VERIFY_HR(mSwapChain->Present(1, 0));
    }

    ID3D11Device* Device() const { return md3dDevice; }
    ID3D11DeviceContext* Context() const { return md3dImmediateContext; }
    IDXGISwapChain* SwapChain() const { return mSwapChain; }
    HWND Window() const { return mWindow; }

private:
    float mColour[4];
    float mRunSeconds = 0.0f;
    int mResizeCount = 0;
    std::vector<float> mFrameSteps;
};
