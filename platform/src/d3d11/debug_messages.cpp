#include "debug_messages.h"
#include "windows.h"

#include <string>

namespace platform {
namespace {

const char* CategoryName(MessageCategory category) {
    switch (category) {
    case MessageCategory::StateCreation:
        return "STATE_CREATION";
    case MessageCategory::StateSetting:
        return "STATE_SETTING";
    case MessageCategory::ResourceManipulation:
        return "RESOURCE_MANIPULATION";
    case MessageCategory::Execution:
        return "EXECUTION";
    }
    return "MISCELLANEOUS";
}

std::string FormatDebugMessage(const char* method, std::string_view text, const MessageKind& kind) {
    const std::string severity = kind.severity == MessageSeverity::Error ? "ERROR" : "WARNING";
    return "D3D11 " + severity + ": " + method + ": " + std::string(text) + " [ " + CategoryName(kind.category) + " " +
           severity + " #" + std::to_string(kind.id) + ": " + kind.name + " ]\n";
}

}  // namespace

void WriteDebugMessage(const char* method, std::string_view text, const MessageKind& kind) {
    OutputDebugStringA(FormatDebugMessage(method, text, kind).c_str());
}

}  // namespace platform
