#include "replay_script.h"

#include <windows.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace replay {

namespace {

struct KeyName {
    const char* name;
    int virtualKey;
};

const KeyName kKeys[] = {{"LEFT", VK_LEFT},         {"RIGHT", VK_RIGHT},       {"UP", VK_UP},
                         {"LCTRL", VK_LCONTROL},    {"RCTRL", VK_RCONTROL},    {"SPACE", VK_SPACE}};

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<std::string> tokens;
    for (std::string word; words >> word;) tokens.push_back(word);
    return tokens;
}

bool ParseSeconds(const std::string& text, float* seconds) {
    errno = 0;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(value) || value < 0.0f) return false;
    *seconds = value;
    return true;
}

bool ParseCount(const std::string& text, unsigned long* count) {
    if (text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    if (errno != 0) return false;
    *count = value;
    return true;
}

bool ParseKey(const std::string& name, int* virtualKey) {
    for (const KeyName& key : kKeys) {
        if (name != key.name) continue;
        *virtualKey = key.virtualKey;
        return true;
    }
    return false;
}

// Reads one non-empty line; returns the reason it cannot, or an empty string.
std::string ParseLine(const std::vector<std::string>& tokens, float* dt, std::vector<Step>* steps) {
    if (tokens[0] == "dt") {
        if (tokens.size() != 2) return "\"dt\" takes exactly one value in seconds";
        if (!ParseSeconds(tokens[1], dt)) return "\"" + tokens[1] + "\" is not a step in seconds";
        return "";
    }
    Step step;
    step.dt = *dt;
    if (!ParseCount(tokens[0], &step.frames)) return "\"" + tokens[0] + "\" is not a frame count";
    for (size_t i = 1; i < tokens.size(); ++i) {
        int virtualKey = 0;
        if (!ParseKey(tokens[i], &virtualKey)) return "unknown key \"" + tokens[i] + "\"";
        step.keys.push_back(virtualKey);
    }
    steps->push_back(step);
    return "";
}

}  // namespace

bool ParseScript(std::istream& in, std::vector<Step>* steps, ScriptError* error) {
    float dt = 1.0f / 60.0f;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty()) continue;
        const std::string reason = ParseLine(tokens, &dt, steps);
        if (reason.empty()) continue;
        *error = {number, line, reason};
        return false;
    }
    return true;
}

}  // namespace replay
