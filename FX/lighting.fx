//=============================================================================
// lighting.fx: the lit, textured effect every sprite and mesh is drawn with.
// Light records match the program's PointLight (48 bytes) and SpotLight (64 bytes).
// The ambient term caps the light at full brightness, so with a white ambient light
// every pixel shows exactly its texel; point and spot lights only brighten darker scenes.
// The light is worked out per vertex and blended across each triangle: a pixel costs one
// texel and one multiply. Under a white ambient light every vertex gets exactly 1, and a
// blend of equal values is that value, so the texel comes out unchanged.
// PixelTech works the same light out per pixel, for meshes whose triangles are
// too coarse for a blend of corner values to show a point or spot light.
//=============================================================================

struct PointLight
{
    float4 Colour;
    float3 Position;
    float  Range;
    float3 Att;
    float  pad;
};

struct SpotLight
{
    float4 Colour;
    float3 Position;
    float  Range;
    float3 Direction;
    float  Spot;
    float3 Att;
    float  pad;
};

cbuffer cbPerFrame
{
    PointLight gPointLight;
    SpotLight  gSpotLight;
    float3     gEyePos;
    float4     gAmbientLight;
};

cbuffer cbPerObject
{
    float4x4 gWVP;
    float4x4 gW;
    float4x4 gInvTransposeW;
};

Texture2D gDiffuseMap;

// Point sampling keeps pixel art crisp; wrapping repeats textures whose coordinates pass 1.
SamplerState samPointWrap
{
    Filter = MIN_MAG_MIP_POINT;
    AddressU = WRAP;
    AddressV = WRAP;
};

struct VertexIn
{
    float3 PosL    : POSITION;
    float3 NormalL : NORMAL;
    float2 Tex     : TEXCOORD;
};

struct VertexOut
{
    float4 PosH  : SV_POSITION;
    float3 Light : COLOR;
    float2 Tex   : TEXCOORD;
};

// Normalises without dividing by zero: degenerate vectors stay zero.
float3 SafeNormalize(float3 v)
{
    return v / max(length(v), 1.0e-4f);
}

float Attenuation(float3 att, float d)
{
    return 1.0f / max(dot(att, float3(1.0f, d, d * d)), 1.0e-4f);
}

// Diffuse plus a little specular light from a light at lightPos; never negative.
float3 LightTerm(float3 colour, float3 lightPos, float range, float3 att, float3 posW, float3 normal, float3 toEye)
{
    float3 toLight = lightPos - posW;
    float d = length(toLight);
    float3 l = SafeNormalize(toLight);
    float inRange = d <= range ? 1.0f : 0.0f;
    float diffuse = max(dot(l, normal), 0.0f);
    float specular = pow(max(dot(reflect(-l, normal), toEye), 0.0f), 16.0f) * 0.25f;
    return colour * (diffuse + specular) * Attenuation(att, d) * inRange;
}

float3 Light(float3 posW, float3 normal)
{
    float3 toEye = SafeNormalize(gEyePos - posW);

    float3 pointLit = LightTerm(gPointLight.Colour.rgb, gPointLight.Position, gPointLight.Range, gPointLight.Att,
                             posW, normal, toEye);

    float3 spotDir = SafeNormalize(gSpotLight.Direction);
    float3 fromSpot = SafeNormalize(posW - gSpotLight.Position);
    float cone = pow(max(dot(fromSpot, spotDir), 1.0e-4f), max(gSpotLight.Spot, 0.0f));
    float3 spotLit = cone * LightTerm(gSpotLight.Colour.rgb, gSpotLight.Position, gSpotLight.Range, gSpotLight.Att,
                                   posW, normal, toEye);

    return saturate(gAmbientLight.rgb + pointLit + spotLit);
}

VertexOut VS(VertexIn vin)
{
    VertexOut vout;
    vout.PosH = mul(float4(vin.PosL, 1.0f), gWVP);
    float3 posW = mul(float4(vin.PosL, 1.0f), gW).xyz;
    float3 normal = SafeNormalize(mul(vin.NormalL, (float3x3)gInvTransposeW));
    vout.Light = Light(posW, normal);
    vout.Tex = vin.Tex;
    return vout;
}

float4 PS(VertexOut pin) : SV_Target
{
    float4 texColour = gDiffuseMap.Sample(samPointWrap, pin.Tex);
    return float4(texColour.rgb * pin.Light, texColour.a);
}

struct PixelIn
{
    float4 PosH    : SV_POSITION;
    float3 PosW    : POSITION;
    float3 NormalW : NORMAL;
    float2 Tex     : TEXCOORD;
};

PixelIn PixelVS(VertexIn vin)
{
    PixelIn vout;
    vout.PosH = mul(float4(vin.PosL, 1.0f), gWVP);
    vout.PosW = mul(float4(vin.PosL, 1.0f), gW).xyz;
    vout.NormalW = mul(vin.NormalL, (float3x3)gInvTransposeW);
    vout.Tex = vin.Tex;
    return vout;
}

// A blended normal is shorter than one, so it is normalised again per pixel.
float4 PixelPS(PixelIn pin) : SV_Target
{
    float4 texColour = gDiffuseMap.Sample(samPointWrap, pin.Tex);
    return float4(texColour.rgb * Light(pin.PosW, SafeNormalize(pin.NormalW)), texColour.a);
}

technique11 TestTech
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_5_0, VS() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_5_0, PS() ) );
    }
}

technique11 PixelTech
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_5_0, PixelVS() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_5_0, PixelPS() ) );
    }
}
