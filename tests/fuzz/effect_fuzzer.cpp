// libFuzzer target of the effect compiler. An input is an effect file of at most 64 KiB. The reader of technique,
// pass and sampler blocks runs on it first: the HLSL it leaves must keep every line and column of the input. Then
// the whole D3DX11CompileFromFileW path compiles it from a memory file and must end in a self-consistent effect
// or in messages naming the file. glslang runs in its own process there, as in the game: its known crashes end
// as compile errors and fuzzing goes on, while a fault of our own stops it. With EFFECT_FUZZ_COMPILER_CRASHES set
// to a folder, the inputs on which that process crashed or hung are written there for triage. A compile costs a
// few milliseconds, the reader microseconds: EFFECT_FUZZ_READER_ONLY=1 fuzzes the reader alone, for long runs.
#include <d3dx11async.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "compiled_effect.h"
#include "effect_cache.h"
#include "fx_parser.h"
#include "hlsl_compiler.h"

namespace {

constexpr size_t kMaxInput = 64 * 1024;

int gMemoryFile = -1;
std::wstring gPath;
const char* gCrashFolder = nullptr;
bool gReaderOnly = false;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

int LineCount(const std::string& text) {
    int lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
}

void CheckParsed(const std::string& text) {
    const fx::FxSource src = fx::ParseFx(text);
    Require(src.hlsl.size() == text.size());
    for (size_t k = 0; k < text.size(); ++k) Require(src.hlsl[k] == text[k] || (src.hlsl[k] == ' ' && text[k] != '\n'));
    const int lines = LineCount(text);
    for (const fx::Message& m : src.messages) Require(m.line >= 0 && m.line <= lines && !m.text.empty());
    for (const fx::TechniqueDecl& t : src.techniques) {
        for (const fx::PassDecl& p : t.passes) Require(p.line >= 1 && p.line <= lines && p.column >= 1);
    }
}

std::string BlobText(ID3D10Blob* blob) {
    Require(blob->GetBufferSize() > 0);
    const char* text = static_cast<const char*>(blob->GetBufferPointer());
    Require(text[blob->GetBufferSize() - 1] == '\0');
    return text;
}

void KeepForTriage(const std::string& text, const std::string& messages) {
    if (!gCrashFolder || messages.find("the HLSL compiler ") == std::string::npos) return;
    const std::string name = std::to_string(std::hash<std::string>()(text)) + ".fx";
    std::ofstream(std::string(gCrashFolder) + "/" + name, std::ios::binary) << text;
}

void CheckCompiled(const std::string& text) {
    ID3D10Blob* shader = nullptr;
    ID3D10Blob* messages = nullptr;
    const HRESULT hr = D3DX11CompileFromFileW(gPath.c_str(), nullptr, nullptr, nullptr, "fx_5_0", 0, 0, nullptr,
                                              &shader, &messages, nullptr);
    Require(hr == S_OK || hr == E_FAIL);
    const std::string said = messages ? BlobText(messages) : "";
    if (messages) messages->Release();
    if (hr == E_FAIL) {
        Require(!shader && said.find("/proc/self/fd/") != std::string::npos);
        KeepForTriage(text, said);
        return;
    }
    fx::CompiledEffect effect;
    Require(shader && fx::Deserialise(shader->GetBufferPointer(), shader->GetBufferSize(), &effect));
    shader->Release();
}

}  // namespace

// Every compile forks, and a fork copies page tables in proportion to the memory touched: ASan's default quarantine
// of freed memory halves the executions per second.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=8"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gMemoryFile = memfd_create("effect.fx", MFD_CLOEXEC);
    if (gMemoryFile < 0) abort();
    const std::string path = "/proc/self/fd/" + std::to_string(gMemoryFile);
    gPath.assign(path.begin(), path.end());
    gCrashFolder = std::getenv("EFFECT_FUZZ_COMPILER_CRASHES");
    const char* readerOnly = std::getenv("EFFECT_FUZZ_READER_ONLY");
    gReaderOnly = readerOnly && std::strcmp(readerOnly, "1") == 0;
    // Below libFuzzer's own -timeout, so that a hung compiler is a compile error here too.
    fx::SetCompileTimeLimit(std::chrono::seconds(5));
    // Every input would otherwise be written to the cache, and a cached answer would skip the compiler under test.
    fx::SetEffectCacheDirectory("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return -1;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckParsed(text);
    if (gReaderOnly) return 0;
    if (ftruncate(gMemoryFile, 0) != 0 || pwrite(gMemoryFile, data, size, 0) != static_cast<ssize_t>(size)) abort();
    CheckCompiled(text);
    return 0;
}
