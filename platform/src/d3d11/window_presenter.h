// Hands a swap chain's frames to its window, only where they changed. Where the window system can push part of
// the window's back buffer to the screen (GLX_MESA_copy_sub_buffer), each frame copies or scales only its damaged
// rectangles into the back buffer and pushes only those, so the window keeps the rest. A new window size, a
// fullscreen switch or an expose is shown whole and swapped; elsewhere every changed frame is. An unchanged frame
// is not shown again.
#pragma once
#include <SDL2/SDL.h>
#include <atomic>
#include "damage.h"
#include "win32/picture_fit.h"

namespace platform {

class Context;
struct TextureData;

class WindowPresenter {
public:
    explicit WindowPresenter(SDL_Window* window);
    ~WindowPresenter();
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    // Needs the device's context current on the window. `fullscreen` scales the frame into the largest rectangle
    // of its proportions, black around it; otherwise it fills the window.
    void Show(Context& context, const TextureData& frame, const Damage& damage, bool fullscreen);

private:
    using CopySubBuffer = void (*)(void* display, unsigned long drawable, int x, int y, int width, int height);
    static int Watch(void* presenter, SDL_Event* event);
    void FindCopySubBuffer();
    // Window rectangles, top-down, that the damage changes.
    Damage WindowDamage(const TextureData& frame, const Damage& damage, const PictureRect& picture,
                        bool fullscreen) const;
    void Push(const Damage& rects);
    void Check(Context& context, const TextureData& frame, const PictureRect& picture, bool fullscreen);

    SDL_Window* window_;
    Uint32 windowId_;
    bool probed_ = false;
    CopySubBuffer copySubBuffer_ = nullptr;
    void* display_ = nullptr;
    unsigned long drawable_ = 0;
    std::atomic<bool> exposed_{true};  // the window lost what it showed: show it whole
    int wholeFrames_ = 0;              // frames still to show whole and swap
    unsigned refusedPresents_ = 0;     // partial presents the X server refused, as last seen
    int width_ = 0, height_ = 0;
    bool fullscreen_ = false;
};

}  // namespace platform
