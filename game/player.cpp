#include "player.h"

float gThrustTimer = 0.0f;

Player::Player(FXMVECTOR position, FXMVECTOR scale, USHORT width, USHORT height, float depth,
               const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health)
    : Sprite(position, scale, width, height, depth, frames, frameTime, device, health),
      mJumpSpeed(405.0f),
      mThrustAccel(12.0f),
      mCutoutDrop(1000.0f) {}

Player::~Player() = default;

void Player::Jump() {
    if (!mOnGround) return;
    mVelocity.y += mJumpSpeed;
    mOnGround = false;
}

void Player::Thrust(float dt) {
    gThrustTimer += dt;
    if (gThrustTimer < 3.0f) {
        mVelocity.y += mThrustAccel;
        return;
    }
    mVelocity.y -= mCutoutDrop;
    gThrustTimer = 0.0f;
}
