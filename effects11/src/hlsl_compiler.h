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
    bool timedOut = false;  // the file's deadline passed
    std::vector<uint32_t> spirv;
    std::vector<Message> messages;  // lines and columns of the source text
};

// One deadline for all the entry points of one effect file.
struct CompileDeadline {
    std::chrono::steady_clock::time_point at;
    std::chrono::milliseconds limit;  // as it was set, for the message
};
CompileDeadline StartCompileDeadline();

// preamble: "#define NAME VALUE" lines placed before the text without shifting its line numbers.
// glslang runs in a child process with a memory limit: its crash, hang or runaway allocation becomes an error
// message, never the caller's end. Past the deadline nothing more is started.
SpirvResult CompileHlsl(const std::string& hlsl, const std::string& fileName, const std::string& entry, Stage stage,
                        const std::string& preamble, const CompileDeadline& deadline);

// How long one effect file's compile may take, all its entry points together (30 s unless set).
void SetCompileTimeLimit(std::chrono::milliseconds limit);

}  // namespace fx
