// The fx_5_0 compiler: effect file text in, serialised effect and messages out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "compiled_effect.h"

namespace fx {

struct CompileOutput {
    bool ok = false;
    CompiledEffect effect;
    std::vector<uint8_t> bytes;  // Serialise(effect) when ok
    std::string messages;        // "FILE(LINE,COL): error X3000: text" lines
};

// defines: "#define NAME VALUE" lines seen before the file's first line.
CompileOutput CompileEffect(const std::string& text, const std::string& fileName, const std::string& defines = "");

}  // namespace fx
