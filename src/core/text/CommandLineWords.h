#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto {

// Splits command-line parameters into words with the quoting of a POSIX
// shell and nothing else: blanks separate words, '...' keeps everything
// literally, "..." keeps everything but a backslash before " \ $ `, and an
// unquoted backslash keeps the next character. No variable, command, glob or
// tilde expansion, no redirection or command separators: ';', '|', '$' and
// '*' are ordinary characters. Empty when a quote is left open.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view text);

}  // namespace brevanto
