#pragma once
#include "screenstate.h"

// What the playing field and the screens may ask of the application: to show another screen. The application
// switches on its own schedule.
class ScreenSwitcher {
public:
    virtual void SetState(ScreenState state) = 0;

protected:
    ~ScreenSwitcher() = default;
};
