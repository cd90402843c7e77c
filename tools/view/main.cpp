// corvalo-view [options] MODEL.obj: shows one OBJ model, steered with the keyboard and mouse; --screenshot draws
// a fixed number of frames headless and writes the last one; --bench measures the frame rate and CPU in a window.
#include <command_line.h>
#include <platform_hooks.h>
#include <platform_text.h>
#include <png.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "model_viewer.h"

namespace {

constexpr float kFixedStep = 1.0f / 60.0f;

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int row = 0; row < height; ++row) {
            png_write_row(png, const_cast<png_bytep>(&rgba[static_cast<size_t>(row) * width * 4]));
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

double CpuSeconds() {
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool PumpMessages() {
    MSG message = {};
    while (PeekMessageW(&message, 0, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return false;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

int Screenshot(ModelViewer& viewer, int frames, const std::string& path) {
    for (int i = 0; i < frames; ++i) {
        viewer.Update(kFixedStep);
        viewer.Render();
    }
    if (!WritePng(path, 1024, 768, viewer.Picture())) {
        std::fprintf(stderr, "corvalo-view: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

// The model turns all the while, so no two frames are alike.
int Bench(ModelViewer& viewer, double seconds) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    int frames = 0;
    double elapsed = 0.0;
    while (elapsed < seconds && PumpMessages()) {
        viewer.Object()->RotateAboutWorldY(kFixedStep);
        viewer.Update(kFixedStep);
        viewer.Render();
        ++frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const size_t triangles = viewer.Object()->GetIndices().size() / 3;
    std::printf("{\"triangles\":%zu,\"frames\":%d,\"fps\":%.1f,\"cpu_percent\":%.1f}\n", triangles, frames,
                frames / elapsed, 100.0 * (CpuSeconds() - cpuStart) / elapsed);
    return 0;
}

int View(const cli::Syntax& syntax, const cli::Arguments& args) {
    ViewerOptions options;
    options.flipWinding = args.Has("flip-winding");
    options.flipTexV = args.Has("flip-v");
    options.vertexLight = args.Has("vertex-light");
    // The model is named from where the viewer was started, before the data directory is entered.
    std::error_code error;
    const std::filesystem::path model = std::filesystem::absolute(args.operands[0], error);
    options.model = platform::FromUtf8(model.string());

    int frames = 1;
    double benchSeconds = 0.0;
    try {
        if (args.Has("turn")) options.turnDegrees = std::stof(args.Value("turn"));
        if (args.Has("frames")) frames = std::stoi(args.Value("frames"));
        if (args.Has("bench")) benchSeconds = std::stod(args.Value("bench"));
    } catch (const std::exception&) {
        return cli::UsageError(syntax, "--turn, --frames and --bench take numbers");
    }
    if (frames < 1 || benchSeconds < 0.0) return cli::UsageError(syntax, "--frames needs 1 or more, --bench 0 or more");
    if (args.Has("frames") && !args.Has("screenshot")) return cli::UsageError(syntax, "--frames needs --screenshot");
    const std::string screenshot = args.Has("screenshot") ? std::filesystem::absolute(args.Value("screenshot")) : "";
    const std::string dataDir = args.Value("data");
    if (!dataDir.empty() && chdir(dataDir.c_str()) != 0) {
        std::fprintf(stderr, "corvalo-view: cannot enter the data directory %s\n", dataDir.c_str());
        return 1;
    }
    if (!screenshot.empty()) setenv("SDL_VIDEODRIVER", "offscreen", 0);

    // Reports from the loader and the device go to stderr; a box is answered at once, so a missing texture leaves
    // its subset untextured instead of stopping the viewer.
    platform::SetDebugOutputHook(
        [](const std::wstring& text) { std::fprintf(stderr, "%s", platform::ToUtf8(text).c_str()); });
    platform::SetMessageBoxHook([](const platform::MessageBoxRequest& request) {
        std::fprintf(stderr, "%s\n", platform::ToUtf8(request.text).c_str());
        return IDNO;
    });

    ModelViewer viewer(GetModuleHandleW(nullptr), options);
    if (!viewer.Initialize()) return 1;
    if (!viewer.ModelLoaded()) {
        std::fprintf(stderr, "\ncorvalo-view: %s did not load\n", model.string().c_str());
        return 1;
    }
    if (!screenshot.empty()) return Screenshot(viewer, frames, screenshot);
    if (args.Has("bench")) return Bench(viewer, benchSeconds);
    return viewer.RunLoop();
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Syntax syntax = {
        "corvalo-view",
        "MODEL.obj",
        1,
        1,
        "Shows an OBJ model with its materials in a 1024x768 window, lit by a dim ambient light, a\n"
        "point light circling it and a torch at the camera.\n"
        "  W/S, Up/Down      walk forward and back      A/D, Left/Right  step aside\n"
        "  Page Up/Down      move fast along the view   mouse wheel      the same, a step per notch\n"
        "  left-button drag  look around                Q/E              turn the model\n"
        "  1, 2, 3           ambient, point, torch light on or off\n"
        "  Esc               quit\n"
        "A model that does not load is reported with its file and line, and the viewer exits with 1.\n",
        {{"flip-winding", "", "reverse the order of every face's corners"},
         {"flip-v", "", "flip the texture coordinates upside down (v becomes 1 - v)"},
         {"turn", "DEGREES", "turn the model about the vertical axis before it is shown"},
         {"screenshot", "FILE", "draw headless and write the last frame to FILE as PNG, then exit"},
         {"frames", "N", "with --screenshot: frames to draw first, 1/60 s each (1)"},
         {"vertex-light", "", "light per vertex, as the game's sprites are, not per pixel"},
         {"bench", "SECONDS", "turn the model for SECONDS and print the frame rate and CPU as JSON"},
         {"data", "DIR", "read FX/ under DIR, not the working directory"}}};
    return cli::Run(syntax, argc, argv, [&syntax](const cli::Arguments& args) { return View(syntax, args); });
}
