// Helpers shared by the effect tests: temporary effect files and compilation through the public entry point.
#pragma once
#include <string>
#include <vector>

#include "d3dx11effect.h"

namespace fxtest {

// Writes text to a fresh file under the system's temporary directory and returns its path.
std::string WriteTempFile(const std::string& name, const std::string& text);

struct Compiled {
    HRESULT hr = S_OK;
    std::vector<uint8_t> bytes;
    std::string messages;
};
Compiled CompileFile(const std::string& path, const char* profile = "fx_5_0");
Compiled CompileText(const std::string& name, const std::string& text);

// A minimal effect: a position-and-texcoord quad drawn with a texture, a tint and a matrix.
extern const char* const kQuadEffect;

}  // namespace fxtest
