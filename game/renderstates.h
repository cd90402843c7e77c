#pragma once
#include <d3d11.h>

// The render states every picture of the game is drawn with; the application and each game create their own
// objects from these descriptions.

// Alpha blending of the sprite over what was drawn before; render targets 1 to 7 stay all zero.
inline D3D11_BLEND_DESC TransparentBlendDesc() {
    D3D11_BLEND_DESC bsDesc = {};
    // Blending on: colour source alpha over inverse source alpha, alpha one and zero, both added; all channels.
    bsDesc.RenderTarget[0] = {TRUE,
                              D3D11_BLEND_SRC_ALPHA,
                              D3D11_BLEND_INV_SRC_ALPHA,
                              D3D11_BLEND_OP_ADD,
                              D3D11_BLEND_ONE,
                              D3D11_BLEND_ZERO,
                              D3D11_BLEND_OP_ADD,
                              D3D11_COLOR_WRITE_ENABLE_ALL};
    return bsDesc;
}

// No depth test: pictures cover each other in the order they are drawn.
inline D3D11_DEPTH_STENCIL_DESC NoDepthTestDesc() {
    // Stencil fail, depth fail, pass, function: the same for front and back faces.
    const D3D11_DEPTH_STENCILOP_DESC face = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_REPLACE,
                                             D3D11_COMPARISON_ALWAYS};
    // Depth off, no depth writes, depth function LESS; stencil off, read and write masks 0xFF.
    return {FALSE, D3D11_DEPTH_WRITE_MASK_ZERO, D3D11_COMPARISON_LESS, FALSE, 0xFF, 0xFF, face, face};
}

// No culling, so sprites mirrored by a negative x-scale still show.
inline D3D11_RASTERIZER_DESC NoCullRasterizerDesc() {
    // Solid, no culling, front faces counter-clockwise; no depth bias of any kind; depth clipping on, scissor off,
    // multisampling on, antialiased lines off.
    return {D3D11_FILL_SOLID, D3D11_CULL_NONE, TRUE, 0, 0.0f, 0.0f, TRUE, FALSE, TRUE, FALSE};
}
