// The sound library over SDL2_mixer: one system owns the mixer, a sound is a decoded chunk, and a channel handle
// names one start of a sound on one mixer channel.
#include <fmod.hpp>

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <platform_files.h>
#include <platform_hooks.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace FMOD {

namespace {

constexpr int kMixRate = 44100;
constexpr int kMixChannelsOut = 2;
constexpr int kMixBufferFrames = 1024;

// A handle's value: the start's number above the mixer channel's. Starts are numbered across the process, so no two
// starts, on any system, ever share a handle.
constexpr int kChannelBits = 12;
constexpr int kMaxChannels = (1 << kChannelBits) - 1;
uint64_t gLastStart = 0;
// SDL2_mixer has one output; only one system at a time may hold it, and handles are answered from its state.
System* gMixerOwner = nullptr;

// The mixer channel is stored plus one, so no handle is null.
Channel* HandleOf(int mixerChannel, uint64_t start) {
    const uint64_t value = (start << kChannelBits) | static_cast<uint64_t>(mixerChannel + 1);
    return reinterpret_cast<Channel*>(static_cast<uintptr_t>(value));
}

int MixerChannelOf(const ChannelControl* handle) {
    const auto value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
    return static_cast<int>(value & kMaxChannels) - 1;
}

uint64_t StartOf(const ChannelControl* handle) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle)) >> kChannelBits;
}

// Every later call fails quietly, as the game expects of a system without output: this is the one word of it.
bool NoOutput() {
    const std::string text = std::string("FMOD: no audio output, playing without sound: ") + SDL_GetError() + "\n";
    OutputDebugStringA(text.c_str());
    return false;
}

bool OpenMixer(int channels) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return NoOutput();
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    if (Mix_OpenAudio(kMixRate, MIX_DEFAULT_FORMAT, kMixChannelsOut, kMixBufferFrames) != 0) {
        NoOutput();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(channels);
    return true;
}

void CloseMixer() {
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

struct Sound::Data {
    System* system;
    Mix_Chunk* chunk;
    FMOD_MODE mode;
};

struct System::State {
    bool open = false;
    // The start now on each mixer channel; a handle naming another start has been replaced.
    std::vector<uint64_t> currentStart;
    std::vector<Sound*> sounds;
};

FMOD_RESULT System_Create(System** system) {
    if (!system) return FMOD_ERR_INVALID_PARAM;
    *system = new System();
    return FMOD_OK;
}

System::System() : mState(new State()) {}

System::~System() {
    for (Sound* sound : mState->sounds) delete sound;
    delete mState;
}

FMOD_RESULT System::getVersion(unsigned int* version) {
    if (!version) return FMOD_ERR_INVALID_PARAM;
    *version = FMOD_VERSION;
    return FMOD_OK;
}

FMOD_RESULT System::init(int maxchannels, FMOD_INITFLAGS, void*) {
    if (mState->open) return FMOD_ERR_INITIALIZED;
    if (maxchannels <= 0 || maxchannels > kMaxChannels) return FMOD_ERR_INVALID_PARAM;
    if (gMixerOwner || !OpenMixer(maxchannels)) return FMOD_ERR_OUTPUT_INIT;
    gMixerOwner = this;
    mState->open = true;
    mState->currentStart.assign(static_cast<size_t>(maxchannels), 0);
    return FMOD_OK;
}

FMOD_RESULT System::createSound(const char* name, FMOD_MODE mode, FMOD_CREATESOUNDEXINFO* exinfo, Sound** sound) {
    if (!sound) return FMOD_ERR_INVALID_PARAM;
    *sound = nullptr;
    if (!name) return FMOD_ERR_INVALID_PARAM;
    if (exinfo) return FMOD_ERR_UNSUPPORTED;
    if (!mState->open) return FMOD_ERR_UNINITIALIZED;

    SDL_RWops* file = platform::OpenRegularStream(name);
    if (!file) return FMOD_ERR_FILE_NOTFOUND;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 1);
    if (!chunk) return FMOD_ERR_FORMAT;

    *sound = new Sound(new Sound::Data{this, chunk, mode});
    mState->sounds.push_back(*sound);
    return FMOD_OK;
}

