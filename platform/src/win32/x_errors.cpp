// The layer builds without X headers: libX11 is the one SDL has loaded, found at run time, and the few Xlib types
// used here are declared with Xlib's layout.
#include "x_errors.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>

namespace {

struct Display;

struct XErrorEvent {
    int type;
    Display* display;
    unsigned long resourceid;
    unsigned long serial;
    unsigned char error_code;
    unsigned char request_code;
    unsigned char minor_code;
};

using XErrorHandler = int (*)(Display*, XErrorEvent*);
using SetErrorHandler = XErrorHandler (*)(XErrorHandler);

constexpr unsigned char kBadValue = 2;
constexpr unsigned char kBadWindow = 3;
constexpr unsigned char kBadDrawable = 9;
constexpr unsigned char kShmPutImage = 3;

std::atomic<XErrorHandler> replaced{nullptr};
std::atomic<bool> reported{false};
std::atomic<int> shmOpcode{0};
std::atomic<unsigned> refusedPresents{0};

bool NamesGoneWindow(const XErrorEvent& error) {
    return error.error_code == kBadWindow || error.error_code == kBadDrawable;
}

bool RefusesPartialPresent(const XErrorEvent& error) {
    const int opcode = shmOpcode.load();
    return opcode != 0 && error.request_code == opcode && error.minor_code == kShmPutImage &&
           error.error_code == kBadValue;
}

void ReportOnce(const XErrorEvent& error) {
    if (reported.exchange(true)) return;
    std::fprintf(stderr, "X error ignored: window 0x%lx is gone (error %u, request %u); later ones are not reported\n",
                 error.resourceid, error.error_code, error.request_code);
}

int IgnoreGoneWindows(Display* display, XErrorEvent* error) {
    if (NamesGoneWindow(*error)) {
        ReportOnce(*error);
        return 0;
    }
    if (RefusesPartialPresent(*error)) {
        ++refusedPresents;
        return 0;
    }
    const XErrorHandler next = replaced.load();
    return next ? next(display, error) : 0;
}

}  // namespace

namespace platform::detail {

void IgnoreErrorsOnGoneWindows() {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11) return;
    const auto set = reinterpret_cast<SetErrorHandler>(dlsym(x11, "XSetErrorHandler"));
    if (set) {
        // Started again without stopping in between, the handler would find itself in place and call itself.
        const XErrorHandler previous = set(IgnoreGoneWindows);
        if (previous != IgnoreGoneWindows) replaced.store(previous);
    }
    dlclose(x11);
}

void IgnoreRefusedPartialPresents(int mitShmOpcode) { shmOpcode.store(mitShmOpcode); }

unsigned RefusedPartialPresents() { return refusedPresents.load(); }

}  // namespace platform::detail
