#include "technique.h"

#include <string>

#include "d3d11_layer.h"
#include "effect.h"
#include "windows.h"

namespace fx {
namespace {

namespace layer = platform::d3d11;

std::vector<layer::SignatureElement> Signature(const Pass& pass) {
    std::vector<layer::SignatureElement> out;
    for (const InputElement& e : pass.inputs) {
        const auto type = static_cast<layer::ComponentType>(e.componentType);
        out.push_back({e.semantic, e.index, e.location, e.components, type});
    }
    return out;
}

// Reported through the debugger output, as the layer reports the objects it refuses.
bool Refused(const Pass& pass, const char* reason) {
    OutputDebugStringA(("effect pass '" + pass.name + "': " + reason + "\n").c_str());
    return false;
}

std::vector<uint8_t> Bytecode(layer::ShaderStage stage, const std::string& glsl, const std::vector<uint32_t>& slots) {
    return layer::EncodeShader({stage, glsl, slots});
}

}  // namespace

EffectPass::EffectPass(Effect* effect, const Pass* pass) : effect_(effect), pass_(pass) {
    if (pass_) signature_ = layer::EncodeInputSignature(Signature(*pass_));
}

EffectPass::~EffectPass() {
    if (vertexShader_) vertexShader_->Release();
    if (pixelShader_) pixelShader_->Release();
}

bool EffectPass::Link() {
    std::vector<uint32_t> flattened;
    for (uint32_t cb : pass_->flattened) flattened.push_back(effect_->Compiled().cbuffers[cb].binding);
    ID3D11Device* device = effect_->Device();
    const std::vector<uint8_t> vertex = Bytecode(layer::ShaderStage::Vertex, pass_->vertexGlsl, flattened);
    if (FAILED(device->CreateVertexShader(vertex.data(), vertex.size(), nullptr, &vertexShader_))) {
        return Refused(*pass_, "the vertex shader was refused");
    }
    if (!pass_->pixelGlsl.empty()) {
        const std::vector<uint8_t> pixel = Bytecode(layer::ShaderStage::Pixel, pass_->pixelGlsl, flattened);
        if (FAILED(device->CreatePixelShader(pixel.data(), pixel.size(), nullptr, &pixelShader_))) {
            return Refused(*pass_, "the pixel shader was refused");
        }
    }
    if (FAILED(layer::PrepareProgram(device, vertexShader_, pixelShader_))) {
        return Refused(*pass_, "its shaders do not link");
    }
    return true;
}

HRESULT EffectPass::GetDesc(D3DX11_PASS_DESC* desc) {
    if (const HRESULT hr = CallState(pass_, desc); hr != S_OK) return hr;
    *desc = {pass_->name.c_str(), 0, signature_.data(), signature_.size(), 0, 0xFFFFFFFFu, {1, 1, 1, 1}};
    return S_OK;
}

// Texture unit N of a pass's program reads the pixel shader's resource and sampler slots N.
void EffectPass::BindTextures(ID3D11DeviceContext* context) {
    for (const TextureUnit& u : pass_->units) {
        ID3D11ShaderResourceView* view = effect_->Variables().Resource(u.texture);
        ID3D11SamplerState* sampler = effect_->Sampler(u.sampler);
        context->PSSetShaderResources(u.unit, 1, &view);
        context->PSSetSamplers(u.unit, 1, &sampler);
    }
}

HRESULT EffectPass::Apply(UINT, ID3D11DeviceContext* context) {
    if (const HRESULT hr = CallState(pass_, context); hr != S_OK) return hr;
    context->VSSetShader(vertexShader_, nullptr, 0);
    context->PSSetShader(pixelShader_, nullptr, 0);
    effect_->BindBuffers(context);
    BindTextures(context);
    return S_OK;
}

EffectPass* EffectPass::Invalid() {
    static EffectPass invalid(nullptr, nullptr);
    return &invalid;
}

EffectTechnique::EffectTechnique(Effect* effect, const Technique* technique) : technique_(technique) {
    if (!technique_) return;
    for (const Pass& p : technique_->passes) passes_.push_back(std::make_unique<EffectPass>(effect, &p));
}

bool EffectTechnique::Link() {
    for (auto& p : passes_) {
        if (!p->Link()) return false;
    }
    return true;
}

HRESULT EffectTechnique::GetDesc(D3DX11_TECHNIQUE_DESC* desc) {
    if (const HRESULT hr = CallState(technique_, desc); hr != S_OK) return hr;
    *desc = {technique_->name.c_str(), static_cast<UINT>(passes_.size()), 0};
    return S_OK;
}

ID3DX11EffectPass* EffectTechnique::GetPassByIndex(UINT index) {
    return index < passes_.size() ? passes_[index].get() : EffectPass::Invalid();
}

ID3DX11EffectPass* EffectTechnique::GetPassByName(LPCSTR name) {
    for (size_t i = 0; name && i < passes_.size(); ++i) {
        if (technique_->passes[i].name == name) return passes_[i].get();
    }
    return EffectPass::Invalid();
}

EffectTechnique* EffectTechnique::Invalid() {
    static EffectTechnique invalid(nullptr, nullptr);
    return &invalid;
}

}  // namespace fx
