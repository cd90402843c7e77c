// X protocol errors under SDL's x11 driver.
#pragma once

namespace platform::detail {

// A window manager destroys its frame around a window that is unmapped, and SDL's event handling can still name the
// frame a moment later (it reads the parent, then asks the parent for coordinates). Xlib's default handler, which
// SDL's own passes errors on to, ends the process for that. From this call on, errors about windows that are gone
// are ignored (the first one is reported on stderr) and every other error goes to the handler it replaced. Call after
// SDL's x11 driver has started, each time it starts; does nothing where libX11 is not loaded.
void IgnoreErrorsOnGoneWindows();

}  // namespace platform::detail
