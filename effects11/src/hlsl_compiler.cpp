#include "hlsl_compiler.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include "isolated_call.h"

namespace fx {
namespace {

void InitialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

// The column of the first quoted token of a glslang message within its source line, else 1.
int GuessColumn(const std::string& source, int line, const std::string& text) {
    size_t q1 = text.find('\''), q2 = q1 == std::string::npos ? q1 : text.find('\'', q1 + 1);
    if (q2 == std::string::npos || q2 == q1 + 1) return 1;
    std::string token = text.substr(q1 + 1, q2 - q1 - 1);
    size_t start = 0;
    for (int l = 1; l < line && start != std::string::npos; ++l) {
        start = source.find('\n', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return 1;
    size_t end = source.find('\n', start);
    size_t at = source.substr(start, end == std::string::npos ? end : end - start).find(token);
    return at == std::string::npos ? 1 : static_cast<int>(at) + 1;
}

// Parses glslang's "ERROR: NAME:LINE: text" lines; summary lines without a location are dropped.
void ParseLog(const std::string& log, const std::string& name, const std::string& source, std::vector<Message>* out) {
    std::istringstream lines(log);
    std::string l;
    while (std::getline(lines, l)) {
        bool error = l.rfind("ERROR: ", 0) == 0;
        bool warning = l.rfind("WARNING: ", 0) == 0;
        if (!error && !warning) continue;
        std::string rest = l.substr(error ? 7 : 9);
        if (rest.compare(0, name.size() + 1, name + ":") != 0) {
            if (rest.find("compilation errors") == std::string::npos && rest.find("Linking") == std::string::npos)
                out->push_back({0, 0, error, rest});
            continue;
        }
        rest = rest.substr(name.size() + 1);
        char* endp = nullptr;
        long line = std::strtol(rest.c_str(), &endp, 10);
        if (endp == rest.c_str() || *endp != ':') continue;
        std::string text = endp + 1;
        while (!text.empty() && text.front() == ' ') text.erase(0, 1);
        int ln = static_cast<int>(line);
        out->push_back({ln, GuessColumn(source, ln, text), error, text});
    }
}

const EShMessages kMessages =
    static_cast<EShMessages>(EShMsgReadHlsl | EShMsgSpvRules | EShMsgVulkanRules | EShMsgHlslOffsets);

SpirvResult CompileInProcess(const std::string& hlsl, const std::string& fileName, const std::string& entry,
                             Stage stage, const std::string& preamble) {
    InitialiseOnce();
    SpirvResult result;
    EShLanguage language = stage == Stage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const char* text = hlsl.c_str();
    const int length = static_cast<int>(hlsl.size());
    const char* name = fileName.c_str();
    shader.setStringsWithLengthsAndNames(&text, &length, &name, 1);
    shader.setPreamble(preamble.c_str());
    shader.setEntryPoint(entry.c_str());
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    shader.setEnvTargetHlslFunctionality1();
    shader.setAutoMapLocations(true);
    shader.setAutoMapBindings(true);
    bool parsed = shader.parse(GetDefaultResources(), 100, false, kMessages);
    ParseLog(shader.getInfoLog(), fileName, hlsl, &result.messages);
    if (!parsed) return result;

    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(kMessages) || !program.mapIO()) {
        ParseLog(program.getInfoLog(), fileName, hlsl, &result.messages);
        result.messages.push_back({0, 0, true, "entry point '" + entry + "' could not be linked"});
        return result;
    }
    glslang::SpvOptions options;
    options.disableOptimizer = true;
    spv::SpvBuildLogger logger;
    glslang::GlslangToSpv(*program.getIntermediate(language), result.spirv, &logger, &options);
    std::string spvMessages = logger.getAllMessages();
    if (!spvMessages.empty()) result.messages.push_back({0, 0, false, spvMessages});
    result.ok = !result.spirv.empty();
    return result;
}

// The child's answer: ok, the SPIR-V words, then each message (line, column, error, text).
class Encoder {
public:
    void Put(const void* p, size_t n) {
        if (n) bytes.append(static_cast<const char*>(p), n);
    }
    void U32(uint32_t v) { Put(&v, sizeof v); }
    std::string bytes;
};

std::string Encode(const SpirvResult& r) {
    Encoder e;
    e.U32(r.ok);
    e.U32(static_cast<uint32_t>(r.spirv.size()));
    e.Put(r.spirv.data(), r.spirv.size() * sizeof(uint32_t));
    e.U32(static_cast<uint32_t>(r.messages.size()));
    for (const Message& m : r.messages) {
        e.U32(static_cast<uint32_t>(m.line));
        e.U32(static_cast<uint32_t>(m.column));
        e.U32(m.error);
        e.U32(static_cast<uint32_t>(m.text.size()));
        e.Put(m.text.data(), m.text.size());
    }
    return e.bytes;
}

class Decoder {
public:
    explicit Decoder(const std::string& bytes) : bytes_(bytes) {}
    bool Get(void* p, size_t n) {
        if (n > bytes_.size() - at_) return false;
        if (n) std::memcpy(p, bytes_.data() + at_, n);
        at_ += n;
        return true;
    }
    bool U32(uint32_t* v) { return Get(v, sizeof *v); }
    bool Str(std::string* s) {
        uint32_t size = 0;
        if (!U32(&size) || size > bytes_.size() - at_) return false;
        s->assign(bytes_, at_, size);
        at_ += size;
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

bool DecodeMessage(Decoder& d, Message* m) {
    uint32_t line = 0, column = 0, error = 0;
    if (!d.U32(&line) || !d.U32(&column) || !d.U32(&error) || !d.Str(&m->text)) return false;
    m->line = static_cast<int>(line);
    m->column = static_cast<int>(column);
    m->error = error != 0;
    return true;
}

bool Decode(const std::string& bytes, SpirvResult* r) {
    Decoder d(bytes);
    uint32_t ok = 0, words = 0, count = 0;
    if (!d.U32(&ok) || !d.U32(&words) || words > bytes.size() / sizeof(uint32_t)) return false;
    r->ok = ok != 0;
    r->spirv.resize(words);
    if (!d.Get(r->spirv.data(), words * sizeof(uint32_t)) || !d.U32(&count) || count > bytes.size()) return false;
    r->messages.resize(count);
    for (Message& m : r->messages) {
        if (!DecodeMessage(d, &m)) return false;
    }
    return d.AtEnd();
}

// A whole effect file's compile, all entry points together: a file that never finishes preprocessing must not hold
// the game's start for this once per entry point.
constexpr std::chrono::milliseconds kEffectCompileTime(30000);
// What one compiler process may allocate beyond its parent's image: glslang takes a few MiB for the game's effect.
constexpr size_t kCompilerMemory = size_t(1) << 30;

std::atomic<int64_t> gTimeLimitMs{kEffectCompileTime.count()};

// glslang builds its tables of built-in functions at its first compile in a process. Built here, from a fixed text,
// they are inherited by every compiler process instead of being built again in each.
void BuildTablesOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (Stage stage : {Stage::Vertex, Stage::Pixel})
            CompileInProcess("float4 main() : SV_Position { return 0; }", "builtins", "main", stage, "");
    });
}

}  // namespace

CompileDeadline StartCompileDeadline() {
    const std::chrono::milliseconds limit(gTimeLimitMs.load());
    return {std::chrono::steady_clock::now() + limit, limit};
}

SpirvResult CompileHlsl(const std::string& hlsl, const std::string& fileName, const std::string& entry, Stage stage,
                        const std::string& preamble, const CompileDeadline& deadline) {
    SpirvResult result;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline.at - std::chrono::steady_clock::now());
    IsolatedResult child;
    child.end = IsolatedResult::End::TimedOut;
    if (left.count() > 0) {
        BuildTablesOnce();
        child = RunIsolated([&] { return Encode(CompileInProcess(hlsl, fileName, entry, stage, preamble)); }, left,
                            kCompilerMemory);
    }
    if (child.end == IsolatedResult::End::Finished && Decode(child.output, &result)) return result;
    result = SpirvResult();
    result.timedOut = child.end == IsolatedResult::End::TimedOut;
    char text[160];
    if (result.timedOut) {
        std::snprintf(text, sizeof text, "did not finish the effect file within %g s, at entry point '",
                      deadline.limit.count() / 1000.0);
    } else {
        std::snprintf(text, sizeof text, "%s on entry point '", child.Describe(left).c_str());
    }
    result.messages.push_back({0, 0, true, "the HLSL compiler " + std::string(text) + entry + "'"});
    return result;
}

void SetCompileTimeLimit(std::chrono::milliseconds limit) { gTimeLimitMs = limit.count(); }

}  // namespace fx
