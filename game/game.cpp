#include "game.h"

#include <d3dx11.h>
#include <traceresult.h>

#include <cmath>
#include <iterator>

#include "enemy.h"
#include "levelboxes.h"
#include "player.h"
#include "projectile.h"
#include "d3dutil.h"
#include "renderstates.h"
#include "screenswitcher.h"
#include "vertex.h"

using BoundingBoxes::BoundingBox;

namespace {

const float kWalkSpeed = 100.0f;
const float kGravity = -9.8f;
const float kProtectionTime = 3.0f;
const float kFuelUnitTime = 3.0f;
const int kFullFuel = 5;
const float kArrowSpeed = 250.0f;
const float kReloadUpdates = 15.0f;
const float kControlsShowTime = 7.0f;
const float kFrameTime = 0.25f;
const float kEnemyBoxHeight = 30.0f;

const float kPlayerBarX = 60.0f;
const float kPlayerHealthY = 736.0f;
const float kFuelBarY = 698.0f;
const float kPlayerBarWidth = 96.0f;
const float kPlayerMaxHealth = 3.0f;
const float kEnemyBarWidth = 32.0f;
const float kEnemyBarRise = 32.0f;
const float kEnemyMaxHealth = 5.0f;

bool IsHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// Health at or below 0 is dead: two hits in one update take an enemy past 0, and it must not stay in play.
bool IsDead(const Sprite* actor) { return actor->GetHealth() <= 0.0f; }

XMVECTOR Point(float x, float y) { return XMVectorSet(x, y, 0.0f, 0.0f); }

struct Overlap {
    float x;
    float y;
    float centreDx;  // B's centre minus A's centre
    float centreDy;
};

Overlap Measure(const BoundingBox& a, const BoundingBox& b) {
    const float dx = (b.x + b.width / 2) - (a.x + a.width / 2);
    const float dy = (b.y + b.height / 2) - (a.y + a.height / 2);
    return {(a.width + b.width) / 2 - std::fabs(dx), (a.height + b.height) / 2 - std::fabs(dy), dx, dy};
}

bool Overlaps(const BoundingBox& a, const BoundingBox& b) {
    const Overlap o = Measure(a, b);
    return o.x > 0 && o.y > 0;
}

void Move(Sprite* actor, float dx, float dy) {
    const XMFLOAT2 p = actor->GetPosition();
    actor->SetPosition(Point(p.x + dx, p.y + dy));
}

// Pushes the actor out of B along the axis of the smaller overlap; ties push vertically, and up or right.
ContactSide PushOut(const BoundingBox& a, const BoundingBox& b, Sprite* actor) {
    const Overlap o = Measure(a, b);
    if (o.x <= 0 || o.y <= 0) return None;
    if (o.x >= o.y) {
        if (o.centreDy > 0) {
            Move(actor, 0.0f, -o.y);
            return Bottom;
        }
        Move(actor, 0.0f, o.y);
        return Top;
    }
    if (o.centreDx > 0) {
        Move(actor, -o.x, 0.0f);
        return Left;
    }
    Move(actor, o.x, 0.0f);
    return Right;
}

BoundingBox EnemyBox(const Enemy* enemy) {
    const XMFLOAT2 p = enemy->GetPosition();
    return {p.x, p.y, enemy->GetCollisionWidth(), kEnemyBoxHeight};
}

BoundingBox CollisionBox(const Sprite* actor) {
    const XMFLOAT2 p = actor->GetPosition();
    return {p.x, p.y, actor->GetCollisionWidth(), actor->GetCollisionHeight()};
}

// The red part of a bar covers the right-hand share that is missing; at full value its x-scale is 0.
void LayOutBar(Sprite* green, Sprite* red, float greenX, float y, float value, float maximum, float width) {
    green->SetPosition(Point(greenX, y));
    red->SetPosition(Point(greenX + width / 2 * value / maximum, y));
    red->SetScale(Point(1.0f - value / maximum, 1.0f));
}

template <typename T>
void DeleteAll(std::vector<T*>& items) {
    for (T* item : items) delete item;
    items.clear();
}

}  // namespace

