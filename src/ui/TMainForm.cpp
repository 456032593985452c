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

ButtonListDelegate::ButtonListDelegate(const TMainForm& form, QObject* parent)
    : QStyledItemDelegate(parent), form_(form) {}

void ButtonListDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  const int virtualButton = index.siblingAtColumn(0).data(TMainForm::kButtonRole).toInt();
  const int slot = form_.RowHighlightSlot(virtualButton);
  if (slot >= 0) {
    option->backgroundBrush = HighlightColour(slot);
    // Dark colours need light text to stay readable.
    const QColor colour = HighlightColour(slot);
    option->palette.setColor(QPalette::Text, colour.lightness() < 100 ? Qt::white : Qt::black);
  }
}

TMainForm::TMainForm(MainFormHost& host, std::unique_ptr<SoundPlayer> sound, QWidget* parent)
    : QMainWindow(parent),
      host_(host),
      keyRecorder_(new CapturedKeyRecorder(this)),
      settings_(host.Settings()),
      sound_(std::move(sound)),
      editor_(std::make_unique<ButtonListEditor>(*this, host)),
      options_(std::make_unique<MainFormOptions>(*this, host)) {
  setObjectName(QStringLiteral("TMainForm"));
  qApp->installEventFilter(keyRecorder_);
  BuildMenus();
  BuildLayout();
  options_->Connect();

  TrayIcon = new QSystemTrayIcon(this);
  TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
  TrayIcon->setIcon(TrayStateIcon(false));
  TrayIcon->setToolTip(QString::fromLatin1(AppInfo::kProductName));
  TrayIcon->setContextMenu(PMTaskTray);
  connect(TrayIcon, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            TrayIconMouseDown();
            if (reason == QSystemTrayIcon::Trigger) TrayIconClick();
          });

  DelayedExecTimer = new QTimer(this);
  DelayedExecTimer->setObjectName(QStringLiteral("DelayedExecTimer"));
  DelayedExecTimer->setInterval(500);
  connect(DelayedExecTimer, &QTimer::timeout, this, &TMainForm::DelayedExecTimerTimer);

  ImageForm = new TImageForm(&settings_.ProfileImageFullScreenRatio);

  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          &TMainForm::ApplicationStateChanged);
}

TMainForm::~TMainForm() {
  // The base destructors delete the controls, which may still signal on the
  // way out; by then this is no TMainForm and its handlers must not run.
  disconnect(qApp, nullptr, this, nullptr);
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
  delete ImageForm;
}

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

