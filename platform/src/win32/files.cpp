#include "platform_files.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace platform {

FILE* OpenRegularFile(const char* path) {
    if (!path) return nullptr;
    // Not blocking at the open itself: opening a FIFO waits for a writer.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status = {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        errno = ENOENT;
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(descriptor, "rb");
    if (!file) close(descriptor);
    return file;
}

std::string InputTooLargeReason() {
    return "larger than " + std::to_string(kMaxInputFileBytes >> 20) + " MiB, the most an input file may hold";
}

namespace {

// read(buffer, size) gives the count read, 0 at the end.
template <typename Read>
ReadEnd ReadCapped(std::string* text, Read read) {
    char buffer[65536];
    std::size_t taken = 0;
    while (const std::size_t count = read(buffer, sizeof buffer)) {
        taken += count;
        if (taken > kMaxInputFileBytes) return ReadEnd::kTooLarge;
        text->append(buffer, count);
    }
    return ReadEnd::kRead;
}

}  // namespace

ReadEnd ReadInput(std::istream& in, std::string* text) {
    const ReadEnd end = ReadCapped(text, [&in](char* buffer, std::size_t size) {
        in.read(buffer, static_cast<std::streamsize>(size));
        return static_cast<std::size_t>(in.gcount());
    });
    return end == ReadEnd::kRead && in.bad() ? ReadEnd::kFailed : end;
}

ReadEnd ReadInput(std::FILE* in, std::string* text) {
    const ReadEnd end =
        ReadCapped(text, [in](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, in); });
    return end == ReadEnd::kRead && std::ferror(in) ? ReadEnd::kFailed : end;
}

SDL_RWops* OpenRegularStream(const char* path) {
    FILE* file = OpenRegularFile(path);
    if (!file) {
        SDL_SetError("cannot open %s as a regular file", path ? path : "(null)");
        return nullptr;
    }
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (!stream) std::fclose(file);
    return stream;
}

}  // namespace platform
