// main() for programs whose entry point is wWinMain.
#include "standard_streams.h"
#include "windows.h"

int main() {
    platform::OpenClosedStandardStreams();
    static WCHAR commandLine[] = L"";
    return wWinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
