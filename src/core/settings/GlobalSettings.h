#pragma once

#include <array>
#include <string>

namespace brevanto {

class IniDocument;

// The program-wide preferences kept in "Brevanto.ini". Each field is named
// after its key; the initial values are the defaults of a missing file.
struct GlobalSettings {
  // Section DirectInput.
  int AnalogDeadZone = 1000;
  int AnalogSaturation = 10000;
  // A first entry of -1 lets the device back end choose the mapping.
  std::array<int, 8> DefaultAxisMapping{-1, 0, 0, 0, 0, 0, 6, 7};

  // Section LastStatus.
  bool AllowMultipleRunning = false;
  bool StartIconified = false;
  bool ExitMeansMinimize = true;
  bool HideWhenMinimized = false;
  int WindowPositionTop = -1;
  int WindowPositionLeft = -1;
  int WindowWidth = 710;
  int WindowHeight = 500;
  int SplitterPosition = 248;
  int ListColumnWidthButton = 75;
  int ListColumnWidthKeyboard = 144;
  int ListColumnWidthAuto = 44;
  int ListColumnWidthComment = 140;
  bool DarkMode = false;
  std::string FileName;
  bool HighlightButtons = true;
  bool HighlightButtonsForAllTabs = false;
  // When missing from the file, it follows HighlightButtons.
  bool SkipForegroundProcessing = true;
  bool NotifyBalloon = false;
  std::string NotifySoundFile;
  bool NotifyProfileImage = false;
  int ProfileImageDuration = 2000;
  int ProfileImagePosition = 3;
  int IgnoreInputAfterProfileSwitch = 0;
  int IgnoreInputAfterShiftSwitch = 0;
  int TurboMode = 0;
  bool ShowDebugLog = false;
  int XInputSupport = 2;
  double AccelerationSharpness = 3.0;
  int FontSizeProfileList = 0;
  int FontSizeButtonList = 0;
  double ProfileImageFullScreenRatio = 0.0;
  int AutoDetectDevicesUpTo = 1;

  static constexpr int kMaxTurboMode = 4;

  bool operator==(const GlobalSettings&) const = default;
};

// Reads every key. FileName is read only when keepFileName is false (a
// profile named on the command line wins). A value that is not a number takes
// the key's default; a value the program cannot run with is logged and takes
// the default too.
void ReadGlobalSettings(const IniDocument& ini, GlobalSettings& settings, bool keepFileName);

// Writes every key, keeping the rest of the document.
void WriteGlobalSettings(IniDocument& ini, const GlobalSettings& settings);

// Splits text at ":" and scans up to eight pieces as decimal integers into the
// entries in order; a piece without a number leaves its entry as it was.
void ParseAxisMapping(const std::string& text, std::array<int, 8>& mapping);
std::string AxisMappingText(const std::array<int, 8>& mapping);

}  // namespace brevanto
