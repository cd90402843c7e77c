// Message boxes: the test hook, a real SDL box on a desktop, or standard error when there is no one to ask.
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "platform_hooks.h"
#include "platform_sdl.h"
#include "platform_text.h"

namespace {

constexpr UINT kButtonsMask = 0x0000000F;
constexpr UINT kIconMask = 0x000000F0;
constexpr UINT kIconQuestion = 0x00000020;

platform::MessageBoxHook messageBoxHook;

UINT Buttons(UINT type) { return type & kButtonsMask; }

int DefaultAnswer(UINT type) { return Buttons(type) == MB_YESNO ? IDNO : IDOK; }

// What closing the box without pressing a button means.
int EscapeAnswer(UINT type) {
    switch (Buttons(type)) {
    case MB_YESNO:
        return IDNO;
    case MB_OKCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

bool IsHeadlessDriver(const char* driver) {
    return driver && (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
}

bool WantsStderr() {
    const char* mode = std::getenv("PLATFORM_MESSAGEBOX");
    if (mode && SDL_strcasecmp(mode, "stderr") == 0) return true;
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return IsHeadlessDriver(driver);
}

Uint32 IconFlags(UINT type) {
    switch (type & kIconMask) {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    case MB_ICONINFORMATION:
    case kIconQuestion:
        return SDL_MESSAGEBOX_INFORMATION;
    default:
        return 0;
    }
}

std::vector<SDL_MessageBoxButtonData> ButtonsFor(UINT type) {
    const Uint32 enter = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    switch (Buttons(type)) {
    case MB_YESNO:
        return {{enter, IDYES, "Yes"}, {escape, IDNO, "No"}};
    case MB_OKCANCEL:
        return {{enter, IDOK, "OK"}, {escape, IDCANCEL, "Cancel"}};
    default:
        return {{enter | escape, IDOK, "OK"}};
    }
}

// The chosen answer, or 0 when no box could be shown.
int ShowSdlBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    const std::string title = platform::ToUtf8(caption);
    const std::string message = platform::ToUtf8(text);
    const std::vector<SDL_MessageBoxButtonData> buttons = ButtonsFor(type);
    const SDL_MessageBoxData data = {IconFlags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                                     platform::SdlWindowOf(owner),
                                     title.c_str(),
                                     message.c_str(),
                                     static_cast<int>(buttons.size()),
                                     buttons.data(),
                                     nullptr};
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) return 0;
    return chosen < 0 ? EscapeAnswer(type) : chosen;
}

void WriteToStderr(const std::wstring& text, const std::wstring& caption) {
    const std::string line = "[" + platform::ToUtf8(caption) + "] " + platform::ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

namespace platform {

void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook = std::move(hook); }

}  // namespace platform

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    const std::wstring body = text ? text : L"";
    if (messageBoxHook) {
        const platform::MessageBoxHook hook = messageBoxHook;
        return hook({body, caption ? caption : L"", type});
    }
    const std::wstring title = caption ? caption : L"Error";
    if (!WantsStderr()) {
        if (const int answer = ShowSdlBox(owner, body, title, type)) return answer;
    }
    WriteToStderr(body, title);
    return DefaultAnswer(type);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const std::wstring wideText = text ? platform::FromUtf8(text) : L"";
    if (!caption) return MessageBoxW(owner, wideText.c_str(), nullptr, type);
    const std::wstring wideCaption = platform::FromUtf8(caption);
    return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), type);
}
