#pragma once

#include <QDBusConnection>
#include <string>

namespace brevanto {

enum class GnomeExtensionState {
  Active,
  Missing,  // GNOME Shell does not know it: not installed, or not since the last login
  Disabled,
  Failed,     // GNOME Shell could not run it
  OutOfDate,  // made for other versions of GNOME Shell
  Unknown,    // GNOME Shell did not answer
};

// The GNOME Shell extension that reports the focused window to Brevanto. It
// is installed with Brevanto but, like every extension, runs only once the
// user has enabled it.
class GnomeFocusExtension {
 public:
  static constexpr const char* kUuid = "brevanto-focus@brevanto.example";

  explicit GnomeFocusExtension(QDBusConnection bus = QDBusConnection::sessionBus())
      : bus_(std::move(bus)) {}

  // Asks GNOME Shell, waiting a moment for the answer.
  GnomeExtensionState Query() const;

 private:
  QDBusConnection bus_;
};

// What the user can do about an extension that is not active, for the log.
std::string GnomeExtensionNoticeLog(GnomeExtensionState state);

}  // namespace brevanto
