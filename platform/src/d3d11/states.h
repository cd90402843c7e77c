// Blend, depth-stencil, rasterizer and sampler states: validated and decoded into GL terms once.
#pragma once
#include "device.h"

namespace platform {

struct BlendTargetGL {
    bool enable = false;
    GLenum src = GL_ONE, dst = GL_ZERO, op = GL_FUNC_ADD;
    GLenum srcAlpha = GL_ONE, dstAlpha = GL_ZERO, opAlpha = GL_FUNC_ADD;
    uint8_t writeMask = D3D11_COLOR_WRITE_ENABLE_ALL;
};
struct BlendGL {
    bool alphaToCoverage = false;
    BlendTargetGL targets[8];
};

struct StencilFaceGL {
    GLenum fail = GL_KEEP, depthFail = GL_KEEP, pass = GL_KEEP, func = GL_ALWAYS;
};
struct DepthStencilGL {
    bool depthTest = true, depthWrite = true;
    GLenum depthFunc = GL_LESS;
    bool stencilTest = false;
    GLuint readMask = 0xff, writeMask = 0xff;
    StencilFaceGL front, back;
};

struct RasterizerGL {
    GLenum polygonMode = GL_FILL;
    bool cull = true;
    GLenum cullFace = GL_BACK;
    GLenum frontFace = 0;
    float biasUnits = 0, biasSlope = 0;
    bool depthClamp = false, scissor = false, lineSmooth = false;
};

// The GL state tracker compares these to send only what changed.
bool operator==(const BlendTargetGL& a, const BlendTargetGL& b);
bool operator==(const StencilFaceGL& a, const StencilFaceGL& b);
bool operator==(const DepthStencilGL& a, const DepthStencilGL& b);
bool operator==(const RasterizerGL& a, const RasterizerGL& b);

// The states Direct3D uses when none is bound.
const BlendGL& DefaultBlend();
const DepthStencilGL& DefaultDepthStencil();
const RasterizerGL& DefaultRasterizer();

// A state object keeps the description it was made from for GetDesc.
template <class Interface, class Desc>
class DescribedState : public DeviceChild<Interface> {
public:
    void GetDesc(Desc* desc) override { *desc = desc_; }

protected:
    DescribedState(Device& device, const Desc& desc) : DeviceChild<Interface>(device), desc_(desc) {}

private:
    Desc desc_;
};

// A state that is only its description decoded into GL terms, applied by the context at draw time.
template <class Interface, class Desc, class Decoded>
class DecodedState final : public DescribedState<Interface, Desc> {
public:
    // `method` names the entry point in debug messages.
    static HRESULT Create(Device& device, const char* method, const Desc* desc, Interface** state);
    const Decoded& GL() const { return gl_; }

private:
    DecodedState(Device& device, const Desc& desc, const Decoded& gl)
        : DescribedState<Interface, Desc>(device, desc), gl_(gl) {}
    Decoded gl_;
};

using BlendState = DecodedState<ID3D11BlendState, D3D11_BLEND_DESC, BlendGL>;
using DepthStencilState = DecodedState<ID3D11DepthStencilState, D3D11_DEPTH_STENCIL_DESC, DepthStencilGL>;
using RasterizerState = DecodedState<ID3D11RasterizerState, D3D11_RASTERIZER_DESC, RasterizerGL>;

class SamplerState final : public DescribedState<ID3D11SamplerState, D3D11_SAMPLER_DESC> {
public:
    static HRESULT Create(Device& device, const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state);
    GLuint Name() const { return name_; }

private:
    using DescribedState::DescribedState;
    ~SamplerState() override;
    GLuint name_ = 0;
};

}  // namespace platform
