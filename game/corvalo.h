#pragma once
#include <d3dapp.h>
#include <xnamath.h>

#include "basecamera.h"
#include "effect.h"
#include "lights.h"
#include "screenstate.h"
#include "screenswitcher.h"

class SplashScreen;
class MenuScreen;
class CreditsScreen;
class GameOverScreen;
class WinScreen;
class Game;

// The game's application: lights, render states, sound and the screen state machine on top of the frame.
class Corvalo : public D3DApp, public ScreenSwitcher {
public:
    explicit Corvalo(HINSTANCE instance);
    ~Corvalo() override;

    bool Initialize() override;
    void HandleResize() override;
    void Update(float dt) override;
    void Render() override;
    void MouseDown(WPARAM buttons, int x, int y) override;
    void MouseUp(WPARAM buttons, int x, int y) override;
    void MouseMove(WPARAM buttons, int x, int y) override;

    void SetState(ScreenState state) override;
    ScreenState GetState() const { return mState; }
    ScreenState CheckEndScreens();
    void DestroyScreens();

private:
    void SetUpLights();
    void CreateBlendStates();
    void CreateDepthStates();
    void UpdateShotSound();

    PointLight mPointLight;
    SpotLight mSpotLight;
    XMFLOAT4 mAmbientLight;
    BaseCamera* mCamera;
    ID3D11BlendState* mTransparentBS;
    ID3D11DepthStencilState* mFontDS;
    int mMouseX;
    int mMouseY;
    LitTexEffect* mLitEffect;
    XMFLOAT4X4 mScreenProj;
    MenuScreen* mMenu;
    Game* mGame;
    CreditsScreen* mCredits;
    SplashScreen* mSplash;
    GameOverScreen* mGameOver;
    WinScreen* mWin;
    ScreenState mState;
    float mSplashTime;
};
