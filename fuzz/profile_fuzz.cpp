// Arbitrary bytes as a profile file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/profile/ConfigFile.h"
#include "core/settings/IniDocument.h"

using namespace brevanto;

namespace {

std::string Written(const ConfigFile& profile) {
  IniDocument document;
  profile.Write(document);
  return document.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ConfigFile profile;
  profile.Read(IniDocument::FromBytes(bytes));
  if (profile.NumberOfJoysticks() < 1 || profile.NumberOfJoysticks() > 50) std::abort();
  if (profile.NumberOfButtons < 0 || profile.NumberOfButtons > 128) std::abort();

  // The first save may convert an old profile; from then on a save and a
  // reload must change nothing.
  const std::string first = Written(profile);
  ConfigFile second;
  second.Read(IniDocument::FromText(first));
  const std::string again = Written(second);
  ConfigFile third;
  third.Read(IniDocument::FromText(again));
  if (Written(third) != again) std::abort();
  return 0;
}
