cbuffer cbPerFrame { float4x4 gWVP; row_major float4x3 gRows; float gScale[4]; };
struct Light { float3 Pos; float Range; };
cbuffer cbLights : register(b1) { Light gLights[2]; int gCount; uint gMask; bool gOn; };
float4 Shade(float4 c) { return c * gScale[1]; }
