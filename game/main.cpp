#include <crtdbg.h>
#include <windows.h>

#include "corvalo.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Allocation checking and the leak report at exit.
    _CrtSetDbgFlag(_CRTDBG_ALLOC_MEM_DF | _CRTDBG_LEAK_CHECK_DF);

    Corvalo application(instance);
    // A game that never started is a failure to whoever launched it (a menu, a script).
    if (!application.Initialize()) return 1;
    return application.RunLoop();
}
