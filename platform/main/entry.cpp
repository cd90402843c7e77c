// main() for programs whose entry point is wWinMain.
#include "windows.h"

int main() {
    static WCHAR commandLine[] = L"";
    return wWinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
