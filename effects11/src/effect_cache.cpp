#include "effect_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glslang/build_info.h>
#include <spirv_cross_c.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform_files.h"

namespace fx {
namespace {

const char kMagic[8] = {'C', 'V', 'F', 'X', 'C', 'A', 'C', 'H'};
constexpr uint32_t kFormat = 1;
constexpr size_t kHeadBytes = sizeof kMagic + sizeof(uint32_t) + sizeof(uint64_t);
const char kSuffix[] = ".fxc";
// Entries are few (one per effect file a build compiles); past this the oldest written go.
constexpr size_t kMaxEntries = 32;
constexpr size_t kMaxEntryBytes = size_t(64) << 20;

uint64_t Fnv1a(const char* data, size_t size, uint64_t hash = 14695981039346656037ull) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<uint8_t>(data[i])) * 1099511628211ull;
    return hash;
}

void PutU32(std::string* out, uint32_t value) { out->append(reinterpret_cast<const char*>(&value), sizeof value); }

void PutString(std::string* out, const std::string& text) {
    PutU32(out, static_cast<uint32_t>(text.size()));
    out->append(text);
}

bool TakeString(const std::string& in, size_t* at, std::string* text) {
    uint32_t size = 0;
    if (in.size() - *at < sizeof size) return false;
    std::memcpy(&size, in.data() + *at, sizeof size);
    *at += sizeof size;
    if (in.size() - *at < size) return false;
    text->assign(in, *at, size);
    *at += size;
    return true;
}

size_t RoundUp(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

std::string GnuBuildId(const char* notes, size_t size, size_t alignment) {
    size_t at = 0;
    while (size - at >= sizeof(ElfW(Nhdr))) {
        ElfW(Nhdr) note;
        std::memcpy(&note, notes + at, sizeof note);
        const size_t name = at + sizeof note;
        const size_t desc = name + RoundUp(note.n_namesz, alignment);
        const size_t next = desc + RoundUp(note.n_descsz, alignment);
        if (next > size || next < desc) return "";
        if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && std::memcmp(notes + name, "GNU", 4) == 0) {
            return std::string(notes + desc, note.n_descsz);
        }
        at = next;
    }
    return "";
}

struct BuildIdSearch {
    uintptr_t address;
    std::string id;
};

bool Holds(const dl_phdr_info& info, uintptr_t address) {
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info.dlpi_phdr[i];
        const uintptr_t start = info.dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && address >= start && address - start < segment.p_memsz) return true;
    }
    return false;
}

int FindBuildId(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<BuildIdSearch*>(data);
    if (!Holds(*info, search->address)) return 0;
    for (int i = 0; i < info->dlpi_phnum && search->id.empty(); ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_NOTE) continue;
        const char* notes = reinterpret_cast<const char*>(info->dlpi_addr + segment.p_vaddr);
        search->id = GnuBuildId(notes, segment.p_memsz, std::max<size_t>(segment.p_align, 4));
    }
    return 1;
}

std::string BuildIdOf(const void* code) {
    BuildIdSearch search{reinterpret_cast<uintptr_t>(code), ""};
    dl_iterate_phdr(FindBuildId, &search);
    return search.id;
}

// The compilers' build: this library with glslang linked into it, and SPIRV-Cross's library. Empty when either
// has no build id, and then nothing is read or stored: a cache that cannot tell builds apart would serve stale bytes.
const std::string& CompilerIdentity() {
    static const std::string identity = [] {
        const std::string own = BuildIdOf(reinterpret_cast<const void*>(&CompileEffect));
        const std::string crossCompiler = BuildIdOf(reinterpret_cast<const void*>(&spvc_context_create));
        if (own.empty() || crossCompiler.empty()) return std::string();
        const std::string glslang = std::to_string(GLSLANG_VERSION_MAJOR) + "." +
                                    std::to_string(GLSLANG_VERSION_MINOR) + "." +
                                    std::to_string(GLSLANG_VERSION_PATCH) + GLSLANG_VERSION_FLAVOR;
        return own + crossCompiler + glslang;
    }();
    return identity;
}

std::string DefaultDirectory() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome && cacheHome[0] == '/') return std::string(cacheHome) + "/corvalo";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.cache/corvalo";
    return "";
}

struct Directory {
    std::mutex mutex;
    bool chosen = false;
    std::string path;
};

Directory& CacheDirectory() {
    static Directory directory;
    return directory;
}

// The entry's key part: the compilers' identity, then everything CompileEffect is given.
std::string KeyBytes(const CompileKey& key) {
    std::string out;
    PutString(&out, CompilerIdentity());
    PutString(&out, key.file);
    PutString(&out, key.defines);
    PutU32(&out, key.flags);
    PutString(&out, key.text);
    return out;
}

std::string Encode(const std::string& keyBytes, const CompileOutput& output) {
    std::string body = keyBytes;
    PutString(&body, output.messages);
    PutString(&body, std::string(output.bytes.begin(), output.bytes.end()));
    std::string entry(kMagic, sizeof kMagic);
    PutU32(&entry, kFormat);
    const uint64_t sum = Fnv1a(body.data(), body.size());
    entry.append(reinterpret_cast<const char*>(&sum), sizeof sum);
    return entry + body;
}

