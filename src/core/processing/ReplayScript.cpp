#include "core/processing/ReplayScript.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/input/XInputConversion.h"
#include "core/text/Encoding.h"

namespace brevanto {
namespace {

constexpr int32_t kMaxTick = INT32_MAX;

struct NamedControl {
  std::string_view name;
  ReplayControl control;
};

constexpr std::array<NamedControl, 15> kPadControls{{
    {"a", {ReplayControlKind::PadButton, xinput::kA}},
    {"b", {ReplayControlKind::PadButton, xinput::kB}},
    {"x", {ReplayControlKind::PadButton, xinput::kX}},
    {"y", {ReplayControlKind::PadButton, xinput::kY}},
    {"lb", {ReplayControlKind::PadButton, xinput::kLeftShoulder}},
    {"rb", {ReplayControlKind::PadButton, xinput::kRightShoulder}},
    {"back", {ReplayControlKind::PadButton, xinput::kBack}},
    {"start", {ReplayControlKind::PadButton, xinput::kStart}},
    {"ls", {ReplayControlKind::PadButton, xinput::kLeftThumb}},
    {"rs", {ReplayControlKind::PadButton, xinput::kRightThumb}},
    {"guide", {ReplayControlKind::PadButton, xinput::kGuide}},
    {"up", {ReplayControlKind::PadButton, xinput::kDpadUp}},
    {"down", {ReplayControlKind::PadButton, xinput::kDpadDown}},
    {"left", {ReplayControlKind::PadButton, xinput::kDpadLeft}},
    {"right", {ReplayControlKind::PadButton, xinput::kDpadRight}},
}};

constexpr std::array<std::string_view, 8> kAxisNames{"x", "y", "z", "rx", "ry", "rz", "s0", "s1"};
constexpr std::array<std::string_view, 4> kThumbNames{"lx", "ly", "rx", "ry"};
constexpr std::array<std::string_view, 2> kTriggerNames{"lt", "rt"};

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
    if (pos > start) fields.push_back(line.substr(start, pos - start));
  }
  return fields;
}

bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && ptr == end && value >= low && value <= high;
}

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::optional<ReplayControl> DirectInputControl(std::string_view name) {
  if (const int axis = IndexOf(kAxisNames, name); axis >= 0) {
    return ReplayControl{ReplayControlKind::Axis, static_cast<uint16_t>(axis)};
  }
  int64_t number = 0;
  if (name.starts_with("pov") && ParseNumber(name.substr(3), 1, kPovCount, number) &&
      name[3] != '0') {
    return ReplayControl{ReplayControlKind::Pov, static_cast<uint16_t>(number - 1)};
  }
  if (name.starts_with("b") && name.size() > 1 && name[1] != '0' &&
      ParseNumber(name.substr(1), 1, kPlainButtonCount, number)) {
    return ReplayControl{ReplayControlKind::Button, static_cast<uint16_t>(number - 1)};
  }
  return std::nullopt;
}

std::optional<ReplayControl> XInputControl(std::string_view name) {
  if (const int thumb = IndexOf(kThumbNames, name); thumb >= 0) {
    return ReplayControl{ReplayControlKind::Thumb, static_cast<uint16_t>(thumb)};
  }
  if (const int trigger = IndexOf(kTriggerNames, name); trigger >= 0) {
    return ReplayControl{ReplayControlKind::Trigger, static_cast<uint16_t>(trigger)};
  }
  for (const NamedControl& c : kPadControls) {
    if (c.name == name) return c.control;
  }
  return std::nullopt;
}

struct ValueRange {
  int64_t low;
  int64_t high;
  const char* text;
};

ValueRange RangeOf(ReplayControlKind kind) {
  switch (kind) {
    case ReplayControlKind::Axis:
      return {-1000, 1000, "-1000..1000"};
    case ReplayControlKind::Pov:
      return {-1, 35999, "-1 (centred) or 0..35999"};
    case ReplayControlKind::Thumb:
      return {-32768, 32767, "-32768..32767"};
    case ReplayControlKind::Trigger:
      return {0, 255, "0..255"};
    case ReplayControlKind::Button:
    case ReplayControlKind::PadButton:
      break;
  }
  return {0, 1, "0 or 1"};
}

const char* KindName(ReplayDeviceKind kind) {
  return kind == ReplayDeviceKind::XInput ? "xinput" : "dinput";
}

class Parser {
 public:
  ReplayParseResult Run(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    int number = 0;
    for (std::size_t pos = 0; pos <= text.size();) {
      const std::size_t newline = text.find('\n', pos);
      const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
      if (!ParseLine(text.substr(pos, end - pos), ++number)) return Failure();
      pos = end + 1;
    }
    if (endLine_ == 0) {
      Fail(0, "the script has no 'end <tick>' line");
      return Failure();
    }
    for (const ReplayEvent& event : script_.events) {
      if (event.tick > script_.endTick) {
        Fail(event.line, "tick " + std::to_string(event.tick) + " comes after 'end " +
                             std::to_string(script_.endTick) + "' (line " +
                             std::to_string(endLine_) + ")");
        return Failure();
      }
    }
    std::stable_sort(script_.events.begin(), script_.events.end(),
                     [](const ReplayEvent& a, const ReplayEvent& b) { return a.tick < b.tick; });
    return ReplayParseResult{std::move(script_), {}};
  }

