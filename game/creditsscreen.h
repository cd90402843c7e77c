#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include "buttonrect.h"
#include "sprite.h"

class LitTexEffect;
class ScreenSwitcher;

// The credits picture with one region back to the menu.
class CreditsScreen {
public:
    CreditsScreen();
    ~CreditsScreen();

    void Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight);
    void Update(float dt);
    void Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect);
    void OnClick(int x, int y, ScreenSwitcher* app);

    CreditsScreen(const CreditsScreen&) = delete;
    CreditsScreen& operator=(const CreditsScreen&) = delete;

private:
    Sprite* mSprite;
    ButtonRect mBackButton;
    Sprite::Frame* mFrame;
};
