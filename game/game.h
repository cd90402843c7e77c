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
class Game final {
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

    // Read access for the tools and tests; the actors are handed out as they are owned by the game.
    Player* GetPlayer() const { return mPlayer; }
    const std::vector<Enemy*>& GetEnemies() const { return mEnemies; }
    const std::vector<Projectile*>& GetArrows() const { return mArrows; }
    const std::vector<BoundingBoxes::BoundingBox>& GetLevelBoxes() const { return mLevelBoxes; }
    BoundingBoxes::BoundingBox GetPlayerBox() const { return mPlayerBox; }
    BoundingBoxes::BoundingBox GetEOLBox() const { return mEOLBox; }
    const Sprite* GetFlame() const { return mFlame; }
    const Sprite* GetEOLObject() const { return mEOLObject; }
    const Sprite* GetPlayerGreenHB() const { return mPlayerGreenHB; }
    const Sprite* GetPlayerRedHB() const { return mPlayerRedHB; }
    const Sprite* GetGreenFB() const { return mGreenFB; }
    const Sprite* GetRedFB() const { return mRedFB; }
    const std::vector<Sprite*>& GetEnemyGreenHBs() const { return mEnemyGreenHBs; }
    const std::vector<Sprite*>& GetEnemyRedHBs() const { return mEnemyRedHBs; }
    // The playing field's textures in load order (arrow, background, controls, flame, player, six enemies,
    // green and red health, green and red fuel, end-of-level object); null where a file failed to load.
    const std::vector<ID3D11ShaderResourceView*>& GetTextures() const { return mTextures; }
    bool IsFlameOn() const { return mFlameOn; }
    bool IsFacingRight() const { return mFacingRight; }
    bool CanFire() const { return mCanFire; }
    float GetFireCounter() const { return mFireCounter; }
    float GetInvulnerableTime() const { return mInvulnerableTime; }
    float GetFuelTimer() const { return mFuelTimer; }
    int GetFuel() const { return mFuel; }
    bool HasFuel() const { return mHasFuel; }
    bool IsEOLActive() const { return mEOLActive; }
    float GetTotalTime() const { return mTotalTime; }

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

private:
    void CreateBlendStates(ID3D11Device* md3dDevice);
    void CreateDepthStencilStates(ID3D11Device* md3dDevice);
    void CreateRasterizerState(ID3D11Device* md3dDevice);
    void LoadTextures(ID3D11Device* device);
    void CreateSprites(ID3D11Device* device);
    void CreateEnemies(ID3D11Device* device);
    ID3D11ShaderResourceView* LoadTexture(ID3D11Device* device, const wchar_t* file);
    Sprite::Frame* NewFrame(ID3D11ShaderResourceView* image, USHORT x, USHORT imageWidth, USHORT imageHeight);
    std::vector<Sprite::Frame*> NewStrip(ID3D11ShaderResourceView* image, USHORT imageWidth, USHORT imageHeight);
    void Fire(ID3D11Device* device);
    void HandleThrust(float dt);
    void UpdateEnemies(float dt);
    void UpdateArrows(float dt);
    bool ArrowHitsAnyEnemy(Projectile* arrow);
    void LayOutEnemyBars(size_t index);
    void ReleaseSprites();
    void ReleaseFrames();
    void ReleaseStates();

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

    // Kept once per game: the cull-none state every update binds. A failed creation is reported once, not every
    // update.
    ID3D11RasterizerState* mNoCullRS;
    bool mNoCullRSTried;
    // Every texture view Init loaded, in load order, each released once.
    std::vector<ID3D11ShaderResourceView*> mTextures;
    // Frame lists of the sprites that have no named list; every frame record sits in exactly one list.
    std::vector<Sprite::Frame*> mBackgroundFrames;
    std::vector<Sprite::Frame*> mFlameFrames;
    std::vector<Sprite::Frame*> mPlayerFrames;
    std::vector<std::vector<Sprite::Frame*>> mEnemyFrames;
};
