#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include "buttonrect.h"
#include "sprite.h"

class LitTexEffect;
class ScreenSwitcher;

// The picture shown when the player reaches the end of the level: play again or quit.
class WinScreen {
public:
    WinScreen();
    ~WinScreen();

    void Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight);
    void Update(float dt);
    void Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect);
    void OnClick(int x, int y, ScreenSwitcher* app);

    WinScreen(const WinScreen&) = delete;
    WinScreen& operator=(const WinScreen&) = delete;

private:
    Sprite* mSprite;
    ButtonRect mPlayAgainButton;
    ButtonRect mQuitButton;
    Sprite::Frame* mFrame;
};
