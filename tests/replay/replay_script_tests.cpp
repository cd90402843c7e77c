// Reading replay scripts.
#include <replay_script.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

bool Parse(const std::string& text, std::vector<replay::Step>* steps, replay::ScriptError* error) {
    std::istringstream in(text);
    return replay::ParseScript(in, steps, error);
}

TEST(ReplayScript, ReadsCountsKeysStepsAndComments) {
    std::vector<replay::Step> steps;
    replay::ScriptError error;
    ASSERT_TRUE(Parse("# start\n\n3\n2 LEFT SPACE  # walk and shoot\r\ndt 0.25\n1 UP LCTRL RCTRL RIGHT\n", &steps,
                      &error));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].frames, 3u);
    EXPECT_FLOAT_EQ(steps[0].dt, 1.0f / 60.0f);
    EXPECT_TRUE(steps[0].keys.empty());
    EXPECT_EQ(steps[1].keys, std::vector<int>({VK_LEFT, VK_SPACE}));
    EXPECT_FLOAT_EQ(steps[2].dt, 0.25f);
    EXPECT_EQ(steps[2].keys, std::vector<int>({VK_UP, VK_LCONTROL, VK_RCONTROL, VK_RIGHT}));
}

TEST(ReplayScript, NamesTheFirstLineItCannotRead) {
    const char* bad[] = {"1\n2 JUMP\n", "1\nx LEFT\n", "1\n-4\n", "1\ndt\n", "1\ndt 0.1 0.2\n", "1\ndt -1\n",
                         "1\ndt fast\n", "1\n2.5 LEFT\n", "1\nleft\n"};
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

}  // namespace
