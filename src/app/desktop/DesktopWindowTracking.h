#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <memory>

#include "app/desktop/GnomeFocusExtension.h"
#include "platform/linux/reported/ReportedWindowTracker.h"

namespace brevanto {

class ActiveWindowService;
class KWinActiveWindowScript;

enum class ReportingDesktop { None, KWin, GnomeShell };

// The desktop of this session that can report its active window over the
// session bus: KWin when it serves org.kde.KWin, GNOME Shell when it serves
// org.gnome.Shell. For Wayland sessions: on X11 the X11 tracker sees every
// window without help.
ReportingDesktop FindReportingDesktop(QDBusConnection bus = QDBusConnection::sessionBus());

// Window tracking fed by the desktop: the tracker, the D-Bus service the
// reports arrive at, and the desktop's side of it (the KWin script it loads,
// or the GNOME Shell extension it checks). Lives on the user-interface
// thread; the tracker is read by the processing thread too.
class DesktopWindowTracking : public QObject {
  Q_OBJECT

 public:
  // scriptPath: where the KWin script is written for KWin to read; empty
  // means the user's runtime directory.
  DesktopWindowTracking(ReportingDesktop desktop,
                        QDBusConnection bus = QDBusConnection::sessionBus(),
                        QString scriptPath = {}, QObject* parent = nullptr);
  ~DesktopWindowTracking() override;

  // Starts taking reports. False, logged, when the desktop cannot report
  // here: no session bus, another Brevanto takes the reports, or the GNOME
  // Shell extension is not active (ExtensionState() says why; the log tells
  // the user what to do). The caller then tracks X11 windows only.
  bool Start();

  WindowTracker& Tracker() { return tracker_; }
  ReportingDesktop Desktop() const { return desktop_; }
  // Active for KWin; what GNOME Shell answered otherwise.
  GnomeExtensionState ExtensionState() const { return extensionState_; }

 private:
  ReportingDesktop desktop_;
  QDBusConnection bus_;
  QString scriptPath_;
  GnomeExtensionState extensionState_ = GnomeExtensionState::Active;
  // The service and the script use the tracker and go first.
  ReportedWindowTracker tracker_;
  std::unique_ptr<ActiveWindowService> service_;
  std::unique_ptr<KWinActiveWindowScript> script_;
};

}  // namespace brevanto
