#include "fx_parser.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace fx {
namespace {

enum class Tok { Ident, Number, Punct, String };

struct Token {
    Tok kind;
    std::string text;
    size_t begin, end;  // byte range in the source
    int line, column;
};

class Lexer {
public:
    explicit Lexer(const std::string& s) : s_(s) {}

    std::vector<Token> Run() {
        std::vector<Token> out;
        while (SkipBlanks()) out.push_back(Next());
        return out;
    }

private:
    char At(size_t i) const { return i < s_.size() ? s_[i] : '\0'; }

    void Advance() {
        if (s_[pos_] == '\n') {
            ++line_;
            lineStart_ = pos_ + 1;
        }
        ++pos_;
    }

    // Skips white space, comments and preprocessor lines; false at the end of the text.
    bool SkipBlanks() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (std::isspace(static_cast<unsigned char>(c))) {
                Advance();
            } else if (c == '/' && At(pos_ + 1) == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') Advance();
            } else if (c == '/' && At(pos_ + 1) == '*') {
                Advance();
                Advance();
                while (pos_ < s_.size() && !(s_[pos_] == '*' && At(pos_ + 1) == '/')) Advance();
                if (pos_ < s_.size()) {
                    Advance();
                    Advance();
                }
            } else if (c == '#' && AtLineStart()) {
                SkipDirective();
            } else {
                return true;
            }
        }
        return false;
    }

    bool AtLineStart() const {
        for (size_t i = lineStart_; i < pos_; ++i) {
            if (!std::isspace(static_cast<unsigned char>(s_[i]))) return false;
        }
        return true;
    }

    void SkipDirective() {
        while (pos_ < s_.size() && s_[pos_] != '\n') {
            if (s_[pos_] == '\\' && At(pos_ + 1) == '\n') Advance();
            Advance();
        }
    }

    Token Next() {
        Token t{Tok::Punct, "", pos_, pos_, line_, static_cast<int>(pos_ - lineStart_) + 1};
        char c = s_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.kind = Tok::Ident;
            while (std::isalnum(static_cast<unsigned char>(At(pos_))) || At(pos_) == '_') Advance();
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && std::isdigit(static_cast<unsigned char>(At(pos_ + 1))))) {
            t.kind = Tok::Number;
            while (std::isalnum(static_cast<unsigned char>(At(pos_))) || At(pos_) == '.' ||
                   ((At(pos_) == '-' || At(pos_) == '+') && (At(pos_ - 1) == 'e' || At(pos_ - 1) == 'E')))
                Advance();
        } else if (c == '"') {
            t.kind = Tok::String;
            Advance();
            while (pos_ < s_.size() && s_[pos_] != '"' && s_[pos_] != '\n') Advance();
            if (At(pos_) == '"') Advance();
        } else {
            Advance();
        }
        t.end = pos_;
        t.text = s_.substr(t.begin, t.end - t.begin);
        return t;
    }

    const std::string& s_;
    size_t pos_ = 0, lineStart_ = 0;
    int line_ = 1;
};

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool Lookup(const std::vector<std::pair<const char*, uint32_t>>& table, const std::string& name, uint32_t* value) {
    std::string key = Upper(name);
    for (const auto& [n, v] : table) {
        if (key == n) {
            *value = v;
            return true;
        }
    }
    return false;
}

const std::vector<std::pair<const char*, uint32_t>> kFilters = {
    {"MIN_MAG_MIP_POINT", 0x00},
    {"MIN_MAG_POINT_MIP_LINEAR", 0x01},
    {"MIN_POINT_MAG_LINEAR_MIP_POINT", 0x04},
    {"MIN_POINT_MAG_MIP_LINEAR", 0x05},
    {"MIN_LINEAR_MAG_MIP_POINT", 0x10},
    {"MIN_LINEAR_MAG_POINT_MIP_LINEAR", 0x11},
    {"MIN_MAG_LINEAR_MIP_POINT", 0x14},
    {"MIN_MAG_MIP_LINEAR", 0x15},
    {"ANISOTROPIC", 0x55},
    {"COMPARISON_MIN_MAG_MIP_POINT", 0x80},
    {"COMPARISON_MIN_MAG_POINT_MIP_LINEAR", 0x81},
    {"COMPARISON_MIN_POINT_MAG_LINEAR_MIP_POINT", 0x84},
    {"COMPARISON_MIN_POINT_MAG_MIP_LINEAR", 0x85},
    {"COMPARISON_MIN_LINEAR_MAG_MIP_POINT", 0x90},
    {"COMPARISON_MIN_LINEAR_MAG_POINT_MIP_LINEAR", 0x91},
    {"COMPARISON_MIN_MAG_LINEAR_MIP_POINT", 0x94},
    {"COMPARISON_MIN_MAG_MIP_LINEAR", 0x95},
    {"COMPARISON_ANISOTROPIC", 0xD5},
};
const std::vector<std::pair<const char*, uint32_t>> kAddressModes = {
    {"WRAP", 1}, {"MIRROR", 2}, {"CLAMP", 3}, {"BORDER", 4}, {"MIRROR_ONCE", 5},
};
const std::vector<std::pair<const char*, uint32_t>> kComparisons = {
    {"NEVER", 1},   {"LESS", 2},      {"EQUAL", 3},         {"LESS_EQUAL", 4},
    {"GREATER", 5}, {"NOT_EQUAL", 6}, {"GREATER_EQUAL", 7}, {"ALWAYS", 8},
};

