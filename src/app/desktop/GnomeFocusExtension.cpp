#include "app/desktop/GnomeFocusExtension.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QVariantMap>

namespace brevanto {
namespace {

// GNOME Shell's numbers for an extension's state.
enum ShellState {
  kEnabled = 1,
  kDisabled = 2,
  kError = 3,
  kOutOfDate = 4,
  kInitialized = 6,
  kEnabling = 8,
  kUninstalled = 99,
};

constexpr int kQueryTimeoutMs = 2000;

}  // namespace

GnomeExtensionState GnomeFocusExtension::Query() const {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
      QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
  call << QString::fromLatin1(kUuid);
  const QDBusMessage reply = bus_.call(call, QDBus::Block, kQueryTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
    return GnomeExtensionState::Unknown;
  }
  const QVariantMap info = qdbus_cast<QVariantMap>(reply.arguments().first());
  // An extension GNOME Shell has not found comes back as no information.
  if (info.isEmpty()) return GnomeExtensionState::Missing;
  bool ok = false;
  const int state = static_cast<int>(info.value(QStringLiteral("state")).toDouble(&ok));
  if (!ok) return GnomeExtensionState::Unknown;
  switch (state) {
    case kEnabled:
    case kEnabling:
      return GnomeExtensionState::Active;
    case kError:
      return GnomeExtensionState::Failed;
    case kOutOfDate:
      return GnomeExtensionState::OutOfDate;
    case kUninstalled:
      return GnomeExtensionState::Missing;
    case kDisabled:
    case kInitialized:
    default:
      return GnomeExtensionState::Disabled;
  }
}

std::string GnomeExtensionNoticeLog(GnomeExtensionState state) {
  const std::string uuid = GnomeFocusExtension::kUuid;
  const std::string enable = "gnome-extensions enable " + uuid;
  const std::string head = "ActiveWindow: the GNOME Shell extension " + uuid;
  const std::string tail = ", so application links see only X11 windows";
  switch (state) {
    case GnomeExtensionState::Active:
    case GnomeExtensionState::Unknown:
      return {};
    case GnomeExtensionState::Missing:
      return head + " is not installed" + tail +
             "; install Brevanto (make install or the Debian package), log out and in again, "
             "run '" +
             enable + "' and start Brevanto again";
    case GnomeExtensionState::Disabled:
      return head + " is not enabled" + tail + "; run '" + enable +
             "' (or switch it on in the Extensions app) and start Brevanto again";
    case GnomeExtensionState::Failed:
      return head + " failed to start" + tail + "; GNOME Shell's log (journalctl -b) says why";
    case GnomeExtensionState::OutOfDate:
      return head + " does not support this version of GNOME Shell" + tail;
  }
  return {};
}

}  // namespace brevanto
