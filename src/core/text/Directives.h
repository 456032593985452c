#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace brevanto {

// The subset of the C scanf/printf directives the file formats are written
// in, independent of the process locale so a decimal point stays a point.

// Where one conversion stores its value: %d -> int32_t, %X -> uint32_t,
// %f -> float.
using ScanTarget = std::variant<int32_t*, uint32_t*, float*>;

// sscanf with the format's directives: a blank matches any run of white space
// (also none), another ordinary character must match itself, and %d, %X, %f
// convert as C does (white space skipped, %X takes an optional sign and "0x",
// stops at the first non-hex character). Scanning stops at the first mismatch;
// targets not reached keep their values. Out-of-range numbers saturate, and a
// float is always finite. Returns the number of values stored.
int ScanDirectives(std::string_view text, std::string_view format,
                   std::initializer_list<ScanTarget> targets);

// One value for FormatDirectives: %d takes int32_t, %X uint32_t, %f double,
// %s text.
using FormatArg = std::variant<int32_t, uint32_t, double, std::string_view>;

// snprintf with the format's directives: flags '0' and '-', a width, a
// precision for %f, and %d, %X, %f, %s and %%. Floats round as the C library
// does and always use a decimal point.
std::string FormatDirectives(std::string_view format, std::initializer_list<FormatArg> args);

}  // namespace brevanto