class Parser {
public:
    Parser(const std::string& text, FxSource* out) : toks_(Lexer(text).Run()), out_(out) {}

    void Run() {
        int depth = 0;
        for (i_ = 0; i_ < toks_.size();) {
            const Token& t = toks_[i_];
            if (depth == 0 && t.kind == Tok::Ident && TopLevelBlock(t.text)) continue;
            if (t.text == "{") ++depth;
            if (t.text == "}" && depth > 0) --depth;
            ++i_;
        }
    }

private:
    // Handles a technique or state block starting at i_; false (i_ unchanged) when t starts neither.
    bool TopLevelBlock(const std::string& word) {
        if (word == "technique11" || word == "technique10" || word == "technique") return Technique();
        if (word == "SamplerState" || word == "sampler" || word == "SamplerComparisonState") return Sampler();
        if (word == "BlendState" || word == "DepthStencilState" || word == "RasterizerState") return StateObject();
        return false;
    }

    const Token* Peek(size_t k = 0) const { return i_ + k < toks_.size() ? &toks_[i_ + k] : nullptr; }
    bool PeekIs(const char* text, size_t k = 0) const { return Peek(k) && Peek(k)->text == text; }

    void Error(const Token& at, const std::string& text) { out_->messages.push_back({at.line, at.column, true, text}); }
    void ErrorAtEnd(const std::string& text) {
        const Token& last = toks_.back();
        out_->messages.push_back({last.line, last.column, true, text});
    }

    // A block left open runs to the end of the text: reports it, hides it from HLSL from token first on, and ends
    // the parse. True, as a handled block.
    bool Unclosed(const std::string& what, size_t first) {
        ErrorAtEnd(what + ": missing '}'");
        Blank(first, toks_.size() - 1);
        i_ = toks_.size();
        return true;
    }

    // Index of the '}' matching the '{' at open, or toks_.size() when unbalanced.
    size_t MatchingBrace(size_t open) const {
        int depth = 0;
        for (size_t k = open; k < toks_.size(); ++k) {
            if (toks_[k].text == "{") ++depth;
            if (toks_[k].text == "}" && --depth == 0) return k;
        }
        return toks_.size();
    }

    void Blank(size_t firstTok, size_t lastTok) {
        size_t begin = toks_[firstTok].begin, end = toks_[lastTok].end;
        for (size_t k = begin; k < end; ++k) {
            if (out_->hlsl[k] != '\n') out_->hlsl[k] = ' ';
        }
    }

    // Skips a "< ... >" annotation block; annotations are accepted and not kept.
    void SkipAnnotations() {
        if (!PeekIs("<")) return;
        while (Peek() && !PeekIs(">")) ++i_;
        if (Peek()) ++i_;
    }

    // Blanks tokens first..close and an optional ';' after it, then continues after them.
    void FinishBlock(size_t first, size_t close) {
        size_t last = close;
        if (close + 1 < toks_.size() && toks_[close + 1].text == ";") ++last;
        Blank(first, last);
        i_ = last + 1;
    }

