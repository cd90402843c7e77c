// Every sampler key, annotations, a register, and states that are refused.
Texture2D gTex : register(t0);
SamplerState samAll : register(s0)
{
    Filter = COMPARISON_MIN_LINEAR_MAG_POINT_MIP_LINEAR;
    AddressU = MIRROR_ONCE; AddressV = BORDER; AddressW = WRAP;
    MaxAnisotropy = 4; ComparisonFunc = LESS_EQUAL;
    MipLODBias = -0.5f; MinLOD = 0; MaxLOD = 8.5;
    BorderColor = float4(0.0f, 0.5f, 1.0f, 1.0f);
};
SamplerComparisonState samCmp { Filter = COMPARISON_ANISOTROPIC; ComparisonFunc = GREATER; };
sampler samOld = sampler_state { Filter = ANISOTROPIC; AddressU = CLAMP; };
float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1.0f); }
float4 PS(float4 p : SV_POSITION) : SV_Target { return gTex.Sample(samAll, p.xy) + gTex.SampleLevel(samOld, p.xy, 0); }
technique11 T < string note = "annotated"; >
{
    pass P0 < int order = 1; >
    {
        SetVertexShader(CompileShader(vs_5_0, VS()));
        SetGeometryShader(NULL);
        SetPixelShader(CompileShader(ps_5_0, PS()));
    }
    pass VertexOnly { SetVertexShader(CompileShader(vs_4_0, VS())); SetPixelShader(0); }
}
technique10 Old { pass { SetVertexShader(CompileShader(vs_5_0, VS())); SetBlendState(0, float4(0, 0, 0, 0), 0xFFFFFFFF); } }
