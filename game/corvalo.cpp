#include "corvalo.h"

#include <cstdlib>
#include <ctime>

#include "creditsscreen.h"
#include "game.h"
#include "gameoverscreen.h"
#include "menuscreen.h"
#include "d3dutil.h"
#include "renderstates.h"
#include "splashscreen.h"
#include "vertex.h"
#include "winscreen.h"

FMOD::System* gSoundSystem = nullptr;
FMOD::Sound* gShotSound = nullptr;
FMOD::Sound* gMusicSound = nullptr;
FMOD::Channel* gShotChannel = nullptr;
FMOD::Channel* gMusicChannel = nullptr;
FMOD_RESULT gSoundResult = FMOD_OK;
unsigned int gSoundVersion = 0;

namespace {

constexpr float kSplashSeconds = 1.5f;
constexpr int kSoundChannels = 32;

template <class T>
void DeleteAndClear(T*& object) {
    delete object;
    object = nullptr;
}

PictureScreen* AsPicture(PictureScreen* screen) { return screen; }
PictureScreen* AsPicture(Game*) { return nullptr; }

// A channel query that fails (no channel yet, or its sound has ended) counts as not playing.
bool IsPlaying(FMOD::Channel* channel) {
    bool playing = false;
    if (channel) gSoundResult = channel->isPlaying(&playing);
    return playing;
}

}  // namespace

Corvalo::Corvalo(HINSTANCE instance)
    : D3DApp(instance),
      mPointLight(),
      mSpotLight(),
      mAmbientLight(0.0f, 0.0f, 0.0f, 0.0f),
      mCamera(nullptr),
      mTransparentBS(nullptr),
      mFontDS(nullptr),
      mMouseX(0),
      mMouseY(0),
      mLitEffect(nullptr),
      mMenu(nullptr),
      mGame(nullptr),
      mCredits(nullptr),
      mSplash(nullptr),
      mGameOver(nullptr),
      mWin(nullptr),
      mState(Splash),
      mSplashTime(0.0f),
      mNoCullRS(nullptr),
      mNoCullRSTried(false) {
    mCaption = L"Corvalo";
    XMStoreFloat4x4(&mScreenProj, XMMatrixIdentity());
    srand(static_cast<unsigned int>(time(0)));
}

Corvalo::~Corvalo() {
    DestroyAllLayouts();
    DeleteAndClear(mLitEffect);
    // Releasing the rest at exit keeps leak checkers quiet; the device goes last, in the frame's destructor.
    DestroyScreens();
    DeleteAndClear(mCamera);
    ReleaseAndClear(mTransparentBS);
    ReleaseAndClear(mFontDS);
    ReleaseAndClear(mNoCullRS);
    StopSound();
}

bool Corvalo::Initialize() {
    if (!D3DApp::Initialize()) return false;

    StartSound();
    mLitEffect = new LitTexEffect();
    mLitEffect->LoadFromFile(L"FX/lighting.fx", md3dDevice);
    mCamera = new BaseCamera();
    CreateNormalTexLayout(md3dDevice, mLitEffect->GetTechnique());
    SetUpLights();
    CreateBlendStates();
    CreateDepthStates();

    MakeScreen(mSplash);
    return true;
}

void Corvalo::StartSound() {
    gSoundResult = FMOD::System_Create(&gSoundSystem);
    gSoundResult = gSoundSystem->getVersion(&gSoundVersion);
    if (gSoundVersion < FMOD_VERSION) OutputDebugString(L"FMOD lib version doesn't match header version");
    gSoundResult = gSoundSystem->init(kSoundChannels, FMOD_INIT_NORMAL, 0);

    // A sound that failed to load stays null and the game plays on without it.
    gSoundResult = gSoundSystem->createSound("Sounds/choo.ogg", FMOD_DEFAULT, 0, &gShotSound);
    if (gShotSound) gSoundResult = gShotSound->setMode(FMOD_LOOP_OFF);
    gSoundResult = gSoundSystem->createSound("Sounds/QivDenofThieves.mp3", FMOD_DEFAULT, 0, &gMusicSound);
    if (gMusicSound) gSoundResult = gMusicSound->setMode(FMOD_LOOP_NORMAL);
}

void Corvalo::StopSound() {
    if (!gSoundSystem) return;
    // Releasing the system frees its sounds and channel handles.
    gSoundResult = gSoundSystem->release();
    gSoundSystem = nullptr;
    gShotSound = nullptr;
    gMusicSound = nullptr;
    gShotChannel = nullptr;
    gMusicChannel = nullptr;
}