    bool Technique() {
        size_t first = i_++;
        TechniqueDecl tech;
        if (Peek() && Peek()->kind == Tok::Ident) tech.name = toks_[i_++].text;
        SkipAnnotations();
        if (!PeekIs("{")) {
            Error(Peek() ? *Peek() : toks_[first], "technique: '{' expected");
            Blank(first, std::min(i_, toks_.size() - 1));
            return true;
        }
        size_t close = MatchingBrace(i_);
        if (close == toks_.size()) return Unclosed("technique '" + tech.name + "'", first);
        ++i_;
        while (i_ < close && Pass(close, &tech)) {
        }
        if (tech.passes.empty() && i_ >= close) Error(toks_[first], "technique '" + tech.name + "' has no pass");
        out_->techniques.push_back(std::move(tech));
        FinishBlock(first, close);
        return true;
    }

    // Parses one pass before techEnd; false after an error or at the end of the technique.
    bool Pass(size_t techEnd, TechniqueDecl* tech) {
        const Token& kw = toks_[i_];
        if (kw.text != "pass") {
            Error(kw, "'pass' expected in technique '" + tech->name + "', found '" + kw.text + "'");
            return false;
        }
        ++i_;
        PassDecl pass{"", kw.line, kw.column, {}, {}};
        if (Peek() && Peek()->kind == Tok::Ident) pass.name = toks_[i_++].text;
        SkipAnnotations();
        if (!PeekIs("{")) {
            Error(Peek() ? *Peek() : kw, "pass: '{' expected");
            return false;
        }
        size_t close = std::min(MatchingBrace(i_), techEnd);
        ++i_;
        while (i_ < close) {
            if (!Statement(&pass)) return false;
        }
        if (pass.vertex.entry.empty()) {
            Error(kw, "pass '" + pass.name + "' sets no vertex shader");
            return false;
        }
        tech->passes.push_back(std::move(pass));
        i_ = close + 1;
        return true;
    }

    bool Expect(const char* text) {
        if (PeekIs(text)) {
            ++i_;
            return true;
        }
        const Token& at = Peek() ? *Peek() : toks_.back();
        Error(at, std::string("'") + text + "' expected, found '" + (Peek() ? at.text : "end of file") + "'");
        return false;
    }

    bool Statement(PassDecl* pass) {
        const Token& call = toks_[i_];
        std::string stage = call.text;
        ++i_;
        if (stage == "SetVertexShader" || stage == "SetPixelShader") {
            ShaderRef* ref = stage == "SetVertexShader" ? &pass->vertex : &pass->pixel;
            return ShaderCall(ref, stage == "SetVertexShader" ? "vs_" : "ps_");
        }
        if (stage == "SetGeometryShader" || stage == "SetHullShader" || stage == "SetDomainShader" ||
            stage == "SetComputeShader") {
            ShaderRef unused;
            if (!ShaderCall(&unused, "")) return false;
            if (unused.entry.empty()) return true;
            Error(call, stage + ": only NULL is supported");
            return false;
        }
        if (stage == "SetBlendState" || stage == "SetDepthStencilState" || stage == "SetRasterizerState") {
            Error(call, stage + " is not supported: set the state on the device context");
            return false;
        }
        Error(call, "unknown pass statement '" + stage + "'");
        return false;
    }

    // Parses "( NULL ) ;" or "( CompileShader ( profile , Entry ( ) ) ) ;".
    bool ShaderCall(ShaderRef* ref, const std::string& profilePrefix) {
        if (!Expect("(")) return false;
        if (PeekIs("NULL") || PeekIs("0")) {
            ++i_;
            return Expect(")") && Expect(";");
        }
        const Token& compile = Peek() ? *Peek() : toks_.back();
        if (!Expect("CompileShader") || !Expect("(")) return false;
        if (!Peek() || Peek()->kind != Tok::Ident) return Expect("shader profile");
        const Token& profile = toks_[i_++];
        if (!Expect(",")) return false;
        if (!Peek() || Peek()->kind != Tok::Ident) return Expect("entry point");
        const Token& entry = toks_[i_++];
        if (!Expect("(")) return false;
        if (!PeekIs(")")) {
            Error(*Peek(), "entry point arguments in CompileShader are not supported");
            return false;
        }
        ++i_;
        if (!Expect(")") || !Expect(")") || !Expect(";")) return false;
        if (profilePrefix.empty() || profile.text.compare(0, profilePrefix.size(), profilePrefix) != 0) {
            Error(profile, "unsupported shader profile '" + profile.text + "' here");
            return false;
        }
        *ref = {profile.text, entry.text, compile.line, compile.column};
        return true;
    }

