#include "splashscreen.h"

#include <d3dx11.h>
#include <traceresult.h>

SplashScreen::SplashScreen() : PictureScreen(L"Textures/menuBackground.png") {}

// Unlike the other screens' pictures, a splash picture that fails to load is reported.
ID3D11ShaderResourceView* SplashScreen::LoadPicture(ID3D11Device* device) {
    ID3D11ShaderResourceView* BGimage = nullptr;
    VERIFY_HR(D3DX11CreateShaderResourceViewFromFile(device, L"Textures/menuBackground.png", 0, 0, &BGimage, 0));
    return BGimage;
}
