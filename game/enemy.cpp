#include "enemy.h"

#include "player.h"

Enemy::Enemy(FXMVECTOR position, FXMVECTOR scale, USHORT width, USHORT height, float depth,
             const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health)
    : Sprite(position, scale, width, height, depth, frames, frameTime, device, health),
      mChaseVelocity(XMVectorZero()),
      mChaseSpeed(12.0f) {}

Enemy::~Enemy() = default;

void Enemy::Update(float dt) { Sprite::Update(dt); }

void Enemy::Chase(const std::vector<Enemy*>& enemies, const Player* player, float dt) {
    const XMFLOAT2 target = player->GetPosition();
    for (Enemy* e : enemies) {
        const XMFLOAT2 from = e->GetPosition();
        const XMVECTOR toPlayer = XMVector2Normalize(XMVectorSet(target.x - from.x, target.y - from.y, 0.0f, 0.0f));
        mChaseVelocity = toPlayer * mChaseSpeed;
        e->mPosition.x += XMVectorGetX(mChaseVelocity) * dt;
        e->mPosition.y += XMVectorGetY(mChaseVelocity) * dt;
    }
}
