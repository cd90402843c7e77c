// Hooks of the platform layer that have no Windows counterpart: tests and headless tools replace the
// sources of input, time and user interaction here, never in the game code.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "windows.h"

namespace platform {

struct MessageBoxRequest {
    std::wstring text;
    std::wstring caption;  // empty means the system's default caption
    UINT type = 0;
};
// Returns the button chosen (IDOK, IDYES, IDNO, ...). An empty hook restores the default: a real SDL box in a
// desktop session, otherwise (no display, offscreen driver, PLATFORM_MESSAGEBOX=stderr) the text on standard error
// and the default answer (IDOK, or IDNO for Yes/No boxes) without blocking.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Answers "is this virtual key down now" in place of the keyboard; connected game controllers still add their
// keys. An empty source restores the real keyboard.
using KeySource = std::function<bool(int virtualKey)>;
void SetKeySource(KeySource source);

// Replaces the performance counter; an empty source restores the real clock.
using CounterSource = std::function<int64_t()>;
void SetCounterSource(CounterSource source, int64_t frequency);

// Receives every text written with OutputDebugString in addition to standard error; empty to stop.
using DebugOutputHook = std::function<void(const std::wstring&)>;
void SetDebugOutputHook(DebugOutputHook hook);

// The swap chain's frames are drawn only where they changed. With the check on (or PLATFORM_DAMAGE_CHECK=1 in the
// environment) every such frame is drawn whole as well and the two compared byte for byte; each frame that
// differs is reported on the debugger output with its number and the rectangle of the differing pixels, and
// counted. Turning the check on or off resets the counts. PLATFORM_DAMAGE=off draws every frame whole.
void SetDamageCheck(bool on);
uint64_t DamageCheckDifferences();
// Frames drawn only where they changed and compared since the check was turned on.
uint64_t DamageCheckedFrames();

// How many sounds have been started since the process began: tests check that a sound was started, which does not
// depend on how long the audio device has been playing it since.
uint64_t SoundStarts();

// Called each time a swap chain has handed a frame to its window, before Present waits for the next refresh;
// empty to stop. Benchmarks time the frames a player sees with it.
using PresentHook = std::function<void()>;
void SetPresentHook(PresentHook hook);

}  // namespace platform

struct ID3D11ShaderResourceView;

namespace platform {

// One indexed or plain draw call as the immediate context received it.
struct DrawRecord {
    ID3D11ShaderResourceView* resource0 = nullptr;  // the view in the pixel shader's slot 0 (the diffuse map)
    uint32_t indexCount = 0;
    uint32_t startIndex = 0;
};
// Receives every draw call the context receives (on a null device too); empty to stop. Tests use it to check
// what was drawn in which order.
using DrawHook = std::function<void(const DrawRecord&)>;
void SetDrawHook(DrawHook hook);

}  // namespace platform
