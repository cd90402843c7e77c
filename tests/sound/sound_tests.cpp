// The sound library over SDL2_mixer, heard through SDL's disk audio driver: what is played reaches the output file.
#include <fmod.hpp>

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// Blocks of the free store now in use, counted by the replaced operators below.
long gLiveBlocks = 0;

void* Allocate(std::size_t size) {
    ++gLiveBlocks;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void Free(void* p) {
    if (!p) return;
    --gLiveBlocks;
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

namespace {

const char* const kShot = "Sounds/choo.ogg";
// The shot sound is 0.32 s; as 16-bit stereo at 44.1 kHz that is this many output bytes.
constexpr long kShotBytes = 44100 * 4 * 32 / 100;

long FileSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return file ? static_cast<long>(file.tellg()) : 0;
}

size_t NonSilentSamples(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t count = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int16_t sample;
        std::memcpy(&sample, &bytes[i], sizeof sample);
        if (sample != 0) ++count;
    }
    return count;
}

template <class Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Keeps the mixer where it is while it lives: the output's callback cannot run, so a one-shot started under it is
// still playing however slow this thread is. The mixer opens one output device, found by its status.
class OutputHold {
public:
    OutputHold() {
        for (SDL_AudioDeviceID id = 1; id <= 16 && !mDevice; ++id) {
            if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) mDevice = id;
        }
        EXPECT_NE(mDevice, 0u) << "no open output";
        if (mDevice) SDL_LockAudioDevice(mDevice);
    }
    ~OutputHold() {
        if (mDevice) SDL_UnlockAudioDevice(mDevice);
    }
    OutputHold(const OutputHold&) = delete;
    OutputHold& operator=(const OutputHold&) = delete;

private:
    SDL_AudioDeviceID mDevice = 0;
};

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/corvalo-sound-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        ::close(fd);
        mOutput = name;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", mOutput.c_str(), 1);
        ASSERT_EQ(FMOD::System_Create(&mSystem), FMOD_OK);
    }

    void TearDown() override {
        if (mSystem) mSystem->release();
        std::remove(mOutput.c_str());
    }

    void Init(int channels = 32) { ASSERT_EQ(mSystem->init(channels, FMOD_INIT_NORMAL, nullptr), FMOD_OK); }

    FMOD::Sound* Load(const char* name, FMOD_MODE loop) {
        FMOD::Sound* sound = nullptr;
        EXPECT_EQ(mSystem->createSound(name, FMOD_DEFAULT, nullptr, &sound), FMOD_OK);
        if (sound) {
            EXPECT_EQ(sound->setMode(loop), FMOD_OK);
        }
        return sound;
    }

    // Starts the system with that many channels and loads the shot, looping or not.
    FMOD::Sound* InitWithShot(FMOD_MODE loop, int channels = 32) {
        Init(channels);
        return Load(kShot, loop);
    }

    FMOD::Channel* Play(FMOD::Sound* sound) {
        FMOD::Channel* channel = nullptr;
        EXPECT_EQ(mSystem->playSound(sound, nullptr, false, &channel), FMOD_OK);
        return channel;
    }

    static bool Playing(FMOD::Channel* channel) {
        bool playing = false;
        channel->isPlaying(&playing);
        return playing;
    }

    // Closing flushes the disk driver's file.
    size_t HeardSamples() {
        mSystem->close();
        return NonSilentSamples(mOutput);
    }

    std::string mOutput;
    FMOD::System* mSystem = nullptr;
};

