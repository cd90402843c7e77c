// libFuzzer target of the replay script reader. An input is a whole script; a read must end in true with steps the
// player can run (a step from 0 to 1 s, known keys) or in false naming a line of the input, quoted by its start.
#include <replay_script.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool IsKey(int virtualKey) {
    const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_LCONTROL, VK_RCONTROL, VK_SPACE};
    return std::find(std::begin(keys), std::end(keys), virtualKey) != std::end(keys);
}

void CheckSteps(const std::vector<replay::Step>& steps) {
    for (const replay::Step& step : steps) {
        Require(std::isfinite(step.dt) && step.dt >= 0.0f && step.dt <= 1.0f);
        for (const int key : step.keys) Require(IsKey(key));
    }
}

void CheckError(const std::string& script, const replay::ScriptError& error) {
    const long lines = std::count(script.begin(), script.end(), '\n') + 1;
    Require(error.line >= 1 && error.line <= lines);
    Require(!error.reason.empty() && error.reason.find('\n') == std::string::npos);
    Require(error.text.size() <= 83 && error.text.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    std::istringstream in(script);
    std::vector<replay::Step> steps;
    replay::ScriptError error;
    if (replay::ParseScript(in, &steps, &error)) {
        CheckSteps(steps);
        return 0;
    }
    CheckError(script, error);
    return 0;
}
