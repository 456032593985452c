// Arbitrary bytes as an INI file: parsing, lookups and edits must never fail,
// and what is written must read back as the same document.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings/IniDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  brevanto::IniDocument doc = brevanto::IniDocument::FromBytes(bytes);

  for (const std::string& section : doc.SectionNames()) {
    for (const std::string& key : doc.KeyNames(section)) {
      (void)doc.GetInt(section, key, 0);
      (void)doc.GetFloat(section, key, 0.0);
    }
  }
  const std::string text = doc.Text();
  if (brevanto::IniDocument::FromText(text).Text() != text) std::abort();

  doc.SetString("General", "FileVersion", "70");
  doc.SetString("fuzz", "key", bytes.substr(0, 64));
  doc.EraseKey("General", "NumberOfJoysticks");
  if (!doc.SectionNames().empty()) doc.EraseSection(doc.SectionNames().front());
  if (doc.GetString("fuzz", "key").size() > 64) std::abort();
  (void)doc.Bytes(brevanto::TextEncoding::Utf16LeBom);
  return 0;
}