FMOD_RESULT System::playSound(Sound* sound, ChannelGroup* channelgroup, bool paused, Channel** channel) {
    if (channel) *channel = nullptr;
    if (!sound || sound->mData->system != this) return FMOD_ERR_INVALID_PARAM;
    // Groups and paused starts are not needed by the game; refusing them beats a half-made imitation.
    if (channelgroup || paused) return FMOD_ERR_UNSUPPORTED;
    if (!mState->open) return FMOD_ERR_UNINITIALIZED;

    const int loops = (sound->mData->mode & FMOD_LOOP_NORMAL) ? -1 : 0;
    const int mixerChannel = Mix_PlayChannel(-1, sound->mData->chunk, loops);
    if (mixerChannel < 0 || static_cast<size_t>(mixerChannel) >= mState->currentStart.size()) {
        return FMOD_ERR_CHANNEL_ALLOC;
    }

    const uint64_t start = ++gLastStart;
    mState->currentStart[static_cast<size_t>(mixerChannel)] = start;
    if (channel) *channel = HandleOf(mixerChannel, start);
    return FMOD_OK;
}

FMOD_RESULT System::update() { return mState->open ? FMOD_OK : FMOD_ERR_UNINITIALIZED; }

FMOD_RESULT System::close() {
    if (!mState->open) return FMOD_ERR_UNINITIALIZED;
    Mix_HaltChannel(-1);
    // Chunks are in the output's format; they go with the output, while the Sound objects stay valid to release.
    for (Sound* sound : mState->sounds) {
        Mix_FreeChunk(sound->mData->chunk);
        sound->mData->chunk = nullptr;
    }
    std::fill(mState->currentStart.begin(), mState->currentStart.end(), 0u);
    CloseMixer();
    gMixerOwner = nullptr;
    mState->open = false;
    return FMOD_OK;
}

FMOD_RESULT System::release() {
    if (mState->open) close();
    delete this;
    return FMOD_OK;
}

Sound::~Sound() { delete mData; }

FMOD_RESULT Sound::setMode(FMOD_MODE mode) {
    mData->mode = mode;
    return FMOD_OK;
}

FMOD_RESULT Sound::release() {
    // Freeing a chunk halts the channels playing it, so their handles answer "not playing" afterwards.
    if (mData->chunk) Mix_FreeChunk(mData->chunk);
    std::vector<Sound*>& sounds = mData->system->mState->sounds;
    sounds.erase(std::remove(sounds.begin(), sounds.end(), this), sounds.end());
    delete this;
    return FMOD_OK;
}

// Only `this` is read: it is the handle's value, never an object.
bool ChannelControl::IsCurrent() const {
    if (!gMixerOwner) return false;
    const int mixerChannel = MixerChannelOf(this);
    const std::vector<uint64_t>& current = gMixerOwner->mState->currentStart;
    if (mixerChannel < 0 || static_cast<size_t>(mixerChannel) >= current.size()) return false;
    if (current[static_cast<size_t>(mixerChannel)] != StartOf(this)) return false;
    return Mix_Playing(mixerChannel) != 0;
}

FMOD_RESULT ChannelControl::isPlaying(bool* isplaying) {
    if (!isplaying) return FMOD_ERR_INVALID_PARAM;
    *isplaying = IsCurrent();
    return *isplaying ? FMOD_OK : FMOD_ERR_INVALID_HANDLE;
}

FMOD_RESULT ChannelControl::stop() {
    if (!IsCurrent()) return FMOD_ERR_INVALID_HANDLE;
    const int mixerChannel = MixerChannelOf(this);
    Mix_HaltChannel(mixerChannel);
    gMixerOwner->mState->currentStart[static_cast<size_t>(mixerChannel)] = 0;
    return FMOD_OK;
}

}  // namespace FMOD

namespace platform {

uint64_t SoundStarts() { return FMOD::gLastStart; }

}  // namespace platform
