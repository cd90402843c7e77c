// Times one Game::Update with six enemies and twenty arrows in flight, and counts what steady play allocates.
#include <enemy.h>
#include <game.h>
#include <platform_hooks.h>
#include <projectile.h>
#include <screenswitcher.h>

#include <cstdlib>
#include <new>

#include "bench_figures.h"

namespace {

unsigned long gAllocations = 0;

class IgnoringSwitcher : public ScreenSwitcher {
public:
    void SetState(ScreenState) override {}
};

struct Headless {
    Headless() {
        D3D_FEATURE_LEVEL level;
        D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device, &level,
                          &context);
    }
    ~Headless() {
        if (context) context->Release();
        if (device) device->Release();
    }
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
};

void* Allocate(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    ++gAllocations;
    const std::size_t align = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(align, (size + align - 1) / align * align)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

int main() {
    bench::UseHeadlessDrivers();
    Headless gpu;
    if (!gpu.device) {
        std::fprintf(stderr, "bench-rules: no device\n");
        return 1;
    }
    bool spaceHeld = true;
    platform::SetKeySource([&spaceHeld](int virtualKey) { return spaceHeld && virtualKey == VK_SPACE; });
    IgnoringSwitcher app;
    Game game;
    game.Init(gpu.device);

    // Tiny steps keep the twenty arrows close together and in range while they are fired and timed.
    const float tinyStep = 1e-4f;
    while (game.GetArrows().size() < 20) game.Update(gpu.context, gpu.device, tinyStep, &app);
    spaceHeld = false;

    const int timedUpdates = 20000;
    const double start = bench::WallSeconds();
    for (int i = 0; i < timedUpdates; ++i) game.Update(gpu.context, gpu.device, tinyStep, &app);
    const double seconds = bench::WallSeconds() - start;
    std::printf("update_us: %.3f\n", seconds * 1e6 / timedUpdates);
    std::printf("enemies_at_end: %zu\n", game.GetEnemies().size());
    std::printf("arrows_at_end: %zu\n", game.GetArrows().size());

    const int steadyUpdates = 600;
    const unsigned long before = gAllocations;
    for (int i = 0; i < steadyUpdates; ++i) game.Update(gpu.context, gpu.device, 1.0f / 60.0f, &app);
    std::printf("allocations_per_frame: %.3f\n", static_cast<double>(gAllocations - before) / steadyUpdates);
    platform::SetKeySource(nullptr);
    return 0;
}
