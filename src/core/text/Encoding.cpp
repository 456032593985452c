#include "core/text/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace brevanto {

void AppendUtf8(std::string& out, char32_t c) {
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

bool NextUtf8(std::string_view s, std::size_t& pos, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  int length = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    c = b0;
    ++pos;
    return true;
  } else if ((b0 & 0xE0) == 0xC0) {
    length = 2;
    c = b0 & 0x1F;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3;
    c = b0 & 0x0F;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4;
    c = b0 & 0x07;
    min = 0x10000;
  } else {
    ++pos;
    return false;
  }
  if (pos + static_cast<std::size_t>(length) > s.size()) {
    ++pos;
    return false;
  }
  for (int i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return false;
  }
  pos += static_cast<std::size_t>(length);
  return true;
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
    return static_cast<char32_t>(lo | (hi << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
        ++i;
      } else {
        c = kReplacement;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacement);
  return out;
}

std::string Convert(const char* to, const char* from, std::string_view input, bool& ok) {
  ok = true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ok = false;
    return {};
  }
  std::string out;
  out.resize(input.size() * 4 + 16);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* dst = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      const std::size_t used = static_cast<std::size_t>(dst - out.data());
      out.resize(out.size() * 2);
      dst = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    // An invalid or incomplete sequence: skip one byte and mark the loss.
    ok = false;
    ++in;
    --inLeft;
    if (outLeft < 4) {
      const std::size_t used = static_cast<std::size_t>(dst - out.data());
      out.resize(out.size() * 2);
      dst = out.data() + used;
      outLeft = out.size() - used;
    }
    const bool toUtf8 = std::string_view(to) == "UTF-8";
    const std::string mark = toUtf8 ? "\xEF\xBF\xBD" : "?";
    for (char m : mark) {
      *dst++ = m;
      --outLeft;
    }
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  iconv_close(cd);
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t pos = 0;
  char32_t c = 0;
  while (pos < bytes.size()) {
    if (!NextUtf8(bytes, pos, c)) return false;
  }
  return true;
}

std::string Utf16LeToUtf8(std::string_view bytes) { return Utf16ToUtf8(bytes, false); }
std::string Utf16BeToUtf8(std::string_view bytes) { return Utf16ToUtf8(bytes, true); }

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    if (!NextUtf8(text, pos, c)) c = kReplacement;
    if (c >= 0x10000) {
      c -= 0x10000;
      put(0xD800 + (c >> 10));
      put(0xDC00 + (c & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  bool ok = false;
  return Convert("UTF-8", "CP932", bytes, ok);
}

std::string Utf8ToCp932(std::string_view text) {
  bool ok = false;
  return Convert("CP932", "UTF-8", text, ok);
}

std::string AnsiToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp932ToUtf8(bytes);
}

DecodedText DecodeText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    // Damaged UTF-8 after a UTF-8 mark still yields valid text.
    std::string_view body = bytes.substr(3);
    if (IsValidUtf8(body)) return {std::string(body), TextEncoding::Utf8Bom};
    std::string repaired;
    std::size_t pos = 0;
    while (pos < body.size()) {
      char32_t c = 0;
      if (!NextUtf8(body, pos, c)) c = kReplacement;
      AppendUtf8(repaired, c);
    }
    return {repaired, TextEncoding::Utf8Bom};
  }
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    return {Utf16LeToUtf8(bytes.substr(2)), TextEncoding::Utf16LeBom};
  }
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
    return {Utf16BeToUtf8(bytes.substr(2)), TextEncoding::Utf16BeBom};
  }
  return {AnsiToUtf8(bytes), TextEncoding::Ansi};
}

std::string EncodeText(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom:
      return "\xEF\xBB\xBF" + std::string(text);
    case TextEncoding::Utf16LeBom:
      return "\xFF\xFE" + Utf8ToUtf16Le(text);
    case TextEncoding::Utf16BeBom: {
      std::string le = Utf8ToUtf16Le(text);
      for (std::size_t i = 0; i + 1 < le.size(); i += 2) std::swap(le[i], le[i + 1]);
      return "\xFE\xFF" + le;
    }
    case TextEncoding::Ansi:
      return std::string(text);
  }
  return std::string(text);
}

}  // namespace brevanto
