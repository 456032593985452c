// Arbitrary bytes as one assignment line of a profile of any FileVersion.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/engine/AssignmentLine.h"
#include "core/engine/ButtonAssignment.h"

using namespace brevanto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the version: both generations and both MultiInput
  // layouts are reached.
  const int fileVersion = 30 + data[0] % 50;
  const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);

  ButtonAssignment record;
  ReadLine(record, line, fileVersion);
  const std::string written = WriteLine(record);

  // What the writer produces must read back to the same line. A profile name
  // from an old line may hold a double quote, which no current line can carry.
  if (record.targetName.find('"') != std::string::npos) return 0;
  ButtonAssignment again;
  ReadLine(again, written, 70);
  if (WriteLine(again) != written) std::abort();
  return 0;
}
