cbuffer cb { float4 gTint; };
struct V { float4 p : SV_POSITION; };
V VS(float3 p : POSITION) { V v; v.p = float4(p, 1); return v; }
float4 PS V pin) : SV_Target { return gTint; }
technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS())); } }
