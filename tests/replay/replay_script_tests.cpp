// Reading replay scripts and printing frames.
#include <json_number.h>
#include <replay_script.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

namespace {

bool Parse(const std::string& text, std::vector<replay::Step>* steps, replay::ScriptError* error) {
    std::istringstream in(text);
    return replay::ParseScript(in, steps, error);
}

TEST(ReplayScript, ReadsCountsKeysStepsAndComments) {
    std::vector<replay::Step> steps;
    replay::ScriptError error;
    ASSERT_TRUE(
        Parse("# start\n\n3\n2 LEFT SPACE  # walk and shoot\r\ndt 0.25\n1 UP LCTRL RCTRL RIGHT\n", &steps, &error));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].frames, 3u);
    EXPECT_FLOAT_EQ(steps[0].dt, 1.0f / 60.0f);
    EXPECT_TRUE(steps[0].keys.empty());
    EXPECT_EQ(steps[1].keys, std::vector<int>({VK_LEFT, VK_SPACE}));
    EXPECT_FLOAT_EQ(steps[2].dt, 0.25f);
    EXPECT_EQ(steps[2].keys, std::vector<int>({VK_UP, VK_LCONTROL, VK_RCONTROL, VK_RIGHT}));
}

TEST(ReplayScript, TakesStepsFromZeroToOneSecond) {
    std::vector<replay::Step> steps;
    replay::ScriptError error;
    ASSERT_TRUE(Parse("dt 0\n1\ndt 1\n1\ndt 1e-40\n1\ndt 0x1p-2\n1\n", &steps, &error)) << error.reason;
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].dt, 0.0f);
    EXPECT_EQ(steps[1].dt, 1.0f);
    EXPECT_GT(steps[2].dt, 0.0f);
    EXPECT_EQ(steps[3].dt, 0.25f);
}

TEST(ReplayScript, NamesTheFirstLineItCannotRead) {
    const char* bad[] = {
        "1\n2 JUMP\n",   "1\nx LEFT\n",   "1\n-4\n",     "1\ndt\n",      "1\ndt 0.1 0.2\n",   "1\ndt -1\n",
        "1\ndt fast\n",  "1\n2.5 LEFT\n", "1\nleft\n",   "1\ndt 5\n",    "1\ndt 1.0000001\n", "1\ndt 3e38\n",
        "1\ndt 1e999\n", "1\ndt nan\n",   "1\ndt inf\n", "1\ndt -inf\n", "1\ndt -1e-9\n",     "1\ndt 99999999999\n"};
    for (const char* text : bad) {
        std::vector<replay::Step> steps;
        replay::ScriptError error;
        EXPECT_FALSE(Parse(text, &steps, &error)) << text;
        EXPECT_EQ(error.line, 2) << text;
        EXPECT_FALSE(error.reason.empty());
    }
    std::vector<replay::Step> steps;
    replay::ScriptError error;
    EXPECT_FALSE(Parse("10 RIGHT\n20 RIGHT JUMP\n", &steps, &error));
    EXPECT_EQ(error.text, "20 RIGHT JUMP");
}

// A rejected line of any length is quoted once, by its first 80 bytes, never cutting a UTF-8 character in two.
TEST(ReplayScript, QuotesALongLineByItsStart) {
    const std::string keys = "1 " + std::string(20 << 20, 'K');
    const std::string accents = "1 x";
    std::string accented = accents;
    for (int i = 0; i < 100; ++i) accented += "\xc3\xa9";
    const std::string lines[] = {keys, "dt " + std::string(20 << 20, '9'), accented};
    const std::string quoted[] = {keys.substr(0, 80) + "...", "dt " + std::string(77, '9') + "...",
                                  accented.substr(0, 79) + "..."};
    for (size_t i = 0; i < 3; ++i) {
        std::vector<replay::Step> steps;
        replay::ScriptError error;
        EXPECT_FALSE(Parse("1\n" + lines[i] + "\n", &steps, &error));
        EXPECT_EQ(error.line, 2);
        EXPECT_EQ(error.text, quoted[i]);
        EXPECT_EQ(error.reason.find("KKK"), std::string::npos) << error.reason.substr(0, 80);
        EXPECT_EQ(error.reason.find("999"), std::string::npos) << error.reason.substr(0, 80);
    }
}

// A frame line stays valid JSON whatever the game's state; finite values print as they always have.
TEST(ReplayFrame, PrintsNumbersThatAreNotFiniteAsNull) {
    EXPECT_EQ(replay::JsonNumber(std::numeric_limits<float>::quiet_NaN()), "null");
    EXPECT_EQ(replay::JsonNumber(-std::numeric_limits<float>::quiet_NaN()), "null");
    EXPECT_EQ(replay::JsonNumber(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(replay::JsonNumber(-std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(replay::JsonNumber(0.1f), "0.100000001");
    EXPECT_EQ(replay::JsonNumber(384.0f), "384");
    EXPECT_EQ(replay::JsonNumber(-9.8f), "-9.80000019");
    EXPECT_EQ(replay::JsonNumber(3e38f), "3.00000001e+38");
}

}  // namespace
