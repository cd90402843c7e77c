// One HLSL entry point to SPIR-V through glslang's HLSL front end.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "fx_parser.h"

namespace fx {

enum class Stage { Vertex, Pixel };

struct SpirvResult {
    bool ok = false;
    std::vector<uint32_t> spirv;
    std::vector<Message> messages;  // lines and columns of the source text
};

// preamble: "#define NAME VALUE" lines placed before the text without shifting its line numbers.
// glslang runs in a child process: its crash or hang becomes an error message, never the caller's end.
SpirvResult CompileHlsl(const std::string& hlsl, const std::string& fileName, const std::string& entry, Stage stage,
                        const std::string& preamble);

// How long one entry point may take before its compiler process is killed (30 s unless set).
void SetCompileTimeLimit(std::chrono::milliseconds limit);

}  // namespace fx