void Corvalo::SetUpLights() {
    mPointLight.Colour = XMFLOAT4(0.75f, 0.75f, 0.75f, 1.0f);
    mPointLight.Position = XMFLOAT3(50.0f, 50.0f, 50.0f);
    mPointLight.Range = 1000.0f;
    mPointLight.Attenuation = XMFLOAT3(0.0f, 0.02f, 0.0f);
    mPointLight.Filler = 0.0f;

    const XMVECTOR eye = mCamera->GetPosition();
    mSpotLight.Colour = XMFLOAT4(0.75f, 0.75f, 0.75f, 1.0f);
    XMStoreFloat3(&mSpotLight.Position, eye);
    mSpotLight.Range = 100.0f;
    XMStoreFloat3(&mSpotLight.Direction, XMVector3Normalize(XMVectorNegate(eye)));
    mSpotLight.SpotFactor = 128.0f;
    mSpotLight.Attenuation = XMFLOAT3(0.0f, 0.25f, 0.0f);
    mSpotLight.Filler = 0.0f;

    mAmbientLight = XMFLOAT4(1.0f, 1.0f, 1.0f, 1.0f);
}

void Corvalo::CreateBlendStates() {
    const D3D11_BLEND_DESC bsDesc = TransparentBlendDesc();
    VERIFY_HR(md3dDevice->CreateBlendState(&bsDesc, &mTransparentBS));
}

void Corvalo::CreateDepthStates() {
    const D3D11_DEPTH_STENCIL_DESC dsDesc = NoDepthTestDesc();
    VERIFY_HR(md3dDevice->CreateDepthStencilState(&dsDesc, &mFontDS));
}

void Corvalo::HandleResize() {
    D3DApp::HandleResize();
    const XMMATRIX projection = XMMatrixOrthographicOffCenterLH(0.0f, static_cast<float>(mClientWidth), 0.0f,
                                                                static_cast<float>(mClientHeight), 0.0001f, 1000.0f);
    XMStoreFloat4x4(&mScreenProj, projection);
}

void Corvalo::SetState(ScreenState state) { mState = state; }

// Every screen slot with the state it shows, in the order the screens are destroyed. A press goes to the first
// picture screen in this order that exists, so the menu gets it while the splash it replaced is still kept.
template <class App, class Visit>
void Corvalo::ForEachSlot(App& app, Visit visit) {
    visit(Menu, app.mMenu);
    visit(Playing, app.mGame);
    visit(Credits, app.mCredits);
    visit(GameOver, app.mGameOver);
    visit(Win, app.mWin);
    visit(Splash, app.mSplash);
}

bool Corvalo::HasScreen(ScreenState screen) const {
    bool present = false;
    ForEachSlot(*this, [&](ScreenState state, const auto* slot) {
        if (state == screen) present = slot != nullptr;
    });
    return present;
}

// Null for the playing field, for a state whose screen is not made yet and for a value that is no state.
PictureScreen* Corvalo::ScreenOf(ScreenState state) const {
    PictureScreen* screen = nullptr;
    ForEachSlot(*this, [&](ScreenState slotState, auto* slot) {
        if (slotState == state) screen = AsPicture(slot);
    });
    return screen;
}

template <class Screen>
void Corvalo::MakeScreen(Screen*& slot) {
    slot = new Screen();
    slot->Init(md3dDevice, static_cast<USHORT>(mClientWidth), static_cast<USHORT>(mClientHeight));
}

void Corvalo::MakeScreen(Game*& slot) {
    slot = new Game();
    slot->Init(md3dDevice);
}

// A state's screen is made, after all others are destroyed, only when it has none yet. False for a value that is
// no state.
bool Corvalo::EnterScreen(ScreenState state) {
    bool known = false;
    ForEachSlot(*this, [&](ScreenState slotState, auto*& slot) {
        if (slotState != state) return;
        known = true;
        if (slot) return;
        DestroyScreens();
        MakeScreen(slot);
        SetState(state);
    });
    return known;
}

ScreenState Corvalo::CheckEndScreens() {
    if (mState == GameOver || mState == Win) EnterScreen(mState);
    return mState;
}

void Corvalo::DestroyScreens() {
    ForEachSlot(*this, [](ScreenState, auto*& slot) { DeleteAndClear(slot); });
}

