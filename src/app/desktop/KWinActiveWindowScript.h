#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>

class QDBusPendingCall;

namespace brevanto {

// The KWin script that reports the active window to Brevanto, loaded into
// the running KWin over its /Scripting object and unloaded at exit. The
// script ships inside the program and is written to a file for KWin to read.
class KWinActiveWindowScript : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kPluginName = "brevanto-active-window";

  // scriptPath: where the script is written for KWin.
  KWinActiveWindowScript(QString scriptPath, QDBusConnection bus = QDBusConnection::sessionBus(),
                         QObject* parent = nullptr);
  ~KWinActiveWindowScript() override;

  // Writes the script and asks KWin to load and run it; a script of the same
  // name left by an earlier run is unloaded first. A KWin still starting is
  // asked again for a while. The answer comes later: Loaded, or Failed and a
  // log line.
  void Load();
  // Asks KWin to unload the script, waiting a moment for the answer, and
  // removes the file. Nothing happens when it was never loaded.
  void Unload();

  bool Running() const { return running_; }

  // The script as shipped.
  static QByteArray Source();

 signals:
  void Loaded();
  void Failed(const QString& reason);

 private:
  QDBusMessage ScriptingCall(const char* method) const;
  void Then(const QDBusPendingCall& call, std::function<void(const QDBusMessage&)> next);
  void Attempt();
  void LoadScript();
  void RunScript(int id, int pathIndex = 0);
  void Fail(const QString& reason);

  QString scriptPath_;
  QDBusConnection bus_;
  bool requested_ = false;  // a load was asked for since the last unload
  bool running_ = false;
  // Answers of a load that an unload overtook are dropped.
  int generation_ = 0;
  int attempts_ = 0;
};

}  // namespace brevanto
