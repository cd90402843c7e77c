#include "effect_test_util.h"

#include <d3dx11async.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace fxtest {

std::string WriteTempFile(const std::string& name, const std::string& text) {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp ? tmp : "/tmp") + "/fxtest_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

Compiled CompileFile(const std::string& path, const char* profile) {
    std::wstring wide(path.begin(), path.end());
    ID3D10Blob* shader = nullptr;
    ID3D10Blob* messages = nullptr;
    Compiled out;
    HRESULT result = 1;
    out.hr = D3DX11CompileFromFileW(wide.c_str(), nullptr, nullptr, nullptr, profile, 1 | 4, 0, nullptr, &shader,
                                    &messages, &result);
    if (result != out.hr) out.hr = E_UNEXPECTED;
    if (shader) {
        auto* p = static_cast<const uint8_t*>(shader->GetBufferPointer());
        out.bytes.assign(p, p + shader->GetBufferSize());
        shader->Release();
    }
    if (messages) {
        out.messages = static_cast<const char*>(messages->GetBufferPointer());
        messages->Release();
    }
    return out;
}

Compiled CompileText(const std::string& name, const std::string& text) {
    return CompileFile(WriteTempFile(name, text));
}

const char* const kQuadEffect = R"(
cbuffer cbQuad
{
    float4x4 gXform;
    float4 gTint;
};
Texture2D gTex;
SamplerState samPoint { Filter = MIN_MAG_MIP_POINT; AddressU = CLAMP; AddressV = CLAMP; };
SamplerState samWrap { Filter = MIN_MAG_MIP_POINT; AddressU = WRAP; AddressV = WRAP; };

struct VIn { float3 Pos : POSITION; float2 Tex : TEXCOORD; };
struct VOut { float4 PosH : SV_POSITION; float2 Tex : TEXCOORD; };

VOut VS(VIn vin)
{
    VOut o;
    o.PosH = mul(float4(vin.Pos, 1.0f), gXform);
    o.Tex = vin.Tex;
    return o;
}
float4 PSClamp(VOut pin) : SV_Target { return gTex.Sample(samPoint, pin.Tex) * gTint; }
float4 PSWrap(VOut pin) : SV_Target { return gTex.Sample(samWrap, pin.Tex) * gTint; }

technique11 Clamp
{
    pass P0 { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSClamp())); }
}
technique11 Wrap
{
    pass P0 { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSWrap())); }
}
technique11 Twice
{
    pass First { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSClamp())); }
    pass Second { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PSClamp())); }
}
)";

}  // namespace fxtest
