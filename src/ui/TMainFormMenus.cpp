// The main window's menus and the commands of the menu bar.
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
namespace {

QAction* NewAction(QObject* parent, const char* name, const QString& text) {
  auto* action = new QAction(text, parent);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

}  // namespace

void TMainForm::NotAvailable(QAction* action) {
  action->setEnabled(false);
  action->setToolTip(QString::fromUtf8(kNotAvailableYet));
  unavailable_.push_back(action);
}

void TMainForm::WatchMenu(QMenu* menu) {
  menu->setToolTipsVisible(true);
  connect(menu, &QMenu::aboutToShow, this, [this] {
    if (menusOpen_++ == 0) host_.SetMenuOpen(true);
  });
  connect(menu, &QMenu::aboutToHide, this, [this] {
    if (menusOpen_ > 0 && --menusOpen_ == 0) host_.SetMenuOpen(false);
  });
}

void TMainForm::BuildMenus() {
  // Main menu.
  MMAddNewConfiguration =
      NewAction(this, "MMAddNewConfiguration", QStringLiteral("設定ファイルの新規作成(&N)"));
  MMCopyConfiguration =
      NewAction(this, "MMCopyConfiguration", QStringLiteral("設定ファイルのコピー(&C)"));
  MMRenameConfiguration =
      NewAction(this, "MMRenameConfiguration", QStringLiteral("設定ファイルの名称変更(&R)"));
  MMDeleteConfiguration =
      NewAction(this, "MMDeleteConfiguration", QStringLiteral("設定ファイルを削除(&D)"));
  MMSaveConfiguration =
      NewAction(this, "MMSaveConfiguration", QStringLiteral("設定ファイルの保存(&S)"));
  MMOpenConfigDir =
      NewAction(this, "MMOpenConfigDir", QStringLiteral("設定ファイルのフォルダを開く(&O)"));
  MMExit = NewAction(this, "MMExit", QStringLiteral("終了(&X)"));
  MMPreference = NewAction(this, "MMPreference", QStringLiteral("全体設定... (&P)"));
  MMJoystickProperty =
      NewAction(this, "MMJoystickProperty", QStringLiteral("ジョイスティックの設定... (&C)"));
  MMAppLink = NewAction(this, "MMAppLink", QStringLiteral("アプリケーションとの関連付け... (&L)"));
  MMDarkMode = NewAction(this, "MMDarkMode", QStringLiteral("ダークモード (&D)"));
  MMDarkMode->setCheckable(true);
  MMAutoStartup = NewAction(this, "MMAutoStartup", QStringLiteral("ログイン時に自動で起動 (&S)"));
  MMAutoStartup->setCheckable(true);
  MMDisableAppLink = NewAction(this, "MMDisableAppLink",
                               QStringLiteral("アプリケーションとの関連付け機能を一時停止"));
  MMDisableAppLink->setCheckable(true);
  MMDisableJoystick = NewAction(this, "MMDisableJoystick",
                                QStringLiteral("ジョイスティックからの入力処理を一時停止"));
  MMDisableJoystick->setCheckable(true);
  MMOverview = NewAction(this, "MMOverview", QStringLiteral("基本的な使い方(&O)"));
  MMTips = NewAction(this, "MMTips", QStringLiteral("便利な使い方(&T)"));
  MMFAQ = NewAction(this, "MMFAQ", QStringLiteral("よくある質問(&Q)"));
  MMDonation = NewAction(this, "MMDonation", QStringLiteral("寄付(&D)"));
  MMChanges = NewAction(this, "MMChanges", QStringLiteral("バージョン変更履歴を見る(&C)"));
  MMAbout = NewAction(this, "MMAbout", QStringLiteral("Brevanto について(&A)"));

  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->addActions({MMAddNewConfiguration, MMCopyConfiguration, MMRenameConfiguration,
                    MMDeleteConfiguration, MMSaveConfiguration});
  file->addSeparator();
  file->addAction(MMOpenConfigDir);
  file->addSeparator();
  file->addAction(MMExit);
  QMenu* options = menuBar()->addMenu(QStringLiteral("設定(&S)"));
  options->addActions({MMPreference, MMJoystickProperty, MMAppLink});
  options->addSeparator();
  options->addActions({MMDarkMode, MMAutoStartup});
  options->addSeparator();
  options->addActions({MMDisableAppLink, MMDisableJoystick});
  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->addActions({MMOverview, MMTips, MMFAQ, MMDonation, MMChanges});
  help->addSeparator();
  help->addAction(MMAbout);
  for (QMenu* menu : {file, options, help}) WatchMenu(menu);

  // Profile list popup.
  PMConfigList = Named(new QMenu(this), "PMConfigList");
  PMConfigListNew = NewAction(this, "PMConfigListNew", MMAddNewConfiguration->text());
  PMConfigListCopy = NewAction(this, "PMConfigListCopy", MMCopyConfiguration->text());
  PMConfigListRename = NewAction(this, "PMConfigListRename", MMRenameConfiguration->text());
  PMConfigListDelete = NewAction(this, "PMConfigListDelete", MMDeleteConfiguration->text());
  PMConfigListSave = NewAction(this, "PMConfigListSave", MMSaveConfiguration->text());
  PMConfigList->addActions(
      {PMConfigListNew, PMConfigListCopy, PMConfigListRename, PMConfigListDelete});
  PMConfigList->addSeparator();
  PMConfigList->addAction(PMConfigListSave);

  // Joystick tab popup.
  PMJoystickTab = Named(new QMenu(this), "PMJoystickTab");
  PMRenameDeviceName =
      NewAction(this, "PMRenameDeviceName", QStringLiteral("このデバイスの表示名を変更"));
  PMClearDeviceName = NewAction(this, "PMClearDeviceName",
                                QStringLiteral("このデバイスの表示名をリセット（元に戻す）"));
  PMEditDeviceTemplate = NewAction(this, "PMEditDeviceTemplate",
                                   QStringLiteral("このデバイスのボタン表示テンプレートを編集"));
  PMRenameTabName = NewAction(this, "PMRenameTabName",
                              QStringLiteral("このタブの表示名を変更（デバイスより優先順位下）"));
  PMSpecifyTabTemplate =
      NewAction(this, "PMSpecifyTabTemplate",
                QStringLiteral("このタブのボタン表示テンプレートを指定（デバイスより優先順位下）"));
  PMJoyClear =
      NewAction(this, "PMJoyClear", QStringLiteral("このジョイスティック設定をクリア(&X)"));
  PMJoyCopyToClipboard =
      NewAction(this, "PMJoyCopyToClipboard",
                QStringLiteral("このジョイスティック設定をクリップボードにコピー(&C)"));
  PMJoyPasteFromClipboard =
      NewAction(this, "PMJoyPasteFromClipboard",
                QStringLiteral("このジョイスティック設定をクリップボードから貼り付け(&V)"));
  PMJoystickTab->addActions({PMRenameDeviceName, PMClearDeviceName, PMEditDeviceTemplate});
  PMJoystickTab->addSeparator();
  PMJoystickTab->addActions({PMRenameTabName, PMSpecifyTabTemplate});
  PMJoystickTab->addSeparator();
  PMJoystickTab->addActions({PMJoyCopyToClipboard, PMJoyPasteFromClipboard, PMJoyClear});

  // Button list popup.
  PMButtonList = Named(new QMenu(this), "PMButtonList");
  PMButtonListEdit =
      NewAction(this, "PMButtonListEdit", QStringLiteral("このボタン設定を編集する(&E)"));
  PMButtonListSwap =
      Named(new QMenu(QStringLiteral("このボタン設定を他のボタン設定と入れ替える(&S)"), this),
            "PMButtonListSwap");
  PMButtonListCopy = NewAction(this, "PMButtonListCopy",
                               QStringLiteral("このボタン設定をクリップボードにコピーする(&C)"));
  PMButtonListCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  PMButtonListPaste =
      NewAction(this, "PMButtonListPaste",
                QStringLiteral("このボタン設定をクリップボードから貼り付けする(&V)"));
  PMButtonListPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  PMButtonListClear =
      NewAction(this, "PMButtonListClear", QStringLiteral("このボタン設定をクリアする(&X)"));
  PMButtonListClear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  PMButtonListAllClear =
      NewAction(this, "PMButtonListAllClear", QStringLiteral("すべてのボタン設定をクリアする(&A)"));
  PMRenameDeviceName2 = NewAction(this, "PMRenameDeviceName2", PMRenameDeviceName->text());
  PMEditDeviceTemplate2 = NewAction(this, "PMEditDeviceTemplate2", PMEditDeviceTemplate->text());
  PMRenameTabName2 = NewAction(this, "PMRenameTabName2", PMRenameTabName->text());
  PMSpecifyTabTemplate2 = NewAction(this, "PMSpecifyTabTemplate2", PMSpecifyTabTemplate->text());
  PMButtonList->addAction(PMButtonListEdit);
  PMButtonList->addMenu(PMButtonListSwap);
  PMButtonList->addSeparator();
  PMButtonList->addActions({PMButtonListCopy, PMButtonListPaste, PMButtonListClear});
  PMButtonList->addSeparator();
  PMButtonList->addAction(PMButtonListAllClear);
  PMButtonList->addSeparator();
  PMButtonList->addActions(
      {PMRenameDeviceName2, PMEditDeviceTemplate2, PMRenameTabName2, PMSpecifyTabTemplate2});

  // Tray popup: the profiles come above the line when it opens.
  PMTaskTray = Named(new QMenu(this), "PMTaskTray");
  PMTaskTrayLine = PMTaskTray->addSeparator();
  PMTaskTrayLine->setObjectName(QStringLiteral("PMTaskTrayLine"));
  PMTaskTrayOpen =
      NewAction(this, "PMTaskTrayOpen", QStringLiteral("Brevanto のウィンドウを開く(&O)"));
  PMTaskTrayDetect =
      NewAction(this, "PMTaskTrayDetect", QStringLiteral("ジョイスティックの再検出(&R)"));
  PMTaskTrayDisableAppLink =
      NewAction(this, "PMTaskTrayDisableAppLink",
                QStringLiteral("アプリケーションとの関連付け機能を一時停止(&A)"));
  PMTaskTrayDisableAppLink->setCheckable(true);
  PMTaskTrayDisableJoystick = NewAction(this, "PMTaskTrayDisableJoystick",
                                        QStringLiteral("ジョイスティックの入力処理を一時停止(&S)"));
  PMTaskTrayDisableJoystick->setCheckable(true);
  PMResetWindowPosition =
      NewAction(this, "PMResetWindowPosition",
                QStringLiteral("Brevanto のウィンドウの位置を (0,0) にリセット"));
  PMTaskTrayExit = NewAction(this, "PMTaskTrayExit", QStringLiteral("Brevanto を終了する(&X)"));
  PMTaskTray->addActions({PMTaskTrayOpen, PMTaskTrayDetect});
  PMTaskTray->addSeparator();
  PMTaskTray->addActions({PMTaskTrayDisableAppLink, PMTaskTrayDisableJoystick});
  PMTaskTray->addSeparator();
  PMTaskTray->addActions({PMResetWindowPosition, PMTaskTrayExit});
  connect(PMTaskTray, &QMenu::aboutToShow, this, &TMainForm::PMTaskTrayPopup);
  for (QMenu* menu : {PMConfigList, PMJoystickTab, PMButtonList, PMTaskTray}) WatchMenu(menu);

  auto runIfDone = [this](bool (MainFormHost::*command)(int)) {
    return [this, command] {
      if ((host_.*command)(lbConfigList->currentRow())) RefreshList();
    };
  };
  for (QAction* a : {MMAddNewConfiguration, PMConfigListNew}) {
    connect(a, &QAction::triggered, this, [this] {
      if (host_.NewProfile()) RefreshList();
    });
  }
  for (QAction* a : {MMCopyConfiguration, PMConfigListCopy}) {
    connect(a, &QAction::triggered, this, runIfDone(&MainFormHost::CopyProfile));
  }
  for (QAction* a : {MMRenameConfiguration, PMConfigListRename}) {
    connect(a, &QAction::triggered, this, runIfDone(&MainFormHost::RenameProfile));
  }
  for (QAction* a : {MMDeleteConfiguration, PMConfigListDelete}) {
    connect(a, &QAction::triggered, this, runIfDone(&MainFormHost::DeleteProfile));
  }
  for (QAction* a : {MMSaveConfiguration, PMConfigListSave}) {
    connect(a, &QAction::triggered, this, &TMainForm::SaveProfileClick);
  }
  connect(MMOpenConfigDir, &QAction::triggered, this,
          [this] { host_.OpenFolder(host_.DataDir()); });
  connect(MMExit, &QAction::triggered, this, &TMainForm::MMExitClick);
  connect(MMPreference, &QAction::triggered, this, &TMainForm::MMPreferenceClick);
  connect(PMTaskTrayExit, &QAction::triggered, this, &TMainForm::MMExitClick);
  connect(MMDarkMode, &QAction::triggered, this, &TMainForm::MMDarkModeClick);
  connect(MMAutoStartup, &QAction::triggered, this, &TMainForm::MMAutoStartupClick);
  connect(MMDisableAppLink, &QAction::triggered, this, [this] { MMDisableAppLinkClick(false); });
  connect(PMTaskTrayDisableAppLink, &QAction::triggered, this,
          [this] { MMDisableAppLinkClick(true); });
  connect(MMDisableJoystick, &QAction::triggered, this, [this] { MMDisableJoystickClick(false); });
  connect(PMTaskTrayDisableJoystick, &QAction::triggered, this,
          [this] { MMDisableJoystickClick(true); });
  const std::pair<QAction*, const char*> pages[] = {
      {MMOverview, "/ja/overview"}, {MMTips, "/ja/blog/category/brevanto/"},
      {MMFAQ, "/ja/faq"},           {MMDonation, "/ja/donate"},
      {MMChanges, "/ja/news"},
  };
  for (const auto& [action, path] : pages) {
    connect(action, &QAction::triggered, this,
            [this, path = std::string(path)] { host_.OpenWebPage(path); });
  }
  connect(MMAppLink, &QAction::triggered, this, &TMainForm::MMAppLinkClick);
  connect(MMAbout, &QAction::triggered, this, [this] {
    TAboutBox about([this](const std::string& path) { host_.OpenWebPage(path); }, this);
    about.exec();
  });
  connect(PMTaskTrayOpen, &QAction::triggered, this, &TMainForm::RestoreFromTray);
  connect(PMTaskTrayDetect, &QAction::triggered, this, [this] { host_.RedetectDevices(true); });
  connect(PMResetWindowPosition, &QAction::triggered, this, &TMainForm::PMResetWindowPositionClick);
  for (QAction* a : {PMRenameDeviceName, PMRenameDeviceName2}) {
    connect(a, &QAction::triggered, this, &TMainForm::PMRenameDeviceNameClick);
  }
  connect(PMClearDeviceName, &QAction::triggered, this, &TMainForm::PMClearDeviceNameClick);
  for (QAction* a : {PMRenameTabName, PMRenameTabName2}) {
    connect(a, &QAction::triggered, this, &TMainForm::PMRenameTabNameClick);
  }
  connect(MMJoystickProperty, &QAction::triggered, this, &TMainForm::MMJoystickPropertyClick);
  for (QAction* a : {PMEditDeviceTemplate, PMEditDeviceTemplate2}) {
    connect(a, &QAction::triggered, this, &TMainForm::PMEditDeviceTemplateClick);
  }
  for (QAction* a : {PMSpecifyTabTemplate, PMSpecifyTabTemplate2}) {
    connect(a, &QAction::triggered, this, &TMainForm::PMSpecifyTabTemplateClick);
  }
  ButtonListEditor* editor = editor_.get();
  connect(PMButtonListEdit, &QAction::triggered, editor, &ButtonListEditor::btnEditSelectedClick);
  connect(PMButtonListCopy, &QAction::triggered, editor, &ButtonListEditor::PMButtonListCopyClick);
  connect(PMButtonListPaste, &QAction::triggered, editor,
          &ButtonListEditor::PMButtonListPasteClick);
  connect(PMButtonListClear, &QAction::triggered, editor,
          &ButtonListEditor::PMButtonListClearClick);
  connect(PMButtonListAllClear, &QAction::triggered, editor,
          &ButtonListEditor::PMButtonListAllClearClick);
  connect(PMJoyClear, &QAction::triggered, editor, &ButtonListEditor::PMButtonListAllClearClick);
  connect(PMJoyCopyToClipboard, &QAction::triggered, editor,
          &ButtonListEditor::PMJoyCopyToClipboardClick);
  connect(PMJoyPasteFromClipboard, &QAction::triggered, editor,
          &ButtonListEditor::PMJoyPasteFromClipboardClick);
}

void TMainForm::MMPreferenceClick() {
  LOG_DEBUG("Opening PreferenceDialog...");
  {
    TPreferenceDialog dialog(host_, this);
    dialog.exec();
  }
  LOG_DEBUG("Closed PreferenceDialog");
  if (!host_.SaveSettings()) {
    // The preferences hold for this run; the user must know they are not kept.
    QMessageBox::critical(this, QStringLiteral("Error"),
                          QStringLiteral("全体設定を保存できませんでした。"));
  }
}

void TMainForm::SaveProfileClick() {
  const int index = lbConfigList->currentRow();
  if (host_.SaveProfile(index)) return;
  const std::vector<std::string> names = host_.ProfileNames();
  const std::string name = index >= 0 && index < static_cast<int>(names.size())
                               ? names[static_cast<std::size_t>(index)]
                               : std::string();
  QMessageBox::critical(this, QStringLiteral("Error"),
                        QStringLiteral("設定ファイルを保存できませんでした。\n%1")
                            .arg(QString::fromStdString(host_.DataDir() + name + ".cfg")));
}

void TMainForm::MMExitClick() {
  exitRequested_ = true;
  if (isVisible()) {
    close();
  } else {
    // A window in the tray alone gets no close event; end the same way.
    QCloseEvent event;
    closeEvent(&event);
  }
}

void TMainForm::MMDisableAppLinkClick(bool fromTray) {
  const bool suspended = (fromTray ? PMTaskTrayDisableAppLink : MMDisableAppLink)->isChecked();
  MMDisableAppLink->setChecked(suspended);
  PMTaskTrayDisableAppLink->setChecked(suspended);
  host_.SetAppLinkSuspended(suspended);
  LOG_INFO(suspended ? "AppLink is temporarily disabled" : "AppLink is enabled now");
}

void TMainForm::MMDisableJoystickClick(bool fromTray) {
  const bool suspended = (fromTray ? PMTaskTrayDisableJoystick : MMDisableJoystick)->isChecked();
  MMDisableJoystick->setChecked(suspended);
  PMTaskTrayDisableJoystick->setChecked(suspended);
  LOG_INFO(suspended ? "Disabling joystick processing temporarily"
                     : "Enabling joystick processing");
  host_.SetJoystickProcessingSuspended(suspended);
  UpdateCaption();
}

void TMainForm::PMResetWindowPositionClick() {
  LOG_DEBUG("Resetting the position of Main Window form");
  move(0, 0);
  resize(800, 700);
  RestoreFromTray();
}

void TMainForm::MMDarkModeClick() {
  LOG_INFO("Switching the theme");
  host_.StopProcessing();
  QCoreApplication::processEvents();
  LOG_DEBUG("Original HWND = %#08llx", static_cast<unsigned long long>(winId()));
  if (settings_.DarkMode) {
    settings_.DarkMode = false;
    LOG_INFO("Changing to the default style");
    ApplyTheme(false);
  } else {
    settings_.DarkMode = true;
    LOG_INFO("Changing to the Dark Mode");
    ApplyTheme(true);
  }
  MMDarkMode->setChecked(settings_.DarkMode);
  delayedExecTag_ = 1;
  DelayedExecTimer->start();
}

void TMainForm::MMAutoStartupClick() {
  AutoStartTask* task = host_.AutoStart();
  if (!task) return;
  // An autostart entry is the user's own: no administrator rights are asked.
  const bool exists = task->TaskExists();
  const QString question = exists ? QStringLiteral("自動起動を無効にしますか？")
                                  : QStringLiteral("ログイン時にBrevantoを自動起動しますか？");
  const QString title = QString::fromLatin1(AppInfo::kProductName);
  if (QMessageBox::question(this, title, question, QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes) {
    MMAutoStartup->setChecked(exists);
    return;
  }
  const bool done = exists ? task->DeleteTask() : task->CreateTask();
  if (!done) {
    QMessageBox::warning(this, title,
                         exists ? QStringLiteral("自動起動の無効化に失敗しました。")
                                : QStringLiteral("自動起動の設定に失敗しました。"));
    MMAutoStartup->setChecked(exists);
    return;
  }
  QMessageBox::information(this, title,
                           exists ? QStringLiteral("自動起動を無効にしました。")
                                  : QStringLiteral("自動起動を設定しました。"));
  MMAutoStartup->setChecked(!exists);
}

}  // namespace brevanto
