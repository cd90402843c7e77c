#include "window_presenter.h"
#include <SDL2/SDL_syswm.h>
#include <dlfcn.h>
#include <cmath>
#include <cstring>
#include "context.h"
#include "hooks/damage_check.h"
#include "win32/x_errors.h"

namespace platform {
namespace {

bool HasExtension(const char* list, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)); at += length) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

// Events after which the window may no longer show what was pushed to it.
bool LosesPicture(Uint8 kind) {
    return kind == SDL_WINDOWEVENT_EXPOSED || kind == SDL_WINDOWEVENT_SHOWN || kind == SDL_WINDOWEVENT_RESTORED ||
           kind == SDL_WINDOWEVENT_SIZE_CHANGED || kind == SDL_WINDOWEVENT_RESIZED || kind == SDL_WINDOWEVENT_MAXIMIZED;
}

// Screen pixels a picture rectangle reaches when scaled into `picture`. The smoothing at seams reads a pixel's
// neighbours, so one more picture pixel on every side, and one screen pixel more for rounding.
PixelRect Scaled(const PixelRect& r, const PictureRect& picture, int width, int height) {
    const double sx = double(picture.width) / width, sy = double(picture.height) / height;
    const PixelRect grown{std::max(0, r.left - 1), std::max(0, r.top - 1), std::min(width, r.right + 1),
                          std::min(height, r.bottom + 1)};
    const PixelRect screen{
        picture.x + int(std::floor(grown.left * sx)) - 1, picture.y + int(std::floor(grown.top * sy)) - 1,
        picture.x + int(std::ceil(grown.right * sx)) + 1, picture.y + int(std::ceil(grown.bottom * sy)) + 1};
    return Intersection(screen, {picture.x, picture.y, picture.x + picture.width, picture.y + picture.height});
}

// The server's major opcode of MIT-SHM, asked through the libX11 SDL has loaded; 0 where it cannot be asked.
int MitShmOpcode(Display* display) {
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!x11) return 0;
    auto query = reinterpret_cast<int (*)(Display*, const char*, int*, int*, int*)>(dlsym(x11, "XQueryExtension"));
    dlclose(x11);
    int opcode = 0, event = 0, error = 0;
    return query && query(display, "MIT-SHM", &opcode, &event, &error) ? opcode : 0;
}

}  // namespace

WindowPresenter::WindowPresenter(SDL_Window* window) : window_(window), windowId_(SDL_GetWindowID(window)) {
    SDL_AddEventWatch(&WindowPresenter::Watch, this);
}

WindowPresenter::~WindowPresenter() { SDL_DelEventWatch(&WindowPresenter::Watch, this); }

int WindowPresenter::Watch(void* presenter, SDL_Event* event) {
    auto* self = static_cast<WindowPresenter*>(presenter);
    if (event->type == SDL_WINDOWEVENT && event->window.windowID == self->windowId_ &&
        LosesPicture(event->window.event)) {
        self->exposed_ = true;
    }
    return 0;
}

