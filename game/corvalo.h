#pragma once
#include <d3dapp.h>
#include <fmod.hpp>
#include <xnamath.h>

#include "basecamera.h"
#include "effect.h"
#include "lights.h"
#include "screenstate.h"
#include "screenswitcher.h"

class PictureScreen;
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

    // Read-only views for tests and tools.
    bool HasScreen(ScreenState screen) const;
    int GetMouseX() const { return mMouseX; }
    int GetMouseY() const { return mMouseY; }
    float GetSplashTime() const { return mSplashTime; }
    const Game* GetGame() const { return mGame; }
    HWND GetWindow() const { return mWindow; }
    ID3D11Device* GetDevice() const { return md3dDevice; }
    ID3D11DeviceContext* GetContext() const { return md3dImmediateContext; }
    IDXGISwapChain* GetSwapChain() const { return mSwapChain; }

    Corvalo(const Corvalo&) = delete;
    Corvalo& operator=(const Corvalo&) = delete;

private:
    void SetUpLights();
    void CreateBlendStates();
    void CreateDepthStates();
    void UpdateShotSound();
    void StartSound();
    void StopSound();
    void StartMusic();
    void BindRasterizerState();
    void UpdateScreen(ScreenState state, float dt);
    bool SplashEnds(float dt);
    void DrawScreen(ScreenState state, const XMMATRIX& frameMatrix);

    template <class App, class Visit>
    static void ForEachSlot(App& app, Visit visit);
    PictureScreen* ScreenOf(ScreenState state) const;
    bool EnterScreen(ScreenState state);
    template <class Screen>
    void MakeScreen(Screen*& slot);
    void MakeScreen(Game*& slot);

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
    ID3D11RasterizerState* mNoCullRS;
    // A failed creation is reported once, not every update.
    bool mNoCullRSTried;
};

// The sound state of the application, process-wide as the sound library's objects are.
extern FMOD::System* gSoundSystem;
extern FMOD::Sound* gShotSound;
extern FMOD::Sound* gMusicSound;
extern FMOD::Channel* gShotChannel;
extern FMOD::Channel* gMusicChannel;
extern FMOD_RESULT gSoundResult;
extern unsigned int gSoundVersion;
