#include "projectile.h"

Projectile::Projectile(FXMVECTOR position, FXMVECTOR scale, FXMVECTOR velocity, USHORT width, USHORT height,
                       float depth, const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device,
                       float health)
    : Sprite(position, scale, width, height, depth, frames, frameTime, device, health),
      mDistance(0.0f),
      mHitWidth(22.0f),
      mHitHeight(9.0f),
      mMaxRange(1000.0f),
      mMinRange(-1000.0f) {
    XMStoreFloat3(&mVelocity, velocity);
}

Projectile::~Projectile() = default;

void Projectile::Accelerate(FXMVECTOR velocity) { Sprite::Accelerate(velocity); }

void Projectile::Update(float dt) {
    mDistance += XMVectorGetX(XMVector3Length(XMLoadFloat3(&mVelocity))) * dt;
    Sprite::Update(dt);
}