void TMainForm::BuildLayout() {
  Splitter = Named(new QSplitter(Qt::Horizontal, this), "Splitter");
  Splitter->setChildrenCollapsible(false);

  LeftPanel = Named(new QWidget(Splitter), "LeftPanel");
  lbConfigList = Named(new QListWidget(LeftPanel), "lbConfigList");
  lbConfigList->setContextMenuPolicy(Qt::CustomContextMenu);
  btnAddNew = Named(new QPushButton(QStringLiteral("新規作成"), LeftPanel), "btnAddNew");
  btnRename = Named(new QPushButton(QStringLiteral("名称変更"), LeftPanel), "btnRename");
  btnCopy = Named(new QPushButton(QStringLiteral("コピー"), LeftPanel), "btnCopy");
  btnDelete = Named(new QPushButton(QStringLiteral("削除"), LeftPanel), "btnDelete");
  auto* leftButtons = new QGridLayout;
  leftButtons->addWidget(btnAddNew, 0, 0);
  leftButtons->addWidget(btnRename, 0, 1);
  leftButtons->addWidget(btnCopy, 1, 0);
  leftButtons->addWidget(btnDelete, 1, 1);
  auto* left = new QVBoxLayout(LeftPanel);
  left->setContentsMargins(4, 4, 0, 4);
  left->addWidget(lbConfigList, 1);
  left->addLayout(leftButtons);

  auto* right = new QWidget(Splitter);
  tcJoystick = Named(new QTabBar(right), "tcJoystick");
  tcJoystick->setExpanding(false);
  tcJoystick->setUsesScrollButtons(true);
  tcJoystick->setContextMenuPolicy(Qt::CustomContextMenu);
  tcJoystick->setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
  PageControl1 = Named(new QStackedWidget(right), "PageControl1");

  tsJoystick = Named(new QWidget(PageControl1), "tsJoystick");
  lvButtonList = Named(new QTreeWidget(tsJoystick), "lvButtonList");
  lvButtonList->setColumnCount(4);
  lvButtonList->setHeaderLabels({QStringLiteral("ボタン"), QStringLiteral("機能"),
                                 QStringLiteral("連射"), QStringLiteral("コメント")});
  lvButtonList->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  lvButtonList->setRootIsDecorated(false);
  lvButtonList->setUniformRowHeights(true);
  lvButtonList->setSelectionMode(QAbstractItemView::SingleSelection);
  lvButtonList->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvButtonList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvButtonList->setAllColumnsShowFocus(true);
  lvButtonList->setContextMenuPolicy(Qt::CustomContextMenu);
  lvButtonList->setItemDelegate(new ButtonListDelegate(*this, lvButtonList));
  lvButtonList->addActions({PMButtonListCopy, PMButtonListPaste, PMButtonListClear});
  for (QAction* a : {PMButtonListCopy, PMButtonListPaste, PMButtonListClear}) {
    a->setShortcutContext(Qt::WidgetShortcut);
  }
  btnEditSelected =
      Named(new QPushButton(QStringLiteral("このボタン設定を編集"), tsJoystick), "btnEditSelected");
  btnConfigWizard =
      Named(new QPushButton(QStringLiteral("簡易設定ウィザード"), tsJoystick), "btnConfigWizard");
  auto* listButtons = new QHBoxLayout;
  listButtons->addWidget(btnEditSelected);
  listButtons->addWidget(btnConfigWizard);
  listButtons->addStretch();
  auto* joystickPage = new QVBoxLayout(tsJoystick);
  joystickPage->setContentsMargins(0, 0, 0, 0);
  joystickPage->addWidget(lvButtonList, 1);
  joystickPage->addLayout(listButtons);

  tsOptions = options_->Build();
  PageControl1->addWidget(tsJoystick);
  PageControl1->addWidget(tsOptions);

  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 4, 4, 4);
  rightLayout->setSpacing(0);
  rightLayout->addWidget(tcJoystick);
  rightLayout->addWidget(PageControl1, 1);

  Splitter->addWidget(LeftPanel);
  Splitter->addWidget(right);
  Splitter->setStretchFactor(1, 1);
  setCentralWidget(Splitter);

  connect(btnAddNew, &QPushButton::clicked, MMAddNewConfiguration, &QAction::trigger);
  connect(btnRename, &QPushButton::clicked, MMRenameConfiguration, &QAction::trigger);
  connect(btnCopy, &QPushButton::clicked, MMCopyConfiguration, &QAction::trigger);
  connect(btnDelete, &QPushButton::clicked, MMDeleteConfiguration, &QAction::trigger);
  // A click, and a move with the keyboard, load the entry; loading the
  // current profile again does nothing.
  connect(lbConfigList, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lbConfigListClick(lbConfigList->row(item)); });
  connect(lbConfigList, &QListWidget::currentRowChanged, this, &TMainForm::lbConfigListClick);
  connect(lbConfigList, &QListWidget::customContextMenuRequested, this,
          &TMainForm::lbConfigListRightClick);
  connect(tcJoystick, &QTabBar::currentChanged, this, &TMainForm::tcJoystickChange);
  connect(tcJoystick, &QTabBar::customContextMenuRequested, this,
          &TMainForm::tcJoystickContextPopup);
  connect(lvButtonList, &QTreeWidget::customContextMenuRequested, this,
          &TMainForm::lvButtonListContextPopup);
  connect(lvButtonList, &QTreeWidget::itemDoubleClicked, editor_.get(),
          &ButtonListEditor::btnEditSelectedClick);
  connect(btnEditSelected, &QPushButton::clicked, editor_.get(),
          &ButtonListEditor::btnEditSelectedClick);
  lvButtonList->installEventFilter(editor_.get());
  connect(btnConfigWizard, &QPushButton::clicked, editor_.get(),
          &ButtonListEditor::btnConfigWizardClick);
}

void TMainForm::MMAppLinkClick() {
  AppLinkManager* links = host_.AppLinks();
  if (!links) return;
  TAppLinkDialog dialog(*links, host_, this);
  dialog.exec();
}

