#include <crtdbg.h>
#include <windows.h>

#include "corvalo.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Allocation checking and the leak report at exit.
    _CrtSetDbgFlag(_CRTDBG_ALLOC_MEM_DF | _CRTDBG_LEAK_CHECK_DF);

    Corvalo application(instance);
    if (!application.Initialize()) return 0;
    return application.RunLoop();
}
