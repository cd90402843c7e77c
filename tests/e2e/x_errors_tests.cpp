// X errors under the x11 driver: those about windows that are gone are ignored, every other one still reaches the
// handler that was in place before video started (Xlib's default one ends the process). Needs an X display.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "win32/video.h"
#include "win32/x_errors.h"

#include <sys/ipc.h>
#include <sys/shm.h>

// Last: their macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

std::vector<int> passedOn;  // error codes, in order

int Record(Display*, XErrorEvent* error) {
    passedOn.push_back(error->error_code);
    return 0;
}

class XErrors : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        XSetErrorHandler(Record);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        started = platform::detail::StartVideo();
        display = XOpenDisplay(nullptr);
    }

    static void TearDownTestSuite() {
        if (display) XCloseDisplay(display);
        if (started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void SetUp() override {
        ASSERT_TRUE(started) << SDL_GetError();
        ASSERT_NE(display, nullptr);
        passedOn.clear();
    }

    // What the window manager's frame is once the manager has destroyed it.
    Window GoneWindow() {
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
        XDestroyWindow(display, window);
        return window;
    }

    void NameGoneWindows() {
        const Window gone = GoneWindow();
        int x = 0, y = 0;
        Window child = 0;
        EXPECT_FALSE(XTranslateCoordinates(display, gone, DefaultRootWindow(display), 0, 0, &x, &y, &child));
        Window root = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        EXPECT_FALSE(XGetGeometry(display, gone, &root, &x, &y, &width, &height, &border, &depth));
        XSync(display, False);
    }

    void NameNoAtom() {
        EXPECT_EQ(XGetAtomName(display, 0x7fffffff), nullptr);
        XSync(display, False);
    }

    // What Mesa's software GLX sends to show part of a frame placed by a window size the server no longer has: a
    // source rectangle outside its image.
    void PutOutsideTheImage() {
        const int screen = DefaultScreen(display);
        XShmSegmentInfo segment{};
        XImage* image = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                                        ZPixmap, nullptr, &segment, 4, 4);
        ASSERT_NE(image, nullptr);
        segment.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
        ASSERT_GE(segment.shmid, 0);
        segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
        shmctl(segment.shmid, IPC_RMID, nullptr);
        XShmAttach(display, &segment);
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
        XShmPutImage(display, window, DefaultGC(display, screen), image, 0, 8, 0, 0, 4, 4, False);
        XSync(display, False);
        XDestroyWindow(display, window);
        XShmDetach(display, &segment);
        XSync(display, False);
        XDestroyImage(image);
        shmdt(segment.shmaddr);
    }

    static inline bool started = false;
    static inline Display* display = nullptr;
};

TEST_F(XErrors, GoneWindowsAreIgnored) {
    NameGoneWindows();
    EXPECT_TRUE(passedOn.empty()) << passedOn.size() << " errors passed on, the first " << passedOn.front();
}

TEST_F(XErrors, OtherErrorsReachTheReplacedHandlerOnce) {
    NameNoAtom();
    EXPECT_EQ(passedOn, std::vector<int>{BadAtom});

    // Started again while running, as the device and the window each start it.
    ASSERT_TRUE(platform::detail::StartVideo());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    NameNoAtom();
    EXPECT_EQ(passedOn, (std::vector<int>{BadAtom, BadAtom}));
}

TEST_F(XErrors, RestartedVideoStillIgnoresGoneWindows) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ASSERT_TRUE(platform::detail::StartVideo());
    NameGoneWindows();
    NameNoAtom();
    EXPECT_EQ(passedOn, std::vector<int>{BadAtom});
}

TEST_F(XErrors, RefusedPartialPresentsAreCountedOnceTheirOpcodeIsKnown) {
    int opcode = 0, event = 0, error = 0;
    ASSERT_TRUE(XQueryExtension(display, "MIT-SHM", &opcode, &event, &error));
    PutOutsideTheImage();
    EXPECT_EQ(passedOn, std::vector<int>{BadValue});

    platform::detail::IgnoreRefusedPartialPresents(opcode);
    const unsigned before = platform::detail::RefusedPartialPresents();
    PutOutsideTheImage();
    NameNoAtom();
    EXPECT_EQ(platform::detail::RefusedPartialPresents(), before + 1);
    EXPECT_EQ(passedOn, (std::vector<int>{BadValue, BadAtom}));
}

}  // namespace
