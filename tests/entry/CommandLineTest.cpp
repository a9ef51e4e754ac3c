#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppInfo.h"
#include "entry/CommandLine.h"

namespace {

enum class Answer { Starts, Usage, Version };

struct CommandLineCase {
    const char* name;
    std::vector<const char*> words;  // after the program's name
    Answer expected;
    const char* files = "";  // the files it names, joined by '|'
};

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AnswersOnlyHelpAndVersion) {
    std::vector<const char*> argv{"brelmo"};
    argv.insert(argv.end(), GetParam().words.begin(), GetParam().words.end());
    EXPECT_EQ(CommandLineFiles(static_cast<int>(argv.size()), argv.data()).join('|'),
              GetParam().files);
    const auto answer = CommandLineAnswer(static_cast<int>(argv.size()), argv.data());
    switch (GetParam().expected) {
        case Answer::Starts:
            EXPECT_FALSE(answer.has_value());
            break;
        case Answer::Usage:
            ASSERT_TRUE(answer.has_value());
            EXPECT_EQ(answer->rfind("Usage: brelmo", 0), 0u) << *answer;
            break;
        case Answer::Version:
            EXPECT_EQ(answer, "brelmo " + std::string(appinfo::kVersion) + "\n");
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Words, CommandLineTest,
    testing::Values(CommandLineCase{"none", {}, Answer::Starts},
                    CommandLineCase{"qt_options_and_files",
                                    {"-reverse", "a.wav", "-style", "x", "b c.avi"},
                                    Answer::Starts,
                                    "a.wav|b c.avi"},
                    CommandLineCase{"files_after_the_options_end",
                                    {"--", "--help", "-x.wav"},
                                    Answer::Starts,
                                    "--help|-x.wav"},
                    CommandLineCase{"single_dash_help", {"-help"}, Answer::Starts},
                    CommandLineCase{"help_with_a_value", {"--help=all"}, Answer::Starts},
                    CommandLineCase{"help", {"--help"}, Answer::Usage},
                    CommandLineCase{"help_after_other_words", {"x", "--help"}, Answer::Usage, "x"},
                    CommandLineCase{"version", {"--version"}, Answer::Version},
                    CommandLineCase{"first_of_the_two", {"--version", "--help"}, Answer::Version}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
