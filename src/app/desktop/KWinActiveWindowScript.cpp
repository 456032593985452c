#include "app/desktop/KWinActiveWindowScript.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <functional>
#include <iterator>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kScriptInterface = QStringLiteral("org.kde.kwin.Script");
// A desktop that hangs should not hold up the exit for long.
constexpr int kUnloadTimeoutMs = 1000;
// KWin takes its name on the bus before it serves its scripting: a program
// started with the session may find it half there.
constexpr int kRetryIntervalMs = 1000;
constexpr int kMaxAttempts = 30;

bool StillStarting(const QDBusMessage& error) {
  const QString name = error.errorName();
  return name == QStringLiteral("org.freedesktop.DBus.Error.UnknownObject") ||
         name == QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface") ||
         name == QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
}

}  // namespace

KWinActiveWindowScript::KWinActiveWindowScript(QString scriptPath, QDBusConnection bus,
                                               QObject* parent)
    : QObject(parent), scriptPath_(std::move(scriptPath)), bus_(std::move(bus)) {}

KWinActiveWindowScript::~KWinActiveWindowScript() {
  Unload();
}

QByteArray KWinActiveWindowScript::Source() {
  QFile file(QStringLiteral(":/desktop/kwin/brevanto-active-window.js"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QDBusMessage KWinActiveWindowScript::ScriptingCall(const char* method) const {
  return QDBusMessage::createMethodCall(kKWin, kScriptingPath, kScriptingInterface,
                                        QString::fromLatin1(method));
}

void KWinActiveWindowScript::Then(const QDBusPendingCall& call,
                                  std::function<void(const QDBusMessage&)> next) {
  auto* watcher = new QDBusPendingCallWatcher(call, this);
  const int generation = generation_;
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, generation, next = std::move(next)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            if (generation != generation_) return;
            const QDBusMessage reply = finished->reply();
            if (reply.type() == QDBusMessage::ErrorMessage) {
              if (StillStarting(reply) && ++attempts_ < kMaxAttempts) {
                QTimer::singleShot(kRetryIntervalMs, this, [this, generation] {
                  if (generation == generation_) Attempt();
                });
                return;
              }
              Fail(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
              return;
            }
            next(reply);
          });
}

void KWinActiveWindowScript::Load() {
  ++generation_;
  requested_ = true;
  running_ = false;
  attempts_ = 0;
  Attempt();
}

void KWinActiveWindowScript::Attempt() {
  const QByteArray source = Source();
  QSaveFile file(scriptPath_);
  if (source.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(source) != source.size() ||
      !file.commit()) {
    Fail(QStringLiteral("cannot write %1: %2").arg(scriptPath_, file.errorString()));
    return;
  }
  QDBusMessage isLoaded = ScriptingCall("isScriptLoaded");
  isLoaded << QString::fromLatin1(kPluginName);
  Then(bus_.asyncCall(isLoaded), [this](const QDBusMessage& reply) {
    if (reply.arguments().value(0).toBool()) {
      // Left by a run that ended without unloading it; it may be an older
      // version of the script.
      QDBusMessage unload = ScriptingCall("unloadScript");
      unload << QString::fromLatin1(kPluginName);
      Then(bus_.asyncCall(unload), [this](const QDBusMessage&) { LoadScript(); });
      return;
    }
    LoadScript();
  });
}

void KWinActiveWindowScript::LoadScript() {
  QDBusMessage load = ScriptingCall("loadScript");
  load << scriptPath_ << QString::fromLatin1(kPluginName);
  Then(bus_.asyncCall(load), [this](const QDBusMessage& reply) {
    bool ok = false;
    const int id = reply.arguments().value(0).toInt(&ok);
    if (!ok || id < 0) {
      Fail(QStringLiteral("KWin refused the script %1").arg(scriptPath_));
      return;
    }
    RunScript(id);
  });
}

void KWinActiveWindowScript::RunScript(int id, int pathIndex) {
  // Plasma 5 serves a loaded script at /<id>, Plasma 6 at /Scripting/Script<id>.
  static const char* const kScriptPaths[] = {"/%1", "/Scripting/Script%1"};
  constexpr int kPathCount = static_cast<int>(std::size(kScriptPaths));
  const QDBusMessage run =
      QDBusMessage::createMethodCall(kKWin, QString::fromLatin1(kScriptPaths[pathIndex]).arg(id),
                                     kScriptInterface, QStringLiteral("run"));
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(run), this);
  const int generation = generation_;
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, generation, id, pathIndex](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            if (generation != generation_) return;
            const QDBusMessage reply = finished->reply();
            if (reply.type() == QDBusMessage::ErrorMessage) {
              if (pathIndex + 1 < kPathCount) {
                RunScript(id, pathIndex + 1);
              } else {
                Fail(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
              }
              return;
            }
            running_ = true;
            LOG_INFO("ActiveWindow: the KWin script %s runs", kPluginName);
            emit Loaded();
          });
}

void KWinActiveWindowScript::Fail(const QString& reason) {
  running_ = false;
  const QByteArray text = reason.toUtf8();
  LOG_ERROR(
      "ActiveWindow: the KWin script could not be loaded (%s); application links see only "
      "X11 windows",
      text.constData());
  emit Failed(reason);
}

void KWinActiveWindowScript::Unload() {
  if (!requested_) return;
  requested_ = false;
  running_ = false;
  ++generation_;
  QDBusMessage unload = ScriptingCall("unloadScript");
  unload << QString::fromLatin1(kPluginName);
  const QDBusMessage reply = bus_.call(unload, QDBus::Block, kUnloadTimeoutMs);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    const QByteArray text = reply.errorMessage().toUtf8();
    LOG_INFO("ActiveWindow: KWin did not unload the script: %s", text.constData());
  }
  QFile::remove(scriptPath_);
}

}  // namespace brevanto
