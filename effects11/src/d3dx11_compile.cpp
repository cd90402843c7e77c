// D3DX11CompileFromFileW for the "fx_5_0" profile.
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "d3dcommon.h"
#include "d3dx11async.h"
#include "effect_cache.h"
#include "platform_files.h"
#include "platform_text.h"

namespace {

// Compiled effects by everything that decides the result (text, file name, defines, flags): the game compiles
// the same file at start-up and at the start of every game. A few entries serve any program; a miss goes to the
// cache on disk before the compiler.
class CompiledEffects {
public:
    fx::CompileOutput Compile(const std::string& text, const std::string& file, const std::string& defines,
                              UINT flags) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const std::string key = file + '\0' + defines + '\0' + std::to_string(flags) + '\0' + text;
        auto found = entries_.find(key);
        if (found != entries_.end()) return found->second;
        if (order_.size() == kCapacity) {
            entries_.erase(order_.front());
            order_.pop_front();
        }
        order_.push_back(key);
        return entries_.emplace(key, fx::CompileThroughCache({text, file, defines, flags})).first->second;
    }

private:
    static constexpr size_t kCapacity = 8;
    std::mutex mutex_;
    std::map<std::string, fx::CompileOutput> entries_;
    std::deque<std::string> order_;
};

CompiledEffects& Cache() {
    static CompiledEffects cache;
    return cache;
}

ID3D10Blob* MakeBlob(const void* data, size_t size) {
    ID3D10Blob* blob = nullptr;
    if (FAILED(D3DCreateBlob(size, &blob)) || !blob) return nullptr;
    if (size) std::memcpy(blob->GetBufferPointer(), data, size);
    return blob;
}

// Message text travels with its terminating zero, as the compiler's message blobs do.
void SetMessages(const std::string& text, ID3D10Blob** out) {
    if (out && !text.empty()) *out = MakeBlob(text.c_str(), text.size() + 1);
}

std::string Defines(const D3D10_SHADER_MACRO* macros) {
    std::string out;
    for (; macros && macros->Name; ++macros)
        out += std::string("#define ") + macros->Name + " " + (macros->Definition ? macros->Definition : "") + "\n";
    return out;
}

// kFailed where the file cannot be opened as a regular file or read.
platform::ReadEnd ReadSource(const std::string& file, std::string* text) {
    FILE* in = platform::OpenRegularFile(file.c_str());
    if (!in) return platform::ReadEnd::kFailed;
    const platform::ReadEnd end = platform::ReadInput(in, text);
    std::fclose(in);
    return end;
}

HRESULT Finish(HRESULT hr, HRESULT* result) {
    if (result) *result = hr;
    return hr;
}

}  // namespace

HRESULT D3DX11CompileFromFileW(LPCWSTR srcFile, const D3D10_SHADER_MACRO* defines, LPD3D10INCLUDE, LPCSTR,
                               LPCSTR profile, UINT flags1, UINT, ID3DX11ThreadPump*, ID3D10Blob** shader,
                               ID3D10Blob** errorMsgs, HRESULT* hResult) {
    if (shader) *shader = nullptr;
    if (errorMsgs) *errorMsgs = nullptr;
    std::string file = platform::ToUtf8(srcFile ? srcFile : L"");
    if (!srcFile || !shader) return Finish(E_INVALIDARG, hResult);
    if (!profile || std::strcmp(profile, "fx_5_0") != 0) {
        SetMessages(file + ": error X3000: profile '" + (profile ? profile : "") +
                        "' is not supported: only fx_5_0 effects are\n",
                    errorMsgs);
        return Finish(E_NOTIMPL, hResult);
    }
    std::string text;
    const platform::ReadEnd read = ReadSource(file, &text);
    if (read == platform::ReadEnd::kTooLarge) {
        SetMessages(file + ": error X3000: " + platform::InputTooLargeReason() + "\n", errorMsgs);
        return Finish(E_FAIL, hResult);
    }
    if (read != platform::ReadEnd::kRead) {
        SetMessages(file + ": error X3501: cannot open the effect file\n", errorMsgs);
        return Finish(D3D11_ERROR_FILE_NOT_FOUND, hResult);
    }
    const fx::CompileOutput out = Cache().Compile(text, file, Defines(defines), flags1);
    SetMessages(out.messages, errorMsgs);
    bool warningsFail = (flags1 & D3D10_SHADER_WARNINGS_ARE_ERRORS) && !out.messages.empty();
    if (!out.ok || warningsFail) return Finish(E_FAIL, hResult);
    *shader = MakeBlob(out.bytes.data(), out.bytes.size());
    return Finish(*shader ? S_OK : E_OUTOFMEMORY, hResult);
}