void TMainForm::Initialize() {
  MMDarkMode->setChecked(settings_.DarkMode);
  ApplyTheme(settings_.DarkMode);
  RestoreGeometry();
  PageControl1->setCurrentIndex(0);
  lblJoystickStatus->setText(
      QStringLiteral("ジョイスティック: %1 本検出").arg(host_.DetectedDeviceCount()));
  RefreshList();
  if (AutoStartTask* task = host_.AutoStart()) {
    MMAutoStartup->setChecked(task->TaskExists());
  } else {
    NotAvailable(MMAutoStartup);
  }
  TrayIcon->show();
  UpdateCaption();
}

void TMainForm::ShowAtStart(bool startMinimized) {
  if (!startMinimized && !settings_.StartIconified) {
    show();
    return;
  }
  LOG_INFO("Starting in a minimized mode");
  shown_ = false;
  if (HidesWhenMinimized()) {
    // Only the tray icon stays.
    LOG_INFO("Not showing (hiding) the main window");
    return;
  }
  showMinimized();
}

void TMainForm::Shutdown() {
  LOG_DEBUG("Destroying application...");
  host_.StopProcessing();
  StoreGeometry();
  host_.SaveSettings();
  ImageForm->Hide();
  TrayIcon->hide();
}

double TMainForm::DpiScale() const {
  // Qt's coordinates are already in 96-DPI units scaled by the device pixel
  // ratio, so only a logical DPI other than 96 changes them.
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->logicalDotsPerInch() / 96.0 : 1.0;
}

void TMainForm::RestoreGeometry() {
  const double scale = DpiScale();
  const QScreen* s = QGuiApplication::primaryScreen();
  const QSize screenSize = s ? s->geometry().size() : QSize(1024, 768);
  const std::optional<int> top =
      RestorableTop(ScaleForDpi(settings_.WindowPositionTop, scale), screenSize.height());
  const std::optional<int> left =
      RestorableLeft(ScaleForDpi(settings_.WindowPositionLeft, scale), screenSize.width());
  if (top || left) move(left.value_or(x()), top.value_or(y()));
  resize(ScaleForDpi(settings_.WindowWidth, scale), ScaleForDpi(settings_.WindowHeight, scale));
  const int splitter = ScaleForDpi(settings_.SplitterPosition, scale);
  Splitter->setSizes({splitter, std::max(1, width() - splitter)});
  const int columns[] = {settings_.ListColumnWidthButton, settings_.ListColumnWidthKeyboard,
                         settings_.ListColumnWidthAuto, settings_.ListColumnWidthComment};
  for (int c = 0; c < 4; ++c) lvButtonList->setColumnWidth(c, ScaleForDpi(columns[c], scale));
  if (settings_.FontSizeProfileList != 0) {
    QFont f = lbConfigList->font();
    f.setPointSize(settings_.FontSizeProfileList);
    lbConfigList->setFont(f);
  }
  if (settings_.FontSizeButtonList != 0) {
    QFont f = lvButtonList->font();
    f.setPointSize(settings_.FontSizeButtonList);
    lvButtonList->setFont(f);
  }
}

void TMainForm::StoreGeometry() {
  const double scale = DpiScale();
  const QRect frame = frameGeometry();
  settings_.WindowPositionTop = UnscaleForDpi(frame.top(), scale);
  settings_.WindowPositionLeft = UnscaleForDpi(frame.left(), scale);
  settings_.WindowWidth = UnscaleForDpi(width(), scale);
  settings_.WindowHeight = UnscaleForDpi(height(), scale);
  settings_.SplitterPosition = UnscaleForDpi(LeftPanel->width(), scale);
  settings_.ListColumnWidthButton = UnscaleForDpi(lvButtonList->columnWidth(0), scale);
  settings_.ListColumnWidthKeyboard = UnscaleForDpi(lvButtonList->columnWidth(1), scale);
  settings_.ListColumnWidthAuto = UnscaleForDpi(lvButtonList->columnWidth(2), scale);
  settings_.ListColumnWidthComment = UnscaleForDpi(lvButtonList->columnWidth(3), scale);
}

