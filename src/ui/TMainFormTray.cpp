// The main window in the tray: its menu, minimising to it and restoring from it.
#include "ui/TMainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "core/device/DeviceConfig.h"
#include "core/engine/AssignmentText.h"
#include "core/engine/KeyNames.h"
#include "core/log/Logger.h"
#include "core/ports/AutoStartTask.h"
#include "core/profile/ButtonListRows.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/AppInfo.h"
#include "core/settings/GlobalSettings.h"
#include "ui/AppIcons.h"
#include "ui/ButtonListEditor.h"
#include "ui/Highlight.h"
#include "ui/MainFormHost.h"
#include "ui/MainFormOptions.h"
#include "ui/Theme.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/WindowGeometry.h"
#include "ui/dialogs/TAboutBox.h"
#include "ui/dialogs/TAppLinkDialog.h"
#include "ui/dialogs/TDeviceConfigDialog.h"
#include "ui/dialogs/TGreetingDialog.h"
#include "ui/dialogs/TImageForm.h"
#include "ui/dialogs/TInputNameDialog.h"
#include "ui/dialogs/TPreferenceDialog.h"

namespace brevanto {

void TMainForm::PMTaskTrayPopup() {
  const QList<QAction*> actions = PMTaskTray->actions();
  for (QAction* a : actions) {
    if (a == PMTaskTrayLine) break;
    PMTaskTray->removeAction(a);
    a->deleteLater();
  }
  const std::vector<std::string> names = host_.ProfileNames();
  const int current = host_.CurrentProfileIndex();
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    auto* item = new QAction(ToQ(names[static_cast<std::size_t>(i)]), PMTaskTray);
    item->setCheckable(true);
    item->setChecked(i == current);
    connect(item, &QAction::triggered, this, [this, i] { host_.LoadProfileByIndex(i); });
    PMTaskTray->insertAction(PMTaskTrayLine, item);
  }
}

void TMainForm::TrayIconMouseDown() {
  host_.RedetectDevices(true);
}

void TMainForm::TrayIconClick() {
  if (!shown_) {
    RestoreFromTray();
  } else if (!(host_.FirstStart() && !greeted_)) {
    MinimizeApplication();
  }
}

bool TMainForm::HidesWhenMinimized() const {
  if (!settings_.HideWhenMinimized) return false;
  if (host_.SystemTrayAvailable()) return true;
  // A hidden window comes back only through the tray icon.
  LOG_INFO("No system tray on this desktop: minimizing to the task bar instead of hiding");
  return false;
}

void TMainForm::MinimizeApplication() {
  if (HidesWhenMinimized()) {
    LOG_DEBUG("ShowWindow(SW_HIDE)");
    hide();
  } else if (!isMinimized()) {
    showMinimized();
  }
  shown_ = false;
}

void TMainForm::RestoreApplication() {
  if (settings_.HideWhenMinimized) LOG_DEBUG("ShowWindow(SW_SHOW)");
  showNormal();
  raise();
  activateWindow();
}

void TMainForm::RestoreFromTray() {
  LOG_DEBUG("Restoring Main Window from Task Tray");
  RestoreApplication();
  shown_ = true;
}

void TMainForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) WindowActivationChanged();
  if (event->type() == QEvent::WindowStateChange && isMinimized() && shown_) {
    // The user minimized the window: the same as the command.
    QTimer::singleShot(0, this, &TMainForm::MinimizeApplication);
  }
  QMainWindow::changeEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!exitRequested_ && settings_.ExitMeansMinimize) {
    LOG_DEBUG("OnCloseQuery [CanClose=false]");
    event->ignore();
    MinimizeApplication();
    return;
  }
  LOG_DEBUG("OnCloseQuery [CanClose=true]");
  event->accept();
  if (!closed_) {
    closed_ = true;
    ImageForm->Hide();
    emit Closed();
  }
}

}  // namespace brevanto
