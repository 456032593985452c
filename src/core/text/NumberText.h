#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevanto {

// printf("%*.*f") with a decimal point whatever the process locale; rounding
// as the C library does (exact binary value, ties to even).
std::string FormatFixed(double value, int precision, int width = 0);

// Compact float text: "%.3f" without trailing zeros or a trailing point
// (10.0 -> "10", 2.5 -> "2.5", 0.0001 -> "0").
std::string FloatText(double value);

// Reads up to count colon-separated integers ("%d" each) into out, stopping at
// the first token that holds none. Returns how many were read; the rest of out
// is left unchanged.
int ParseIntList(std::string_view text, int count, int* out);
std::string IntListText(const int* values, int count);

// One "%d" conversion: optional blanks, sign, digits; stops at the first
// non-digit. Out-of-range values saturate. Returns false when no digit comes.
bool ScanInt(std::string_view text, std::size_t& pos, long long& value);

}  // namespace brevanto
