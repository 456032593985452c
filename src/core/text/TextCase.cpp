#include "core/text/TextCase.h"

#include <locale.h>
#include <wctype.h>

#include "core/text/Encoding.h"

namespace brevanto {
namespace {

// The user's character rules, made once. A locale without Unicode case
// tables (C, POSIX or an 8-bit one) is replaced by C.UTF-8.
locale_t CaseLocale() {
  static const locale_t locale = [] {
    locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (user != static_cast<locale_t>(0) && towupper_l(0x00E9, user) == 0x00C9) return user;
    if (user != static_cast<locale_t>(0)) freelocale(user);
    return newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  }();
  return locale;
}

}  // namespace

std::string UpperCase(std::string_view text) {
  const locale_t locale = CaseLocale();
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    char32_t c = 0;
    if (!NextUtf8(text, pos, c)) {
      // Bytes that are not UTF-8 pass through unchanged.
      out.append(text.substr(start, pos - start));
      continue;
    }
    if (locale != static_cast<locale_t>(0)) {
      // ASCII too: some locales upper-case i to a dotted capital I.
      AppendUtf8(out, static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale)));
    } else {
      AppendUtf8(out, c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
  }
  return out;
}

}  // namespace brevanto
