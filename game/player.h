#pragma once
#include "sprite.h"

// Seconds of jetpack thrust since the last cut-out; program-wide, so it carries over from one game to the next.
extern float gThrustTimer;

// The archer: jumps from the ground and flies with a jetpack that cuts out every 3 s of accumulated thrust.
class Player : public Sprite {
public:
    Player(FXMVECTOR position, FXMVECTOR scale, USHORT width, USHORT height, float depth,
           const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health);
    ~Player() override;

    void Jump();
    void Thrust(float dt);

private:
    float mJumpSpeed;
    float mThrustAccel;
    float mCutoutDrop;
};
