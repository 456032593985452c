#include "ui/AppIcons.h"

#include <QString>

namespace brevanto {

QIcon ApplicationIcon() {
  return QIcon(QStringLiteral(":/icons/brevanto.svg"));
}

QIcon TrayStateIcon(bool paused) {
  return QIcon(paused ? QStringLiteral(":/icons/brevanto-paused.svg")
                      : QStringLiteral(":/icons/brevanto-running.svg"));
}

}  // namespace brevanto
