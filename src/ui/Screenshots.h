#pragma once

#include <string>
#include <vector>

namespace brevanto {

class TMainForm;

// The pictures of the window the documentation shows, by file name.
inline constexpr const char* kScreenshotMainWindow = "main-window.png";
inline constexpr const char* kScreenshotMainWindowDark = "main-window-dark.png";
inline constexpr const char* kScreenshotOptions = "options.png";
inline constexpr const char* kScreenshotTrayMenu = "tray-menu.png";
inline constexpr const char* kScreenshotAbout = "about.png";
inline constexpr const char* kScreenshotPreferences = "preferences.png";
inline constexpr const char* kScreenshotAppLinks = "applinks.png";
inline constexpr const char* kScreenshotAppLinkItem = "applink-item.png";
// The assignment dialog, one picture per page in the order of its tabs.
inline constexpr const char* kScreenshotAssignPages[] = {
    "assign-keyboard.png", "assign-multi.png", "assign-mouse.png",
    "assign-position.png", "assign-text.png",  "assign-special.png"};
inline constexpr const char* kScreenshotDeviceConfig = "device-config.png";
inline constexpr const char* kScreenshotTemplates = "templates.png";
// The tray menu picture has a strip of panel below the menu with the tray
// icon in it.
inline constexpr int kScreenshotTrayStripHeight = 32;
inline constexpr int kScreenshotTrayIconSize = 24;

// Shows the window and writes its pictures into the folder (which must
// exist): the first joystick tab in the light and the dark theme, the options
// page, the tray menu, the About box, where the program has application links
// their list and the first link in its own dialog, the pages of the assignment
// dialog (each with a button of the first tab that uses it, when there is one),
// the preferences, then the device settings on their second page and the
// button labels of the Xbox template. The window is rendered by itself, so no
// window manager or screen capture is needed; it is made the active window
// first, as highlights show only then. The theme, the tab and the processing
// thread are as before when it returns. Returns the files written; error names
// the first that failed.
std::vector<std::string> WriteScreenshots(TMainForm& form, const std::string& folder,
                                          std::string& error);

}  // namespace brevanto
