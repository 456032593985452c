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