bool WholeAndForKey(const std::string& entry, const std::string& keyBytes) {
    if (entry.size() < kHeadBytes + keyBytes.size() || std::memcmp(entry.data(), kMagic, sizeof kMagic) != 0) {
        return false;
    }
    uint32_t format = 0;
    uint64_t sum = 0;
    std::memcpy(&format, entry.data() + sizeof kMagic, sizeof format);
    std::memcpy(&sum, entry.data() + sizeof kMagic + sizeof format, sizeof sum);
    if (format != kFormat || sum != Fnv1a(entry.data() + kHeadBytes, entry.size() - kHeadBytes)) return false;
    return entry.compare(kHeadBytes, keyBytes.size(), keyBytes) == 0;
}

// An entry is taken only as a compile would have answered: its effect must decode, and encode again to the very
// bytes stored.
bool Decode(const std::string& entry, const std::string& keyBytes, CompileOutput* output) {
    if (!WholeAndForKey(entry, keyBytes)) return false;
    size_t at = kHeadBytes + keyBytes.size();
    std::string messages, bytes;
    if (!TakeString(entry, &at, &messages) || !TakeString(entry, &at, &bytes) || at != entry.size()) return false;
    CompiledEffect effect;
    if (!Deserialise(bytes.data(), bytes.size(), &effect)) return false;
    std::vector<uint8_t> again = Serialise(effect);
    if (again.size() != bytes.size() || !std::equal(again.begin(), again.end(), bytes.begin(),
                                                    [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); })) {
        return false;
    }
    output->ok = true;
    output->effect = std::move(effect);
    output->bytes = std::move(again);
    output->messages = std::move(messages);
    return true;
}

bool ReadEntry(const std::string& path, std::string* entry) {
    FILE* in = platform::OpenRegularFile(path.c_str());
    if (!in) return false;
    char buffer[65536];
    size_t count = 0;
    while (entry->size() <= kMaxEntryBytes && (count = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        entry->append(buffer, count);
    }
    const bool read = !std::ferror(in) && entry->size() <= kMaxEntryBytes;
    std::fclose(in);
    return read;
}

bool MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    mkdir(path.c_str(), 0700);
    struct stat status = {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool WriteAll(int descriptor, const std::string& data) {
    size_t at = 0;
    while (at < data.size()) {
        const ssize_t n = write(descriptor, data.data() + at, data.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += static_cast<size_t>(n);
    }
    return true;
}

bool IsEntryName(const std::string& name) { return name.find(kSuffix) != std::string::npos; }

// Entries and unfinished writes, oldest written first, beyond the newest kMaxEntries; never the one just written,
// whose time may equal older ones'.
void Prune(const std::string& directory, const std::string& kept) {
    DIR* listing = opendir(directory.c_str());
    if (!listing) return;
    std::vector<std::pair<timespec, std::string>> entries;
    while (const dirent* item = readdir(listing)) {
        const std::string path = directory + "/" + item->d_name;
        struct stat status = {};
        if (!IsEntryName(item->d_name) || path == kept) continue;
        if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        entries.emplace_back(status.st_mtim, path);
    }
    closedir(listing);
    if (entries.size() < kMaxEntries) return;
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return std::make_pair(a.first.tv_sec, a.first.tv_nsec) < std::make_pair(b.first.tv_sec, b.first.tv_nsec);
    });
    for (size_t i = 0; i + kMaxEntries <= entries.size(); ++i) unlink(entries[i].second.c_str());
}

// Written beside the entry and renamed over it, so a reader sees the old entry or the new one, never a part.
void Store(const std::string& path, const std::string& entry) {
    const std::string directory = path.substr(0, path.rfind('/'));
    if (!MakeDirectories(directory)) return;
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkostemp(&temporary[0], O_CLOEXEC);
    if (descriptor < 0) return;
    const bool written = WriteAll(descriptor, entry);
    const bool closed = close(descriptor) == 0;
    if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) unlink(temporary.c_str());
    Prune(directory, path);
}

std::string Hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

void SetEffectCacheDirectory(const std::string& directory) {
    Directory& cache = CacheDirectory();
    const std::lock_guard<std::mutex> lock(cache.mutex);
    cache.chosen = true;
    cache.path = directory;
}

std::string EffectCacheDirectory() {
    Directory& cache = CacheDirectory();
    const std::lock_guard<std::mutex> lock(cache.mutex);
    if (!cache.chosen) {
        cache.chosen = true;
        cache.path = DefaultDirectory();
    }
    return cache.path;
}

// Named by everything but the text, so an edited file replaces its entry instead of adding one.
std::string EffectCacheFile(const CompileKey& key) {
    const std::string directory = EffectCacheDirectory();
    const std::string& identity = CompilerIdentity();
    if (directory.empty() || identity.empty()) return "";
    std::string slot;
    PutString(&slot, identity);
    PutString(&slot, key.file);
    PutString(&slot, key.defines);
    PutU32(&slot, key.flags);
    return directory + "/" + Hex(Fnv1a(slot.data(), slot.size())) + kSuffix;
}

CompileOutput CompileThroughCache(const CompileKey& key, bool* fromCache) {
    if (fromCache) *fromCache = false;
    const std::string path = EffectCacheFile(key);
    if (path.empty()) return CompileEffect(key.text, key.file, key.defines);
    const std::string keyBytes = KeyBytes(key);
    std::string entry;
    CompileOutput output;
    if (ReadEntry(path, &entry) && Decode(entry, keyBytes, &output)) {
        if (fromCache) *fromCache = true;
        return output;
    }
    output = CompileEffect(key.text, key.file, key.defines);
    // Failures are not kept: a crash or a time limit of the compiler must not outlive the run that met it.
    if (output.ok) Store(path, Encode(keyBytes, output));
    return output;
}

}  // namespace fx
