#pragma once
#include <d3d11.h>
#include <xnamath.h>

#include "sprite.h"

class LitTexEffect;
class ScreenSwitcher;

// What every screen besides the playing field is: one full-window picture, a 1024 x 768 sprite centred in the client
// area as it was at Init, with button regions that react to presses. The picture's frame record and texture view
// belong to the screen and go with it.
class PictureScreen {
public:
    virtual ~PictureScreen();

    void Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight);
    void Update(float dt);
    void Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect);
    // A screen without buttons ignores presses.
    virtual void OnClick(int x, int y, ScreenSwitcher* app);

    PictureScreen(const PictureScreen&) = delete;
    PictureScreen& operator=(const PictureScreen&) = delete;

protected:
    explicit PictureScreen(const wchar_t* pictureFile);

    // Loads the picture without reporting a failure; the view is then null.
    virtual ID3D11ShaderResourceView* LoadPicture(ID3D11Device* device);
    // The regions are zero until Init places them.
    virtual void PlaceButtons();

    Sprite* mSprite;

private:
    const wchar_t* mPictureFile;
    Sprite::Frame* mFrame;
};
