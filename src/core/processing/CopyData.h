#pragma once

#include <string>
#include <string_view>

namespace brevanto {

// The text WM_COPYDATA carries: the bytes up to the first zero (all of them
// when none comes), read as ANSI text, in UTF-8.
std::string CopyDataText(std::string_view payload);

}  // namespace brevanto
