#include "command_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "standard_streams.h"

#if !defined(CORVALO_PROJECT_NAME) || !defined(CORVALO_VERSION)
#error "tools/CMakeLists.txt passes the project's name and version"
#endif

namespace cli {

namespace {

const Option kHelp = {"help", "", "print this help and exit"};
const Option kVersion = {"version", "", "print the version and exit"};

Arguments Refuse(Arguments args, const std::string& reason) {
    args.outcome = Arguments::Outcome::kUsageError;
    args.error = reason;
    return args;
}

const Option* Find(const Syntax& syntax, const std::string& name) {
    for (const Option& option : syntax.options) {
        if (option.name == name) return &option;
    }
    if (name == kHelp.name) return &kHelp;
    if (name == kVersion.name) return &kVersion;
    return nullptr;
}

std::string Label(const Option& option) {
    std::string label = (option.name == kHelp.name ? "-h, --" : "--") + option.name;
    return option.argument.empty() ? label : label + " " + option.argument;
}

}  // namespace

std::string Arguments::Value(const std::string& name) const {
    const auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

Arguments Parse(const Syntax& syntax, int argc, const char* const* argv) {
    Arguments args;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg[0] != '-') {
            args.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h") {
            args.outcome = Arguments::Outcome::kHelp;
            return args;
        }
        if (arg.compare(0, 2, "--") != 0) return Refuse(args, "unrecognized option '" + arg + "'");

        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const Option* option = Find(syntax, name);
        if (!option) return Refuse(args, "unrecognized option '" + arg + "'");
        std::string value;
        if (option->argument.empty()) {
            if (equals != std::string::npos) return Refuse(args, "option '--" + name + "' doesn't allow an argument");
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return Refuse(args, "option '--" + name + "' requires an argument");
        }

        if (option == &kHelp || option == &kVersion) {
            args.outcome = option == &kHelp ? Arguments::Outcome::kHelp : Arguments::Outcome::kVersion;
            return args;
        }
        args.options[name] = value;
    }
    if (args.operands.size() < syntax.minOperands) return Refuse(args, "missing " + syntax.operands);
    if (args.operands.size() > syntax.maxOperands) {
        return Refuse(args, "extra operand '" + args.operands[syntax.maxOperands] + "'");
    }
    return args;
}

std::string Usage(const Syntax& syntax) {
    std::string usage = "usage: " + syntax.program;
    for (const Option& option : syntax.options) usage += " [" + Label(option) + "]";
    if (!syntax.operands.empty()) usage += " " + syntax.operands;
    return usage + "\n";
}

std::string Help(const Syntax& syntax) {
    std::vector<Option> options = syntax.options;
    options.push_back(kHelp);
    options.push_back(kVersion);
    std::size_t width = 0;
    for (const Option& option : options) width = std::max(width, Label(option).size());

    std::string help = Usage(syntax) + syntax.about + "\noptions:\n";
    for (const Option& option : options) {
        const std::string label = Label(option);
        help += "  " + label + std::string(width - label.size() + 2, ' ') + option.help + "\n";
    }
    return help;
}

std::string Version(const Syntax& syntax) {
    return syntax.program + " (" CORVALO_PROJECT_NAME ") " CORVALO_VERSION "\n";
}

int UsageError(const Syntax& syntax, const std::string& reason) {
    std::fprintf(stderr, "%s: %s\n%sTry '%s --help' for more information.\n", syntax.program.c_str(), reason.c_str(),
                 Usage(syntax).c_str(), syntax.program.c_str());
    return 2;
}

namespace {

int Answer(const Syntax& syntax, const Arguments& args, const std::function<int(const Arguments&)>& tool) {
    switch (args.outcome) {
    case Arguments::Outcome::kRun:
        return tool(args);
    case Arguments::Outcome::kHelp:
        std::fputs(Help(syntax).c_str(), stdout);
        return 0;
    case Arguments::Outcome::kVersion:
        std::fputs(Version(syntax).c_str(), stdout);
        return 0;
    case Arguments::Outcome::kUsageError:
        break;
    }
    return UsageError(syntax, args.error);
}

}  // namespace

int Run(const Syntax& syntax, int argc, const char* const* argv, const std::function<int(const Arguments&)>& tool) {
    platform::OpenClosedStandardStreams();
    const int code = Answer(syntax, Parse(syntax, argc, argv), tool);
    // Output the reader never got is a failed run, not a success with nothing to show.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return code;
    const int error = errno;
    std::fprintf(stderr, "%s: cannot write the output: %s\n", syntax.program.c_str(),
                 flushed || error == 0 ? "write error" : std::strerror(error));
    return 1;
}

std::FILE* OpenInput(const std::string& path, std::string* reason) {
    // Opened without waiting, so that a FIFO with no writer reads as empty instead of holding the tool at its open;
    // the reads then wait as usual.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *reason = std::strerror(errno);
        return nullptr;
    }
    struct stat status;
    int error = fstat(fd, &status) != 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    if (error == 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) error = errno;
    std::FILE* file = error == 0 ? fdopen(fd, "rb") : nullptr;
    if (!file && error == 0) error = errno;
    if (!file) {
        close(fd);
        *reason = std::strerror(error);
    }
    return file;
}

int WriteUnderRoot(const RootWriter& tool, int argc, const char* const* argv,
                   const std::function<void(const std::filesystem::path&)>& write) {
    const Syntax syntax = {tool.program, "[ROOT]", 0, 1, tool.about, {}};
    return Run(syntax, argc, argv, [&](const Arguments& args) {
        const std::filesystem::path root = args.operands.empty() ? "." : args.operands[0];
        const std::filesystem::path dir = root / tool.folder;
        try {
            std::filesystem::create_directories(dir);
            write(dir);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", tool.program.c_str(), e.what());
            return 1;
        }
        return 0;
    });
}

void ReplaceFile(const std::filesystem::path& path, const std::function<void(const std::filesystem::path&)>& write) {
    // Hidden, and named by the process so that two runs into the same folder do not write over each other's.
    const std::filesystem::path temporary =
        path.parent_path() / ("." + path.filename().string() + "." + std::to_string(getpid()) + ".tmp");
    try {
        write(temporary);
        std::filesystem::rename(temporary, path);
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw std::runtime_error("cannot write " + path.string() + ": " + e.what());
    }
}

}  // namespace cli
