#include "core/settings/IniDocument.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <unordered_set>

#include "core/settings/AtomicFile.h"

namespace brevanto {
namespace {

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool EqualsFolded(std::string_view name, std::string_view folded) {
  if (name.size() != folded.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != folded[i]) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string OneLine(std::string_view value) {
  std::string line(value);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

// from_chars takes no plus sign; one is allowed before a digit.
std::string_view SkipPlus(std::string_view text) {
  if (text.size() >= 2 && text[0] == '+' && text[1] >= '0' && text[1] <= '9') text.remove_prefix(1);
  return text;
}

std::optional<int> ParseInt(std::string_view text) {
  text = SkipPlus(Trim(text));
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseFloat(std::string_view text) {
  std::string number(SkipPlus(Trim(text)));
  const std::size_t comma = number.find(',');
  if (comma != std::string::npos && number.find('.') == std::string::npos) number[comma] = '.';
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

void IniDocument::Section::Reindex() {
  index.clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].key.empty()) index.emplace(Fold(lines[i].key), i);
  }
}

IniDocument IniDocument::FromText(std::string_view text) {
  IniDocument doc;
  doc.sections_.push_back(Section{});
  doc.sections_.back().hasHeader = false;

  bool lineBreakSeen = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    std::size_t next = end;
    if (end == std::string_view::npos) {
      end = next = text.size();
    } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      if (!lineBreakSeen) doc.lineBreak_ = "\r\n";
      lineBreakSeen = true;
      next = end + 2;
    } else {
      if (!lineBreakSeen && text[end] == '\n') doc.lineBreak_ = "\n";
      lineBreakSeen = true;
      next = end + 1;
    }
    const std::string_view line = text.substr(pos, end - pos);
    pos = next;

    const std::string_view trimmed = Trim(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      Section section;
      section.name = std::string(Trim(trimmed.substr(1, trimmed.size() - 2)));
      section.folded = Fold(section.name);
      section.header = std::string(line);
      doc.sections_.push_back(std::move(section));
      continue;
    }
    Line entry;
    entry.text = std::string(line);
    const bool comment = !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
    const std::size_t equals = line.find('=');
    if (!comment && equals != std::string_view::npos) {
      entry.key = std::string(Trim(line.substr(0, equals)));
      if (!entry.key.empty()) entry.value = std::string(line.substr(equals + 1));
    }
    doc.sections_.back().lines.push_back(std::move(entry));
  }
  for (Section& section : doc.sections_) section.Reindex();
  return doc;
}

IniDocument IniDocument::FromBytes(std::string_view bytes) {
  DecodedText decoded = DecodeText(bytes);
  IniDocument doc = FromText(decoded.text);
  doc.encoding_ = decoded.encoding;
  return doc;
}

bool IniDocument::Load(const std::string& path) {
  std::string bytes;
  const FileReadStatus status = ReadWholeFile(path, bytes);
  *this = FromBytes(bytes);
  return status != FileReadStatus::Failed;
}

bool IniDocument::Save(const std::string& path, TextEncoding encoding) const {
  return SaveFileAtomically(path, Bytes(encoding));
}

std::string IniDocument::Text() const {
  std::string out;
  for (const Section& section : sections_) {
    if (section.hasHeader) {
      out += section.header.empty() ? "[" + section.name + "]" : section.header;
      out += lineBreak_;
    }
    for (const Line& line : section.lines) {
      if (line.changed) {
        out += line.key;
        out += '=';
        out += line.value;
      } else {
        out += line.text;
      }
      out += lineBreak_;
    }
  }
  return out;
}

std::string IniDocument::Bytes(TextEncoding encoding) const {
  return EncodeText(Text(), encoding);
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (sections_[i].hasHeader && EqualsFolded(section, sections_[i].folded)) return i;
  }
  return std::nullopt;
}

std::optional<IniDocument::Location> IniDocument::Find(std::string_view section,
                                                       std::string_view key) const {
  const std::string foldedKey = Fold(key);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const Section& s = sections_[i];
    if (!s.hasHeader || !EqualsFolded(section, s.folded)) continue;
    const auto it = s.index.find(foldedKey);
    if (it != s.index.end()) return Location{i, it->second};
  }
  return std::nullopt;
}

