float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1); }
#define TINT float4(1, 0, 0, 1)
float4 PS(float4 p : SV_POSITION, float2 t : TEXCOORD) : SV_Target { return TINT; }
SamplerState s { Filter = BLURRY; AddressU = ; };
technique11 A { pass P { SetVertexShader(CompileShader(ps_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS(1))); } }
technique11 B { pass P { SetMagic(1); } pass Q { SetHullShader(CompileShader(hs_5_0, VS())); }
technique11 C {
