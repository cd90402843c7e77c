// Descriptors 0, 1 and 2 as every program of the project expects them at start-up.
#pragma once

namespace platform {

// Opens each of descriptors 0-2 that is closed on /dev/null. A program started with one closed would hand that
// number to the next file it opens, and whatever is written to the stream (a library's error text) would land in
// that file or connection. Call it first in main, before anything opens a file.
void OpenClosedStandardStreams();

}  // namespace platform
