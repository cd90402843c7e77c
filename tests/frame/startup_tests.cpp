// Start-up failures of the real program: the message reaches the user and the program ends with exit code 1.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output;
};

RunResult RunFrameApp(const std::string& environment) {
    const std::string command = "env " + environment + " " FRAME_APP_PATH " 2>&1";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 512> buffer;
    while (fgets(buffer.data(), buffer.size(), pipe)) result.output += buffer.data();
    const int status = pclose(pipe);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

TEST(Startup, TooLowAFeatureLevelIsReportedAndEndsCleanly) {
    const RunResult run = RunFrameApp("SDL_VIDEODRIVER=offscreen MESA_GL_VERSION_OVERRIDE=3.3");
    EXPECT_NE(run.output.find("Direct3D Feature Level 11 unsupported."), std::string::npos) << run.output;
    EXPECT_EQ(run.exitCode, 1) << run.output;
}

TEST(Startup, NoDisplayIsReportedAndEndsCleanly) {
    const RunResult run = RunFrameApp("-u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11");
    EXPECT_NE(run.output.find("CreateWindow Failed."), std::string::npos) << run.output;
    EXPECT_EQ(run.exitCode, 1) << run.output;
}

TEST(Startup, RunsAndQuitsWithExitCodeZero) {
    const RunResult run = RunFrameApp("SDL_VIDEODRIVER=offscreen CLEAR_APP_SECONDS=0.3");
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

}  // namespace
