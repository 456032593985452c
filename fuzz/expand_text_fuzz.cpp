// Arbitrary bytes as the text of a paste assignment.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <string>
#include <string_view>

#include "core/engine/ExpandText.h"

using namespace brevanto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const LocalDateTime now{2026, 12, 9, 15, 4, 7};
  const std::string expanded = ExpandText(text, now, std::locale::classic());

  // A text with nothing to expand comes out as it went in.
  if (text.find("${") == std::string_view::npos && text.find("\\n") == std::string_view::npos &&
      expanded != text) {
    std::abort();
  }
  return 0;
}
