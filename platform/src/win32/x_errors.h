// X protocol errors under SDL's x11 driver.
#pragma once

namespace platform::detail {

// A window manager destroys its frame around a window that is unmapped, and SDL's event handling can still name the
// frame a moment later (it reads the parent, then asks the parent for coordinates). Xlib's default handler, which
// SDL's own passes errors on to, ends the process for that. From this call on, errors about windows that are gone
// are ignored (the first one is reported on stderr) and every other error goes to the handler it replaced. Call after
// SDL's x11 driver has started, each time it starts; does nothing where libX11 is not loaded.
void IgnoreErrorsOnGoneWindows();

// Mesa's software GLX shows part of a frame with an XShmPutImage placed by the window size it learnt at the last
// swap. A window resized faster than its events arrive makes the server refuse that request with BadValue; from this
// call on, the handler above ignores and counts those refusals (the frame's picture is only late) instead of passing
// them on. mitShmOpcode is the server's major opcode of MIT-SHM.
void IgnoreRefusedPartialPresents(int mitShmOpcode);

// How many partial presents the server has refused so far.
unsigned RefusedPartialPresents();

}  // namespace platform::detail
