#pragma once
#include "sprite.h"

// An arrow: flies at its fixed velocity and counts the distance it has flown.
class Projectile : public Sprite {
public:
    Projectile(FXMVECTOR position, FXMVECTOR scale, FXMVECTOR velocity, USHORT width, USHORT height, float depth,
               const std::vector<Frame*>& frames, float frameTime, ID3D11Device* device, float health);
    ~Projectile() override;

    void Accelerate(FXMVECTOR velocity) override;
    void Update(float dt) override;

    float GetDistance() const { return mDistance; }
    float GetHitWidth() const { return mHitWidth; }
    float GetHitHeight() const { return mHitHeight; }
    float GetMaxRange() const { return mMaxRange; }
    float GetMinRange() const { return mMinRange; }

private:
    float mDistance;
    float mHitWidth;
    float mHitHeight;
    float mMaxRange;
    float mMinRange;
};
