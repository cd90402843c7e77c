// Opening the data files the layer reads: textures, sounds and effect files; the one bound on what a reader takes.
#pragma once
#include <cstddef>
#include <cstdio>
#include <istream>
#include <string>

struct SDL_RWops;

namespace platform {

// Opens a regular file for reading. Anything else in its place (a FIFO, a device, a directory) fails as a missing
// file does, without blocking: a FIFO with no writer would otherwise hold the program at its open for ever.
FILE* OpenRegularFile(const char* path);
// The same, as an SDL stream that closes the file with it.
SDL_RWops* OpenRegularStream(const char* path);

// The most a reader takes from one text input (an effect file, a replay script, an OBJ or MTL file): far above any
// real one, so that an endless input (/dev/zero, a pipe) is refused instead of filling the memory.
constexpr std::size_t kMaxInputFileBytes = std::size_t(64) << 20;
// The reason a reader gives when it refuses such an input: "larger than 64 MiB, the most an input file may hold".
std::string InputTooLargeReason();

enum class ReadEnd { kRead, kTooLarge, kFailed };
// Appends the rest of in to text; stops at kTooLarge as soon as it holds more than kMaxInputFileBytes.
ReadEnd ReadInput(std::istream& in, std::string* text);
ReadEnd ReadInput(std::FILE* in, std::string* text);

}  // namespace platform
