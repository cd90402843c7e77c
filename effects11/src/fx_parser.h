// Takes the effect-only parts (technique and state blocks) out of an effect file, leaving plain HLSL.
#pragma once
#include <string>
#include <vector>

#include "compiled_effect.h"

namespace fx {

struct Message {
    int line = 0, column = 0;
    bool error = true;
    std::string text;
};

struct ShaderRef {
    std::string profile, entry;  // empty entry: no shader of that stage
    int line = 0, column = 0;
};

struct PassDecl {
    std::string name;
    int line = 0, column = 0;
    ShaderRef vertex, pixel;
};

struct TechniqueDecl {
    std::string name;
    std::vector<PassDecl> passes;
};

struct FxSource {
    std::string hlsl;  // the input with technique and state blocks blanked; lines and columns unchanged
    std::vector<TechniqueDecl> techniques;
    std::vector<SamplerState> samplers;
    std::vector<Message> messages;
};

FxSource ParseFx(const std::string& text);

}  // namespace fx
