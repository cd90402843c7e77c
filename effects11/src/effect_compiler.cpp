#include "effect_compiler.h"

#include <map>
#include <set>

#include "effect_builder.h"
#include "fx_parser.h"
#include "hlsl_compiler.h"

namespace fx {
namespace {

class Messages {
public:
    explicit Messages(std::string file) : file_(std::move(file)) {}

    void Add(const Message& m) {
        std::string where = file_;
        if (m.line > 0) where += "(" + std::to_string(m.line) + "," + std::to_string(m.column > 0 ? m.column : 1) + ")";
        std::string line = where + ": " + (m.error ? "error" : "warning") + " X3000: " + m.text;
        while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
        if (!seen_.insert(line).second) return;
        text_ += line + "\n";
        errors_ = errors_ || m.error;
    }
    void Add(const std::vector<Message>& list) {
        for (const Message& m : list) Add(m);
    }
    bool HasErrors() const { return errors_; }
    const std::string& Text() const { return text_; }

private:
    std::string file_;
    std::set<std::string> seen_;
    std::string text_;
    bool errors_ = false;
};

// Compiles each entry point once, however many passes use it.
class StageCache {
public:
    StageCache(const FxSource& src, const std::string& file, const std::string& defines,
               const CompileDeadline& deadline, Messages* messages)
        : src_(src), file_(file), defines_(defines), deadline_(deadline), messages_(messages) {}

    const std::vector<uint32_t>* Get(const ShaderRef& ref, Stage stage) {
        auto key = std::make_pair(ref.entry, stage);
        auto found = cache_.find(key);
        if (found == cache_.end()) {
            SpirvResult r = CompileHlsl(src_.hlsl, file_, ref.entry, stage, defines_, deadline_);
            // The file's deadline is reported once, not again by every entry point left.
            if (!(r.timedOut && expired_)) messages_->Add(r.messages);
            expired_ = expired_ || r.timedOut;
            if (!r.ok && r.messages.empty())
                messages_->Add({ref.line, ref.column, true, "entry point '" + ref.entry + "' could not be compiled"});
            found = cache_.emplace(key, r).first;
        }
        return found->second.ok ? &found->second.spirv : nullptr;
    }

private:
    const FxSource& src_;
    const std::string& file_;
    const std::string& defines_;
    const CompileDeadline& deadline_;
    Messages* messages_;
    bool expired_ = false;
    std::map<std::pair<std::string, Stage>, SpirvResult> cache_;
};

bool BuildPass(const PassDecl& decl, StageCache& stages, EffectBuilder& builder, Messages& messages, Pass* out) {
    const std::vector<uint32_t>* vs = stages.Get(decl.vertex, Stage::Vertex);
    const std::vector<uint32_t>* ps = nullptr;
    if (!decl.pixel.entry.empty()) {
        ps = stages.Get(decl.pixel, Stage::Pixel);
        if (!ps) return false;
    }
    if (!vs) return false;
    std::string error;
    if (builder.AddPass(decl.name, *vs, ps, out, &error)) return true;
    messages.Add({decl.line, decl.column, true, "pass '" + decl.name + "': " + error});
    return false;
}

// An effect without techniques compiles no entry point; a stand-in one still reports the file's errors.
void CheckSyntax(const FxSource& src, const std::string& fileName, const std::string& defines,
                 const CompileDeadline& deadline, Messages* messages) {
    const std::string entry = "fx_syntax_check_entry";
    std::string text = src.hlsl + "\nfloat4 " + entry + "() : SV_Position { return float4(0, 0, 0, 1); }\n";
    messages->Add(CompileHlsl(text, fileName, entry, Stage::Vertex, defines, deadline).messages);
}

}  // namespace

CompileOutput CompileEffect(const std::string& text, const std::string& fileName, const std::string& defines) {
    CompileOutput out;
    Messages messages(fileName);
    FxSource src = ParseFx(text);
    messages.Add(src.messages);
    const CompileDeadline deadline = StartCompileDeadline();
    StageCache stages(src, fileName, defines, deadline, &messages);
    EffectBuilder builder;
    if (src.techniques.empty()) CheckSyntax(src, fileName, defines, deadline, &messages);
    bool ok = !messages.HasErrors();
    for (const TechniqueDecl& t : src.techniques) {
        Technique tech{t.name, {}};
        for (const PassDecl& p : t.passes) {
            Pass pass;
            ok = BuildPass(p, stages, builder, messages, &pass) && ok;
            tech.passes.push_back(std::move(pass));
        }
        builder.effect.techniques.push_back(std::move(tech));
    }
    out.messages = messages.Text();
    if (!ok || messages.HasErrors()) return out;
    builder.SetSamplerStates(src.samplers);
    out.effect = std::move(builder.effect);
    out.bytes = Serialise(out.effect);
    out.ok = true;
    return out;
}

}  // namespace fx
