#pragma once
#include <d3d11.h>
#include <dxgi.h>
#include <windows.h>
#include <xnamath.h>

#include <vector>

#include "basecamera.h"
#include "boundingbox.h"
#include "effect.h"
#include "lights.h"
#include "sprite.h"

class ScreenSwitcher;
class Player;
class Enemy;
class Projectile;

// What the application hands the playing field to draw one frame.
struct GameDrawArgs {
    ID3D11DeviceContext* context;
    const XMMATRIX* frameMatrix;
    IDXGISwapChain* swapChain;
    ID3D11RenderTargetView* renderTarget;
    ID3D11DepthStencilView* depthStencilTarget;
    PointLight pointLight;
    SpotLight spotLight;
    XMFLOAT4 ambientLight;
};

// One played level: its world, actors, HUD, level boxes and render states; its rules per frame; its drawing.
class Game {
public:
    Game();
    ~Game();

    bool Init(ID3D11Device* device);

    virtual void BuildCollisionBoxes();
    virtual void Update(ID3D11DeviceContext* context, ID3D11Device* device, float dt, ScreenSwitcher* app);
    virtual void Draw(GameDrawArgs args);
    virtual void OnMouseDown(HWND window, WPARAM buttons, int x, int y);
    virtual void OnMouseUp(WPARAM buttons, int x, int y);
    virtual void OnMouseMove(WPARAM buttons, int x, int y);

    void HandleInput(ID3D11Device* device, float dt);
    ContactSide ResolveBoxContact(BoundingBoxes::BoundingBox a, BoundingBoxes::BoundingBox b, Sprite* actor);
    void ResolveEnemyContact(Enemy* enemy, BoundingBoxes::BoundingBox box);
    bool PlayerTouchesEnemy(Player* player, Enemy* enemy) const;
    bool ArrowHitsEnemy(Enemy* enemy, Projectile* arrow) const;

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

private:
    ID3D11BlendState* mTransparentBS;
    ID3D11DepthStencilState* mFontDS;
    LitTexEffect* mLitEffect;
    BaseCamera* mCamera;
    XMFLOAT4X4 mWorld;
    XMFLOAT4X4 mView;
    XMFLOAT4X4 mProj;
    Sprite* mBackground;
    Sprite* mControls;
    std::vector<Sprite*> mEnemyGreenHBs;
    Sprite* mPlayerGreenHB;
    std::vector<Sprite*> mEnemyRedHBs;
    Sprite* mPlayerRedHB;
    Sprite* mGreenFB;
    Sprite* mRedFB;
    Player* mPlayer;
    Sprite* mFlame;
    bool mFlameOn;
    std::vector<Enemy*> mEnemies;
    BoundingBoxes::BoundingBox mPlayerBox;
    std::vector<BoundingBoxes::BoundingBox> mLevelBoxes;
    Sprite* mEOLObject;
    BoundingBoxes::BoundingBox mEOLBox;
    std::vector<Projectile*> mArrows;
    Sprite::Frame* mArrowFrame;
    int mLastMouseX;
    int mLastMouseY;
    std::vector<Sprite::Frame*> mGreenHBFrames;
    std::vector<Sprite::Frame*> mRedHBFrames;
    std::vector<Sprite::Frame*> mGreenFBFrames;
    std::vector<Sprite::Frame*> mRedFBFrames;
    std::vector<Sprite::Frame*> mArrowFrames;
    std::vector<Sprite::Frame*> mEOLFrames;
    std::vector<Sprite::Frame*> mControlsFrames;
    float mFireCounter;
    bool mCanFire;
    bool mFacingRight;
    float mInvulnerableTime;
    float mFuelTimer;
    int mFuel;
    bool mHasFuel;
    bool mEOLActive;
    float mTotalTime;
};
