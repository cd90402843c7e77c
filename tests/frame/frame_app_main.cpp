// The clear application as a program: start-up failures end it with exit code 1, as they do the game.
#include <crtdbg.h>

#include <cstdlib>

#include "clear_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    _CrtSetDbgFlag(_CRTDBG_ALLOC_MEM_DF | _CRTDBG_LEAK_CHECK_DF);
    ClearApp app(instance);
    if (!app.Initialize()) return 1;
    if (const char* seconds = std::getenv("CLEAR_APP_SECONDS")) app.SetRunSeconds(std::strtof(seconds, nullptr));
    return app.RunLoop();
}
