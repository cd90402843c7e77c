#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include "buttonrect.h"
#include "sprite.h"

class LitTexEffect;
class ScreenSwitcher;

// The title menu: one picture with play, credits and quit regions.
class MenuScreen {
public:
    MenuScreen();
    ~MenuScreen();

    void Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight);
    void Update(float dt);
    void Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect);
    void OnClick(int x, int y, ScreenSwitcher* app);

    MenuScreen(const MenuScreen&) = delete;
    MenuScreen& operator=(const MenuScreen&) = delete;

private:
    Sprite* mSprite;
    ButtonRect mPlayButton;
    ButtonRect mCreditsButton;
    ButtonRect mQuitButton;
    Sprite::Frame* mFrame;
};
