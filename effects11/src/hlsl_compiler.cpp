#include "hlsl_compiler.h"

#include <cstdlib>
#include <mutex>
#include <sstream>

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

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

}  // namespace

SpirvResult CompileHlsl(const std::string& hlsl, const std::string& fileName, const std::string& entry, Stage stage,
                        const std::string& preamble) {
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

}  // namespace fx
