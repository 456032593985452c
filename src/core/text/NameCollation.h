#pragma once

#include <locale.h>

#include <string>
#include <string_view>

namespace brevanto {

// Compares and orders names (profile names) without regard to case, the way
// the user's locale sorts text: "Ａ" and "ａ" are the same name, "Äpfel" sorts
// next to "Apfel" in a German locale, kana follow the Japanese order in a
// Japanese one. Two names are equal exactly when their lower-case forms are;
// names the locale's collation cannot tell apart are ordered by code point,
// so the order is total and consistent with equality.
class NameCollation {
 public:
  // The user's locale (LC_COLLATE and LC_CTYPE as the environment sets them),
  // made once.
  static const NameCollation& User();

  // A locale by name, as setlocale takes it ("" for the environment's). A
  // locale that cannot be made orders by code point; one without Unicode case
  // rules (C, POSIX, 8-bit locales) takes those of C.UTF-8.
  explicit NameCollation(const char* localeName);
  ~NameCollation();
  NameCollation(const NameCollation&) = delete;
  NameCollation& operator=(const NameCollation&) = delete;

  // Negative, zero or positive as a sorts before, equal to or after b.
  int Compare(std::string_view a, std::string_view b) const;
  bool Equal(std::string_view a, std::string_view b) const { return Fold(a) == Fold(b); }
  bool Less(std::string_view a, std::string_view b) const { return Compare(a, b) < 0; }

  // The lower-case form the comparison works on. Bytes that are not UTF-8
  // (file names may hold any) become U+DC80 + byte, which no UTF-8 text
  // yields.
  std::wstring Fold(std::string_view text) const;

  // One character by the same rules: its lower case, and whether it is a
  // letter or a digit.
  char32_t LowerChar(char32_t c) const;
  bool IsLetterOrDigit(char32_t c) const;

  // The operation a std::map or std::sort takes.
  struct Ordering {
    const NameCollation* collation;
    bool operator()(const std::string& a, const std::string& b) const {
      return collation->Less(a, b);
    }
  };
  Ordering Order() const { return Ordering{this}; }

 private:
  locale_t locale_ = static_cast<locale_t>(0);
};

}  // namespace brevanto
