#include "draw_hook.h"

#include <platform_hooks.h>

#include "gl.h"

namespace platform {
namespace {

DrawHook& InstalledHook() {
    static DrawHook hook;
    return hook;
}

}  // namespace

void SetDrawHook(DrawHook hook) { InstalledHook() = std::move(hook); }

void NotifyDraw(uint32_t indexCount, uint32_t startIndex) {
    // Only a test or tool pays for the query; the game never installs a hook.
    if (!InstalledHook()) return;
    GLint texture = 0;
    glGetIntegeri_v(GL_TEXTURE_BINDING_2D, 0, &texture);
    DrawRecord record;
    record.texture0 = static_cast<uint32_t>(texture);
    record.indexCount = indexCount;
    record.startIndex = startIndex;
    InstalledHook()(record);
}

}  // namespace platform
