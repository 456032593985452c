#include "core/settings/GlobalSettings.h"

#include <climits>
#include <cmath>

#include "core/log/Logger.h"
#include "core/settings/IniDocument.h"
#include "core/text/NumberText.h"

namespace brevanto {
namespace {

constexpr char kDirectInput[] = "DirectInput";
constexpr char kLastStatus[] = "LastStatus";

}  // namespace

void ParseAxisMapping(const std::string& text, std::array<int, 8>& mapping) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < mapping.size() && start <= text.size(); ++i) {
    std::size_t colon = text.find(':', start);
    if (colon == std::string::npos) colon = text.size();
    const std::string_view piece = std::string_view(text).substr(start, colon - start);
    std::size_t pos = 0;
    long long value = 0;
    if (ScanInt(piece, pos, value)) {
      mapping[i] = static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
    }
    start = colon + 1;
  }
}

std::string AxisMappingText(const std::array<int, 8>& mapping) {
  return IntListText(mapping.data(), static_cast<int>(mapping.size()));
}

void ReadGlobalSettings(const IniDocument& ini, GlobalSettings& s, bool keepFileName) {
  const GlobalSettings d;
  auto readBool = [&ini](const char* key, bool fallback) {
    return ini.GetBool(kLastStatus, key, fallback);
  };
  auto readInt = [&ini](const char* key, int fallback) {
    return ini.GetInt(kLastStatus, key, fallback);
  };

  s.AllowMultipleRunning = readBool("AllowMultipleRunning", d.AllowMultipleRunning);
  s.StartIconified = readBool("StartIconified", d.StartIconified);
  s.ExitMeansMinimize = readBool("ExitMeansMinimize", d.ExitMeansMinimize);
  s.HideWhenMinimized = readBool("HideWhenMinimized", d.HideWhenMinimized);
  s.AnalogDeadZone = ini.GetInt(kDirectInput, "AnalogDeadZone", d.AnalogDeadZone);
  s.AnalogSaturation = ini.GetInt(kDirectInput, "AnalogSaturation", d.AnalogSaturation);
  s.DefaultAxisMapping = d.DefaultAxisMapping;
  ParseAxisMapping(
      ini.GetString(kDirectInput, "DefaultAxisMapping", AxisMappingText(d.DefaultAxisMapping)),
      s.DefaultAxisMapping);
  s.WindowPositionTop = readInt("WindowPositionTop", d.WindowPositionTop);
  s.WindowPositionLeft = readInt("WindowPositionLeft", d.WindowPositionLeft);
  s.WindowWidth = readInt("WindowWidth", d.WindowWidth);
  s.WindowHeight = readInt("WindowHeight", d.WindowHeight);
  s.SplitterPosition = readInt("SplitterPosition", d.SplitterPosition);
  s.ListColumnWidthButton = readInt("ListColumnWidthButton", d.ListColumnWidthButton);
  s.ListColumnWidthKeyboard = readInt("ListColumnWidthKeyboard", d.ListColumnWidthKeyboard);
  s.ListColumnWidthAuto = readInt("ListColumnWidthAuto", d.ListColumnWidthAuto);
  s.ListColumnWidthComment = readInt("ListColumnWidthComment", d.ListColumnWidthComment);
  s.DarkMode = readBool("DarkMode", d.DarkMode);
  if (!keepFileName) s.FileName = ini.GetString(kLastStatus, "FileName", d.FileName);
  s.HighlightButtons = readBool("HighlightButtons", d.HighlightButtons);
  s.HighlightButtonsForAllTabs =
      readBool("HighlightButtonsForAllTabs", d.HighlightButtonsForAllTabs);
  s.SkipForegroundProcessing = readBool("SkipForegroundProcessing", s.HighlightButtons);
  s.NotifyBalloon = readBool("NotifyBalloon", d.NotifyBalloon);
  s.NotifySoundFile = ini.GetString(kLastStatus, "NotifySoundFile", d.NotifySoundFile);
  s.NotifyProfileImage = readBool("NotifyProfileImage", d.NotifyProfileImage);
  s.ProfileImageDuration = readInt("ProfileImageDuration", d.ProfileImageDuration);
  s.ProfileImagePosition = readInt("ProfileImagePosition", d.ProfileImagePosition);
  s.IgnoreInputAfterProfileSwitch =
      readInt("IgnoreInputAfterProfileSwitch", d.IgnoreInputAfterProfileSwitch);
  s.IgnoreInputAfterShiftSwitch =
      readInt("IgnoreInputAfterShiftSwitch", d.IgnoreInputAfterShiftSwitch);
  s.TurboMode = readInt("TurboMode", d.TurboMode);
  s.ShowDebugLog = readBool("ShowDebugLog", d.ShowDebugLog);
  s.XInputSupport = readInt("XInputSupport", d.XInputSupport);
  s.AccelerationSharpness =
      ini.GetFloat(kLastStatus, "AccelerationSharpness", d.AccelerationSharpness);
  s.FontSizeProfileList = readInt("FontSizeProfileList", d.FontSizeProfileList);
  s.FontSizeButtonList = readInt("FontSizeButtonList", d.FontSizeButtonList);
  s.ProfileImageFullScreenRatio =
      ini.GetFloat(kLastStatus, "ProfileImageFullScreenRatio", d.ProfileImageFullScreenRatio);
  s.AutoDetectDevicesUpTo = readInt("AutoDetectDevicesUpTo", d.AutoDetectDevicesUpTo);

  // The cycle period is 16 ms shifted right by TurboMode and every duration is
  // shifted left by it: outside 0..4 the shifts are undefined or give a zero
  // period.
  if (s.TurboMode < 0 || s.TurboMode > GlobalSettings::kMaxTurboMode) {
    LOG_ERROR("Ignoring TurboMode=%d: out of range 0..%d", s.TurboMode,
              GlobalSettings::kMaxTurboMode);
    s.TurboMode = d.TurboMode;
  }
  // The acceleration curve's exponent divides by ln(AccelerationSharpness);
  // a base of 1 or less gives an infinite or negative exponent.
  if (!(s.AccelerationSharpness > 1.0)) {
    LOG_ERROR("Ignoring AccelerationSharpness=%s: must be above 1",
              FormatFixed(s.AccelerationSharpness, 3).c_str());
    s.AccelerationSharpness = d.AccelerationSharpness;
  }
}