ConfigFile* TMainForm::Profile() const {
  return host_.CurrentProfile();
}

int TMainForm::NumberOfJoysticks() const {
  const ConfigFile* p = Profile();
  return p ? p->NumberOfJoysticks() : 0;
}

int TMainForm::ShownSlot() const {
  return tcJoystick->currentIndex();
}

const TDeviceTemplate* TMainForm::TemplateOfSlot(int slot) const {
  if (slot < 0) return nullptr;
  if (slot < host_.DetectedDeviceCount()) {
    if (const TDeviceConfig* device = host_.SlotDevice(slot); device && device->resolvedTemplate) {
      return device->resolvedTemplate;
    }
  }
  const ConfigFile* p = Profile();
  const ProfileJoystick* joystick = p ? p->Joystick(slot) : nullptr;
  return joystick ? joystick->resolvedTemplate : nullptr;
}

const TDeviceTemplate* TMainForm::ShownTemplate() const {
  return TemplateOfSlot(ShownSlot());
}

std::string TMainForm::TabCaption(int slot) const {
  std::string name;
  if (slot < host_.DetectedDeviceCount()) {
    if (const TDeviceConfig* device = host_.SlotDevice(slot)) name = device->DisplayName();
  }
  if (name.empty()) {
    const ConfigFile* p = Profile();
    const ProfileJoystick* joystick = p ? p->Joystick(slot) : nullptr;
    if (joystick) name = joystick->DefaultDisplayName;
  }
  if (name.empty()) name = "Joystick";
  return "[" + std::to_string(slot + 1) + "] " + name;
}

std::string TMainForm::Caption() const {
  return FromQ(windowTitle());
}

void TMainForm::UpdateCaption() {
  std::string caption = std::string(AppInfo::kProductName) + " v" BREVANTO_VERSION;
  if (JoystickSuspended()) caption += " (一時停止中)";
  // The tray shows the pause too, for a window that lives in the tray.
  if (TrayIcon != nullptr && pausedTrayIcon_ != JoystickSuspended()) {
    pausedTrayIcon_ = JoystickSuspended();
    TrayIcon->setIcon(TrayStateIcon(pausedTrayIcon_));
  }
  caption += " : ";
  if (const QListWidgetItem* item = lbConfigList->currentItem()) caption += FromQ(item->text());
  setWindowTitle(ToQ(caption));
}

bool TMainForm::JoystickSuspended() const {
  return MMDisableJoystick->isChecked();
}

void TMainForm::RefreshList() {
  const QSignalBlocker block(lbConfigList);
  lbConfigList->clear();
  for (const std::string& name : host_.ProfileNames()) lbConfigList->addItem(ToQ(name));
  lbConfigList->setCurrentRow(host_.CurrentProfileIndex());
  Rebuild();
  UpdateCaption();
}

void TMainForm::Rebuild() {
  ConfigFile* p = Profile();
  updatingControls_ = true;
  const int n = NumberOfJoysticks();
  int tab = tcJoystick->currentIndex();
  if (tab < 0 || tab >= n) tab = 0;

  tcJoystick->hide();
  while (tcJoystick->count() > 0) tcJoystick->removeTab(0);
  tabCaptions_.clear();
  for (int slot = 0; slot < n; ++slot) {
    tabCaptions_.push_back(TabCaption(slot));
    tcJoystick->addTab(ToQ(tabCaptions_.back()));
  }
  tcJoystick->addTab(QStringLiteral("Options"));

  lvButtonList->clear();
  if (p) {
    QList<QTreeWidgetItem*> rows;
    for (int button : ButtonListRows(*p)) {
      auto* item = new QTreeWidgetItem(
          {ToQ(ButtonName(button)), QStringLiteral("None"), QStringLiteral("OFF"), QString()});
      item->setData(0, kButtonRole, button);
      item->setTextAlignment(2, Qt::AlignCenter);
      rows.append(item);
    }
    lvButtonList->addTopLevelItems(rows);
  }
  options_->Fill();

  if (PageControl1->currentIndex() == 0) {
    tcJoystick->setCurrentIndex(tab);
    RefreshRows();
    if (lvButtonList->topLevelItemCount() > 0) {
      lvButtonList->setCurrentItem(lvButtonList->topLevelItem(0));
    }
  } else {
    tcJoystick->setCurrentIndex(n);
  }
  tcJoystick->show();
  updatingControls_ = false;
  // The cycle reports only changes: a button still held keeps its star.
  UpdateHighlight();
}