bool IniDocument::HasSection(std::string_view section) const {
  return FindSection(section).has_value();
}

bool IniDocument::HasKey(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::optional<std::string> IniDocument::Raw(std::string_view section, std::string_view key) const {
  const auto at = Find(section, key);
  if (!at) return std::nullopt;
  return sections_[at->section].lines[at->line].value;
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
  auto value = Raw(section, key);
  return value ? std::move(*value) : std::string(defaultValue);
}

int IniDocument::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  const auto value = Raw(section, key);
  if (!value) return defaultValue;
  return ParseInt(*value).value_or(defaultValue);
}

bool IniDocument::GetBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return GetInt(section, key, defaultValue ? 1 : 0) != 0;
}

double IniDocument::GetFloat(std::string_view section, std::string_view key,
                             double defaultValue) const {
  const auto value = Raw(section, key);
  if (!value) return defaultValue;
  return ParseFloat(*value).value_or(defaultValue);
}

void IniDocument::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
  if (const auto at = Find(section, key)) {
    Line& line = sections_[at->section].lines[at->line];
    // An unchanged value keeps its line exactly as the file had it.
    if (line.value == value) return;
    line.value = OneLine(value);
    line.changed = true;
    return;
  }

  std::optional<std::size_t> target = FindSection(section);
  if (!target) {
    // A blank line keeps the new section apart from the previous one.
    if (sections_.empty()) {
      sections_.push_back(Section{});
      sections_.back().hasHeader = false;
    }
    Section& last = sections_.back();
    const bool lastLineBlank =
        last.lines.empty() ? !last.hasHeader
                           : (!last.lines.back().changed && Trim(last.lines.back().text).empty());
    if (!lastLineBlank) last.lines.push_back(Line{});
    Section added;
    added.name = std::string(section);
    added.folded = Fold(section);
    sections_.push_back(std::move(added));
    target = sections_.size() - 1;
  }

  Section& s = sections_[*target];
  std::size_t insertAt = 0;
  for (std::size_t i = s.lines.size(); i > 0; --i) {
    if (!s.lines[i - 1].key.empty()) {
      insertAt = i;
      break;
    }
  }
  Line line;
  line.key = std::string(key);
  line.value = OneLine(value);
  line.changed = true;
  if (insertAt == s.lines.size()) {
    s.index.emplace(Fold(key), insertAt);
    s.lines.push_back(std::move(line));
  } else {
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    s.Reindex();
  }
}

void IniDocument::SetInt(std::string_view section, std::string_view key, int value) {
  SetString(section, key, std::to_string(value));
}

void IniDocument::SetBool(std::string_view section, std::string_view key, bool value) {
  SetString(section, key, value ? "1" : "0");
}

void IniDocument::SetFloat(std::string_view section, std::string_view key, double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  SetString(section, key, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

bool IniDocument::EraseKey(std::string_view section, std::string_view key) {
  const std::string foldedKey = Fold(key);
  bool erased = false;
  for (Section& s : sections_) {
    if (!s.hasHeader || !EqualsFolded(section, s.folded) || !s.index.count(foldedKey)) continue;
    std::erase_if(s.lines, [&](const Line& line) {
      return !line.key.empty() && EqualsFolded(line.key, foldedKey);
    });
    s.Reindex();
    erased = true;
  }
  return erased;
}

bool IniDocument::EraseSection(std::string_view section) {
  const std::size_t before = sections_.size();
  std::erase_if(sections_,
                [&](const Section& s) { return s.hasHeader && EqualsFolded(section, s.folded); });
  return sections_.size() != before;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Section& s : sections_) {
    if (s.hasHeader && seen.insert(s.folded).second) names.push_back(s.name);
  }
  return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Section& s : sections_) {
    if (!s.hasHeader || !EqualsFolded(section, s.folded)) continue;
    for (const Line& line : s.lines) {
      if (!line.key.empty() && seen.insert(Fold(line.key)).second) names.push_back(line.key);
    }
  }
  return names;
}

}  // namespace brevanto