void Corvalo::BindRasterizerState() {
    if (!mNoCullRSTried) {
        mNoCullRSTried = true;
        const D3D11_RASTERIZER_DESC rsDesc = NoCullRasterizerDesc();
        VERIFY_HR(md3dDevice->CreateRasterizerState(&rsDesc, &mNoCullRS));
    }
    md3dImmediateContext->RSSetState(mNoCullRS);
}

void Corvalo::UpdateShotSound() {
    if (!(GetAsyncKeyState(VK_SPACE) & 0x8000)) return;
    // Back to back while Space is held, never overlapping itself.
    if (IsPlaying(gShotChannel)) return;
    gSoundResult = gSoundSystem->playSound(gShotSound, 0, false, &gShotChannel);
}

void Corvalo::Update(float dt) {
    BindRasterizerState();
    UpdateShotSound();
    UpdateScreen(CheckEndScreens(), dt);
    gSoundResult = gSoundSystem->update();
}

void Corvalo::UpdateScreen(ScreenState state, float dt) {
    if (!EnterScreen(state)) return;
    if (state == Playing) {
        mGame->Update(md3dImmediateContext, md3dDevice, dt, this);
        return;
    }
    if (state == Splash && SplashEnds(dt)) return;
    ScreenOf(state)->Update(dt);
}

// The splash stays until the next screen change; it is neither updated nor drawn any more.
bool Corvalo::SplashEnds(float dt) {
    mSplashTime += dt;
    if (mSplashTime < kSplashSeconds) return false;
    MakeScreen(mMenu);
    SetState(Menu);
    return true;
}

void Corvalo::Render() {
    mCamera->RebuildView();
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    md3dImmediateContext->ClearRenderTargetView(mRenderTargetView, white);
    md3dImmediateContext->ClearDepthStencilView(mDepthStencilView, D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 1.0f, 0);
    md3dImmediateContext->IASetInputLayout(mNormalTexVertLayout);
    md3dImmediateContext->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);

    const XMVECTOR eye = XMVectorSetW(mCamera->GetPosition(), 0.0f);
    mLitEffect->SetPerFrame(XMLoadFloat4(&mAmbientLight), eye, &mPointLight, &mSpotLight);
    const XMMATRIX frameMatrix =
        XMMatrixMultiply(XMMatrixMultiply(XMMatrixIdentity(), mCamera->GetView()), XMLoadFloat4x4(&mScreenProj));

    const float blendFactor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    md3dImmediateContext->OMSetBlendState(mTransparentBS, blendFactor, 0xffffffff);
    md3dImmediateContext->OMSetDepthStencilState(mFontDS, 0);

    DrawScreen(CheckEndScreens(), frameMatrix);
    // A failed swap-chain creation has been reported already; there is nothing to present to.
    if (mSwapChain) VERIFY_HR(mSwapChain->Present(1, 0));
}

void Corvalo::DrawScreen(ScreenState state, const XMMATRIX& frameMatrix) {
    // A state set by a press since the last update has no screen yet; the next update makes it.
    if (state != Playing) {
        if (PictureScreen* screen = ScreenOf(state)) screen->Draw(&frameMatrix, md3dImmediateContext, mLitEffect);
        return;
    }
    if (mGame) {
        mGame->Draw(GameDrawArgs{md3dImmediateContext, &frameMatrix, mSwapChain, mRenderTargetView, mDepthStencilView,
                                 mPointLight, mSpotLight, mAmbientLight});
    }
}

void Corvalo::MouseDown(WPARAM, int x, int y) {
    mMouseX = x;
    mMouseY = y;
    SetCapture(mWindow);
    PictureScreen* pressed = nullptr;
    ForEachSlot(*this, [&pressed](ScreenState, auto* slot) {
        if (!pressed) pressed = AsPicture(slot);
    });
    if (!pressed) return;
    pressed->OnClick(x, y, this);
    // After every press on the menu, whether or not it hit a button.
    if (pressed == mMenu) StartMusic();
}

void Corvalo::StartMusic() {
    // Only one copy of the looping track plays, however often the menu is pressed.
    if (IsPlaying(gMusicChannel)) return;
    gSoundResult = gSoundSystem->playSound(gMusicSound, 0, false, &gMusicChannel);
}

void Corvalo::MouseUp(WPARAM, int, int) { ReleaseCapture(); }

void Corvalo::MouseMove(WPARAM, int x, int y) {
    mMouseX = x;
    mMouseY = y;
}