Game::Game()
    : mTransparentBS(nullptr),
      mFontDS(nullptr),
      mLitEffect(nullptr),
      mCamera(nullptr),
      mBackground(nullptr),
      mControls(nullptr),
      mPlayerGreenHB(nullptr),
      mPlayerRedHB(nullptr),
      mGreenFB(nullptr),
      mRedFB(nullptr),
      mPlayer(nullptr),
      mFlame(nullptr),
      mFlameOn(false),
      mEOLObject(nullptr),
      mArrowFrame(new Sprite::Frame()),
      mLastMouseX(0),
      mLastMouseY(0),
      mFireCounter(0.0f),
      mCanFire(true),
      mFacingRight(true),
      mInvulnerableTime(0.0f),
      mFuelTimer(0.0f),
      mFuel(kFullFuel),
      mHasFuel(true),
      mEOLActive(false),
      mTotalTime(0.0f),
      mNoCullRS(nullptr),
      mNoCullRSTried(false) {
    XMStoreFloat4x4(&mWorld, XMMatrixIdentity());
    XMStoreFloat4x4(&mView, XMMatrixIdentity());
    XMStoreFloat4x4(&mProj, XMMatrixIdentity());
}

Game::~Game() {
    ReleaseSprites();
    delete mLitEffect;
    delete mCamera;
    ReleaseFrames();
    ReleaseStates();
}

void Game::ReleaseSprites() {
    delete mBackground;
    delete mControls;
    DeleteAll(mEnemyGreenHBs);
    DeleteAll(mEnemyRedHBs);
    delete mPlayerGreenHB;
    delete mPlayerRedHB;
    delete mGreenFB;
    delete mRedFB;
    delete mPlayer;
    delete mFlame;
    DeleteAll(mEnemies);
    delete mEOLObject;
    DeleteAll(mArrows);
}

void Game::ReleaseFrames() {
    // mArrowFrames holds only mArrowFrame, which the constructor made.
    delete mArrowFrame;
    mArrowFrames.clear();
    DeleteAll(mGreenHBFrames);
    DeleteAll(mRedHBFrames);
    DeleteAll(mGreenFBFrames);
    DeleteAll(mRedFBFrames);
    DeleteAll(mEOLFrames);
    DeleteAll(mControlsFrames);
    DeleteAll(mBackgroundFrames);
    DeleteAll(mFlameFrames);
    DeleteAll(mPlayerFrames);
    for (std::vector<Sprite::Frame*>& frames : mEnemyFrames) DeleteAll(frames);
    for (ID3D11ShaderResourceView*& texture : mTextures) ReleaseAndClear(texture);
    mTextures.clear();
}

void Game::ReleaseStates() {
    ReleaseAndClear(mTransparentBS);
    ReleaseAndClear(mFontDS);
    ReleaseAndClear(mNoCullRS);
}

bool Game::Init(ID3D11Device* device) {
    mLitEffect = new LitTexEffect();
    mLitEffect->LoadFromFile(L"FX/lighting.fx", device);
    mCamera = new BaseCamera(XMVectorSet(0.0f, 0.0f, -0.5f, 0.0f), XMVectorSet(0.0f, 0.0f, 1.0f, 0.0f),
                             XMVectorSet(0.0f, 1.0f, 0.0f, 0.0f));
    mCamera->RebuildView();
    CreateBlendStates(device);
    CreateDepthStencilStates(device);
    LoadTextures(device);
    CreateSprites(device);
    mPlayer->Play(true);
    for (Enemy* enemy : mEnemies) enemy->Play(true);
    mEOLObject->Play(true);
    BuildCollisionBoxes();
    return true;
}

void Game::CreateBlendStates(ID3D11Device* md3dDevice) {
    const D3D11_BLEND_DESC bsDesc = TransparentBlendDesc();
    VERIFY_HR(md3dDevice->CreateBlendState(&bsDesc, &mTransparentBS));
}

