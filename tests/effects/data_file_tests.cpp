// Data files that are not regular files: a FIFO or a directory where a texture, a sound or the effect file should
// be fails as a missing file does, and at once (opening a FIFO waits for a writer that never comes).
#include <gtest/gtest.h>

#include <d3d11.h>
#include <d3dx11async.h>
#include <fmod.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform_files.h"
#include "platform_text.h"

namespace {

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corvalo-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        ASSERT_EQ(mkfifo((scratch + "/fifo").c_str(), 0600), 0);
        ASSERT_EQ(mkdir((scratch + "/directory").c_str(), 0700), 0);
    }
    void TearDown() override { std::system(("rm -rf '" + scratch + "'").c_str()); }

    // The missing file first, as the answer every other kind must give.
    std::vector<std::string> Paths() const { return {scratch + "/missing", scratch + "/fifo", scratch + "/directory"}; }

    std::string scratch;
};

TEST_F(DataFileTest, ATextureThatIsNoRegularFileFailsAsAMissingOne) {
    ID3D11Device* device = nullptr;
    ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_NULL, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                                nullptr, nullptr),
              S_OK);
    for (const std::string& path : Paths()) {
        const std::wstring wide = platform::FromUtf8(path);
        ID3D11ShaderResourceView* view = nullptr;
        EXPECT_EQ(D3DX11CreateShaderResourceViewFromFileW(device, wide.c_str(), nullptr, nullptr, &view, nullptr),
                  D3D11_ERROR_FILE_NOT_FOUND)
            << path;
        EXPECT_EQ(view, nullptr);
    }
    device->Release();
}

TEST_F(DataFileTest, ASoundThatIsNoRegularFileFailsAsAMissingOne) {
    FMOD::System* system = nullptr;
    ASSERT_EQ(FMOD::System_Create(&system), FMOD_OK);
    ASSERT_EQ(system->init(4, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    for (const std::string& path : Paths()) {
        FMOD::Sound* sound = nullptr;
        EXPECT_EQ(system->createSound(path.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_FILE_NOTFOUND) << path;
        EXPECT_EQ(sound, nullptr);
    }
    system->release();
}

TEST_F(DataFileTest, AnEffectFileThatIsNoRegularFileFailsAsAMissingOne) {
    for (const std::string& path : Paths()) {
        const std::wstring wide = platform::FromUtf8(path);
        ID3D10Blob* compiled = nullptr;
        ID3D10Blob* messages = nullptr;
        EXPECT_EQ(D3DX11CompileFromFileW(wide.c_str(), nullptr, nullptr, nullptr, "fx_5_0", 0, 0, nullptr, &compiled,
                                         &messages, nullptr),
                  D3D11_ERROR_FILE_NOT_FOUND)
            << path;
        ASSERT_NE(messages, nullptr) << path;
        const std::string text(static_cast<const char*>(messages->GetBufferPointer()), messages->GetBufferSize());
        EXPECT_NE(text.find(path + ": error X3501: cannot open the effect file"), std::string::npos) << text;
        messages->Release();
        EXPECT_EQ(compiled, nullptr);
    }
}

// A sparse file: no disk, yet every byte of it reads as a zero, as from /dev/zero.
TEST_F(DataFileTest, AnEffectFilePastTheReadersLimitIsRefusedNamingIt) {
    const std::string path = scratch + "/huge.fx";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(platform::kMaxInputFileBytes + 1)), 0);
    const std::wstring wide = platform::FromUtf8(path);
    ID3D10Blob* compiled = nullptr;
    ID3D10Blob* messages = nullptr;
    EXPECT_EQ(D3DX11CompileFromFileW(wide.c_str(), nullptr, nullptr, nullptr, "fx_5_0", 0, 0, nullptr, &compiled,
                                     &messages, nullptr),
              E_FAIL);
    ASSERT_NE(messages, nullptr);
    const std::string text(static_cast<const char*>(messages->GetBufferPointer()), messages->GetBufferSize());
    EXPECT_NE(text.find(path + ": error X3000: larger than 64 MiB"), std::string::npos) << text;
    messages->Release();
    EXPECT_EQ(compiled, nullptr);
}

}  // namespace
