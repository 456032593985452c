#include "core/engine/ExpandText.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <optional>
#include <sstream>

#include "core/log/Logger.h"
#include "core/text/Encoding.h"

namespace brevanto {
namespace {

// A picture's expansion must fit the 64-unit UTF-16 buffer the format was
// defined with (63 characters and the terminator); a longer one is no result.
constexpr std::size_t kMaxPictureUnits = 63;

// The Gregorian period name. The POSIX locale has no localised name for it
// (its eras are other calendars'), so every locale writes the same text.
constexpr const char* kPeriodName = "A.D.";

bool IsLetter(char32_t c, const std::locale& locale) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (c > static_cast<char32_t>(WCHAR_MAX)) return false;
  return std::use_facet<std::ctype<wchar_t>>(locale).is(std::ctype_base::alpha,
                                                        static_cast<wchar_t>(c));
}

// One field of the locale's LC_TIME data through strftime-style conversion,
// in UTF-8 whatever the locale's own character set.
std::string LocaleTimeText(const std::locale& locale, const std::tm& tm, const wchar_t* spec) {
  std::wostringstream stream;
  stream.imbue(locale);
  const auto& facet = std::use_facet<std::time_put<wchar_t>>(locale);
  facet.put(std::ostreambuf_iterator<wchar_t>(stream), stream, L' ', &tm, spec,
            spec + std::wcslen(spec));
  std::string text;
  for (wchar_t c : stream.str()) AppendUtf8(text, static_cast<char32_t>(c));
  return text;
}

std::string FirstCharacter(const std::string& text) {
  if (text.empty()) return text;
  std::size_t pos = 0;
  char32_t c = 0;
  NextUtf8(text, pos, c);
  return text.substr(0, pos);
}

std::string Number(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

std::size_t Utf16Units(std::string_view text) {
  std::size_t units = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    NextUtf8(text, pos, c);
    units += c >= 0x10000 ? 2 : 1;
  }
  return units;
}

enum class PictureKind { Date, Time };

class PictureWriter {
 public:
  PictureWriter(const LocalDateTime& now, const std::locale& locale) : locale_(locale) {
    using namespace std::chrono;
    const year_month_day date{year{now.year}, month{static_cast<unsigned>(now.month)},
                              day{static_cast<unsigned>(now.day)}};
    tm_.tm_year = now.year - 1900;
    tm_.tm_mon = now.month - 1;
    tm_.tm_mday = now.day;
    tm_.tm_hour = now.hour;
    tm_.tm_min = now.minute;
    tm_.tm_sec = now.second;
    tm_.tm_wday = date.ok() ? static_cast<int>(weekday{sys_days{date}}.c_encoding()) : 0;
    now_ = now;
  }

  std::optional<std::string> Write(std::u32string_view picture, PictureKind kind) const {
    // Languages with a genitive month form use it next to a day number, as
    // "9 декабря", and the nominative form otherwise.
    bool hasDayNumber = false;
    for (std::size_t i = 0; i < picture.size();) {
      std::size_t run = RunLength(picture, i);
      if (picture[i] == U'd' && run <= 2) hasDayNumber = true;
      i += run;
    }

    std::string out;
    for (std::size_t i = 0; i < picture.size();) {
      const char32_t letter = picture[i];
      const std::size_t run = RunLength(picture, i);
      const bool done = kind == PictureKind::Date ? DateField(letter, run, hasDayNumber, out)
                                                  : TimeField(letter, run, out);
      if (!done) {
        for (std::size_t k = 0; k < run; ++k) AppendUtf8(out, letter);
      }
      i += run;
    }
    if (Utf16Units(out) > kMaxPictureUnits) return std::nullopt;
    return out;
  }

 private:
  static std::size_t RunLength(std::u32string_view picture, std::size_t start) {
    std::size_t end = start + 1;
    while (end < picture.size() && picture[end] == picture[start]) ++end;
    return end - start;
  }

  bool DateField(char32_t letter, std::size_t run, bool hasDayNumber, std::string& out) const {
    switch (letter) {
      case U'd':
        if (run == 1)
          out += Number(now_.day, 1);
        else if (run == 2)
          out += Number(now_.day, 2);
        else
          out += LocaleTimeText(locale_, tm_, run == 3 ? L"%a" : L"%A");
        return true;
      case U'M':
        if (run == 1)
          out += Number(now_.month, 1);
        else if (run == 2)
          out += Number(now_.month, 2);
        else if (run == 3)
          out += LocaleTimeText(locale_, tm_, hasDayNumber ? L"%b" : L"%Ob");
        else
          out += LocaleTimeText(locale_, tm_, hasDayNumber ? L"%B" : L"%OB");
        return true;
      case U'y':
        if (run == 1)
          out += Number(now_.year % 100, 1);
        else if (run == 2)
          out += Number(now_.year % 100, 2);
        else
          out += Number(now_.year, 4);
        return true;
      case U'g':
        out += kPeriodName;
        return true;
      default:
        return false;
    }
  }

  bool TimeField(char32_t letter, std::size_t run, std::string& out) const {
    const int width = run >= 2 ? 2 : 1;
    switch (letter) {
      case U'h': {
        const int hour12 = now_.hour % 12 == 0 ? 12 : now_.hour % 12;
        out += Number(hour12, width);
        return true;
      }
      case U'H':
        out += Number(now_.hour, width);
        return true;
      case U'm':
        out += Number(now_.minute, width);
        return true;
      case U's':
        out += Number(now_.second, width);
        return true;
      case U't': {
        const std::string marker = LocaleTimeText(locale_, tm_, L"%p");
        out += run == 1 ? FirstCharacter(marker) : marker;
        return true;
      }
      default:
        return false;
    }
  }

  const std::locale& locale_;
  LocalDateTime now_;
  std::tm tm_{};
};

std::optional<std::string> ExpandPicture(std::u32string_view picture, const PictureWriter& writer) {
  switch (picture.front()) {
    case U'H':
    case U'h':
    case U'm':
    case U's':
      return writer.Write(picture, PictureKind::Time);
    case U'M':
    case U'd':
    case U'y':
      return writer.Write(picture, PictureKind::Date);
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string ExpandText(std::string_view text, const LocalDateTime& now, const std::locale& locale) {
  const PictureWriter writer(now, locale);
  std::string out;
  out.reserve(text.size());
  std::u32string picture;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '$' && i + 1 < text.size() && text[i + 1] == '{') {
      picture.clear();
      std::size_t pos = i + 2;
      while (pos < text.size()) {
        std::size_t next = pos;
        char32_t c = 0;
        if (!NextUtf8(text, next, c) || !IsLetter(c, locale)) break;
        picture += c;
        pos = next;
      }
      if (!picture.empty() && pos < text.size() && text[pos] == '}') {
        if (auto expanded = ExpandPicture(picture, writer)) {
          out += *expanded;
          i = pos + 1;
          continue;
        }
      }
      out += '$';
      ++i;
      continue;
    }
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      i += 2;
      continue;
    }
    out += text[i];
    ++i;
  }
  return out;
}

std::string ExpandText(std::string_view text) {
  return ExpandText(text, CurrentLocalDateTime(), UserLocale());
}

LocalDateTime CurrentLocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    LOG_INFO("UserLocale: the environment's locale is not installed; using the C locale");
    return std::locale::classic();
  }
}

}  // namespace brevanto
