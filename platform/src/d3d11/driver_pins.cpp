#include "driver_pins.h"

#ifdef CORVALO_SANITIZE
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#endif

namespace platform {

#ifdef CORVALO_SANITIZE
namespace {

bool IsGraphicsDriver(const char* path) {
    static const char* const kParts[] = {"_dri.so", "mesa", "LLVM", "gallium", "glapi", "libGLX", "libEGL"};
    for (const char* part : kParts) {
        if (std::strstr(path, part)) return true;
    }
    return false;
}

int PinModule(dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name && IsGraphicsDriver(info->dlpi_name))
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

}  // namespace

void PinGraphicsDrivers() { dl_iterate_phdr(PinModule, nullptr); }
#else
void PinGraphicsDrivers() {}
#endif

}  // namespace platform
