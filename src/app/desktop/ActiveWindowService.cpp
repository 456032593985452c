#include "app/desktop/ActiveWindowService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QMetaType>
#include <cmath>
#include <string>

#include "core/log/Logger.h"
#include "platform/linux/reported/ReportedWindowTracker.h"

namespace brevanto {
namespace {

const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kAccessDenied = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");

// Enough for the reason and a cut title, however long the text sent.
constexpr int kMaxLoggedProblem = 200;

bool ProcessIdOf(const QVariant& value, int64_t& processId) {
  switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
      processId = value.toLongLong();
      return true;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULongLong: {
      const qulonglong unsignedId = value.toULongLong();
      processId = unsignedId > static_cast<qulonglong>(ReportedWindowTracker::kMaxProcessId)
                      ? -1
                      : static_cast<int64_t>(unsignedId);
      return true;
    }
    case QMetaType::Double: {
      const double number = value.toDouble();
      if (!std::isfinite(number) || number != std::trunc(number)) return false;
      processId = std::fabs(number) > 1e12 ? -1 : static_cast<int64_t>(number);
      return true;
    }
    default:
      return false;
  }
}

bool IsString(const QVariant& value) {
  return value.metaType().id() == QMetaType::QString;
}

}  // namespace

ActiveWindowService::ActiveWindowService(ReportedWindowTracker& tracker, QString desktopName,
                                         QDBusConnection bus, QObject* parent)
    : QDBusVirtualObject(parent),
      tracker_(tracker),
      desktopName_(std::move(desktopName)),
      bus_(std::move(bus)) {}

ActiveWindowService::~ActiveWindowService() {
  if (!registered_) return;
  bus_.unregisterService(QString::fromLatin1(kActiveWindowService));
  bus_.unregisterObject(QString::fromLatin1(kActiveWindowPath));
}

bool ActiveWindowService::Start() {
  if (!bus_.isConnected()) {
    LOG_INFO("ActiveWindow: no session bus, so the desktop cannot report its windows");
    return false;
  }
  watcher_ =
      new QDBusServiceWatcher(desktopName_, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
          &ActiveWindowService::OnOwnerChanged);
  {
    const QDBusReply<QString> owner = bus_.interface()->serviceOwner(desktopName_);
    std::lock_guard<std::mutex> lock(mutex_);
    desktopOwner_ = owner.isValid() ? owner.value() : QString();
  }

  if (!bus_.registerVirtualObject(QString::fromLatin1(kActiveWindowPath), this)) {
    LOG_ERROR("ActiveWindow: cannot serve %s on the session bus", kActiveWindowPath);
    return false;
  }
  if (!bus_.registerService(QString::fromLatin1(kActiveWindowService))) {
    bus_.unregisterObject(QString::fromLatin1(kActiveWindowPath));
    LOG_INFO(
        "ActiveWindow: %s is taken on the session bus (another Brevanto runs?), so this one "
        "gets no window reports from the desktop",
        kActiveWindowService);
    return false;
  }
  registered_ = true;
  const QByteArray desktop = desktopName_.toUtf8();
  LOG_INFO("ActiveWindow: taking the active window from %s as %s", desktop.constData(),
           kActiveWindowService);
  return true;
}

void ActiveWindowService::OnOwnerChanged(const QString&, const QString&, const QString& newOwner) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    desktopOwner_ = newOwner;
  }
  // What the old owner reported no longer holds.
  tracker_.Clear();
  emit DesktopChanged(newOwner);
}

bool ActiveWindowService::FromDesktop(const QDBusMessage& message) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !desktopOwner_.isEmpty() && message.service() == desktopOwner_;
}

