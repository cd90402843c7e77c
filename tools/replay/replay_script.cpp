#include "replay_script.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace replay {

namespace {

// A longer step sends the archer through the floor; a step is one frame of a running game, never more than a second.
constexpr double kMaxStep = 1.0;
// A rejected line is quoted up to this many bytes, cut back to a whole UTF-8 character.
constexpr size_t kMaxQuoted = 80;

struct KeyName {
    const char* name;
    int virtualKey;
};

const KeyName kKeys[] = {{"LEFT", VK_LEFT},      {"RIGHT", VK_RIGHT},    {"UP", VK_UP},
                         {"LCTRL", VK_LCONTROL}, {"RCTRL", VK_RCONTROL}, {"SPACE", VK_SPACE}};

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<std::string> tokens;
    for (std::string word; words >> word;) tokens.push_back(word);
    return tokens;
}

// Read as a double so that a value just above 1 is refused rather than rounded into range; an underflow to a tiny
// step is still a step.
bool ParseSeconds(const std::string& text, float* seconds) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value >= 0.0 && value <= kMaxStep)) return false;
    *seconds = static_cast<float>(value);
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

// The line as an error message quotes it: a line of any length is shown by its start.
std::string Quote(const std::string& line) {
    if (line.size() <= kMaxQuoted) return line;
    size_t cut = kMaxQuoted;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    return line.substr(0, cut) + "...";
}

// Reads one non-empty line; returns the reason it cannot, or an empty string. The reason never repeats the line's
// words, which the message quotes already.
std::string ParseLine(const std::vector<std::string>& tokens, float* dt, std::vector<Step>* steps) {
    if (tokens[0] == "dt") {
        if (tokens.size() != 2) return "\"dt\" takes exactly one value in seconds";
        if (!ParseSeconds(tokens[1], dt)) return "the step is not a number of seconds from 0 to 1";
        return "";
    }
    Step step;
    step.dt = *dt;
    if (!ParseCount(tokens[0], &step.frames)) return "the line starts with neither \"dt\" nor a frame count";
    for (size_t i = 1; i < tokens.size(); ++i) {
        int virtualKey = 0;
        if (!ParseKey(tokens[i], &virtualKey)) {
            return "word " + std::to_string(i + 1) + " is not a key (LEFT RIGHT UP LCTRL RCTRL SPACE)";
        }
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
        *error = {number, Quote(line), reason};
        return false;
    }
    return true;
}

}  // namespace replay
