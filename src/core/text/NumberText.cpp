#include "core/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace brevanto {

std::string FormatFixed(double value, int precision, int width) {
  std::string text;
  if (std::isnan(value)) {
    text = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                precision);
    text.assign(buffer, result.ec == std::errc() ? result.ptr : buffer);
  }
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

std::string FloatText(double value) {
  std::string text = FormatFixed(value, 3);
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

bool ScanInt(std::string_view text, std::size_t& pos, long long& value) {
  std::size_t p = pos;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\n' ||
                             text[p] == '\r' || text[p] == '\v' || text[p] == '\f')) {
    ++p;
  }
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }
  const std::size_t digitsStart = p;
  unsigned long long magnitude = 0;
  bool overflow = false;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
    const unsigned digit = static_cast<unsigned>(text[p] - '0');
    if (magnitude > (std::numeric_limits<unsigned long long>::max() - digit) / 10) overflow = true;
    if (!overflow) magnitude = magnitude * 10 + digit;
    ++p;
  }
  if (p == digitsStart) return false;
  constexpr unsigned long long kMax = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  if (overflow || magnitude > kMax) {
    value = negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
  } else {
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  }
  pos = p;
  return true;
}

int ParseIntList(std::string_view text, int count, int* out) {
  int read = 0;
  std::size_t start = 0;
  while (read < count) {
    const std::size_t colon = text.find(':', start);
    const std::string_view token =
        text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
    std::size_t pos = 0;
    long long value = 0;
    if (!ScanInt(token, pos, value)) break;
    if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) value = std::numeric_limits<int>::min();
    out[read++] = static_cast<int>(value);
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  return read;
}

std::string IntListText(const int* values, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ':';
    text += std::to_string(values[i]);
  }
  return text;
}

}  // namespace brevanto
