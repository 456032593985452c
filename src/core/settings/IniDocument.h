#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text/Encoding.h"

namespace brevanto {

// An INI file read whole, changed in memory and written whole. Everything the
// program does not touch (unknown sections and keys, comments, blank lines,
// the spelling and order of every name) is written back as it was read, so
// files shared with other versions of the program lose nothing.
//
// Section and key names match without regard to ASCII case; the file's own
// spelling is kept. A key that occurs twice in a section is read from its
// first occurrence; every occurrence stays in the file. A section that occurs
// twice is treated as one section continued. Values are taken verbatim after
// the first "=" (a trailing blank may be part of a value); names are trimmed.
class IniDocument {
 public:
  IniDocument() = default;

  // Parses UTF-8 text. Lines end at CR, LF or CR LF.
  static IniDocument FromText(std::string_view text);
  // Decodes file bytes by their byte-order mark (or the ANSI rule) and parses
  // them; the document remembers the encoding.
  static IniDocument FromBytes(std::string_view bytes);

  // Reads the file; a missing file gives an empty document and true, a file
  // that cannot be read an empty document and false (logged).
  bool Load(const std::string& path);
  // Writes the whole document atomically in the given encoding; false (and
  // the old file untouched) when it cannot be written.
  bool Save(const std::string& path, TextEncoding encoding) const;

  // The encoding of the text this document was read from (Ansi for a new one).
  TextEncoding Encoding() const { return encoding_; }

  // The document as UTF-8 text, and as file bytes in an encoding.
  std::string Text() const;
  std::string Bytes(TextEncoding encoding) const;

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  // The value exactly as it stands in the file, or nothing when the key is missing.
  std::optional<std::string> Raw(std::string_view section, std::string_view key) const;

  // Typed reads. A missing key gives the default. Numbers may be surrounded by
  // blanks; any other text, or a number out of range, gives the default too.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue = {}) const;
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
  // Booleans are integers, true when non-zero.
  bool GetBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // Reads a decimal point or a decimal comma (files written under a locale
  // that uses one); non-finite values give the default.
  double GetFloat(std::string_view section, std::string_view key, double defaultValue) const;

  // Typed writes. An existing key is changed in place; a new key goes after
  // the last key of its section, a new section at the end of the document.
  // Line breaks in a value would split the line, so they become blanks.
  void SetString(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, int value);
  // Written "1" or "0".
  void SetBool(std::string_view section, std::string_view key, bool value);
  // Written with a decimal point whatever the locale, up to 15 significant
  // digits ("3", "0.5").
  void SetFloat(std::string_view section, std::string_view key, double value);

  // Removes every occurrence of the key; false when there was none.
  bool EraseKey(std::string_view section, std::string_view key);
  // Removes the section with all its lines; false when there was none.
  bool EraseSection(std::string_view section);

  // Names in file order, spelled as in the file, each once.
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

 private:
  struct Line {
    std::string key;    // empty for lines that hold no key
    std::string value;  // verbatim text after the first "="
    std::string text;   // the original line; empty once the value was changed
    bool changed = false;
  };
  struct Section {
    std::string name;
    std::string folded;  // name in lower case, for lookups
    std::string header;  // the original header line, or empty for a new section
    bool hasHeader = true;
    std::vector<Line> lines;
    // Folded key -> index of its first line.
    std::unordered_map<std::string, std::size_t> index;
    void Reindex();
  };

  struct Location {
    std::size_t section;
    std::size_t line;
  };

  std::optional<Location> Find(std::string_view section, std::string_view key) const;
  // The first section of that name (sections of the same name continue it).
  std::optional<std::size_t> FindSection(std::string_view section) const;
  Line* FindLine(std::string_view section, std::string_view key);

  std::vector<Section> sections_;
  TextEncoding encoding_ = TextEncoding::Ansi;
  std::string lineBreak_ = "\r\n";
};

}  // namespace brevanto
