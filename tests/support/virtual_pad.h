#pragma once
#include <SDL2/SDL.h>

#include <gtest/gtest.h>

// A game controller plugged in for the life of the object: SDL's virtual joystick with a standard controller's axes
// and buttons, which SDL maps as a game controller by itself. Its inputs reach the platform layer at the next
// message pump. Needs the controller subsystem, which the layer starts at its first pump with a window.
class VirtualPad {
public:
    VirtualPad() {
        // Offscreen windows never have keyboard focus, and SDL drops controller input without it.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_VirtualJoystickDesc desc = {};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        mJoystick = SDL_JoystickOpen(index);
        EXPECT_NE(mJoystick, nullptr) << SDL_GetError();
        Tilt(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0);
        Tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    }

    ~VirtualPad() { Unplug(); }

    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void Press(SDL_GameControllerButton button, bool down = true) {
        EXPECT_EQ(SDL_JoystickSetVirtualButton(mJoystick, button, down ? SDL_PRESSED : SDL_RELEASED), 0);
    }
    void Release(SDL_GameControllerButton button) { Press(button, false); }
    // The value the controller reports: -32768..32767 for a stick, 0..32767 for a trigger.
    void Tilt(SDL_GameControllerAxis axis, Sint16 value) {
        EXPECT_EQ(SDL_JoystickSetVirtualAxis(mJoystick, axis, IsTrigger(axis) ? TriggerRaw(value) : value), 0);
    }

    // Pulls the cable, whatever is held.
    void Unplug() {
        if (!mJoystick) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(mJoystick);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) != id) continue;
            EXPECT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
            break;
        }
        SDL_JoystickClose(mJoystick);
        mJoystick = nullptr;
    }

private:
    static bool IsTrigger(SDL_GameControllerAxis axis) {
        return axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
    }
    // SDL spreads 0..32767 of a virtual trigger over the joystick axis's whole range, so released is -32768.
    static Sint16 TriggerRaw(Sint16 value) { return static_cast<Sint16>(value * 2 - 32768); }

    SDL_Joystick* mJoystick = nullptr;
};
