#pragma once
// The command line every tool reads the same way, GNU style: options may come before or after the operands, "--"
// ends the options ("-" alone is an operand), an option's value is given as "--name VALUE" or "--name=VALUE", and
// --help (-h) and --version are answered for every tool.
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace cli {

struct Option {
    std::string name;      // without the dashes: "data" for --data
    std::string argument;  // the name of its value in the usage ("DIR"); empty for an option that takes none
    std::string help;      // its line in --help
};

struct Syntax {
    std::string program;   // "corvalo-replay"
    std::string operands;  // the operands as the usage line shows them: "SCRIPT", "[ROOT]"
    std::size_t minOperands = 0;
    std::size_t maxOperands = 0;
    std::string about;  // what --help prints under the usage line, whole lines
    std::vector<Option> options;
};

struct Arguments {
    enum class Outcome { kRun, kHelp, kVersion, kUsageError };
    Outcome outcome = Outcome::kRun;
    std::string error;  // for kUsageError: the reason, one line without the program's name
    std::vector<std::string> operands;
    std::map<std::string, std::string> options;  // the options given, by name; a repeated option keeps its last value

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::string Value(const std::string& name) const;  // empty when the option was not given
};

// Reads argv[1..argc-1]; stops at the first usage error, at --help or at --version.
Arguments Parse(const Syntax& syntax, int argc, const char* const* argv);

std::string Usage(const Syntax& syntax);    // "usage: corvalo-replay [--data DIR] [--render] SCRIPT\n"
std::string Help(const Syntax& syntax);     // the usage, the about text and one line per option
std::string Version(const Syntax& syntax);  // "corvalo-replay (Corvalo) 1.0.0\n"

// Prints "program: reason" and the usage on stderr, for a tool that finds a value it cannot use; returns 2.
int UsageError(const Syntax& syntax, const std::string& reason);

// The whole of a tool's main: opens closed standard streams on /dev/null, parses the command line, answers --help and
// --version on stdout (exit code 0) and a usage error on stderr (2), and otherwise returns what the tool returns, run
// with the arguments. Output that could not be written to stdout (a full disk, /dev/full) ends with
// "program: cannot write the output: reason" on stderr and exit code 1, whatever the tool returned.
int Run(const Syntax& syntax, int argc, const char* const* argv, const std::function<int(const Arguments&)>& tool);

// Opens an input file a command line names, for reading. On failure returns null and the reason in *reason, as
// strerror gives it ("No such file or directory", "Is a directory", "Permission denied").
std::FILE* OpenInput(const std::string& path, std::string* reason);

// A tool that writes the game's files under ROOT/folder, ROOT being its one optional operand (. when not given).
struct RootWriter {
    std::string program;
    std::string folder;
    std::string about;  // what --help prints under the usage line
};

// The whole of a RootWriter's main: makes the folder and calls write with it. Writing that throws ends with
// "program: reason" on stderr and exit code 1.
int WriteUnderRoot(const RootWriter& tool, int argc, const char* const* argv,
                   const std::function<void(const std::filesystem::path&)>& write);

// Replaces the file at path whole or not at all, where a full disk would leave it cut short: write makes the new file
// at the path it is given, a temporary in the same folder, which then takes path's place. When write throws or the
// file cannot be put in place, the temporary goes, path is left as it was, and the error thrown names path.
void ReplaceFile(const std::filesystem::path& path, const std::function<void(const std::filesystem::path&)>& write);

}  // namespace cli
