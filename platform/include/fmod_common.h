// The sound library's shared types: results, mode and initialisation flags, the version the headers describe.
#pragma once

#define FMOD_VERSION 0x00010500

typedef unsigned int FMOD_MODE;
typedef unsigned int FMOD_INITFLAGS;

#define FMOD_DEFAULT 0x00000000
#define FMOD_LOOP_OFF 0x00000001
#define FMOD_LOOP_NORMAL 0x00000002

#define FMOD_INIT_NORMAL 0x00000000

typedef enum FMOD_RESULT {
    FMOD_OK = 0,
    FMOD_ERR_CHANNEL_ALLOC,
    FMOD_ERR_FILE_NOTFOUND,
    FMOD_ERR_FORMAT,
    FMOD_ERR_INITIALIZED,
    FMOD_ERR_INVALID_HANDLE,
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_OUTPUT_INIT,
    FMOD_ERR_UNINITIALIZED,
    FMOD_ERR_UNSUPPORTED,
} FMOD_RESULT;

// Extra creation parameters; only a null pointer is accepted.
struct FMOD_CREATESOUNDEXINFO;
