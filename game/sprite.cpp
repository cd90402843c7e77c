#include "sprite.h"

#include <traceresult.h>

#include "effect.h"
#include "mathhelper.h"
#include "vertex.h"

Sprite::Sprite(FXMVECTOR position, FXMVECTOR scale, USHORT width, USHORT height, float depth,
               const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health)
    : mPosition(XMVectorGetX(position), XMVectorGetY(position)),
      mScale(XMVectorGetX(scale), XMVectorGetY(scale)),
      mWidth(width),
      mHeight(height),
      mDepth(depth),
      mFrames(frames),
      mFrameTime(frameTime),
      mLoop(false),
      mAnimating(false),
      mCurrentFrame(0),
      mRotation(0.0f),
      mFrameTimer(0.0f),
      mHealth(health),
      mVelocity(0.0f, 0.0f, 0.0f),
      mOnGround(false),
      mCollisionWidth(20.0f),
      mCollisionHeight(32.0f),
      mDamage(1.0f) {
    BuildVertexBuffer(device);
    BuildIndexBuffer(device);
}

Sprite::~Sprite() = default;

void Sprite::BuildVertexBuffer(ID3D11Device* device) {
    // With no frames there is nothing to build, and a zero-sized buffer would only be a reported failure.
    if (mFrames.empty()) return;
    const float w = static_cast<float>(mWidth);
    const float h = static_cast<float>(mHeight);
    const XMFLOAT3 corners[4] = {{-w / 2, h / 2, 0}, {w / 2, h / 2, 0}, {w / 2, -h / 2, 0}, {-w / 2, -h / 2, 0}};
    const XMFLOAT3 normal(0.0f, 0.0f, 1.0f);

    std::vector<Vertex::NormalTexVertex> vertices(4 * mFrames.size());
    for (size_t i = 0; i < mFrames.size(); ++i) {
        const Frame& f = *mFrames[i];
        const float leftU = static_cast<float>(f.x) / static_cast<float>(f.imageWidth);
        const float topV = static_cast<float>(f.y) / static_cast<float>(f.imageHeight);
        const float rightU = w / static_cast<float>(f.imageWidth) + leftU;
        const float bottomV = h / static_cast<float>(f.imageHeight) + topV;
        const XMFLOAT2 tex[4] = {{leftU, topV}, {rightU, topV}, {rightU, bottomV}, {leftU, bottomV}};
        for (int corner = 0; corner < 4; ++corner) vertices[4 * i + corner] = {corners[corner], normal, tex[corner]};
    }

    const D3D11_BUFFER_DESC vbd = ImmutableBufferDesc(
        static_cast<UINT>(sizeof(Vertex::NormalTexVertex) * vertices.size()), D3D11_BIND_VERTEX_BUFFER);
    const D3D11_SUBRESOURCE_DATA vinitData = InitialData(vertices.data());
    VERIFY_HR(device->CreateBuffer(&vbd, &vinitData, &mVB));
}

void Sprite::BuildIndexBuffer(ID3D11Device* device) {
    if (mFrames.empty()) return;
    std::vector<UINT> indices(6 * mFrames.size());
    for (UINT i = 0; i < mFrames.size(); ++i) {
        const UINT base = 4 * i;
        const UINT quad[6] = {base, base + 1, base + 2, base, base + 2, base + 3};
        for (int k = 0; k < 6; ++k) indices[6 * i + k] = quad[k];
    }

    const D3D11_BUFFER_DESC ibd =
        ImmutableBufferDesc(static_cast<UINT>(sizeof(UINT) * indices.size()), D3D11_BIND_INDEX_BUFFER);
    const D3D11_SUBRESOURCE_DATA iinitData = InitialData(indices.data());
    VERIFY_HR(device->CreateBuffer(&ibd, &iinitData, &mIB));
}

XMMATRIX Sprite::GetWorld() const {
    return XMMatrixScaling(mScale.x, mScale.y, 1.0f) * XMMatrixRotationZ(mRotation) *
           XMMatrixTranslation(mPosition.x, mPosition.y, mDepth);
}

void Sprite::Draw(CXMMATRIX viewProj, ID3D11DeviceContext* context, LitTexEffect* effect) {
    // A sprite without frames or buffers has nothing to show.
    if (mFrames.empty() || !mVB || !mIB) return;
    const UINT stride = sizeof(Vertex::NormalTexVertex);
    const UINT offset = 0;
    const XMMATRIX world = GetWorld();
    const XMMATRIX wvp = world * viewProj;
    const XMMATRIX invWorld = InverseTranspose(world);

    context->IASetVertexBuffers(0, 1, &mVB, &stride, &offset);
    context->IASetIndexBuffer(mIB, DXGI_FORMAT_R32_UINT, 0);
    effect->SetPerObject(world, invWorld, wvp, mFrames[mCurrentFrame]->image);
    effect->DrawRange(context, mVB, mIB, mCurrentFrame * 6u, 6);
}

void Sprite::Play(bool loop) {
    mLoop = loop;
    mAnimating = true;
}

void Sprite::AdvanceAnimation(float dt) {
    mFrameTimer += dt;
    if (mFrameTimer <= mFrameTime) return;
    // One frame per update at most: a long step leaves its excess in the timer to be caught up later.
    ++mCurrentFrame;
    mFrameTimer -= mFrameTime;
    if (mCurrentFrame < mFrames.size()) return;
    if (mLoop) {
        mCurrentFrame = 0;
        return;
    }
    --mCurrentFrame;
    mAnimating = false;
}

void Sprite::Update(float dt) {
    if (mAnimating) AdvanceAnimation(dt);
    mPosition.x += mVelocity.x * dt;
    mPosition.y += mVelocity.y * dt;
}

void Sprite::Accelerate(FXMVECTOR velocity) {
    mVelocity.x += XMVectorGetX(velocity);
    mVelocity.y += XMVectorGetY(velocity);
    mVelocity.z += XMVectorGetZ(velocity);
}

void Sprite::Land() {
    mOnGround = true;
    mVelocity.y = 0.0f;
}

void Sprite::LeaveGround() { mOnGround = false; }

void Sprite::Attack(Sprite* target) const { target->SetHealth(target->GetHealth() - mDamage); }
