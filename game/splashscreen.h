#pragma once
#include "picturescreen.h"

// The first picture after start-up, shown until the menu takes over.
class SplashScreen : public PictureScreen {
public:
    SplashScreen();

private:
    ID3D11ShaderResourceView* LoadPicture(ID3D11Device* device) override;
};