// GLX only: SDL has loaded libGL for a GLX context, and asking it for GLX entry points under EGL gives stubs that
// crash. The extension must be in the list; an entry point proves nothing, as any name gets one.
void WindowPresenter::FindCopySubBuffer() {
    probed_ = true;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return;
    void* library = dlopen("libGL.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return;
    auto current = reinterpret_cast<void* (*)()>(dlsym(library, "glXGetCurrentContext"));
    auto extensions = reinterpret_cast<const char* (*)(Display*, int)>(dlsym(library, "glXQueryExtensionsString"));
    auto address = reinterpret_cast<void* (*)(const unsigned char*)>(dlsym(library, "glXGetProcAddressARB"));
    dlclose(library);
    if (!current || !extensions || !address || !current()) return;
    Display* display = info.info.x11.display;
    if (!HasExtension(extensions(display, DefaultScreen(display)), "GLX_MESA_copy_sub_buffer")) return;
    copySubBuffer_ =
        reinterpret_cast<CopySubBuffer>(address(reinterpret_cast<const unsigned char*>("glXCopySubBufferMESA")));
    display_ = display;
    drawable_ = info.info.x11.window;
    if (const int shm = MitShmOpcode(display)) detail::IgnoreRefusedPartialPresents(shm);
}

void WindowPresenter::Show(Context& context, const TextureData& frame, const Damage& damage, bool fullscreen) {
    if (!probed_) FindCopySubBuffer();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    width = std::max(width, 1);
    height = std::max(height, 1);
    // Mesa's software GLX learns a window's new size at a swap, so the frame after it is drawn whole as well. A
    // refused partial present means Mesa and SDL knew different sizes: a swap settles it.
    const unsigned refused = detail::RefusedPartialPresents();
    if (exposed_.exchange(false) || width != width_ || height != height_ || fullscreen != fullscreen_ ||
        refused != refusedPresents_) {
        wholeFrames_ = 2;
    }
    refusedPresents_ = refused;
    width_ = width;
    height_ = height;
    fullscreen_ = fullscreen;
    if (wholeFrames_ == 0 && damage.Empty()) return;
    const PictureRect picture = FitPicture(width, height, int(frame.width), int(frame.height));
    const bool stretched = !fullscreen && (int(frame.width) != width || int(frame.height) != height);
    if (wholeFrames_ > 0 || stretched || !copySubBuffer_) {
        wholeFrames_ = std::max(wholeFrames_ - 1, 0);
        if (fullscreen) {
            context.ShowPicture(frame, 0, height, picture);
        } else {
            context.BlitToWindow(frame, width, height);
        }
        SDL_GL_SwapWindow(window_);
        return;
    }
    const Damage changed = WindowDamage(frame, damage, picture, fullscreen);
    for (const PixelRect& r : changed.Rects()) {
        if (fullscreen) {
            context.ShowPicture(frame, 0, height, picture, &r);
        } else {
            context.BlitToWindow(frame, width, height, &r);
        }
    }
    if (DamageCheckOn()) Check(context, frame, picture, fullscreen);
    Push(changed);
}

// Shows the frame whole in a framebuffer of the window's size and compares it with the window's back buffer.
void WindowPresenter::Check(Context& context, const TextureData& frame, const PictureRect& picture, bool fullscreen) {
    GLuint whole = 0, framebuffer = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &whole);
    glTextureStorage2D(whole, 1, GL_RGBA8, width_, height_);
    glCreateFramebuffers(1, &framebuffer);
    glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, whole, 0);
    const PictureRect filled{0, 0, width_, height_};
    context.ShowPicture(frame, framebuffer, height_, fullscreen ? picture : filled);
    const size_t bytes = size_t(width_) * height_ * 4;
    std::vector<uint8_t> expected(bytes), shown(bytes);
    glGetTextureImage(whole, 0, GL_RGBA, GL_UNSIGNED_BYTE, GLsizei(bytes), expected.data());
    glReadnPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, GLsizei(bytes), shown.data());
    context.GL().Delete(GLObject::Framebuffer, framebuffer);
    context.GL().Delete(GLObject::Texture, whole);
    if (expected == shown) return;
    ReportDamageDifference("damage check: the window's picture differs from the frame shown whole\n");
}

Damage WindowPresenter::WindowDamage(const TextureData& frame, const Damage& damage, const PictureRect& picture,
                                     bool fullscreen) const {
    if (!fullscreen) return damage;
    Damage screen;
    for (const PixelRect& r : damage.Rects()) screen.Add(Scaled(r, picture, int(frame.width), int(frame.height)));
    return screen;
}

// GLX's rectangles start at the window's bottom-left corner. The call flushes GL and the X connection itself.
void WindowPresenter::Push(const Damage& rects) {
    for (const PixelRect& r : rects.Rects()) {
        const PixelRect in = Intersection(r, {0, 0, width_, height_});
        if (in.Empty()) continue;
        copySubBuffer_(display_, drawable_, in.left, height_ - in.bottom, in.right - in.left, in.bottom - in.top);
    }
}

}  // namespace platform
