// The command-line parser the tools share.
#include <command_line.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Outcome = cli::Arguments::Outcome;

// corvalo-replay's command line: one operand, an option with a value and one without.
cli::Syntax ReplaySyntax() {
    return {"corvalo-replay",
            "SCRIPT",
            1,
            1,
            "Plays one game.\n",
            {{"data", "DIR", "read the data from DIR"}, {"render", "", "draw for real"}}};
}

cli::Arguments Parse(const cli::Syntax& syntax, std::initializer_list<const char*> words) {
    std::vector<const char*> argv = {syntax.program.c_str()};
    argv.insert(argv.end(), words);
    return cli::Parse(syntax, static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, TakesOptionsBeforeAndAfterTheOperands) {
    for (const cli::Arguments& args : {Parse(ReplaySyntax(), {"--render", "--data", "dir", "win.replay"}),
                                       Parse(ReplaySyntax(), {"win.replay", "--data", "dir", "--render"}),
                                       Parse(ReplaySyntax(), {"--data", "dir", "win.replay", "--render"})}) {
        ASSERT_EQ(args.outcome, Outcome::kRun) << args.error;
        EXPECT_EQ(args.operands, std::vector<std::string>({"win.replay"}));
        EXPECT_TRUE(args.Has("render"));
        EXPECT_TRUE(args.Has("data"));
        EXPECT_EQ(args.Value("data"), "dir");
    }
}

TEST(CommandLine, LeavesOutTheOptionsNotGiven) {
    const cli::Arguments args = Parse(ReplaySyntax(), {"win.replay"});
    ASSERT_EQ(args.outcome, Outcome::kRun) << args.error;
    EXPECT_FALSE(args.Has("render"));
    EXPECT_FALSE(args.Has("data"));
    EXPECT_EQ(args.Value("data"), "");
}

TEST(CommandLine, TakesAValueAfterAnEqualsSign) {
    const cli::Arguments args = Parse(ReplaySyntax(), {"--data=some=dir", "win.replay"});
    ASSERT_EQ(args.outcome, Outcome::kRun) << args.error;
    EXPECT_EQ(args.Value("data"), "some=dir");
    EXPECT_EQ(Parse(ReplaySyntax(), {"--data=", "win.replay"}).Value("data"), "");
}

TEST(CommandLine, TakesTheNextWordAsTheValueEvenWithADash) {
    const cli::Arguments args = Parse(ReplaySyntax(), {"--data", "--render", "win.replay"});
    ASSERT_EQ(args.outcome, Outcome::kRun) << args.error;
    EXPECT_EQ(args.Value("data"), "--render");
    EXPECT_FALSE(args.Has("render"));
}

TEST(CommandLine, KeepsTheLastValueOfARepeatedOption) {
    EXPECT_EQ(Parse(ReplaySyntax(), {"--data", "a", "win.replay", "--data=b"}).Value("data"), "b");
}

TEST(CommandLine, TakesEverythingAfterTwoDashesAsOperands) {
    cli::Syntax syntax = ReplaySyntax();
    syntax.maxOperands = 3;
    const cli::Arguments args = Parse(syntax, {"--render", "--", "--data", "-h", "--"});
    ASSERT_EQ(args.outcome, Outcome::kRun) << args.error;
    EXPECT_EQ(args.operands, std::vector<std::string>({"--data", "-h", "--"}));
    EXPECT_FALSE(args.Has("data"));
}

TEST(CommandLine, TakesALoneDashAsAnOperand) {
    const cli::Arguments args = Parse(ReplaySyntax(), {"-", "--render"});
    ASSERT_EQ(args.outcome, Outcome::kRun) << args.error;
    EXPECT_EQ(args.operands, std::vector<std::string>({"-"}));
}

TEST(CommandLine, RefusesAnOptionWithoutItsValue) {
    const cli::Arguments args = Parse(ReplaySyntax(), {"win.replay", "--data"});
    EXPECT_EQ(args.outcome, Outcome::kUsageError);
    EXPECT_EQ(args.error, "option '--data' requires an argument");
}

TEST(CommandLine, RefusesAValueForAnOptionThatTakesNone) {
    const cli::Arguments args = Parse(ReplaySyntax(), {"win.replay", "--render=yes"});
    EXPECT_EQ(args.outcome, Outcome::kUsageError);
    EXPECT_EQ(args.error, "option '--render' doesn't allow an argument");
}

TEST(CommandLine, RefusesAnUnknownOption) {
    for (const char* option : {"--no-such-option", "--rend", "--data-dir=x", "-x", "-render", "---render"}) {
        const cli::Arguments args = Parse(ReplaySyntax(), {"win.replay", option});
        EXPECT_EQ(args.outcome, Outcome::kUsageError) << option;
        EXPECT_EQ(args.error, "unrecognized option '" + std::string(option) + "'");
    }
}

TEST(CommandLine, CountsTheOperands) {
    const cli::Arguments none = Parse(ReplaySyntax(), {"--render"});
    EXPECT_EQ(none.outcome, Outcome::kUsageError);
    EXPECT_EQ(none.error, "missing SCRIPT");
    const cli::Arguments two = Parse(ReplaySyntax(), {"a.replay", "b.replay"});
    EXPECT_EQ(two.outcome, Outcome::kUsageError);
    EXPECT_EQ(two.error, "extra operand 'b.replay'");

    const cli::Syntax optional = {"make-art", "[ROOT]", 0, 1, "", {}};
    EXPECT_EQ(Parse(optional, {}).outcome, Outcome::kRun);
    EXPECT_EQ(Parse(optional, {"out"}).operands, std::vector<std::string>({"out"}));
    EXPECT_EQ(Parse(optional, {"out", "more"}).outcome, Outcome::kUsageError);
}

TEST(CommandLine, AnswersHelpAndVersionWhereverTheyStand) {
    EXPECT_EQ(Parse(ReplaySyntax(), {"--help"}).outcome, Outcome::kHelp);
    EXPECT_EQ(Parse(ReplaySyntax(), {"-h"}).outcome, Outcome::kHelp);
    EXPECT_EQ(Parse(ReplaySyntax(), {"win.replay", "--render", "--help", "extra", "--unknown"}).outcome,
              Outcome::kHelp);
    EXPECT_EQ(Parse(ReplaySyntax(), {"--version"}).outcome, Outcome::kVersion);
    EXPECT_EQ(Parse(ReplaySyntax(), {"a", "b", "--version"}).outcome, Outcome::kVersion);
    // An error met first still stands, and a value of --help or --version is refused.
    EXPECT_EQ(Parse(ReplaySyntax(), {"--unknown", "--help"}).outcome, Outcome::kUsageError);
    EXPECT_EQ(Parse(ReplaySyntax(), {"--help=all"}).outcome, Outcome::kUsageError);
    EXPECT_EQ(Parse(ReplaySyntax(), {"--data", "--help", "win.replay"}).outcome, Outcome::kRun);
}

TEST(CommandLine, WritesTheUsageFromTheOptions) {
    EXPECT_EQ(cli::Usage(ReplaySyntax()), "usage: corvalo-replay [--data DIR] [--render] SCRIPT\n");
    EXPECT_EQ(cli::Usage({"make-art", "[ROOT]", 0, 1, "", {}}), "usage: make-art [ROOT]\n");
}

TEST(CommandLine, WritesTheHelp) {
    EXPECT_EQ(cli::Help(ReplaySyntax()),
              "usage: corvalo-replay [--data DIR] [--render] SCRIPT\n"
              "Plays one game.\n"
              "\n"
              "options:\n"
              "  --data DIR  read the data from DIR\n"
              "  --render    draw for real\n"
              "  -h, --help  print this help and exit\n"
              "  --version   print the version and exit\n");
}

TEST(CommandLine, NamesTheProjectAndItsVersion) {
    EXPECT_EQ(cli::Version(ReplaySyntax()), "corvalo-replay (Corvalo) " CORVALO_EXPECTED_VERSION "\n");
    const std::string version = CORVALO_EXPECTED_VERSION;  // MAJOR.MINOR.PATCH, from project() in CMakeLists.txt
    EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << version;
    EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << version;
}

}  // namespace