void Game::CreateDepthStencilStates(ID3D11Device* md3dDevice) {
    const D3D11_DEPTH_STENCIL_DESC dsDesc = NoDepthTestDesc();
    VERIFY_HR(md3dDevice->CreateDepthStencilState(&dsDesc, &mFontDS));
}

void Game::CreateRasterizerState(ID3D11Device* md3dDevice) {
    mNoCullRSTried = true;
    const D3D11_RASTERIZER_DESC rsDesc = NoCullRasterizerDesc();
    VERIFY_HR(md3dDevice->CreateRasterizerState(&rsDesc, &mNoCullRS));
}

ID3D11ShaderResourceView* Game::LoadTexture(ID3D11Device* device, const wchar_t* file) {
    // A file that fails to load leaves a null view; the game goes on without it.
    ID3D11ShaderResourceView* view = nullptr;
    D3DX11CreateShaderResourceViewFromFileW(device, file, 0, 0, &view, 0);
    mTextures.push_back(view);
    return view;
}

Sprite::Frame* Game::NewFrame(ID3D11ShaderResourceView* image, USHORT x, USHORT imageWidth, USHORT imageHeight) {
    return new Sprite::Frame{image, x, 0, imageWidth, imageHeight};
}

std::vector<Sprite::Frame*> Game::NewStrip(ID3D11ShaderResourceView* image, USHORT imageWidth, USHORT imageHeight) {
    return {NewFrame(image, 0, imageWidth, imageHeight), NewFrame(image, 32, imageWidth, imageHeight),
            NewFrame(image, 64, imageWidth, imageHeight)};
}

void Game::LoadTextures(ID3D11Device* device) {
    *mArrowFrame = {LoadTexture(device, L"Textures/arrow.png"), 0, 0, 22, 9};
    mArrowFrames.push_back(mArrowFrame);
    mBackgroundFrames.push_back(NewFrame(LoadTexture(device, L"Textures/QivbgTiled.png"), 0, 1024, 768));
    mControlsFrames.push_back(NewFrame(LoadTexture(device, L"Textures/controlsFont.png"), 0, 411, 203));
    mFlameFrames.push_back(NewFrame(LoadTexture(device, L"Textures/flame.png"), 0, 16, 16));
    mPlayerFrames = NewStrip(LoadTexture(device, L"Textures/player.png"), 96, 96);
    const wchar_t* const enemyFiles[] = {L"Textures/enemyStrip1.png", L"Textures/enemyStrip2.png",
                                         L"Textures/enemyStrip3.png", L"Textures/enemy4.png",
                                         L"Textures/enemy5.png",      L"Textures/enemy6.png"};
    for (const wchar_t* file : enemyFiles) mEnemyFrames.push_back(NewStrip(LoadTexture(device, file), 96, 32));
    mGreenHBFrames.push_back(NewFrame(LoadTexture(device, L"Textures/greenHealth.png"), 0, 32, 8));
    mRedHBFrames.push_back(NewFrame(LoadTexture(device, L"Textures/redHealth.png"), 0, 32, 8));
    mGreenFBFrames.push_back(NewFrame(LoadTexture(device, L"Textures/greenFuel.png"), 0, 96, 16));
    mRedFBFrames.push_back(NewFrame(LoadTexture(device, L"Textures/redFuel.png"), 0, 96, 16));
    mEOLFrames = NewStrip(LoadTexture(device, L"Textures/EOLobj.png"), 96, 32);
}

