#pragma once

#include <string>
#include <string_view>

namespace brevanto {

class ButtonAssignment;

// Profiles from FileVersion 50 on use the current line syntax; MultiInput
// lines gained their fourth key and fourth input at 56.
inline constexpr int kFirstCurrentSyntaxVersion = 50;
inline constexpr int kFirstFourKeyMultiInputVersion = 56;

// Fills record from one assignment line of a profile with the given
// FileVersion: the record is cleared first, a short or damaged line fills
// what it reaches, and the scan codes are derived at the end. Never fails.
void ReadLine(ButtonAssignment& record, std::string_view line, int fileVersion);

// The line of the current syntax for record's persistent fields. Kinds
// without a line of their own are written as "0". The line is never cut, so
// a long pasted text survives a save whole.
std::string WriteLine(const ButtonAssignment& record);

}  // namespace brevanto
