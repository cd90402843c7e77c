// Runs the clear-and-present loop of the application frame for five seconds headless and prints its pace and cost.
#include <clear_app.h>

#include "bench_figures.h"

int main() {
    bench::UseHeadlessDrivers();
    ClearApp app(GetModuleHandleW(nullptr));
    app.SetRunSeconds(5.0f);
    if (!app.Initialize()) {
        std::fprintf(stderr, "bench-frame: the application did not start\n");
        return 1;
    }

    const double wallStart = bench::WallSeconds();
    const double cpuStart = bench::CpuSeconds();
    app.RunLoop();
    const double wall = bench::WallSeconds() - wallStart;
    const double cpu = bench::CpuSeconds() - cpuStart;

    std::vector<double> frameMilliseconds;
    // The first step spans start-up, not a frame.
    for (size_t i = 1; i < app.FrameSteps().size(); ++i) frameMilliseconds.push_back(app.FrameSteps()[i] * 1000.0);

    std::printf("fps: %.2f\n", app.FrameSteps().size() / wall);
    std::printf("frame_ms_p99: %.3f\n", bench::Percentile(frameMilliseconds, 0.99));
    std::printf("cpu_percent: %.1f\n", 100.0 * cpu / wall);
    return 0;
}
