// Turns the SPIR-V of a pass's shaders into GLSL for OpenGL and merges their reflection into one effect.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "compiled_effect.h"

namespace fx {

class Cross;

class EffectBuilder {
public:
    // pixel may be null (no pixel shader). On failure *error says why.
    bool AddPass(const std::string& name, const std::vector<uint32_t>& vertex, const std::vector<uint32_t>* pixel,
                 Pass* out, std::string* error);
    // Gives every sampler variable its state from the effect file (defaults where the file has none).
    void SetSamplerStates(const std::vector<SamplerState>& parsed);

    CompiledEffect effect;

private:
    struct PassContext;
    bool CrossCompile(const std::vector<uint32_t>& spirv, bool vertex, PassContext* ctx, std::string* glsl,
                      std::string* error);
    // The steps of CrossCompile: each reflects its part of the shader into the effect and readies the GLSL for it.
    bool ReflectCbuffers(Cross& c, PassContext* ctx, std::string* error);
    bool ReflectObjects(Cross& c, PassContext* ctx, std::string* error);
    bool ReflectVertexInputs(Cross& c, PassContext* ctx, std::string* error);
    bool MatchPixelInputs(Cross& c, PassContext* ctx, std::string* error);
    int32_t CbufferIndex(const std::string& name, uint32_t size);
    int32_t ObjectIndex(const std::string& name, VarClass cls, const std::string& typeName);
};

}  // namespace fx
