#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <mutex>

#include "core/log/LogThrottle.h"

class QDBusServiceWatcher;

namespace brevanto {

class ReportedWindowTracker;
struct WindowReport;

// Where the desktop's script or extension reports the active window:
//   WindowActivated(s key, s title, s appId, pid, b desktopOrDock)
//   NoWindowActive()
// on the session bus. pid may come as any integer type or as a whole double
// (scripts hold numbers as doubles); 0 means unknown.
inline constexpr const char* kActiveWindowService = "example.brevanto.Brevanto";
inline constexpr const char* kActiveWindowPath = "/example/brevanto/Brevanto/ActiveWindow";
inline constexpr const char* kActiveWindowInterface = "example.brevanto.Brevanto.ActiveWindow";

// Takes the desktop's reports into the tracker. Only the program that owns
// the desktop's well-known name (the compositor or shell running the script)
// is listened to: any other program of the session could otherwise pick the
// profile. Unsound or foreign reports are answered with an error and logged,
// a few lines at most however many arrive.
class ActiveWindowService : public QDBusVirtualObject {
  Q_OBJECT

 public:
  ActiveWindowService(ReportedWindowTracker& tracker, QString desktopName,
                      QDBusConnection bus = QDBusConnection::sessionBus(),
                      QObject* parent = nullptr);
  ~ActiveWindowService() override;

  // Serves the object and takes the well-known name; false, logged, when
  // there is no session bus or another program (another Brevanto) holds the
  // name.
  bool Start();

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 signals:
  // The desktop's program went away or was replaced: it has to be told
  // again what to report (the KWin script is gone with it).
  void DesktopChanged(const QString& newOwner);

 private:
  enum class Rejection { Stranger, BadArguments, Unsound, Count };

  void OnOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
  bool FromDesktop(const QDBusMessage& message) const;
  static bool ParseReport(const QDBusMessage& message, WindowReport& report, QString& problem);
  void Reject(const QDBusMessage& message, const QDBusConnection& connection, Rejection kind,
              const QString& errorName, const QString& reason);

  ReportedWindowTracker& tracker_;
  QString desktopName_;
  QDBusConnection bus_;
  QDBusServiceWatcher* watcher_ = nullptr;
  bool registered_ = false;
  // Messages may be handled on the bus's thread while the owner changes on
  // the object's.
  mutable std::mutex mutex_;
  QString desktopOwner_;
  LogThrottle throttles_[static_cast<int>(Rejection::Count)];
};

}  // namespace brevanto
