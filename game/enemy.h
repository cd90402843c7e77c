#pragma once
#include <vector>

#include "sprite.h"

class Player;

// A flying creature that homes in on the player; it has no gravity and hurts only by touch.
class Enemy : public Sprite {
public:
    Enemy(FXMVECTOR position, FXMVECTOR scale, USHORT width, USHORT height, float depth,
          const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health);
    ~Enemy() override;

    void Update(float dt) override;
    // Moves every enemy of the list toward the player, not only this one.
    void Chase(const std::vector<Enemy*>& enemies, const Player* player, float dt);

    XMVECTOR GetChaseVelocity() const { return mChaseVelocity; }

private:
    XMVECTOR mChaseVelocity;
    float mChaseSpeed;
};