void Game::CreateSprites(ID3D11Device* device) {
    const XMVECTOR one = Point(1.0f, 1.0f);
    const XMVECTOR hidden = Point(0.0f, 1.0f);
    mBackground = new Sprite(Point(512, 384), one, 1024, 768, 1.0f, mBackgroundFrames, kFrameTime, device, 0.0f);
    mControls = new Sprite(Point(800, 100), one, 411, 203, 1.0f, mControlsFrames, kFrameTime, device, 0.0f);
    mPlayer = new Player(Point(512, 384), one, 32, 32, 0.1f, mPlayerFrames, kFrameTime, device, kPlayerMaxHealth);
    mFlame = new Sprite(Point(512, 368), one, 16, 16, 0.1f, mFlameFrames, kFrameTime, device, 0.0f);
    CreateEnemies(device);
    mPlayerGreenHB = new Sprite(Point(60, 736), one, 96, 16, 1.0f, mGreenHBFrames, kFrameTime, device, 0.0f);
    mPlayerRedHB = new Sprite(Point(108, 736), hidden, 96, 16, 1.0f, mRedHBFrames, kFrameTime, device, 0.0f);
    mGreenFB = new Sprite(Point(60, 698), one, 96, 16, 1.0f, mGreenFBFrames, kFrameTime, device, 0.0f);
    mRedFB = new Sprite(Point(108, 698), hidden, 96, 16, 1.0f, mRedFBFrames, kFrameTime, device, 0.0f);
    mEOLObject = new Sprite(Point(512, 720), one, 32, 32, 1.0f, mEOLFrames, kFrameTime, device, 0.0f);
}

void Game::CreateEnemies(ID3D11Device* device) {
    const XMFLOAT2 starts[] = {{800, 500}, {600, 700}, {800, 200}, {200, 500}, {200, 700}, {200, 200}};
    for (size_t i = 0; i < mEnemyFrames.size(); ++i) {
        mEnemies.push_back(new Enemy(Point(starts[i].x, starts[i].y), Point(1, 1), 32, 32, 0.1f, mEnemyFrames[i],
                                     kFrameTime, device, kEnemyMaxHealth));
    }
    for (const Enemy* enemy : mEnemies) {
        const XMFLOAT2 p = enemy->GetPosition();
        mEnemyGreenHBs.push_back(new Sprite(Point(p.x, p.y + kEnemyBarRise), Point(1, 1), 32, 8, 1.0f, mGreenHBFrames,
                                            kFrameTime, device, 0.0f));
        mEnemyRedHBs.push_back(new Sprite(Point(p.x + kEnemyBarWidth / 2, p.y + kEnemyBarRise), Point(0, 1), 32, 8,
                                          1.0f, mRedHBFrames, kFrameTime, device, 0.0f));
    }
}

void Game::BuildCollisionBoxes() {
    const XMFLOAT2 p = mPlayer->GetPosition();
    mPlayerBox = {p.x, p.y, 12.0f, 12.0f};
    mLevelBoxes.insert(mLevelBoxes.end(), std::begin(kLevelBoxes), std::end(kLevelBoxes));
}

void Game::OnMouseDown(HWND window, WPARAM, int x, int y) {
    mLastMouseX = x;
    mLastMouseY = y;
    SetCapture(window);
}

void Game::OnMouseUp(WPARAM, int, int) { ReleaseCapture(); }

void Game::OnMouseMove(WPARAM, int x, int y) {
    mLastMouseX = x;
    mLastMouseY = y;
}

void Game::Update(ID3D11DeviceContext* context, ID3D11Device* device, float dt, ScreenSwitcher* app) {
    mTotalTime += dt;
    if (!mNoCullRSTried) CreateRasterizerState(device);
    context->RSSetState(mNoCullRS);
    if (mInvulnerableTime > 0.0f) {
        mInvulnerableTime -= dt;
    } else {
        mInvulnerableTime = 0.0f;
    }
    const XMFLOAT2 start = mPlayer->GetPosition();
    mPlayerBox.x = start.x;
    mPlayerBox.y = start.y;

    HandleInput(device, dt);
    mCamera->RebuildView();
    mPlayer->Update(dt);
    mPlayer->Accelerate(XMVectorSet(0.0f, kGravity, 0.0f, 0.0f));
    const XMFLOAT2 p = mPlayer->GetPosition();
    mFlame->SetPosition(Point(mFacingRight ? p.x - 5.0f : p.x + 5.0f, p.y - 16.0f));
    mFlame->Update(dt);

    for (Enemy* enemy : mEnemies) {
        if (mInvulnerableTime != 0.0f || !PlayerTouchesEnemy(mPlayer, enemy)) continue;
        enemy->Attack(mPlayer);
        mInvulnerableTime = kProtectionTime;
    }
    LayOutBar(mPlayerGreenHB, mPlayerRedHB, kPlayerBarX, kPlayerHealthY, mPlayer->GetHealth(), kPlayerMaxHealth,
              kPlayerBarWidth);
    if (IsDead(mPlayer)) app->SetState(GameOver);

    const ContactSide eolSide = ResolveBoxContact(mPlayerBox, mEOLBox, mPlayer);
    if (eolSide == Bottom || eolSide == Right || eolSide == Left) app->SetState(Win);

    UpdateEnemies(dt);
    if (mEnemies.empty()) {
        mEOLActive = true;
        const XMFLOAT2 eol = mEOLObject->GetPosition();
        mEOLBox = {eol.x, eol.y, 32.0f, 32.0f};
    }
    for (const BoundingBox& box : mLevelBoxes) {
        if (ResolveBoxContact(mPlayerBox, box, mPlayer) == Top) mPlayer->Land();
    }
    UpdateArrows(dt);
    mGreenFB->Update(dt);
    mRedFB->Update(dt);
    mEOLObject->Update(dt);
}

