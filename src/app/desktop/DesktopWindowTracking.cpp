#include "app/desktop/DesktopWindowTracking.h"

#include <QDBusConnectionInterface>
#include <QStandardPaths>

#include "app/desktop/ActiveWindowService.h"
#include "app/desktop/KWinActiveWindowScript.h"
#include "core/log/Logger.h"

namespace brevanto {
namespace {

const QString kKWinName = QStringLiteral("org.kde.KWin");
const QString kShellName = QStringLiteral("org.gnome.Shell");

bool Serves(const QDBusConnection& bus, const QString& name) {
  const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(name);
  return reply.isValid() && reply.value();
}

}  // namespace

ReportingDesktop FindReportingDesktop(QDBusConnection bus) {
  if (!bus.isConnected()) return ReportingDesktop::None;
  if (Serves(bus, kKWinName)) return ReportingDesktop::KWin;
  if (Serves(bus, kShellName)) return ReportingDesktop::GnomeShell;
  return ReportingDesktop::None;
}

DesktopWindowTracking::DesktopWindowTracking(ReportingDesktop desktop, QDBusConnection bus,
                                             QString scriptPath, QObject* parent)
    : QObject(parent),
      desktop_(desktop),
      bus_(std::move(bus)),
      scriptPath_(std::move(scriptPath)) {}

DesktopWindowTracking::~DesktopWindowTracking() {
  // The script goes before the service it reports to.
  script_.reset();
  service_.reset();
}

bool DesktopWindowTracking::Start() {
  if (desktop_ == ReportingDesktop::None) return false;
  if (desktop_ == ReportingDesktop::GnomeShell) {
    extensionState_ = GnomeFocusExtension(bus_).Query();
    if (extensionState_ == GnomeExtensionState::Unknown) {
      LOG_INFO(
          "ActiveWindow: GNOME Shell did not say whether %s is active; taking its reports "
          "if it is",
          GnomeFocusExtension::kUuid);
    } else if (extensionState_ != GnomeExtensionState::Active) {
      LOG_INFO("%s", GnomeExtensionNoticeLog(extensionState_).c_str());
      return false;
    }
  }

  service_ = std::make_unique<ActiveWindowService>(
      tracker_, desktop_ == ReportingDesktop::KWin ? kKWinName : kShellName, bus_);
  if (!service_->Start()) {
    service_.reset();
    return false;
  }
  if (desktop_ == ReportingDesktop::KWin) {
    if (scriptPath_.isEmpty()) {
      scriptPath_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                    QStringLiteral("/brevanto-active-window.js");
    }
    script_ = std::make_unique<KWinActiveWindowScript>(scriptPath_, bus_);
    // A KWin that restarts (or is replaced) has forgotten the script.
    connect(service_.get(), &ActiveWindowService::DesktopChanged, this,
            [this](const QString& owner) {
              if (owner.isEmpty()) return;
              LOG_INFO("ActiveWindow: KWin restarted; loading the script again");
              script_->Load();
            });
    script_->Load();
  }
  return true;
}

}  // namespace brevanto
