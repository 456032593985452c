#include "core/text/Directives.h"

#include <locale.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/text/NumberText.h"

namespace brevanto {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
}

bool ScanDecimal(std::string_view text, std::size_t& pos, int32_t& out) {
  long long value = 0;
  if (!ScanInt(text, pos, value)) return false;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
  out = static_cast<int32_t>(value);
  return true;
}

bool ScanHex(std::string_view text, std::size_t& pos, uint32_t& out) {
  std::size_t p = pos;
  SkipBlanks(text, p);
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }
  // "0x" counts as a prefix only when a hex digit follows; otherwise the 0 is
  // the number and the x ends it.
  if (p + 2 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
      HexDigit(text[p + 2]) >= 0) {
    p += 2;
  }
  const std::size_t start = p;
  uint64_t value = 0;
  while (p < text.size() && HexDigit(text[p]) >= 0) {
    if (value <= 0xFFFFFFFFu) value = value * 16 + static_cast<uint64_t>(HexDigit(text[p]));
    ++p;
  }
  if (p == start) return false;
  if (value > 0xFFFFFFFFu) value = 0xFFFFFFFFu;
  const auto magnitude = static_cast<uint32_t>(value);
  out = negative ? static_cast<uint32_t>(0u - magnitude) : magnitude;
  pos = p;
  return true;
}

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

// Decimal notation only: "inf", "nan" and hex floats are no numbers here, so
// nothing non-finite ever reaches a record.
bool ScanFloat(std::string_view text, std::size_t& pos, float& out) {
  std::size_t p = pos;
  SkipBlanks(text, p);
  const std::size_t start = p;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
  std::size_t digits = 0;
  while (p < text.size() && IsDigit(text[p])) ++p, ++digits;
  if (p < text.size() && text[p] == '.') {
    ++p;
    while (p < text.size() && IsDigit(text[p])) ++p, ++digits;
  }
  if (digits == 0) return false;
  if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
    std::size_t e = p + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && IsDigit(text[e])) {
      while (e < text.size() && IsDigit(text[e])) ++e;
      p = e;
    }
  }
  const std::string token(text.substr(start, p - start));
  const locale_t c = CLocale();
  double value = c ? strtod_l(token.c_str(), nullptr, c) : std::strtod(token.c_str(), nullptr);
  if (!std::isfinite(value) || value > FLT_MAX) value = value < 0 ? -FLT_MAX : FLT_MAX;
  if (value < -FLT_MAX) value = -FLT_MAX;
  out = static_cast<float>(value);
  pos = p;
  return true;
}

}  // namespace

int ScanDirectives(std::string_view text, std::string_view format,
                   std::initializer_list<ScanTarget> targets) {
  const ScanTarget* target = targets.begin();
  int stored = 0;
  std::size_t pos = 0;
  std::size_t f = 0;
  while (f < format.size()) {
    const char fc = format[f];
    if (IsBlank(fc)) {
      while (f < format.size() && IsBlank(format[f])) ++f;
      SkipBlanks(text, pos);
      continue;
    }
    const bool escapedPercent = fc == '%' && f + 1 < format.size() && format[f + 1] == '%';
    if (fc != '%' || escapedPercent) {
      if (pos >= text.size() || text[pos] != fc) return stored;
      ++pos;
      f += escapedPercent ? 2 : 1;
      continue;
    }
    ++f;
    while (f < format.size() && IsDigit(format[f])) ++f;  // widths are not used for reading
    if (f >= format.size() || target == targets.end()) return stored;
    const char conversion = format[f++];
    bool ok = false;
    if (conversion == 'd' && std::holds_alternative<int32_t*>(*target)) {
      ok = ScanDecimal(text, pos, *std::get<int32_t*>(*target));
    } else if ((conversion == 'X' || conversion == 'x') &&
               std::holds_alternative<uint32_t*>(*target)) {
      ok = ScanHex(text, pos, *std::get<uint32_t*>(*target));
    } else if (conversion == 'f' && std::holds_alternative<float*>(*target)) {
      ok = ScanFloat(text, pos, *std::get<float*>(*target));
    }
    if (!ok) return stored;
    ++stored;
    ++target;
  }
  return stored;
}

std::string FormatDirectives(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string out;
  const FormatArg* arg = args.begin();
  std::size_t f = 0;
  while (f < format.size()) {
    if (format[f] != '%') {
      out += format[f++];
      continue;
    }
    ++f;
    if (f < format.size() && format[f] == '%') {
      out += '%';
      ++f;
      continue;
    }
    bool zeroPad = false;
    bool leftAlign = false;
    for (; f < format.size() && (format[f] == '0' || format[f] == '-'); ++f) {
      (format[f] == '0' ? zeroPad : leftAlign) = true;
    }
    int width = 0;
    while (f < format.size() && IsDigit(format[f])) width = width * 10 + (format[f++] - '0');
    int precision = -1;
    if (f < format.size() && format[f] == '.') {
      ++f;
      precision = 0;
      while (f < format.size() && IsDigit(format[f]))
        precision = precision * 10 + (format[f++] - '0');
    }
    if (f >= format.size() || arg == args.end()) break;
    const char conversion = format[f++];
    std::string field;
    if (conversion == 'd' && std::holds_alternative<int32_t>(*arg)) {
      field = std::to_string(std::get<int32_t>(*arg));
    } else if ((conversion == 'X' || conversion == 'x') && std::holds_alternative<uint32_t>(*arg)) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, conversion == 'X' ? "%X" : "%x",
                    static_cast<unsigned>(std::get<uint32_t>(*arg)));
      field = buffer;
    } else if (conversion == 'f' && std::holds_alternative<double>(*arg)) {
      field = FormatFixed(std::get<double>(*arg), precision < 0 ? 6 : precision);
    } else if (conversion == 's' && std::holds_alternative<std::string_view>(*arg)) {
      field = std::get<std::string_view>(*arg);
    }
    ++arg;
    if (field.size() < static_cast<std::size_t>(width)) {
      const std::size_t pad = static_cast<std::size_t>(width) - field.size();
      if (leftAlign) {
        field.append(pad, ' ');
      } else if (zeroPad && conversion != 's') {
        const std::size_t signs = !field.empty() && field[0] == '-' ? 1 : 0;
        field.insert(signs, pad, '0');
      } else {
        field.insert(0, pad, ' ');
      }
    }
    out += field;
  }
  return out;
}

}  // namespace brevanto
