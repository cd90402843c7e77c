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
