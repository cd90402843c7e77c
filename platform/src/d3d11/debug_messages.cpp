#include "debug_messages.h"
#include "windows.h"

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

std::string FormatDebugMessage(const char* method, const std::string& text, const MessageKind& kind) {
    const std::string severity = kind.severity == MessageSeverity::Error ? "ERROR" : "WARNING";
    return "D3D11 " + severity + ": " + method + ": " + text + " [ " + CategoryName(kind.category) + " " + severity +
           " #" + std::to_string(kind.id) + ": " + kind.name + " ]\n";
}

}  // namespace

void DebugMessages::Report(const char* method, const std::string& text, const MessageKind& kind) const {
    OutputDebugStringA(FormatDebugMessage(method, text, kind).c_str());
}

}  // namespace platform