QString ActiveWindowService::introspect(const QString&) const {
  return QStringLiteral(
             "<interface name=\"%1\">"
             "<method name=\"WindowActivated\">"
             "<arg name=\"key\" type=\"s\" direction=\"in\"/>"
             "<arg name=\"title\" type=\"s\" direction=\"in\"/>"
             "<arg name=\"appId\" type=\"s\" direction=\"in\"/>"
             "<arg name=\"pid\" type=\"i\" direction=\"in\"/>"
             "<arg name=\"desktopOrDock\" type=\"b\" direction=\"in\"/>"
             "</method>"
             "<method name=\"NoWindowActive\"/>"
             "</interface>")
      .arg(QString::fromLatin1(kActiveWindowInterface));
}

bool ActiveWindowService::handleMessage(const QDBusMessage& message,
                                        const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  if (message.path() != QString::fromLatin1(kActiveWindowPath)) return false;
  if (!message.interface().isEmpty() &&
      message.interface() != QString::fromLatin1(kActiveWindowInterface)) {
    return false;  // introspection and properties are Qt's
  }

  const QString member = message.member();
  if (member != QStringLiteral("WindowActivated") && member != QStringLiteral("NoWindowActive")) {
    connection.send(message.createErrorReply(kUnknownMethod, QStringLiteral("No such method")));
    return true;
  }
  if (!FromDesktop(message)) {
    Reject(message, connection, Rejection::Stranger, kAccessDenied,
           QStringLiteral("sent by %1, which is not %2").arg(message.service(), desktopName_));
    return true;
  }

  if (member == QStringLiteral("NoWindowActive")) {
    tracker_.Clear();
    LOG_DEBUG("ActiveWindow: no window active");
    connection.send(message.createReply());
    return true;
  }

  WindowReport report;
  QString problem;
  if (!ParseReport(message, report, problem)) {
    Reject(message, connection, Rejection::BadArguments, kInvalidArgs, problem);
    return true;
  }
  const ReportVerdict verdict = tracker_.Activate(report);
  if (verdict != ReportVerdict::Accepted) {
    Reject(message, connection, Rejection::Unsound, kInvalidArgs,
           QString::fromLatin1(ReportVerdictText(verdict)));
    return true;
  }
  LOG_DEBUG("ActiveWindow: '%s' of %s, process %lld", report.title.c_str(), report.appId.c_str(),
            static_cast<long long>(report.processId));
  connection.send(message.createReply());
  return true;
}

bool ActiveWindowService::ParseReport(const QDBusMessage& message, WindowReport& report,
                                      QString& problem) {
  const QList<QVariant> arguments = message.arguments();
  if (arguments.size() != 5) {
    problem = QStringLiteral("%1 arguments instead of 5").arg(arguments.size());
    return false;
  }
  if (!IsString(arguments[0]) || !IsString(arguments[1]) || !IsString(arguments[2])) {
    problem = QStringLiteral("key, title and app id must be strings");
    return false;
  }
  if (!ProcessIdOf(arguments[3], report.processId)) {
    problem = QStringLiteral("the process id is not a whole number");
    return false;
  }
  if (arguments[4].metaType().id() != QMetaType::Bool) {
    problem = QStringLiteral("desktopOrDock must be a boolean");
    return false;
  }
  report.key = arguments[0].toString().toStdString();
  report.title = arguments[1].toString().toStdString();
  report.appId = arguments[2].toString().toStdString();
  report.desktopOrDock = arguments[4].toBool();
  return true;
}

void ActiveWindowService::Reject(const QDBusMessage& message, const QDBusConnection& connection,
                                 Rejection kind, const QString& errorName, const QString& reason) {
  connection.send(message.createErrorReply(errorName, reason));
  std::size_t suppressed = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!throttles_[static_cast<int>(kind)].Allow(LogThrottle::Clock::now(), suppressed)) return;
  }
  const QByteArray text = reason.left(kMaxLoggedProblem).toUtf8();
  const std::string more =
      suppressed == 0 ? std::string() : " (and " + std::to_string(suppressed) + " more not logged)";
  LOG_INFO("ActiveWindow: report ignored: %s%s", text.constData(), more.c_str());
}

}  // namespace brevanto
