#pragma once

#include <string>
#include <string_view>

namespace brevanto {

// Upper case of UTF-8 text by the rules of the user's locale (LC_CTYPE from
// the environment; Unicode rules of C.UTF-8 when that locale has none), so
// names in any script compare without regard to case. Bytes that are not
// valid UTF-8 are kept as they are.
std::string UpperCase(std::string_view text);

}  // namespace brevanto