ProfileJoystick* TMainForm::ShownJoystick() {
  ConfigFile* p = Profile();
  const int slot = ShownSlot();
  return p && slot >= 0 && slot < p->NumberOfJoysticks() ? p->Joystick(slot) : nullptr;
}

void TMainForm::RefreshRow(QTreeWidgetItem* item) {
  ProfileJoystick* joystick = ShownJoystick();
  if (!joystick || !item) return;
  ButtonAssignment& record = joystick->Button(item->data(0, kButtonRole).toInt());
  record.Derive();
  item->setText(0, ToQ(ButtonCaption(record, ShownTemplate())));
  item->setText(1, ToQ(AssignmentText(record)));
  item->setText(2, ToQ(RepeatText(record)));
  item->setText(3, ToQ(record.comment));
}

void TMainForm::RefreshRows() {
  for (int i = 0; i < lvButtonList->topLevelItemCount(); ++i) {
    RefreshRow(lvButtonList->topLevelItem(i));
  }
  // A cut caption hides which button a row stands for: the button column
  // grows to its longest caption, and never shrinks below the width the user
  // gave it.
  const int chosen = lvButtonList->columnWidth(0);
  lvButtonList->resizeColumnToContents(0);
  if (lvButtonList->columnWidth(0) < chosen) lvButtonList->setColumnWidth(0, chosen);
  lvButtonList->viewport()->update();
}

void TMainForm::tcJoystickChange(int index) {
  if (updatingControls_ || index < 0) return;
  const int n = NumberOfJoysticks();
  if (editNumJoystick->hasFocus() || editNumButtons->hasFocus()) {
    // The pending number is applied first: stay on the options and let the
    // edit lose the focus.
    updatingControls_ = true;
    tcJoystick->setCurrentIndex(n);
    updatingControls_ = false;
    tcJoystick->setFocus();
    return;
  }
  if (index < n) {
    PageControl1->setCurrentIndex(0);
    RefreshRows();
  } else {
    PageControl1->setCurrentIndex(1);
    Rebuild();
  }
}

void TMainForm::PostToSelf(uint32_t message) {
  QMetaObject::invokeMethod(
      this,
      [this, message] {
        HandleMessage(PostedMessage{message, 0, 0});
      },
      Qt::QueuedConnection);
}

bool TMainForm::HandleMessage(const PostedMessage& message) {
  switch (message.message) {
    case WM_BRV_PROFILE_CHANGED:
      ProfileSwitched();
      return true;
    case WM_BRV_BUTTONS_CHANGED:
      UpdateHighlight();
      return true;
    case WM_BRV_DEVICES_CHANGED:
      DevicesChanged();
      return true;
    case WM_BRV_ANALOG_CHANGED:
      // The cycle reports to the device dialog only while it is open.
      if (deviceDialog_) deviceDialog_->AxisValuesChanged();
      return true;
    case WM_BRV_UPDATE_CAPTION:
      UpdateCaption();
      return true;
    case WM_BRV_RESTORE:
      LOG_DEBUG("Received WM_BRV_RESTORE Message");
      RestoreFromTray();
      return true;
    case WM_BRV_SHOW:
      RestoreFromTray();
      return true;
    case WM_BRV_MINIMIZE:
      MinimizeApplication();
      return true;
    default:
      return false;
  }
}

void TMainForm::DevicesChanged() {
  LOG_DEBUG("Updating the number of joysticks (tabs and buttons)");
  lblJoystickStatus->setText(
      QStringLiteral("ジョイスティック: %1 本検出").arg(host_.DetectedDeviceCount()));
  Rebuild();
}

int TMainForm::RowHighlightSlot(int virtualButton) const {
  if (!highlightActive_) return -1;
  return HighlightSlot(host_.PressedStates(), ShownSlot(), NumberOfJoysticks(), virtualButton,
                       settings_.HighlightButtons, settings_.HighlightButtonsForAllTabs);
}

