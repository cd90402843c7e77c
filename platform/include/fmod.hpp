// The sound library's C++ interface, as far as the game calls it, over SDL2_mixer.
#pragma once

#include "fmod_common.h"

namespace FMOD {

class System;
class Sound;
class Channel;
class ChannelGroup;

FMOD_RESULT System_Create(System** system);

// A handle on one start of a sound. It is no object: its value names the mixer channel and which start on it, so
// playing allocates nothing and a handle never answers for a later start on the same channel. It stays safe to call
// after its sound ended, its mixer channel was reused or its system was released: it then answers "not playing" with
// FMOD_ERR_INVALID_HANDLE.
class ChannelControl {
public:
    FMOD_RESULT isPlaying(bool* isplaying);
    FMOD_RESULT stop();

    ChannelControl() = delete;

private:
    bool IsCurrent() const;
};

class Channel : public ChannelControl {
public:
    Channel() = delete;
};

class Sound {
public:
    FMOD_RESULT setMode(FMOD_MODE mode);
    FMOD_RESULT release();

private:
    friend class System;
    struct Data;
    explicit Sound(Data* data) : mData(data) {}
    ~Sound();

    Data* mData;
};

class System {
public:
    FMOD_RESULT getVersion(unsigned int* version);
    FMOD_RESULT init(int maxchannels, FMOD_INITFLAGS flags, void* extradriverdata);
    FMOD_RESULT createSound(const char* name, FMOD_MODE mode, FMOD_CREATESOUNDEXINFO* exinfo, Sound** sound);
    FMOD_RESULT playSound(Sound* sound, ChannelGroup* channelgroup, bool paused, Channel** channel);
    FMOD_RESULT update();
    FMOD_RESULT close();
    FMOD_RESULT release();

private:
    friend FMOD_RESULT System_Create(System** system);
    friend class ChannelControl;
    friend class Sound;
    struct State;
    System();
    ~System();

    State* mState;
};

}  // namespace FMOD