void WriteGlobalSettings(IniDocument& ini, const GlobalSettings& s) {
  auto writeBool = [&ini](const char* key, bool value) { ini.SetBool(kLastStatus, key, value); };
  auto writeInt = [&ini](const char* key, int value) { ini.SetInt(kLastStatus, key, value); };

  ini.SetInt(kDirectInput, "AnalogDeadZone", s.AnalogDeadZone);
  ini.SetInt(kDirectInput, "AnalogSaturation", s.AnalogSaturation);
  ini.SetString(kDirectInput, "DefaultAxisMapping", AxisMappingText(s.DefaultAxisMapping));

  writeBool("AllowMultipleRunning", s.AllowMultipleRunning);
  writeBool("StartIconified", s.StartIconified);
  writeBool("ExitMeansMinimize", s.ExitMeansMinimize);
  writeBool("HideWhenMinimized", s.HideWhenMinimized);
  writeInt("WindowPositionTop", s.WindowPositionTop);
  writeInt("WindowPositionLeft", s.WindowPositionLeft);
  writeInt("WindowWidth", s.WindowWidth);
  writeInt("WindowHeight", s.WindowHeight);
  writeInt("SplitterPosition", s.SplitterPosition);
  writeInt("ListColumnWidthButton", s.ListColumnWidthButton);
  writeInt("ListColumnWidthKeyboard", s.ListColumnWidthKeyboard);
  writeInt("ListColumnWidthAuto", s.ListColumnWidthAuto);
  writeInt("ListColumnWidthComment", s.ListColumnWidthComment);
  writeBool("DarkMode", s.DarkMode);
  ini.SetString(kLastStatus, "FileName", s.FileName);
  writeBool("HighlightButtons", s.HighlightButtons);
  writeBool("HighlightButtonsForAllTabs", s.HighlightButtonsForAllTabs);
  writeBool("SkipForegroundProcessing", s.SkipForegroundProcessing);
  writeBool("NotifyBalloon", s.NotifyBalloon);
  ini.SetString(kLastStatus, "NotifySoundFile", s.NotifySoundFile);
  writeBool("NotifyProfileImage", s.NotifyProfileImage);
  writeInt("ProfileImageDuration", s.ProfileImageDuration);
  writeInt("ProfileImagePosition", s.ProfileImagePosition);
  writeInt("IgnoreInputAfterProfileSwitch", s.IgnoreInputAfterProfileSwitch);
  writeInt("IgnoreInputAfterShiftSwitch", s.IgnoreInputAfterShiftSwitch);
  writeBool("ShowDebugLog", s.ShowDebugLog);
  writeInt("TurboMode", s.TurboMode);
  writeInt("XInputSupport", s.XInputSupport);
  ini.SetFloat(kLastStatus, "AccelerationSharpness", s.AccelerationSharpness);
  writeInt("FontSizeProfileList", s.FontSizeProfileList);
  writeInt("FontSizeButtonList", s.FontSizeButtonList);
  ini.SetFloat(kLastStatus, "ProfileImageFullScreenRatio", s.ProfileImageFullScreenRatio);
  writeInt("AutoDetectDevicesUpTo", s.AutoDetectDevicesUpTo);
}

}  // namespace brevanto
