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
    void Apply(const FLOAT factor[4], UINT sampleMask) const;
    void ApplyWriteMask(UINT target) const;
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
    void Apply(UINT stencilRef) const;
    void ApplyWriteMasks() const;
};

struct RasterizerGL {
    GLenum polygonMode = GL_FILL;
    bool cull = true;
    GLenum cullFace = GL_BACK;
    GLenum frontFace = 0;
    float biasUnits = 0, biasSlope = 0;
    bool depthClamp = false, scissor = false, lineSmooth = false;
    void Apply() const;
};

// The states Direct3D uses when none is bound.
const BlendGL& DefaultBlend();
const DepthStencilGL& DefaultDepthStencil();
const RasterizerGL& DefaultRasterizer();

class BlendState final : public DeviceChild<ID3D11BlendState> {
public:
    static HRESULT Create(Device& device, const D3D11_BLEND_DESC* desc, ID3D11BlendState** state);
    void GetDesc(D3D11_BLEND_DESC* desc) override { *desc = desc_; }
    const BlendGL& GL() const { return gl_; }

private:
    BlendState(Device& device, const D3D11_BLEND_DESC& desc) : DeviceChild(device), desc_(desc) {}
    D3D11_BLEND_DESC desc_;
    BlendGL gl_;
};

class DepthStencilState final : public DeviceChild<ID3D11DepthStencilState> {
public:
    static HRESULT Create(Device& device, const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** state);
    void GetDesc(D3D11_DEPTH_STENCIL_DESC* desc) override { *desc = desc_; }
    const DepthStencilGL& GL() const { return gl_; }

private:
    DepthStencilState(Device& device, const D3D11_DEPTH_STENCIL_DESC& desc) : DeviceChild(device), desc_(desc) {}
    D3D11_DEPTH_STENCIL_DESC desc_;
    DepthStencilGL gl_;
};

class RasterizerState final : public DeviceChild<ID3D11RasterizerState> {
public:
    static HRESULT Create(Device& device, const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** state);
    void GetDesc(D3D11_RASTERIZER_DESC* desc) override { *desc = desc_; }
    const RasterizerGL& GL() const { return gl_; }

private:
    RasterizerState(Device& device, const D3D11_RASTERIZER_DESC& desc) : DeviceChild(device), desc_(desc) {}
    D3D11_RASTERIZER_DESC desc_;
    RasterizerGL gl_;
};

class SamplerState final : public DeviceChild<ID3D11SamplerState> {
public:
    static HRESULT Create(Device& device, const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state);
    void GetDesc(D3D11_SAMPLER_DESC* desc) override { *desc = desc_; }
    GLuint Name() const { return name_; }

private:
    SamplerState(Device& device, const D3D11_SAMPLER_DESC& desc) : DeviceChild(device), desc_(desc) {}
    ~SamplerState() override;
    D3D11_SAMPLER_DESC desc_;
    GLuint name_ = 0;
};

}  // namespace platform
