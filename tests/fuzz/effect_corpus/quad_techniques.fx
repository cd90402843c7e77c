
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