 private:
  bool ParseLine(std::string_view line, int number) {
    if (!IsValidUtf8(line)) return Fail(number, "the line is not valid UTF-8");
    if (const std::size_t comment = line.find('#'); comment != std::string_view::npos) {
      line = line.substr(0, comment);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.empty()) return true;
    if (fields[0] == "device") return ParseDevice(fields, number);
    if (fields[0] == "end") return ParseEnd(fields, number);
    return ParseEvent(fields, number);
  }

  bool ParseDevice(const std::vector<std::string_view>& fields, int number) {
    if (fields.size() != 3) return Fail(number, "expected 'device <slot> dinput|xinput'");
    int slot = 0;
    if (!ParseSlot(fields[1], number, slot)) return false;
    ReplayDeviceKind kind;
    if (fields[2] == "dinput") {
      kind = ReplayDeviceKind::DirectInput;
    } else if (fields[2] == "xinput") {
      kind = ReplayDeviceKind::XInput;
    } else {
      return Fail(number, "unknown device type '" + std::string(fields[2]) +
                              "' (expected dinput or xinput)");
    }
    const auto s = static_cast<std::size_t>(slot);
    if (deviceLine_[s] != 0) {
      return Fail(number, "slot " + std::to_string(slot + 1) + " is declared on line " +
                              std::to_string(deviceLine_[s]) + " already");
    }
    if (firstUse_[s] != 0) {
      return Fail(number, "the device line of slot " + std::to_string(slot + 1) +
                              " must come before its first use on line " +
                              std::to_string(firstUse_[s]));
    }
    deviceLine_[s] = number;
    script_.used[s] = true;
    script_.kinds[s] = kind;
    return true;
  }

  bool ParseEnd(const std::vector<std::string_view>& fields, int number) {
    if (fields.size() != 2) return Fail(number, "expected 'end <tick>'");
    if (endLine_ != 0) {
      return Fail(number, "the script ends on line " + std::to_string(endLine_) + " already");
    }
    int32_t tick = 0;
    if (!ParseTick(fields[1], number, tick)) return false;
    script_.endTick = tick;
    endLine_ = number;
    return true;
  }

  bool ParseEvent(const std::vector<std::string_view>& fields, int number) {
    if (fields.size() != 4) {
      return Fail(number, "expected '<tick> <slot> <control> <value>', 'device' or 'end'");
    }
    ReplayEvent event;
    event.line = number;
    if (!ParseTick(fields[0], number, event.tick)) return false;
    if (!ParseSlot(fields[1], number, event.slot)) return false;
    const auto s = static_cast<std::size_t>(event.slot);
    const ReplayDeviceKind kind = script_.kinds[s];
    const std::optional<ReplayControl> control =
        kind == ReplayDeviceKind::XInput ? XInputControl(fields[2]) : DirectInputControl(fields[2]);
    if (!control) {
      return Fail(number, "unknown control '" + std::string(fields[2]) + "' for the " +
                              KindName(kind) + " device of slot " + std::to_string(event.slot + 1));
    }
    event.control = *control;
    const ValueRange range = RangeOf(control->kind);
    int64_t value = 0;
    if (!ParseNumber(fields[3], range.low, range.high, value)) {
      return Fail(number, "value '" + std::string(fields[3]) + "' of " + std::string(fields[2]) +
                              " is not " + range.text);
    }
    event.value = static_cast<int32_t>(value);
    if (firstUse_[s] == 0) firstUse_[s] = number;
    script_.used[s] = true;
    script_.events.push_back(event);
    return true;
  }

  bool ParseSlot(std::string_view text, int number, int& slot) {
    int64_t value = 0;
    if (!ParseNumber(text, 1, kMaxJoysticks, value)) {
      return Fail(number, "slot '" + std::string(text) + "' is not a number from 1 to 50");
    }
    slot = static_cast<int>(value - 1);
    return true;
  }

  bool ParseTick(std::string_view text, int number, int32_t& tick) {
    int64_t value = 0;
    if (!ParseNumber(text, 1, kMaxTick, value)) {
      return Fail(number, "tick '" + std::string(text) + "' is not a number from 1 to " +
                              std::to_string(kMaxTick));
    }
    tick = static_cast<int32_t>(value);
    return true;
  }

  bool Fail(int number, const std::string& message) {
    error_ = number > 0 ? "line " + std::to_string(number) + ": " + message : message;
    return false;
  }

  ReplayParseResult Failure() { return ReplayParseResult{std::nullopt, error_}; }

  ReplayScript script_;
  std::array<int, kMaxJoysticks> deviceLine_{};
  std::array<int, kMaxJoysticks> firstUse_{};
  int endLine_ = 0;
  std::string error_;
};

}  // namespace

ReplayParseResult ParseReplayScript(std::string_view text) {
  return Parser().Run(text);
}

}  // namespace brevanto