void Game::UpdateEnemies(float dt) {
    size_t i = 0;
    while (i < mEnemies.size()) {
        Enemy* enemy = mEnemies[i];
        enemy->Update(dt);
        enemy->Chase(mEnemies, mPlayer, dt);
        LayOutEnemyBars(i);
        ResolveEnemyContact(enemy, mPlayerBox);
        for (const BoundingBox& box : mLevelBoxes) ResolveEnemyContact(enemy, box);
        if (!IsDead(enemy)) {
            ++i;
            continue;
        }
        // The enemy that takes this index is processed next, in this same update.
        delete enemy;
        mEnemies.erase(mEnemies.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void Game::LayOutEnemyBars(size_t index) {
    const Enemy* enemy = mEnemies[index];
    const XMFLOAT2 p = enemy->GetPosition();
    LayOutBar(mEnemyGreenHBs[index], mEnemyRedHBs[index], p.x, p.y + kEnemyBarRise, enemy->GetHealth(), kEnemyMaxHealth,
              kEnemyBarWidth);
}

void Game::UpdateArrows(float dt) {
    size_t k = 0;
    while (k < mArrows.size()) {
        Projectile* arrow = mArrows[k];
        arrow->Update(dt);
        const float distance = arrow->GetDistance();
        const bool spent = distance > arrow->GetMaxRange() || distance < arrow->GetMinRange();
        if (!spent && !ArrowHitsAnyEnemy(arrow)) {
            ++k;
            continue;
        }
        delete arrow;
        mArrows.erase(mArrows.begin() + static_cast<std::ptrdiff_t>(k));
    }
}

bool Game::ArrowHitsAnyEnemy(Projectile* arrow) {
    for (Enemy* enemy : mEnemies) {
        if (!ArrowHitsEnemy(enemy, arrow)) continue;
        arrow->Attack(enemy);
        return true;
    }
    return false;
}

void Game::HandleInput(ID3D11Device* device, float dt) {
    const float step = kWalkSpeed * dt;
    if (IsHeld(VK_LEFT)) {
        mFacingRight = false;
        Move(mPlayer, -step, 0.0f);
    }
    if (IsHeld(VK_RIGHT)) {
        mFacingRight = true;
        Move(mPlayer, step, 0.0f);
    }
    const bool ctrlHeld = IsHeld(VK_LCONTROL) || IsHeld(VK_RCONTROL);
    if (IsHeld(VK_UP) && !ctrlHeld) mPlayer->Jump();
    if (ctrlHeld) HandleThrust(dt);
    if (!IsHeld(VK_SPACE)) return;
    if (mCanFire) {
        Fire(device);
        return;
    }
    mFireCounter += 1.0f;
    if (mFireCounter < kReloadUpdates) return;
    mCanFire = true;
    mFireCounter = 0.0f;
}

void Game::HandleThrust(float dt) {
    mFuelTimer += dt;
    if (mHasFuel) {
        if (mFuelTimer > kFuelUnitTime) {
            --mFuel;
            mFuelTimer = 0.0f;
        }
        LayOutBar(mGreenFB, mRedFB, kPlayerBarX, kFuelBarY, static_cast<float>(mFuel), static_cast<float>(kFullFuel),
                  kPlayerBarWidth);
        mPlayer->Thrust(dt);
    }
    if (mFuel == 0) mHasFuel = false;
    mFlameOn = true;
}

void Game::Fire(ID3D11Device* device) {
    const XMFLOAT2 p = mPlayer->GetPosition();
    const float direction = mFacingRight ? 1.0f : -1.0f;
    mArrows.push_back(new Projectile(Point(p.x, p.y - 8.0f), Point(direction, 1.0f),
                                     XMVectorSet(direction * kArrowSpeed, 0.0f, 0.0f, 0.0f), 22, 9, 0.5f, mArrowFrames,
                                     kFrameTime, device, 0.0f));
    mCanFire = false;
}

ContactSide Game::ResolveBoxContact(BoundingBox a, BoundingBox b, Sprite* actor) { return PushOut(a, b, actor); }

void Game::ResolveEnemyContact(Enemy* enemy, BoundingBox box) { PushOut(EnemyBox(enemy), box, enemy); }

bool Game::PlayerTouchesEnemy(Player* player, Enemy* enemy) const {
    return Overlaps(CollisionBox(player), CollisionBox(enemy));
}

bool Game::ArrowHitsEnemy(Enemy* enemy, Projectile* arrow) const {
    const XMFLOAT2 p = arrow->GetPosition();
    return Overlaps(EnemyBox(enemy), {p.x, p.y, arrow->GetHitWidth(), arrow->GetHitHeight()});
}

void Game::Draw(GameDrawArgs args) {
    const FLOAT white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    args.context->ClearRenderTargetView(args.renderTarget, white);
    args.context->ClearDepthStencilView(args.depthStencilTarget, D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 1.0f, 0);
    args.context->IASetInputLayout(mNormalTexVertLayout);
    args.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    mLitEffect->SetPerFrame(XMLoadFloat4(&args.ambientLight), XMVectorSetW(mCamera->GetPosition(), 0.0f),
                            &args.pointLight, &args.spotLight);
    const FLOAT blendFactor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    args.context->OMSetBlendState(mTransparentBS, blendFactor, 0xFFFFFFFF);
    args.context->OMSetDepthStencilState(mFontDS, 0);

    const XMMATRIX& viewProj = *args.frameMatrix;
    ID3D11DeviceContext* context = args.context;
    mBackground->Draw(viewProj, context, mLitEffect);
    if (mEOLActive) mEOLObject->Draw(viewProj, context, mLitEffect);
    mPlayer->SetScale(Point(mFacingRight ? 1.0f : -1.0f, 1.0f));
    mPlayer->Draw(viewProj, context, mLitEffect);
    if (mFlameOn) mFlame->Draw(viewProj, context, mLitEffect);
    mFlameOn = false;
    mPlayerGreenHB->Draw(viewProj, context, mLitEffect);
    mPlayerRedHB->Draw(viewProj, context, mLitEffect);
    mGreenFB->Draw(viewProj, context, mLitEffect);
    mRedFB->Draw(viewProj, context, mLitEffect);
    for (size_t i = 0; i < mEnemies.size(); ++i) {
        mEnemies[i]->Draw(viewProj, context, mLitEffect);
        mEnemyGreenHBs[i]->Draw(viewProj, context, mLitEffect);
        mEnemyRedHBs[i]->Draw(viewProj, context, mLitEffect);
    }
    for (Projectile* arrow : mArrows) arrow->Draw(viewProj, context, mLitEffect);
    if (mTotalTime <= kControlsShowTime) mControls->Draw(viewProj, context, mLitEffect);

    args.context->OMSetDepthStencilState(nullptr, 0);
    args.context->OMSetBlendState(nullptr, blendFactor, 0xFFFFFFFF);
}
