// Compiles an effect file and prints the compiler's messages; with --reflect, also its reflection as JSON.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "command_line.h"
#include "effect_compiler.h"
#include "platform_files.h"

namespace {

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void PrintPass(const fx::Pass& p) {
    std::cout << "{\"name\":" << Quote(p.name) << ",\"inputs\":[";
    for (size_t i = 0; i < p.inputs.size(); ++i) {
        const fx::InputElement& e = p.inputs[i];
        std::cout << (i ? "," : "") << "{\"semantic\":" << Quote(e.semantic) << ",\"index\":" << e.index
                  << ",\"format\":" << Quote(fx::FormatName(e.components, e.componentType)) << "}";
    }
    std::cout << "]}";
}

void PrintVariable(const fx::CompiledEffect& e, const fx::Variable& v) {
    std::cout << "{\"name\":" << Quote(v.name) << ",\"type\":" << Quote(v.typeName) << ",\"cbuffer\":";
    if (v.cbuffer < 0) {
        std::cout << "null,\"offset\":null,\"size\":null}";
        return;
    }
    std::cout << Quote(e.cbuffers[v.cbuffer].name) << ",\"offset\":" << v.offset << ",\"size\":" << v.size << "}";
}

void PrintReflection(const fx::CompiledEffect& e) {
    std::cout << "{\"techniques\":[";
    for (size_t t = 0; t < e.techniques.size(); ++t) {
        std::cout << (t ? "," : "") << "{\"name\":" << Quote(e.techniques[t].name) << ",\"passes\":[";
        for (size_t p = 0; p < e.techniques[t].passes.size(); ++p) {
            if (p) std::cout << ",";
            PrintPass(e.techniques[t].passes[p]);
        }
        std::cout << "]}";
    }
    std::cout << "],\"variables\":[";
    for (size_t v = 0; v < e.variables.size(); ++v) {
        if (v) std::cout << ",";
        PrintVariable(e, e.variables[v]);
    }
    std::cout << "]}\n";
}

// Compiles the effect file the command line names; returns the exit code.
int Compile(const cli::Arguments& args) {
    const std::string& file = args.operands[0];
    std::string reason;
    std::FILE* in = cli::OpenInput(file, &reason);
    if (!in) {
        std::cerr << file << ": error: " << reason << "\n";
        return 1;
    }
    std::string text;
    errno = 0;
    const platform::ReadEnd read = platform::ReadInput(in, &text);
    const int readError = errno;
    std::fclose(in);
    if (read != platform::ReadEnd::kRead) {
        std::cerr << file << ": error: "
                  << (read == platform::ReadEnd::kTooLarge ? platform::InputTooLargeReason()
                      : readError                          ? std::strerror(readError)
                                                           : "cannot read the file")
                  << "\n";
        return 1;
    }
    fx::CompileOutput out = fx::CompileEffect(text, file);
    std::cerr << out.messages;
    if (!out.ok) return 1;
    if (args.Has("reflect")) PrintReflection(out.effect);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Syntax syntax = {
        "fxcompile",
        "FILE",
        1,
        1,
        "Compiles an effect file as the game does and prints the compiler's messages on stderr;\n"
        "exits with 1 when it does not compile.\n",
        {{"reflect", "", "also print its techniques, inputs and variables as JSON"}}};
    return cli::Run(syntax, argc, argv, Compile);
}
