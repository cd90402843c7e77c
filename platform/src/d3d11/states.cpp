#include "states.h"
#include "context.h"
#include <algorithm>
#include <iterator>

namespace platform {
namespace {

// GL_ZERO is 0, so an impossible enum marks values that have no GL counterpart.
constexpr GLenum kInvalid = 0xffffffffu;

// Under the upper-left clip origin Direct3D's on-screen winding keeps its GL name (the cull tests pin this).
GLenum FrontFaceGL(bool counterClockwise) { return counterClockwise ? GL_CCW : GL_CW; }

bool ValidComparison(D3D11_COMPARISON_FUNC func) {
    return func >= D3D11_COMPARISON_NEVER && func <= D3D11_COMPARISON_ALWAYS;
}

GLenum ComparisonGL(D3D11_COMPARISON_FUNC func) {
    static const GLenum kFuncs[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                                    GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return kFuncs[func - D3D11_COMPARISON_NEVER];
}

// ---- blend ----

// kInvalid for values that are not a blend factor, or a colour factor in an alpha slot.
GLenum BlendFactorGL(D3D11_BLEND blend, bool alpha) {
    switch (blend) {
    case D3D11_BLEND_ZERO:
        return GL_ZERO;
    case D3D11_BLEND_ONE:
        return GL_ONE;
    case D3D11_BLEND_SRC_COLOR:
        return alpha ? kInvalid : GL_SRC_COLOR;
    case D3D11_BLEND_INV_SRC_COLOR:
        return alpha ? kInvalid : GL_ONE_MINUS_SRC_COLOR;
    case D3D11_BLEND_SRC_ALPHA:
        return GL_SRC_ALPHA;
    case D3D11_BLEND_INV_SRC_ALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3D11_BLEND_DEST_ALPHA:
        return GL_DST_ALPHA;
    case D3D11_BLEND_INV_DEST_ALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3D11_BLEND_DEST_COLOR:
        return alpha ? kInvalid : GL_DST_COLOR;
    case D3D11_BLEND_INV_DEST_COLOR:
        return alpha ? kInvalid : GL_ONE_MINUS_DST_COLOR;
    case D3D11_BLEND_SRC_ALPHA_SAT:
        return GL_SRC_ALPHA_SATURATE;
    case D3D11_BLEND_BLEND_FACTOR:
        return alpha ? GL_CONSTANT_ALPHA : GL_CONSTANT_COLOR;
    case D3D11_BLEND_INV_BLEND_FACTOR:
        return alpha ? GL_ONE_MINUS_CONSTANT_ALPHA : GL_ONE_MINUS_CONSTANT_COLOR;
    case D3D11_BLEND_SRC1_COLOR:
        return alpha ? kInvalid : GL_SRC1_COLOR;
    case D3D11_BLEND_INV_SRC1_COLOR:
        return alpha ? kInvalid : GL_ONE_MINUS_SRC1_COLOR;
    case D3D11_BLEND_SRC1_ALPHA:
        return GL_SRC1_ALPHA;
    case D3D11_BLEND_INV_SRC1_ALPHA:
        return GL_ONE_MINUS_SRC1_ALPHA;
    }
    return kInvalid;
}

GLenum BlendOpGL(D3D11_BLEND_OP op) {
    switch (op) {
    case D3D11_BLEND_OP_ADD:
        return GL_FUNC_ADD;
    case D3D11_BLEND_OP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3D11_BLEND_OP_REV_SUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3D11_BLEND_OP_MIN:
        return GL_MIN;
    case D3D11_BLEND_OP_MAX:
        return GL_MAX;
    }
    return kInvalid;
}

// The decoders answer what is wrong with a description (null when nothing is), for the debug layer to say.
using Fault = const char*;

// Disabled targets are not validated, so a zero-filled description with blending off is accepted.
Fault DecodeTarget(const D3D11_RENDER_TARGET_BLEND_DESC& d, BlendTargetGL* out) {
    if (d.RenderTargetWriteMask > D3D11_COLOR_WRITE_ENABLE_ALL) return "RenderTargetWriteMask is invalid.";
    out->writeMask = d.RenderTargetWriteMask;
    out->enable = d.BlendEnable;
    if (!d.BlendEnable) return nullptr;
    out->src = BlendFactorGL(d.SrcBlend, false);
    out->dst = BlendFactorGL(d.DestBlend, false);
    out->srcAlpha = BlendFactorGL(d.SrcBlendAlpha, true);
    out->dstAlpha = BlendFactorGL(d.DestBlendAlpha, true);
    out->op = BlendOpGL(d.BlendOp);
    out->opAlpha = BlendOpGL(d.BlendOpAlpha);
    const GLenum decoded[] = {out->src, out->dst, out->srcAlpha, out->dstAlpha, out->op, out->opAlpha};
    if (std::find(std::begin(decoded), std::end(decoded), kInvalid) == std::end(decoded)) return nullptr;
    return "A blend factor or operation is invalid, or a colour factor stands in an alpha slot.";
}

Fault Decode(const D3D11_BLEND_DESC& d, BlendGL* out) {
    out->alphaToCoverage = d.AlphaToCoverageEnable;
    const int used = d.IndependentBlendEnable ? 8 : 1;
    for (int i = 0; i < used; ++i) {
        if (Fault fault = DecodeTarget(d.RenderTarget[i], &out->targets[i])) return fault;
    }
    for (int i = used; i < 8; ++i) out->targets[i] = out->targets[0];
    return nullptr;
}

// ---- depth-stencil ----

GLenum StencilOpGL(D3D11_STENCIL_OP op) {
    static const GLenum kOps[] = {GL_KEEP, GL_ZERO,   GL_REPLACE,   GL_INCR,
                                  GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    if (op < D3D11_STENCIL_OP_KEEP || op > D3D11_STENCIL_OP_DECR) return kInvalid;
    return kOps[op - D3D11_STENCIL_OP_KEEP];
}

Fault DecodeStencilFace(const D3D11_DEPTH_STENCILOP_DESC& d, StencilFaceGL* out) {
    if (!ValidComparison(d.StencilFunc)) return "StencilFunc is invalid.";
    out->fail = StencilOpGL(d.StencilFailOp);
    out->depthFail = StencilOpGL(d.StencilDepthFailOp);
    out->pass = StencilOpGL(d.StencilPassOp);
    out->func = ComparisonGL(d.StencilFunc);
    if (out->fail != kInvalid && out->depthFail != kInvalid && out->pass != kInvalid) return nullptr;
    return "A stencil operation is invalid.";
}

Fault Decode(const D3D11_DEPTH_STENCIL_DESC& d, DepthStencilGL* out) {
    if (d.DepthWriteMask != D3D11_DEPTH_WRITE_MASK_ZERO && d.DepthWriteMask != D3D11_DEPTH_WRITE_MASK_ALL) {
        return "DepthWriteMask is invalid.";
    }
    out->depthTest = d.DepthEnable;
    out->depthWrite = d.DepthWriteMask == D3D11_DEPTH_WRITE_MASK_ALL;
    if (d.DepthEnable) {
        if (!ValidComparison(d.DepthFunc)) return "DepthFunc is invalid.";
        out->depthFunc = ComparisonGL(d.DepthFunc);
    }
    out->stencilTest = d.StencilEnable;
    out->readMask = d.StencilReadMask;
    out->writeMask = d.StencilWriteMask;
    if (!d.StencilEnable) return nullptr;
    if (Fault fault = DecodeStencilFace(d.FrontFace, &out->front)) return fault;
    return DecodeStencilFace(d.BackFace, &out->back);
}

// ---- rasterizer ----

Fault Decode(const D3D11_RASTERIZER_DESC& d, RasterizerGL* out) {
    if (d.FillMode != D3D11_FILL_SOLID && d.FillMode != D3D11_FILL_WIREFRAME) return "FillMode is invalid.";
    if (d.CullMode < D3D11_CULL_NONE || d.CullMode > D3D11_CULL_BACK) return "CullMode is invalid.";
    if (d.DepthBiasClamp != 0.0f) return "DepthBiasClamp other than 0 is not supported by this layer.";
    out->polygonMode = d.FillMode == D3D11_FILL_SOLID ? GL_FILL : GL_LINE;
    out->cull = d.CullMode != D3D11_CULL_NONE;
    out->cullFace = d.CullMode == D3D11_CULL_FRONT ? GL_FRONT : GL_BACK;
    out->frontFace = FrontFaceGL(d.FrontCounterClockwise);
    out->biasUnits = float(d.DepthBias);
    out->biasSlope = d.SlopeScaledDepthBias;
    out->depthClamp = !d.DepthClipEnable;
    out->scissor = d.ScissorEnable;
    out->lineSmooth = d.AntialiasedLineEnable && !d.MultisampleEnable;
    return nullptr;
}

// ---- sampler ----

bool ValidFilter(D3D11_FILTER filter) {
    const UINT base = UINT(filter) & ~0x80u;
    if (UINT(filter) & ~0xd5u) return false;
    return base == 0 || base == 0x1 || base == 0x4 || base == 0x5 || base == 0x10 || base == 0x11 || base == 0x14 ||
           base == 0x15 || base == 0x55;
}

GLenum AddressGL(D3D11_TEXTURE_ADDRESS_MODE mode) {
    static const GLenum kModes[] = {GL_REPEAT, GL_MIRRORED_REPEAT, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_BORDER,
                                    GL_MIRROR_CLAMP_TO_EDGE};
    if (mode < D3D11_TEXTURE_ADDRESS_WRAP || mode > D3D11_TEXTURE_ADDRESS_MIRROR_ONCE) return 0;
    return kModes[mode - D3D11_TEXTURE_ADDRESS_WRAP];
}

Fault SamplerFault(const D3D11_SAMPLER_DESC& d) {
    if (!ValidFilter(d.Filter)) return "Filter is invalid.";
    if (!AddressGL(d.AddressU) || !AddressGL(d.AddressV) || !AddressGL(d.AddressW)) {
        return "An address mode is invalid.";
    }
    if (d.MaxAnisotropy > D3D11_MAX_MAXANISOTROPY) return "MaxAnisotropy is above 16.";
    if ((d.Filter & 0x80) && !ValidComparison(d.ComparisonFunc)) return "ComparisonFunc is invalid.";
    if (d.MipLODBias >= -16.0f && d.MipLODBias <= 15.99f && !(d.MinLOD > d.MaxLOD)) return nullptr;
    return "MipLODBias is outside -16..15.99, or MinLOD is above MaxLOD.";
}

// E_INVALIDARG, reported on a debug device, for a missing or faulty description.
HRESULT Refuse(Device& device, const char* method, Fault fault) {
    device.Report(method, fault, messages::kCreateStateInvalidDesc);
    return E_INVALIDARG;
}

void ConfigureSampler(GLuint name, const D3D11_SAMPLER_DESC& d) {
    const bool minLinear = d.Filter & 0x10, magLinear = d.Filter & 0x4, mipLinear = d.Filter & 0x1;
    static const GLenum kMin[2][2] = {{GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
                                      {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR}};
    glSamplerParameteri(name, GL_TEXTURE_MIN_FILTER, kMin[minLinear][mipLinear]);
    glSamplerParameteri(name, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_S, AddressGL(d.AddressU));
    glSamplerParameteri(name, GL_TEXTURE_WRAP_T, AddressGL(d.AddressV));
    glSamplerParameteri(name, GL_TEXTURE_WRAP_R, AddressGL(d.AddressW));
    glSamplerParameterf(name, GL_TEXTURE_LOD_BIAS, d.MipLODBias);
    glSamplerParameterf(name, GL_TEXTURE_MIN_LOD, d.MinLOD);
    glSamplerParameterf(name, GL_TEXTURE_MAX_LOD, d.MaxLOD);
    glSamplerParameterfv(name, GL_TEXTURE_BORDER_COLOR, d.BorderColor);
    if ((d.Filter & 0x55) == 0x55 && d.MaxAnisotropy > 1) {
        glSamplerParameterf(name, GL_TEXTURE_MAX_ANISOTROPY, float(d.MaxAnisotropy));
    }
    if (d.Filter & 0x80) {
        glSamplerParameteri(name, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glSamplerParameteri(name, GL_TEXTURE_COMPARE_FUNC, ComparisonGL(d.ComparisonFunc));
    }
}

}  // namespace

const BlendGL& DefaultBlend() {
    static const BlendGL blend;
    return blend;
}

const DepthStencilGL& DefaultDepthStencil() {
    static const DepthStencilGL depthStencil;
    return depthStencil;
}

const RasterizerGL& DefaultRasterizer() {
    static const RasterizerGL rasterizer = [] {
        RasterizerGL r;
        r.frontFace = FrontFaceGL(false);
        return r;
    }();
    return rasterizer;
}

template <class Interface, class Desc, class Decoded>
HRESULT DecodedState<Interface, Desc, Decoded>::Create(Device& device, const char* method, const Desc* desc,
                                                       Interface** state) {
    ClearOut(state);
    Decoded gl;
    if (!desc) return Refuse(device, method, "pDesc is null.");
    if (Fault fault = Decode(*desc, &gl)) return Refuse(device, method, fault);
    if (!device.Usable()) return E_NOTIMPL;
    return HandOut(new DecodedState(device, *desc, gl), state);
}

template class DecodedState<ID3D11BlendState, D3D11_BLEND_DESC, BlendGL>;
template class DecodedState<ID3D11DepthStencilState, D3D11_DEPTH_STENCIL_DESC, DepthStencilGL>;
template class DecodedState<ID3D11RasterizerState, D3D11_RASTERIZER_DESC, RasterizerGL>;

HRESULT SamplerState::Create(Device& device, const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) {
    ClearOut(state);
    const char* method = "ID3D11Device::CreateSamplerState";
    if (!desc) return Refuse(device, method, "pDesc is null.");
    if (Fault fault = SamplerFault(*desc)) return Refuse(device, method, fault);
    if (!device.Usable()) return E_NOTIMPL;
    auto* object = new SamplerState(device, *desc);
    if (device.Rasterises()) {
        device.MakeCurrent();
        glCreateSamplers(1, &object->name_);
        ConfigureSampler(object->name_, *desc);
    }
    return HandOut(object, state);
}

SamplerState::~SamplerState() {
    device_->Immediate().Retire(Serial());
    DeleteName(*device_, GLObject::Sampler, name_);
}

}  // namespace platform
