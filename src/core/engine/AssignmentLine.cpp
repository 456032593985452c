#include "core/engine/AssignmentLine.h"

#include <limits>

#include "core/engine/ButtonAssignment.h"
#include "core/text/Directives.h"
#include "core/text/Encoding.h"
#include "core/text/NumberText.h"

namespace brevanto {
namespace {

// Kind of old profiles whose only field was the analog factor of a mouse
// assignment.
constexpr int32_t kOldAnalogFactorKind = 4;

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC0 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  return 1;
}

// Lines are defined in UTF-16 units; the text here is UTF-8. A character
// beyond the basic plane counts two units, a stray byte one.
std::size_t ByteOffsetAfterUnits(std::string_view text, std::size_t units) {
  std::size_t pos = 0;
  std::size_t counted = 0;
  while (pos < text.size() && counted < units) {
    const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    counted += length == 4 ? 2 : 1;
    pos += length;
  }
  return pos < text.size() ? pos : text.size();
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    units += length == 4 ? 2 : 1;
    pos += length;
  }
  return units;
}

std::string_view WithoutLastCharacter(std::string_view text) {
  if (text.empty()) return text;
  std::size_t start = text.size() - 1;
  while (start > 0 && text.size() - start < 4 &&
         (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
    --start;
  }
  if (Utf8SequenceLength(static_cast<unsigned char>(text[start])) != text.size() - start) {
    start = text.size() - 1;
  }
  return text.substr(0, start);
}

// The line's leading integer as _wtoi reads it: 0 when it has none.
int32_t LeadingInt(std::string_view line) {
  std::size_t pos = 0;
  long long value = 0;
  if (!ScanInt(line, pos, value)) return 0;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// Text between the first double quote at or after from and the next one.
bool FindQuoted(std::string_view text, std::size_t from, std::size_t& open, std::size_t& close) {
  open = text.find('"', from);
  if (open == std::string_view::npos) return false;
  close = text.find('"', open + 1);
  return close != std::string_view::npos;
}

void ReadKeys(ButtonAssignment& r, std::string_view p) {
  // One token per key, split at the colons; the last token runs on into the
  // rest of the line and %X stops at its first non-hex character.
  std::size_t start = 0;
  for (int k = 0; k < kKeysPerInput; ++k) {
    const std::size_t colon = p.find(':', start);
    const std::string_view token =
        p.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
    ScanDirectives(token, "%X", {&r.keys[0][static_cast<std::size_t>(k)]});
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  const std::size_t comma = p.find(',');
  if (comma == std::string_view::npos) return;
  ScanDirectives(p.substr(comma + 1), "%f, %d, %d", {&r.repeatRate, &r.toggle, &r.repeatDelay});
}

void ReadMultiInput(ButtonAssignment& r, std::string_view p, int fileVersion) {
  int32_t mode = 0;
  auto& k = r.keys;
  if (fileVersion < kFirstFourKeyMultiInputVersion) {
    ScanDirectives(
        p, "%d, %d, %X:%X:%X, %X:%X:%X, %X:%X:%X, %d, %d",
        {&mode, &r.switchDelay, &k[0][0], &k[0][1], &k[0][2], &k[1][0], &k[1][1], &k[1][2],
         &k[2][0], &k[2][1], &k[2][2], &r.analogThreshold1, &r.analogThreshold2});
  } else {
    ScanDirectives(p,
                   "%d, %d, %X:%X:%X:%X, %X:%X:%X:%X, %X:%X:%X:%X, %X:%X:%X:%X, %d, %d, %f, %d, "
                   "%d, %d, %d",
                   {&mode,
                    &r.switchDelay,
                    &k[0][0],
                    &k[0][1],
                    &k[0][2],
                    &k[0][3],
                    &k[1][0],
                    &k[1][1],
                    &k[1][2],
                    &k[1][3],
                    &k[2][0],
                    &k[2][1],
                    &k[2][2],
                    &k[2][3],
                    &k[3][0],
                    &k[3][1],
                    &k[3][2],
                    &k[3][3],
                    &r.analogThreshold1,
                    &r.analogThreshold2,
                    &r.repeatRate,
                    &r.toggle,
                    &r.repeatDelay,
                    &r.minimumHoldDuration,
                    &r.counterResetDuration});
  }
  r.multiMode = MultiMode{mode};
}

// Returns where the fields of a quoted line end, so that a "##" inside a
// program path or profile name is not taken for the start of a comment: a
// comment taken from there would be appended again at every save and the line
// would grow without end.
std::size_t ReadProfileSwitch(ButtonAssignment& r, std::string_view p) {
  std::size_t open = 0;
  std::size_t close = 0;
  if (!FindQuoted(p, 0, open, close)) return 0;
  r.targetName = std::string(p.substr(open + 1, close - open - 1));
  if (close + 1 < p.size()) ScanDirectives(p.substr(close + 1), ", %d", {&r.switchDelay});
  return close + 1;
}

std::size_t ReadLaunchProgram(ButtonAssignment& r, std::string_view p) {
  std::size_t open = 0;
  std::size_t close = 0;
  if (!FindQuoted(p, 0, open, close)) return 0;
  r.targetName = std::string(p.substr(open + 1, close - open - 1));
  if (close + 1 >= p.size()) return close + 1;
  const std::size_t bar1 = p.find('|', close + 1);
  if (bar1 == std::string_view::npos) return close + 1;
  const std::size_t bar2 = p.find('|', bar1 + 1);
  if (bar2 == std::string_view::npos) return bar1 + 1;
  r.parameters = std::string(p.substr(bar1 + 1, bar2 - bar1 - 1));
  const std::size_t bar3 = p.find('|', bar2 + 1);
  if (bar3 == std::string_view::npos) return bar2 + 1;
  r.startFrom = std::string(p.substr(bar2 + 1, bar3 - bar2 - 1));
  return bar3 + 1;
}

void ReadCurrentSyntax(ButtonAssignment& r, std::string_view line, int fileVersion) {
  if (line.empty()) return;
  r.kind = AssignmentKind{LeadingInt(line)};
  if (Utf16Length(line) < 3) return;
  // "N, " is skipped; a two-digit kind leaves a blank the formats tolerate.
  const std::string_view p = line.substr(ByteOffsetAfterUnits(line, 3));

  std::size_t fieldsEnd = 0;
  switch (r.kind) {
    case AssignmentKind::Keys:
      ReadKeys(r, p);
      break;
    case AssignmentKind::Mouse:
      ScanDirectives(p, "%d, %d, %d, %d, %d, %d, %f, %d, %d, %f, %d, %d, %d, %d, %d",
                     {&r.HMove, &r.VMove, &r.wheelV, &r.clickLeft, &r.clickMiddle, &r.clickRight,
                      &r.repeatRate, &r.toggle, &r.analogThreshold1, &r.accelerationFactor,
                      &r.analogFactor, &r.repeatDelay, &r.clickX1, &r.clickX2, &r.wheelH});
      break;
    case AssignmentKind::JoystickSwitch:
      ScanDirectives(p, "%d, %d", {&r.targetJoystick, &r.switchDelay});
      break;
    case AssignmentKind::ProfileSwitch:
      fieldsEnd = ReadProfileSwitch(r, p);
      break;
    case AssignmentKind::MultiInput:
      ReadMultiInput(r, p, fileVersion);
      break;
    case AssignmentKind::MouseAbsolute:
      ScanDirectives(
          p, "%f, %f, %d, %d, %d, %d, %d, %d, %d, %f, %d, %d",
          {&r.absCenterX, &r.absCenterY, &r.absRangeX, &r.absRangeY, &r.clickLeft, &r.clickMiddle,
           &r.clickRight, &r.clickX1, &r.clickX2, &r.repeatRate, &r.toggle, &r.repeatDelay});
      break;
    case AssignmentKind::LaunchProgram:
      fieldsEnd = ReadLaunchProgram(r, p);
      break;
    default:
      break;
  }

  const std::size_t marker = p.find("##", fieldsEnd);
  const std::string afterMarker =
      marker == std::string_view::npos ? std::string() : std::string(p.substr(marker + 2));
  if (r.kind == AssignmentKind::PasteText) {
    r.pasteText = afterMarker;
  } else {
    r.comment = afterMarker;
  }
}

// Old profiles were read as bytes of the ANSI code page; their text arrives
// here already decoded, so it is parsed as it stands and the profile name is
// made valid text again after its closing quote is cut off.
void ReadOldSyntax(ButtonAssignment& r, std::string_view line) {
  const int32_t kind = LeadingInt(line);
  r.kind = AssignmentKind{kind};
  int32_t scannedKind = 0;
  switch (kind) {
    case 1:
      ScanDirectives(
          line, "%d, %X:%X:%X, %f, %d",
          {&scannedKind, &r.keys[0][0], &r.keys[0][1], &r.keys[0][2], &r.repeatRate, &r.toggle});
      break;
    case 2:
      ScanDirectives(
          line, "%d, %d, %d, %d, %d, %d, %d, %f, %d, %d, %f",
          {&scannedKind, &r.HMove, &r.VMove, &r.wheelV, &r.clickLeft, &r.clickMiddle, &r.clickRight,
           &r.repeatRate, &r.toggle, &r.analogThreshold1, &r.accelerationFactor});
      break;
    case kOldAnalogFactorKind:
      ScanDirectives(line, "%d, %d", {&scannedKind, &r.analogFactor});
      r.kind = AssignmentKind::Mouse;
      break;
    case 5:
      ScanDirectives(line, "%d, %d", {&scannedKind, &r.targetJoystick});
      break;
    case 6: {
      constexpr std::string_view kStart = "6, \"";
      if (line.substr(0, kStart.size()) == kStart) {
        r.targetName = AnsiToUtf8(WithoutLastCharacter(line.substr(kStart.size())));
      }
      break;
    }
    default:
      break;
  }
}

std::string_view Text(const std::string& s) {
  return s;
}
double Real(float value) {
  return static_cast<double>(value);
}

}  // namespace

void ReadLine(ButtonAssignment& record, std::string_view line, int fileVersion) {
  record.Clear();
  if (fileVersion >= kFirstCurrentSyntaxVersion) {
    ReadCurrentSyntax(record, line, fileVersion);
  } else {
    ReadOldSyntax(record, line);
  }
  record.Derive();
}

std::string WriteLine(const ButtonAssignment& r) {
  const auto& k = r.keys;
  std::string line;
  switch (r.kind) {
    case AssignmentKind::Keys:
      line = FormatDirectives(
          "1, %02X:%02X:%02X:%02X, %.3f, %1d, %d",
          {k[0][0], k[0][1], k[0][2], k[0][3], Real(r.repeatRate), r.toggle, r.repeatDelay});
      break;
    case AssignmentKind::Mouse:
      line = FormatDirectives(
          "2, %4d,%4d,%4d, %1d, %1d, %1d, %.3f, %1d, %2d, %3.1f, %d, %d, %1d, %1d, %4d",
          {r.HMove, r.VMove, r.wheelV, r.clickLeft, r.clickMiddle, r.clickRight, Real(r.repeatRate),
           r.toggle, r.analogThreshold1, Real(r.accelerationFactor), r.analogFactor, r.repeatDelay,
           r.clickX1, r.clickX2, r.wheelH});
      break;
    case AssignmentKind::JoystickSwitch:
      line = FormatDirectives("%d, %d, %d", {5, r.targetJoystick, r.switchDelay});
      break;
    case AssignmentKind::ProfileSwitch:
      line = FormatDirectives("%d, \"%s\", %d", {6, Text(r.targetName), r.switchDelay});
      break;
    case AssignmentKind::MultiInput:
      line = FormatDirectives(
          "7, %d, %d, %X:%X:%X:%X, %X:%X:%X:%X, %X:%X:%X:%X, %X:%X:%X:%X, %d, %d, %.3f, %1d, %d, "
          "%d, %d",
          {static_cast<int32_t>(r.multiMode),
           r.switchDelay,
           k[0][0],
           k[0][1],
           k[0][2],
           k[0][3],
           k[1][0],
           k[1][1],
           k[1][2],
           k[1][3],
           k[2][0],
           k[2][1],
           k[2][2],
           k[2][3],
           k[3][0],
           k[3][1],
           k[3][2],
           k[3][3],
           r.analogThreshold1,
           r.analogThreshold2,
           Real(r.repeatRate),
           r.toggle,
           r.repeatDelay,
           r.minimumHoldDuration,
           r.counterResetDuration});
      break;
    case AssignmentKind::MouseAbsolute:
      line = FormatDirectives("%d, %f, %f, %d, %d, %1d, %1d, %1d, %1d, %1d, %.3f, %1d, %d",
                              {8, Real(r.absCenterX), Real(r.absCenterY), r.absRangeX, r.absRangeY,
                               r.clickLeft, r.clickMiddle, r.clickRight, r.clickX1, r.clickX2,
                               Real(r.repeatRate), r.toggle, r.repeatDelay});
      break;
    case AssignmentKind::LaunchProgram:
      line = FormatDirectives("%d, \"%s\", |%s|%s|",
                              {9, Text(r.targetName), Text(r.parameters), Text(r.startFrom)});
      break;
    case AssignmentKind::PasteText:
      return FormatDirectives("%d, ##%s", {10, Text(r.pasteText)});
    default:
      line = "0";
      break;
  }
  if (!r.comment.empty()) line += "  ##" + r.comment;
  return line;
}

}  // namespace brevanto