void TMainForm::UpdateHighlight() {
  const SlotStates& states = host_.PressedStates();
  const int n = std::min<int>(NumberOfJoysticks(), static_cast<int>(tabCaptions_.size()));
  for (int slot = 0; slot < n; ++slot) {
    const std::string& plain = tabCaptions_[static_cast<std::size_t>(slot)];
    const bool starred =
        TabIsStarred(states, slot, NumberOfJoysticks(), highlightActive_,
                     settings_.HighlightButtons, settings_.HighlightButtonsForAllTabs);
    const QString caption = ToQ(starred ? "*" + plain + "*" : plain);
    if (tcJoystick->tabText(slot) != caption) tcJoystick->setTabText(slot, caption);
  }
  lvButtonList->viewport()->update();
}

std::string TMainForm::ResolveDataPath(const std::string& path) const {
  if (path.empty() || std::filesystem::path(path).is_absolute()) return path;
  return host_.DataDir() + path;
}

void TMainForm::ShowBalloon(const std::string& title, const std::string& text) {
  TrayIcon->showMessage(ToQ(title), ToQ(text), QSystemTrayIcon::Information, 1000);
  emit BalloonShown(ToQ(title), ToQ(text));
}

void TMainForm::ProfileSwitched() {
  {
    const QSignalBlocker block(lbConfigList);
    lbConfigList->setCurrentRow(host_.CurrentProfileIndex());
  }
  Rebuild();
  UpdateCaption();
  const ConfigFile* p = Profile();
  if (!p) return;

  if (settings_.NotifyProfileImage) {
    if (!p->ImageFile.empty()) {
      const std::string path = ResolveDataPath(p->ImageFile);
      std::error_code ignored;
      if (std::filesystem::exists(path, ignored)) {
        Logger::Instance().Write(LogLevel::Info, "Displaying an image file: " + path);
        ImageForm->Show(path, settings_.ProfileImagePosition, settings_.ProfileImageDuration);
      } else {
        Logger::Instance().Write(LogLevel::Error, "Warning: failed to find an image file: " + path);
        ImageForm->Hide();
      }
    } else {
      ImageForm->Hide();
    }
  }

  if (settings_.NotifyBalloon) {
    const std::vector<std::string> names = host_.ProfileNames();
    const int index = host_.CurrentProfileIndex();
    const std::string name = index >= 0 && index < static_cast<int>(names.size())
                                 ? names[static_cast<std::size_t>(index)]
                                 : "";
    ShowBalloon(AppInfo::kProductName, "設定ファイル: " + name);
  }

  if (!JoystickSuspended() && (p->VibrationSpeed1 != 0 || p->VibrationSpeed2 != 0) &&
      p->VibrationDuration > 0) {
    host_.StartSwitchVibration(*p);
  }

  const std::string soundFile = p->SoundFile.empty() ? settings_.NotifySoundFile : p->SoundFile;
  if (!soundFile.empty()) {
    const std::string path = ResolveDataPath(soundFile);
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
      Logger::Instance().Write(LogLevel::Info, "Playing a sound file: " + path);
      if (sound_) sound_->Play(path);
    } else {
      Logger::Instance().Write(LogLevel::Error, "Warning: failed to find a sound file: " + path);
      if (sound_) sound_->Stop();
    }
  }
}

void TMainForm::lbConfigListClick(int row) {
  if (row < 0) return;
  host_.LoadProfileByIndex(row);
}

void TMainForm::lbConfigListRightClick(const QPoint& pos) {
  if (lbConfigList->count() == 0) return;
  const QModelIndex hit = lbConfigList->indexAt(pos);
  // Below the last entry the last profile is meant.
  const int row = hit.isValid() ? hit.row() : lbConfigList->count() - 1;
  host_.LoadProfileByIndex(row);
  {
    const QSignalBlocker block(lbConfigList);
    lbConfigList->setCurrentRow(row);
  }
  PMConfigList->popup(lbConfigList->viewport()->mapToGlobal(pos));
}

void TMainForm::SetDeviceAndTabItems(int slot) {
  const bool device = slot >= 0 && slot < host_.DetectedDeviceCount();
  for (QAction* a : {PMRenameDeviceName, PMClearDeviceName, PMEditDeviceTemplate,
                     PMRenameDeviceName2, PMEditDeviceTemplate2}) {
    a->setEnabled(device);
  }
  for (QAction* a :
       {PMRenameTabName, PMSpecifyTabTemplate, PMRenameTabName2, PMSpecifyTabTemplate2}) {
    a->setEnabled(!device);
  }
  for (QAction* a : unavailable_) a->setEnabled(false);
}