TEST_F(SoundTest, VersionAndCallsBeforeInit) {
    unsigned int version = 0;
    EXPECT_EQ(mSystem->getVersion(&version), FMOD_OK);
    EXPECT_GE(version, 0x00010500u);

    FMOD::Sound* sound = reinterpret_cast<FMOD::Sound*>(1);
    EXPECT_EQ(mSystem->createSound(kShot, FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(mSystem->update(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(mSystem->close(), FMOD_ERR_UNINITIALIZED);

    Init();
    EXPECT_EQ(mSystem->init(32, FMOD_INIT_NORMAL, nullptr), FMOD_ERR_INITIALIZED);
    EXPECT_EQ(mSystem->update(), FMOD_OK);
}

TEST_F(SoundTest, BadFilesAndNullSoundsFailQuietly) {
    Init();
    FMOD::Sound* sound = nullptr;
    EXPECT_EQ(mSystem->createSound("Sounds/no-such-file.ogg", FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(sound, nullptr);

    const std::string junk = mOutput + ".ogg";
    std::ofstream(junk) << "not a sound at all, just text long enough to be read as a header";
    EXPECT_EQ(mSystem->createSound(junk.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_FORMAT);
    EXPECT_EQ(sound, nullptr);
    std::remove(junk.c_str());

    FMOD::Channel* channel = reinterpret_cast<FMOD::Channel*>(1);
    EXPECT_EQ(mSystem->playSound(nullptr, nullptr, false, &channel), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(HeardSamples(), 0u);
}

TEST_F(SoundTest, OneShotReachesTheOutputAndThenStopsPlaying) {
    FMOD::Sound* shot = InitWithShot(FMOD_LOOP_OFF);
    FMOD::Channel* channel = nullptr;
    {
        OutputHold hold;
        channel = Play(shot);
        ASSERT_NE(channel, nullptr);
        EXPECT_TRUE(Playing(channel));
    }

    ASSERT_TRUE(WaitFor([&] { return !Playing(channel); }));
    bool playing = true;
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_FALSE(playing);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_GT(HeardSamples(), static_cast<size_t>(kShotBytes / 8));
}

TEST_F(SoundTest, TheMusicTrackDecodesAndPlays) {
    Init();
    FMOD::Sound* music = Load("Sounds/QivDenofThieves.mp3", FMOD_LOOP_NORMAL);
    FMOD::Channel* channel = Play(music);
    // The output has run since Init: silence while a slow decode went on must not count as the music's.
    const long start = FileSize(mOutput);
    ASSERT_TRUE(WaitFor([&] { return FileSize(mOutput) > start + kShotBytes; }));
    EXPECT_TRUE(Playing(channel));
    EXPECT_GT(HeardSamples(), 0u);
}

TEST_F(SoundTest, LoopModeKeepsTheSoundPlayingUntilStopped) {
    FMOD::Sound* shot = InitWithShot(FMOD_LOOP_NORMAL);
    FMOD::Channel* channel = Play(shot);
    const long start = FileSize(mOutput);
    ASSERT_TRUE(WaitFor([&] { return FileSize(mOutput) > start + 4 * kShotBytes; }));
    EXPECT_TRUE(Playing(channel));

    EXPECT_EQ(channel->stop(), FMOD_OK);
    EXPECT_FALSE(Playing(channel));
}

TEST_F(SoundTest, StaleHandlesStaySafeWhenTheirChannelIsReused) {
    FMOD::Sound* shot = InitWithShot(FMOD_LOOP_OFF, 1);
    FMOD::Channel* first = nullptr;
    {
        OutputHold hold;
        first = Play(shot);
        FMOD::Channel* none = nullptr;
        EXPECT_EQ(mSystem->playSound(shot, nullptr, false, &none), FMOD_ERR_CHANNEL_ALLOC);
        EXPECT_EQ(none, nullptr);
    }

    ASSERT_TRUE(WaitFor([&] { return !Playing(first); }));
    shot->setMode(FMOD_LOOP_NORMAL);
    FMOD::Channel* second = Play(shot);
    EXPECT_NE(first, second);
    EXPECT_FALSE(Playing(first));
    EXPECT_EQ(first->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_TRUE(Playing(second));

    EXPECT_EQ(shot->release(), FMOD_OK);
    EXPECT_FALSE(Playing(second));
}

TEST_F(SoundTest, ManyStartsKeepMemoryFlatAndOldHandlesNeverAnswerForNewerStarts) {
    FMOD::Sound* shot = InitWithShot(FMOD_LOOP_OFF, 1);
    FMOD::Channel* first = nullptr;
    FMOD::Channel* last = nullptr;
    int failures = 0;
    long blocksBefore = 0;
    long blocksAfter = 0;
    {
        // A start that ended by itself before its stop would count as a failure.
        OutputHold hold;
        first = Play(shot);
        ASSERT_EQ(first->stop(), FMOD_OK);

        blocksBefore = gLiveBlocks;
        for (int i = 0; i < 20000; ++i) {
            if (mSystem->playSound(shot, nullptr, false, &last) != FMOD_OK || last->stop() != FMOD_OK) ++failures;
        }
        blocksAfter = gLiveBlocks;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_LT(blocksAfter - blocksBefore, 16);

    // Every start above used the one mixer channel; only the newest handle controls the sound now on it.
    shot->setMode(FMOD_LOOP_NORMAL);
    FMOD::Channel* looping = Play(shot);
    EXPECT_NE(looping, first);
    EXPECT_NE(looping, last);
    EXPECT_FALSE(Playing(first));
    EXPECT_EQ(first->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(last->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_TRUE(Playing(looping));
}

TEST_F(SoundTest, HandlesOfAReleasedSystemAnswerNotPlaying) {
    FMOD::Sound* shot = InitWithShot(FMOD_LOOP_NORMAL, 1);
    FMOD::Channel* old = Play(shot);
    mSystem->release();
    ASSERT_EQ(FMOD::System_Create(&mSystem), FMOD_OK);
    Init(1);
    FMOD::Channel* current = Play(Load(kShot, FMOD_LOOP_NORMAL));
    EXPECT_FALSE(Playing(old));
    EXPECT_EQ(old->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_TRUE(Playing(current));
}

TEST_F(SoundTest, ClosingSilencesEverythingAndKeepsObjectsSafe) {
    FMOD::Sound* shot = InitWithShot(FMOD_LOOP_NORMAL);
    FMOD::Channel* channel = Play(shot);
    EXPECT_EQ(mSystem->close(), FMOD_OK);
    EXPECT_FALSE(Playing(channel));
    EXPECT_EQ(mSystem->playSound(shot, nullptr, false, &channel), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(shot->release(), FMOD_OK);

    // The output can be opened again by the same system.
    Init();
    EXPECT_NE(Load(kShot, FMOD_LOOP_OFF), nullptr);
}

}  // namespace
