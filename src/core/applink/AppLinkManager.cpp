#include "core/applink/AppLinkManager.h"

#include <climits>

#include "core/log/Logger.h"
#include "core/settings/AtomicFile.h"
#include "core/text/Encoding.h"
#include "core/text/NumberText.h"
#include "core/text/TextCase.h"

namespace brevanto {
namespace {

constexpr char kHeader[] = "AppLinkData";
constexpr char kFormatNumber[] = "46";

// Lines end at CR, LF or CR LF; a break at the very end starts no new line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(pos, end - pos));
    if (end == text.size()) break;
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

// Fields split at every separator. A field that begins with a double quote
// runs to the matching quote, two quotes standing for one; text between the
// closing quote and the next separator is added to it.
std::vector<std::string> SplitFields(std::string_view line, char separator) {
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  std::size_t pos = 0;
  for (;;) {
    std::string field;
    if (pos < line.size() && line[pos] == '"') {
      ++pos;
      while (pos < line.size()) {
        if (line[pos] != '"') {
          field += line[pos++];
        } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
          field += '"';
          pos += 2;
        } else {
          ++pos;
          break;
        }
      }
    }
    while (pos < line.size() && line[pos] != separator) field += line[pos++];
    fields.push_back(std::move(field));
    if (pos >= line.size()) break;
    ++pos;  // the separator
    if (pos == line.size()) {
      fields.emplace_back();
      break;
    }
  }
  return fields;
}

// A line break inside a field would end the record early and turn the rest
// into a record of its own.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

// Fields are written as they are, which older versions read. A field that
// holds the separator, or begins with a quote, is quoted so that it reads
// back whole.
std::string FieldText(const std::string& field) {
  const std::string text = OneLine(field);
  if (text.find('|') == std::string::npos && (text.empty() || text.front() != '"')) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

bool ParseWholeInt(std::string_view text, int& value) {
  std::size_t pos = 0;
  long long scanned = 0;
  if (!ScanInt(text, pos, scanned)) return false;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  if (pos != text.size() || scanned < INT_MIN || scanned > INT_MAX) return false;
  value = static_cast<int>(scanned);
  return true;
}

}  // namespace

AppLinkManager::AppLinkManager(std::string dataDir) : dataDir_(std::move(dataDir)) {}

void AppLinkManager::SetLinks(std::vector<AppLink> links) {
  links_ = std::move(links);
  upperPaths_.clear();
  upperPaths_.reserve(links_.size());
  for (const AppLink& link : links_) upperPaths_.push_back(UpperCase(link.Path));
}

void AppLinkManager::Replace(std::vector<AppLink> links, int policy, std::string defaultProfile) {
  SetLinks(std::move(links));
  policy_ = policy;
  defaultProfile_ = std::move(defaultProfile);
}

void AppLinkManager::Load() {
  SetLinks({});
  std::string bytes;
  const FileReadStatus status = ReadWholeFile(FilePath(), bytes);
  if (status == FileReadStatus::Missing) {
    LOG_INFO("Failed to find AppLink.dat");
    return;
  }
  if (status == FileReadStatus::Failed) return;

  const std::vector<std::string> lines = SplitLines(DecodeText(bytes).text);
  LOG_INFO("--- Loading \"AppLink.dat\" ---");
  for (const std::string& line : lines) LOG_DEBUG("%s", line.c_str());

  std::size_t first = 0;
  char separator = '|';
  if (!lines.empty() && lines[0] == kHeader) {
    if (lines.size() <= 3) {
      LOG_ERROR("Failed to open \"AppLink.dat\": Invalid Data");
      return;
    }
    int policy = kLastSelected;
    if (!ParseWholeInt(lines[2], policy)) {
      // The links are still worth having; the next save writes a valid policy.
      LOG_ERROR("AppLink.dat: the policy is not a number; using %d", kLastSelected);
      policy = kLastSelected;
    }
    policy_ = policy;
    defaultProfile_ = lines[3];
    first = 4;
  } else {
    // Files of old versions have no header and separate fields with colons.
    policy_ = kLastSelected;
    defaultProfile_.clear();
    separator = ':';
  }

  std::vector<AppLink> links;
  for (std::size_t i = first; i < lines.size(); ++i) {
    std::vector<std::string> fields = SplitFields(lines[i], separator);
    if (fields.size() < 3) continue;
    links.push_back(AppLink{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                            fields.size() > 3 ? std::move(fields[3]) : std::string()});
  }
  SetLinks(std::move(links));
  LOG_INFO("--- Total %zu record(s) loaded ---", links_.size());
}

bool AppLinkManager::Save() const {
  std::string text;
  auto addLine = [&text](const std::string& line) {
    text += line;
    text += "\r\n";
  };
  addLine(kHeader);
  addLine(kFormatNumber);
  addLine(std::to_string(policy_));
  addLine(OneLine(defaultProfile_));
  for (const AppLink& link : links_) {
    addLine(FieldText(link.AppName) + "|" + FieldText(link.Profile) + "|" + FieldText(link.Path) +
            "|" + FieldText(link.Title));
  }
  return SaveFileAtomically(FilePath(), EncodeText(text, TextEncoding::Utf16LeBom));
}

int AppLinkManager::Match(std::string_view path, std::string_view title,
                          bool isDesktopOrDock) const {
  std::string upperPath = UpperCase(path);
  if (isDesktopOrDock) {
    LOG_DEBUG("DESKTOP?");
    upperPath = kDesktop;
  } else if (title.empty()) {
    if (!path.empty() && upperPath.find("\\EXPLORER.EXE") != std::string::npos) {
      LOG_DEBUG("DESKTOP?");
      upperPath = kDesktop;
    } else if (path.empty()) {
      LOG_DEBUG("TASKBAR?");
      upperPath = kDesktop;
    }
  }

  auto found = [this](const char* how, std::size_t i) {
    const AppLink& link = links_[i];
    LOG_DEBUG("Matching application found by %s [AppName=%s, Profile=%s, Path=%s, Title=%s]", how,
              link.AppName.c_str(), link.Profile.c_str(), link.Path.c_str(), link.Title.c_str());
    return static_cast<int>(i);
  };
  auto pathMatches = [&](std::size_t i) {
    return !upperPaths_[i].empty() && upperPath.find(upperPaths_[i]) != std::string::npos;
  };
  auto titleMatches = [&](std::size_t i) {
    return title.find(links_[i].Title) != std::string_view::npos;
  };

  for (std::size_t i = 0; i < links_.size(); ++i) {
    if (!links_[i].Title.empty() && titleMatches(i) && pathMatches(i)) {
      return found("path and title", i);
    }
  }
  for (std::size_t i = 0; i < links_.size(); ++i) {
    if (links_[i].Title.empty() && pathMatches(i)) return found("path", i);
  }
  for (std::size_t i = 0; i < links_.size(); ++i) {
    if (links_[i].Path.empty() && !links_[i].Title.empty() && titleMatches(i)) {
      return found("title", i);
    }
  }
  return -1;
}

}  // namespace brevanto
