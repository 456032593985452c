#pragma once

#include <locale>
#include <string>
#include <string_view>

namespace brevanto {

// A moment of the user's local clock.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

// Expands a paste text: "${picture}" becomes the date or time written with
// the Windows picture letters (a picture starting with d, M or y is a date:
// d dd ddd dddd, M MM MMM MMMM, y yy yyyy, g gg; one starting with h, H, m or
// s is a time: h hh H HH m mm s ss t tt), and backslash-n becomes CR LF.
// Day, month and AM/PM names come from the locale. Anything that is not a
// complete picture is kept as written. The text is never used as a format.
std::string ExpandText(std::string_view text, const LocalDateTime& now, const std::locale& locale);

// The same with the current local time and the user's locale.
std::string ExpandText(std::string_view text);

LocalDateTime CurrentLocalDateTime();

// The locale of the user's environment (LANG, LC_ALL, LC_TIME...), or the
// classic locale when the environment names one that is not installed.
std::locale UserLocale();

}  // namespace brevanto
