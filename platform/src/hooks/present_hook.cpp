#include "present_hook.h"

namespace platform {
namespace {

PresentHook& InstalledHook() {
    static PresentHook hook;
    return hook;
}

}  // namespace

void SetPresentHook(PresentHook hook) { InstalledHook() = std::move(hook); }

void NotifyPresent() {
    if (InstalledHook()) InstalledHook()();
}

}  // namespace platform
