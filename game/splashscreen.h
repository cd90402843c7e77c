#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include "sprite.h"

class LitTexEffect;

// The first picture after start-up, shown until the menu takes over.
class SplashScreen {
public:
    SplashScreen();
    ~SplashScreen();

    void Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight);
    void Update(float dt);
    void Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect);

    SplashScreen(const SplashScreen&) = delete;
    SplashScreen& operator=(const SplashScreen&) = delete;

private:
    Sprite* mSprite;
    Sprite::Frame* mFrame;
};
