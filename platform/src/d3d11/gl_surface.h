#pragma once

namespace platform {

// The surface every window and the device's hidden window are made with: RGBA8, no depth (the layer renders into
// its own framebuffers and blits), double-buffered; one format, so the device's context can be current on any.
void RequestWindowSurface();

}  // namespace platform