    // "SamplerState NAME [: register(...)] { Key = Value; ... };" keeps "SamplerState NAME ... ;" for HLSL.
    bool Sampler() {
        size_t first = i_;
        if (!Peek(1) || Peek(1)->kind != Tok::Ident) return false;
        size_t k = i_ + 2;
        while (k < toks_.size() && toks_[k].text != "{" && toks_[k].text != ";") ++k;
        if (k == toks_.size() || toks_[k].text == ";") return false;
        SamplerState state;
        state.name = toks_[first + 1].text;
        size_t close = MatchingBrace(k);
        if (close == toks_.size()) return Unclosed("sampler state '" + state.name + "'", k);
        i_ = k + 1;
        while (i_ < close && SamplerField(&state)) {
        }
        out_->samplers.push_back(state);
        Blank(k, close);
        i_ = close + 1;
        return true;
    }

    bool SamplerField(SamplerState* s) {
        const Token& key = toks_[i_++];
        if (!Expect("=")) return false;
        std::string k = Upper(key.text);
        bool ok = true;
        if (k == "FILTER") ok = Enum(kFilters, "filter", &s->filter);
        else if (k == "ADDRESSU") ok = Enum(kAddressModes, "address mode", &s->address[0]);
        else if (k == "ADDRESSV") ok = Enum(kAddressModes, "address mode", &s->address[1]);
        else if (k == "ADDRESSW") ok = Enum(kAddressModes, "address mode", &s->address[2]);
        else if (k == "COMPARISONFUNC") ok = Enum(kComparisons, "comparison", &s->comparison);
        else if (k == "MAXANISOTROPY") ok = Anisotropy(&s->maxAnisotropy);
        else if (k == "MIPLODBIAS") ok = Floats(1, &s->mipLodBias);
        else if (k == "MINLOD") ok = Floats(1, &s->minLod);
        else if (k == "MAXLOD") ok = Floats(1, &s->maxLod);
        else if (k == "BORDERCOLOR") ok = Floats(4, s->border);
        else {
            Error(key, "unknown sampler state '" + key.text + "'");
            return false;
        }
        return ok && Expect(";");
    }

    bool Enum(const std::vector<std::pair<const char*, uint32_t>>& table, const char* what, uint32_t* value) {
        const Token* t = Peek();
        if (!t || t->kind != Tok::Ident || !Lookup(table, t->text, value)) {
            Error(t ? *t : toks_.back(), std::string("unknown ") + what + " '" + (t ? t->text : "") + "'");
            return false;
        }
        ++i_;
        return true;
    }

    // Reads n numbers, bare or as "floatN(a, b, ...)", each optionally negative.
    bool NumberList(int n, float* out) {
        bool wrapped = Peek() && Peek()->kind == Tok::Ident && PeekIs("(", 1);
        if (wrapped) i_ += 2;
        for (int j = 0; j < n; ++j) {
            if (j > 0 && !Expect(",")) return false;
            bool negative = PeekIs("-");
            if (negative) ++i_;
            const Token* t = Peek();
            if (!t || t->kind != Tok::Number) {
                Error(t ? *t : toks_.back(), "number expected");
                return false;
            }
            double v = std::strtod(t->text.c_str(), nullptr);
            out[j] = static_cast<float>(negative ? -v : v);
            ++i_;
        }
        return !wrapped || Expect(")");
    }
    bool Floats(int n, float* out) { return NumberList(n, out); }

    bool Anisotropy(uint32_t* out) {
        const Token& at = Peek() ? *Peek() : toks_.back();
        float v = 0;
        if (!Floats(1, &v)) return false;
        if (!(v >= 1 && v <= 16)) {
            Error(at, "MaxAnisotropy must be from 1 to 16");
            return false;
        }
        *out = static_cast<uint32_t>(v);
        return true;
    }

    bool StateObject() {
        size_t first = i_;
        if (!PeekIs("{", 2)) return false;
        Error(toks_[first], toks_[first].text + " blocks are not supported: create the state on the device");
        size_t close = MatchingBrace(first + 2);
        if (close == toks_.size()) {
            Blank(first, toks_.size() - 1);
            i_ = toks_.size();
            return true;
        }
        FinishBlock(first, close);
        return true;
    }

    std::vector<Token> toks_;
    FxSource* out_;
    size_t i_ = 0;
};

}  // namespace

FxSource ParseFx(const std::string& text) {
    FxSource out;
    out.hlsl = text;
    Parser(text, &out).Run();
    return out;
}

}  // namespace fx
