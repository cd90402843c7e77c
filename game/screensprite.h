#pragma once
#include <d3d11.h>

#include "sprite.h"

// The one full-window picture every screen shows: a 1024 x 768 sprite centred in the client area as it was at
// creation. The frame record belongs to the screen, which frees it with DestroyScreenSprite.
Sprite* CreateScreenSprite(ID3D11Device* device, ID3D11ShaderResourceView* picture, USHORT clientWidth,
                           USHORT clientHeight, Sprite::Frame** frame);

// Loads a screen picture without reporting a failure; the view is then null.
ID3D11ShaderResourceView* LoadScreenPicture(ID3D11Device* device, const wchar_t* fileName);

void DestroyScreenSprite(Sprite*& sprite, Sprite::Frame*& frame);
