#pragma once
#include <istream>
#include <string>
#include <vector>

namespace replay {

// A run of frames that share one step and one set of held keys (virtual-key codes).
struct Step {
    unsigned long frames = 0;
    float dt = 0.0f;
    std::vector<int> keys;
};

struct ScriptError {
    int line = 0;
    std::string text;  // the line, cut to its first 80 bytes and marked "..." where it is longer
    std::string reason;
};

// Reads a whole script: "dt SECONDS" sets the step of the frames that follow (1/60 until then; from 0 to 1),
// "N [KEY ...]" runs N frames with the keys held (LEFT RIGHT UP LCTRL RCTRL SPACE), "#" starts a comment.
// On a line it cannot read it fills error and returns false.
bool ParseScript(std::istream& in, std::vector<Step>* steps, ScriptError* error);

}  // namespace replay
