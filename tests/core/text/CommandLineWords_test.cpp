#include "core/text/CommandLineWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevanto {
namespace {

struct SplitCase {
  const char* text;
  std::vector<std::string> words;
};

class SplitCommandLineWords : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineWords, SplitsLikeAShellWithoutExpanding) {
  const auto words = SplitCommandLine(GetParam().text);
  ASSERT_TRUE(words.has_value()) << GetParam().text;
  EXPECT_EQ(*words, GetParam().words) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineWords,
    ::testing::Values(
        SplitCase{"", {}}, SplitCase{"  \t ", {}}, SplitCase{"a  b\tc\n", {"a", "b", "c"}},
        SplitCase{"'two words' \"and more\"", {"two words", "and more"}},
        SplitCase{"pre'fix'\"ed\"post", {"prefixedpost"}}, SplitCase{"'' \"\"", {"", ""}},
        SplitCase{"'a \\ \" $HOME'", {"a \\ \" $HOME"}},
        SplitCase{"\"q\\\" b\\\\s d\\$ t\\` n\\x\"", {"q\" b\\s d$ t` n\\x"}},
        SplitCase{"a\\ b \\'c \\\\", {"a b", "'c", "\\"}}, SplitCase{"end\\", {"end\\"}},
        // Shell syntax is ordinary text: nothing is run, nothing expanded.
        SplitCase{"; rm -rf x", {";", "rm", "-rf", "x"}},
        SplitCase{"$(id) `id` $HOME ~ *.txt a|b>c&&d",
                  {"$(id)", "`id`", "$HOME", "~", "*.txt", "a|b>c&&d"}},
        SplitCase{"日本語 'プロ ファイル'", {"日本語", "プロ ファイル"}}));

TEST(SplitCommandLine, RefusesAnOpenQuote) {
  for (const char* text : {"'open", "a \"open", "\"escaped end\\\"", "ok 'x"}) {
    EXPECT_FALSE(SplitCommandLine(text).has_value()) << text;
  }
}

}  // namespace
}  // namespace brevanto
