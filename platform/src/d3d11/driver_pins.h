#pragma once

namespace platform {

// In the sanitizer build, keeps the graphics drivers mapped until the process is gone, so the leak check that runs
// at exit can still name the driver modules its suppressions match (Mesa unloads them in its own exit handler).
// Does nothing in other builds.
void PinGraphicsDrivers();

}  // namespace platform
