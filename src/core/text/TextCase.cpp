#include "core/text/TextCase.h"

#include <locale.h>
#include <wctype.h>

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

// Length of the valid UTF-8 sequence at pos and its code point, or 0.
std::size_t Decode(std::string_view s, std::size_t pos, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  std::size_t length = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    c = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    length = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

void Encode(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string UpperCase(std::string_view text) {
  const locale_t locale = CaseLocale();
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    const std::size_t length = Decode(text, pos, c);
    if (length == 0) {
      out += text[pos++];
      continue;
    }
    pos += length;
    if (locale != static_cast<locale_t>(0)) {
      // ASCII too: some locales upper-case i to a dotted capital I.
      Encode(out, static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale)));
    } else {
      Encode(out, c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
  }
  return out;
}

}  // namespace brevanto
