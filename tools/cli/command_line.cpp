#include "command_line.h"

#include <algorithm>
#include <cstdio>

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

const Option* Find(const Spec& spec, const std::string& name) {
    for (const Option& option : spec.options) {
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

Arguments Parse(const Spec& spec, int argc, const char* const* argv) {
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
        const Option* option = Find(spec, name);
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
    if (args.operands.size() < spec.minOperands) return Refuse(args, "missing " + spec.operands);
    if (args.operands.size() > spec.maxOperands) {
        return Refuse(args, "extra operand '" + args.operands[spec.maxOperands] + "'");
    }
    return args;
}

std::string Usage(const Spec& spec) {
    std::string usage = "usage: " + spec.program;
    for (const Option& option : spec.options) usage += " [" + Label(option) + "]";
    if (!spec.operands.empty()) usage += " " + spec.operands;
    return usage + "\n";
}

std::string Help(const Spec& spec) {
    std::vector<Option> options = spec.options;
    options.push_back(kHelp);
    options.push_back(kVersion);
    std::size_t width = 0;
    for (const Option& option : options) width = std::max(width, Label(option).size());

    std::string help = Usage(spec) + spec.about + "\noptions:\n";
    for (const Option& option : options) {
        const std::string label = Label(option);
        help += "  " + label + std::string(width - label.size() + 2, ' ') + option.help + "\n";
    }
    return help;
}

std::string Version(const Spec& spec) {
    return spec.program + " (" CORVALO_PROJECT_NAME ") " CORVALO_VERSION "\n";
}

int UsageError(const Spec& spec, const std::string& reason) {
    std::fprintf(stderr, "%s: %s\n%sTry '%s --help' for more information.\n", spec.program.c_str(), reason.c_str(),
                 Usage(spec).c_str(), spec.program.c_str());
    return 2;
}

std::optional<int> ParseCommandLine(const Spec& spec, int argc, const char* const* argv, Arguments* args) {
    *args = Parse(spec, argc, argv);
    switch (args->outcome) {
        case Arguments::Outcome::kRun:
            return std::nullopt;
        case Arguments::Outcome::kHelp:
            std::fputs(Help(spec).c_str(), stdout);
            return 0;
        case Arguments::Outcome::kVersion:
            std::fputs(Version(spec).c_str(), stdout);
            return 0;
        case Arguments::Outcome::kUsageError:
            break;
    }
    return UsageError(spec, args->error);
}

}  // namespace cli
