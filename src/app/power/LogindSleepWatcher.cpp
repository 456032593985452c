#include "app/power/LogindSleepWatcher.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "core/log/Logger.h"
#include "core/processing/Messages.h"

namespace brevanto {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

}  // namespace

LogindSleepWatcher::LogindSleepWatcher(PowerBroadcastHandler& handler, QDBusConnection bus,
                                       QObject* parent)
    : QObject(parent), handler_(handler), bus_(std::move(bus)) {}

bool LogindSleepWatcher::Start() {
  if (!bus_.isConnected() ||
      !bus_.connect(kService, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                    SLOT(OnPrepareForSleep(bool)))) {
    const QByteArray reason = bus_.lastError().message().toUtf8();
    LOG_INFO("PowerEvents: no system bus; suspend and resume are not watched (%s)",
             reason.constData());
    return false;
  }
  LOG_INFO("PowerEvents: watching logind for suspend and resume");
  TakeDelayLock();
  return true;
}

void LogindSleepWatcher::OnPrepareForSleep(bool start) {
  if (start) {
    handler_.Handle(PBT_APMSUSPEND);
    // Closing the inhibitor lets the sleep go ahead.
    delayLock_ = QDBusUnixFileDescriptor();
  } else {
    handler_.Handle(PBT_APMRESUMEAUTOMATIC);
    TakeDelayLock();
  }
}

void LogindSleepWatcher::TakeDelayLock() {
  if (delayLock_.isValid()) return;
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
  call << QStringLiteral("sleep") << QStringLiteral("Brevanto")
       << QStringLiteral("Releasing held keys and controllers") << QStringLiteral("delay");
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this](QDBusPendingCallWatcher* finished) {
            const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
            finished->deleteLater();
            if (reply.isError()) {
              // Said once: without the lock, keys are still released on
              // suspend, only perhaps after the machine slept.
              if (!delayLockRefused_) {
                const QByteArray reason = reply.error().message().toUtf8();
                LOG_INFO("PowerEvents: no delay lock for suspend: %s", reason.constData());
              }
              delayLockRefused_ = true;
              return;
            }
            delayLock_ = reply.value();
          });
}

}  // namespace brevanto
