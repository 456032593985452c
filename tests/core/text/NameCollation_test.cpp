#include "core/text/NameCollation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace brevanto {
namespace {

using Names = std::vector<std::string>;

// A collation for a locale the system has or the build generated, or none.
// The build's locales are found through LOCPATH, set for the moment only.
std::unique_ptr<NameCollation> CollationFor(const char* name) {
  const bool setPath = std::getenv("LOCPATH") == nullptr;
#ifdef BREVANTO_TEST_LOCALE_DIR
  if (setPath) setenv("LOCPATH", BREVANTO_TEST_LOCALE_DIR, 1);
#endif
  std::unique_ptr<NameCollation> collation;
  if (const locale_t probe = newlocale(LC_COLLATE_MASK, name, static_cast<locale_t>(0));
      probe != static_cast<locale_t>(0)) {
    freelocale(probe);
    collation = std::make_unique<NameCollation>(name);
  }
  if (setPath) unsetenv("LOCPATH");
  return collation;
}

TEST(NameCollation, NamesThatDifferOnlyInCaseAreOneName) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"Race", "rACE", true},
      {"Ａ", "ａ", true},  // full-width Latin
      {"ＲａＣｅ", "ｒＡｃＥ", true},
      {"Émile", "éMILE", true},
      {"ΣΟΦΙΑ", "σοφια", true},
      {"設定", "設定", true},
      {"あ", "ア", false},  // hiragana and katakana are different names
      {"ア", "ｱ", false},   // so are full- and half-width katakana
      {"Ａ", "A", false},   // and full- and half-width Latin
      {"Race", "Race ", false},
      {"\xff", "\xfe", false},  // bytes that are no UTF-8 stay apart
      {"a\xff", "A\xff", true},
  };
  // "C" has no Unicode case rules of its own; the names must fold anyway.
  for (const char* locale : {"C.UTF-8", "C", "no_SUCH.locale"}) {
    const NameCollation collation(locale);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(locale) + ": " + c.a + " / " + c.b);
      EXPECT_EQ(collation.Equal(c.a, c.b), c.equal);
      EXPECT_EQ(collation.Compare(c.a, c.b) == 0, c.equal);
      EXPECT_EQ(collation.Compare(c.b, c.a) == 0, c.equal);
      if (!c.equal) {
        EXPECT_EQ(collation.Compare(c.a, c.b), -collation.Compare(c.b, c.a));
      }
    }
  }
}

TEST(NameCollation, SortsInTheLocalesOrder) {
  struct Case {
    const char* locale;
    Names names;
    Names sorted;
  };
  const Case cases[] = {
      {"C.UTF-8", {"b", "A", "a2", "C"}, {"A", "a2", "b", "C"}},
      {"C.UTF-8", {"zebra", "Äpfel", "apfel"}, {"apfel", "zebra", "Äpfel"}},
      {"C.UTF-8", {"い", "ア", "あ"}, {"あ", "い", "ア"}},
      {"de_DE.UTF-8", {"zebra", "Äpfel", "apfel", "Birne"}, {"apfel", "Äpfel", "Birne", "zebra"}},
      {"C.UTF-8", {"漢字", "あ", "Ｂ", "ｱ", "c"}, {"c", "あ", "漢字", "Ｂ", "ｱ"}},
      {"ja_JP.UTF-8", {"漢字", "あ", "Ｂ", "ｱ", "c"}, {"c", "ｱ", "Ｂ", "あ", "漢字"}},
  };
  std::string missing;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    const std::unique_ptr<NameCollation> collation = CollationFor(c.locale);
    if (!collation) {
      missing += std::string(" ") + c.locale;
      continue;
    }
    Names names = c.names;
    std::sort(names.begin(), names.end(), collation->Order());
    EXPECT_EQ(names, c.sorted);
  }
  if (!missing.empty()) GTEST_SKIP() << "no locale" << missing << " (localedef missing)";
}

TEST(NameCollation, CharactersFollowTheSameRules) {
  const NameCollation collation("C");
  EXPECT_EQ(collation.LowerChar(U'R'), U'r');
  EXPECT_EQ(collation.LowerChar(U'Ｒ'), U'ｒ');
  EXPECT_EQ(collation.LowerChar(U'É'), U'é');
  EXPECT_TRUE(collation.IsLetterOrDigit(U'7'));
  EXPECT_TRUE(collation.IsLetterOrDigit(U'ゲ'));
  EXPECT_FALSE(collation.IsLetterOrDigit(U'-'));
  EXPECT_FALSE(collation.IsLetterOrDigit(U' '));
  EXPECT_FALSE(collation.IsLetterOrDigit(U'・'));
}

}  // namespace
}  // namespace brevanto