void TMainForm::tcJoystickContextPopup(const QPoint& pos) {
  const int tab = tcJoystick->tabAt(pos);
  if (tab >= 0 && tab != tcJoystick->currentIndex()) {
    tcJoystick->setCurrentIndex(tab);
  } else if (tab >= 0) {
    tcJoystickChange(tab);
  }
  if (ShownSlot() >= NumberOfJoysticks()) return;  // the options tab has no menu
  SetDeviceAndTabItems(ShownSlot());
  PMJoystickTab->popup(tcJoystick->mapToGlobal(pos));
}

void TMainForm::lvButtonListContextPopup(const QPoint& pos) {
  editor_->FillSwapMenu();
  SetDeviceAndTabItems(ShownSlot());
  PMButtonList->popup(lvButtonList->viewport()->mapToGlobal(pos));
}

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

void TMainForm::DelayedExecTimerTimer() {
  if (menusOpen_ > 0) return;  // fires again later
  DelayedExecTimer->stop();
  if (delayedExecTag_ == 1) {
    delayedExecTag_ = 0;
    LOG_DEBUG("Style changed: New HWND = %#08llx", static_cast<unsigned long long>(winId()));
    host_.StartProcessing();
  }
}

void TMainForm::ApplicationStateChanged(Qt::ApplicationState state) {
  if (state != Qt::ApplicationActive && applicationActive_) {
    LOG_DEBUG("Application Deactivated");
    ConfigFile* p = Profile();
    if (p && p->modified) host_.SaveProfile(host_.CurrentProfileIndex());
  }
  applicationActive_ = state == Qt::ApplicationActive;
  WindowActivationChanged();
}

void TMainForm::WindowActivationChanged() {
  const bool active = isActiveWindow();
  if (active == highlightActive_) return;
  highlightActive_ = active;
  UpdateHighlight();
  if (active && host_.FirstStart() && !greeted_) {
    // Not inside the activation: the welcome runs its own event loop.
    QTimer::singleShot(0, this, &TMainForm::ShowGreetingOnce);
  }
}

void TMainForm::ShowGreetingOnce() {
  if (greeted_) return;
  greeted_ = true;
  TGreetingDialog greeting([this](const std::string& path) { host_.OpenWebPage(path); }, this);
  greeting.exec();
}

void TMainForm::MarkModified() {
  if (ConfigFile* p = Profile()) p->modified = true;
}

QTreeWidgetItem* TMainForm::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = lvButtonList->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void TMainForm::PMRenameDeviceNameClick() {
  const int slot = ShownSlot();
  if (slot < 0 || slot >= host_.DetectedDeviceCount()) return;
  TDeviceConfig* device = host_.SlotDevice(slot);
  if (!device) return;
  const std::string name =
      TInputNameDialog::Ask(this, "デバイス" + device->Name + "の表示名の変更",
                            "このデバイスの表示名を入力してください", device->NameOverride);
  if (name.empty() || name == device->NameOverride) return;
  device->NameOverride = name;
  Rebuild();
}

void TMainForm::PMClearDeviceNameClick() {
  const int slot = ShownSlot();
  if (slot < 0 || slot >= host_.DetectedDeviceCount()) return;
  TDeviceConfig* device = host_.SlotDevice(slot);
  if (!device) return;
  device->NameOverride.clear();
  host_.SaveSettings();
  Rebuild();
}

void TMainForm::PMRenameTabNameClick() {
  ProfileJoystick* joystick = ShownJoystick();
  if (!joystick) return;
  const std::string name =
      TInputNameDialog::Ask(this, "タブ[" + std::to_string(ShownSlot() + 1) + "] の表示名の変更",
                            "このタブの表示名を入力してください", joystick->DefaultDisplayName);
  if (name.empty() || name == joystick->DefaultDisplayName) return;
  joystick->DefaultDisplayName = name;
  MarkModified();
  Rebuild();
}

}  // namespace brevanto
