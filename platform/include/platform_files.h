// Opening the data files the layer reads: textures, sounds and effect files.
#pragma once
#include <cstdio>

struct SDL_RWops;

namespace platform {

// Opens a regular file for reading. Anything else in its place (a FIFO, a device, a directory) fails as a missing
// file does, without blocking: a FIFO with no writer would otherwise hold the program at its open for ever.
FILE* OpenRegularFile(const char* path);
// The same, as an SDL stream that closes the file with it.
SDL_RWops* OpenRegularStream(const char* path);

}  // namespace platform
