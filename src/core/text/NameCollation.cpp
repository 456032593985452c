#include "core/text/NameCollation.h"

#include <wchar.h>
#include <wctype.h>

#include "core/text/Encoding.h"

namespace brevanto {
namespace {

constexpr locale_t kNoLocale = static_cast<locale_t>(0);

bool HasUnicodeCase(locale_t locale) {
  return towlower_l(0x00C9, locale) == 0x00E9;
}

// Simple one-to-one lower case. Locales whose tables know only ASCII still
// fold full-width Latin, which Japanese input methods produce readily.
wchar_t Lower(wchar_t c, locale_t locale) {
  if (locale != kNoLocale) c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale));
  if (c >= L'A' && c <= L'Z') return c + (L'a' - L'A');
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
  return c;
}

}  // namespace

const NameCollation& NameCollation::User() {
  static const NameCollation user("");
  return user;
}

NameCollation::NameCollation(const char* localeName) {
  locale_ = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, localeName, kNoLocale);
  if (locale_ == kNoLocale) {
    locale_ = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C.UTF-8", kNoLocale);
  } else if (!HasUnicodeCase(locale_)) {
    // Keeps the collation, takes the Unicode case rules; on failure newlocale
    // leaves the base untouched.
    if (const locale_t merged = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_); merged != kNoLocale) {
      locale_ = merged;
    }
  }
}

NameCollation::~NameCollation() {
  if (locale_ != kNoLocale) freelocale(locale_);
}

char32_t NameCollation::LowerChar(char32_t c) const {
  return static_cast<char32_t>(Lower(static_cast<wchar_t>(c), locale_));
}

bool NameCollation::IsLetterOrDigit(char32_t c) const {
  if ((c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) {
    return true;
  }
  return locale_ != kNoLocale && iswalnum_l(static_cast<wint_t>(c), locale_) != 0;
}

std::wstring NameCollation::Fold(std::string_view text) const {
  std::wstring folded;
  folded.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t at = pos;
    char32_t c = 0;
    if (NextUtf8(text, pos, c)) {
      folded += Lower(static_cast<wchar_t>(c), locale_);
    } else {
      folded += static_cast<wchar_t>(0xDC80 + static_cast<unsigned char>(text[at]));
    }
  }
  return folded;
}

int NameCollation::Compare(std::string_view a, std::string_view b) const {
  const std::wstring fa = Fold(a);
  const std::wstring fb = Fold(b);
  if (fa == fb) return 0;
  if (locale_ != kNoLocale) {
    const int byLocale = wcscoll_l(fa.c_str(), fb.c_str(), locale_);
    if (byLocale != 0) return byLocale < 0 ? -1 : 1;
  }
  return fa < fb ? -1 : 1;
}

}  // namespace brevanto
