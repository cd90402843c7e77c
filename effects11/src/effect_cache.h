// Compiled effects kept on disk between runs, so a start-up reads the effect instead of compiling it.
#pragma once
#include <cstdint>
#include <string>

#include "effect_compiler.h"

namespace fx {

// Everything that decides a compile's output besides the compilers themselves.
struct CompileKey {
    std::string text;
    std::string file;
    std::string defines;
    uint32_t flags = 0;
};

// The output of CompileEffect(key): read from the cache directory when it holds a valid entry for exactly this key
// and this build of the compilers, otherwise compiled and, when it succeeded, stored there. fromCache tells which.
CompileOutput CompileThroughCache(const CompileKey& key, bool* fromCache = nullptr);

// $XDG_CACHE_HOME/corvalo, else $HOME/.cache/corvalo, until set; "" compiles every effect afresh.
void SetEffectCacheDirectory(const std::string& directory);
std::string EffectCacheDirectory();

// The entry file a key is stored in ("" while the cache is off), for tests that damage it.
std::string EffectCacheFile(const CompileKey& key);

}  // namespace fx
