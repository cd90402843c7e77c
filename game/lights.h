#pragma once
#include <xnamath.h>

// Light records copied byte for byte into the effect's light structures.
struct PointLight {
    PointLight() : Colour(0, 0, 0, 0), Position(0, 0, 0), Range(0), Attenuation(0, 0, 0), Filler(0) {}

    XMFLOAT4 Colour;
    XMFLOAT3 Position;
    float Range;
    XMFLOAT3 Attenuation;
    float Filler;
};

struct SpotLight {
    SpotLight()
        : Colour(0, 0, 0, 0),
          Position(0, 0, 0),
          Range(0),
          Direction(0, 0, 0),
          SpotFactor(0),
          Attenuation(0, 0, 0),
          Filler(0) {}

    XMFLOAT4 Colour;
    XMFLOAT3 Position;
    float Range;
    XMFLOAT3 Direction;
    float SpotFactor;
    XMFLOAT3 Attenuation;
    float Filler;
};

static_assert(sizeof(PointLight) == 48, "the effect's point light is 48 bytes");
static_assert(sizeof(SpotLight) == 64, "the effect's spot light is 64 bytes");
