#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include <vector>

#include "graphicalgeometry.h"

class LitTexEffect;

// A textured, animated quad in the x-y plane, centred on its position, with the gameplay state the rules work on.
// All frames live in one immutable vertex buffer and one index buffer; drawing picks the current frame's six indices.
class Sprite : public GraphicalGeometry {
public:
    // One animation frame: where a frame of the sprite's size sits in a texture. Owned by whoever built the list.
    struct Frame {
        ID3D11ShaderResourceView* image;
        USHORT x;
        USHORT y;
        USHORT imageWidth;
        USHORT imageHeight;
    };

    Sprite(FXMVECTOR position, FXMVECTOR scale, USHORT width, USHORT height, float depth,
           const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health);
    ~Sprite() override;

    void BuildIndexBuffer(ID3D11Device* device) override;
    virtual void Land();
    virtual void LeaveGround();
    virtual void Accelerate(FXMVECTOR velocity);
    virtual void Update(float dt);
    virtual void BuildVertexBuffer(ID3D11Device* device);

    void Draw(CXMMATRIX viewProj, ID3D11DeviceContext* context, LitTexEffect* effect);
    XMMATRIX GetWorld() const;
    void Play(bool loop);

    XMFLOAT2 GetPosition() const { return mPosition; }
    void SetPosition(FXMVECTOR position) { mPosition = XMFLOAT2(XMVectorGetX(position), XMVectorGetY(position)); }
    XMFLOAT2 GetScale() const { return mScale; }
    void SetScale(FXMVECTOR scale) { mScale = XMFLOAT2(XMVectorGetX(scale), XMVectorGetY(scale)); }
    float GetHealth() const { return mHealth; }
    void SetHealth(float health) { mHealth = health; }
    XMFLOAT3 GetVelocity() const { return mVelocity; }
    bool IsOnGround() const { return mOnGround; }
    float GetCollisionWidth() const { return mCollisionWidth; }
    float GetCollisionHeight() const { return mCollisionHeight; }
    USHORT GetCurrentFrame() const { return mCurrentFrame; }
    bool IsAnimating() const { return mAnimating; }
    float GetFrameTimer() const { return mFrameTimer; }
    void Attack(Sprite* target) const;

protected:
    XMFLOAT2 mPosition;
    XMFLOAT2 mScale;
    USHORT mWidth;
    USHORT mHeight;
    float mDepth;
    std::vector<Frame*> mFrames;
    float mFrameTime;
    bool mLoop;
    bool mAnimating;
    USHORT mCurrentFrame;
    float mRotation;
    float mFrameTimer;
    float mHealth;
    XMFLOAT3 mVelocity;
    bool mOnGround;
    float mCollisionWidth;
    float mCollisionHeight;
    float mDamage;

private:
    void AdvanceAnimation(float dt);
};
