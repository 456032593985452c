// Arbitrary bytes as the parameters of a program launch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text/CommandLineWords.h"

using namespace brevanto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto words = SplitCommandLine(text);
  if (!words) return 0;

  // Quoting every word in single quotes must give the same words back.
  std::string quoted;
  for (const std::string& word : *words) {
    quoted += '\'';
    for (char c : word) {
      if (c == '\'')
        quoted += "'\\''";
      else
        quoted += c;
    }
    quoted += "' ";
  }
  const auto again = SplitCommandLine(quoted);
  if (!again || *again != *words) std::abort();
  return 0;
}
