#pragma once

#include <QMainWindow>
#include <QStyledItemDelegate>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/ButtonAssignment.h"
#include "core/ports/MessageSink.h"
#include "core/processing/Messages.h"
#include "ui/CapturedKey.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QSplitter;
class QStackedWidget;
class QSystemTrayIcon;
class QTabBar;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace brevanto {

class ButtonListEditor;
class ConfigFile;
class MainFormHost;
class MainFormOptions;
class ProfileJoystick;
class SoundPlayer;
class TDeviceConfigDialog;
class TDeviceTemplate;
class TImageForm;
struct GlobalSettings;

// The program's window: the profiles on the left, the assignments of one
// joystick slot or the profile's options on the right, the menus, and the
// tray icon through which it lives while hidden.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  TMainForm(MainFormHost& host, std::unique_ptr<SoundPlayer> sound, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The window's part of start-up: theme, geometry, lists. Shows nothing.
  void Initialize();
  // Shows the window, or starts minimized (or in the tray alone) when the
  // settings or the start command ask for it.
  void ShowAtStart(bool startMinimized);
  // The window's part of shutdown: stores the geometry and saves the settings.
  void Shutdown();

  // Handles the messages of the protocol that concern the window; false for
  // the others.
  bool HandleMessage(const PostedMessage& message);

  // Window state and the texts shown, as other parts and tests read them.
  bool Shown() const { return shown_; }
  bool ExitRequested() const { return exitRequested_; }
  bool JoystickSuspended() const;
  int ShownSlot() const;
  std::string Caption() const;
  std::string TabCaption(int slot) const;
  // The slot whose colour the row of a virtual button has now, or -1.
  int RowHighlightSlot(int virtualButton) const;
  // The last key pressed anywhere in the program, for the key capture of
  // the assignment dialog.
  const CapturedKey& LastKey() const { return keyRecorder_->Last(); }
  // The rest of the program as the window sees it.
  MainFormHost& Host() const { return host_; }
  // Whether highlights are shown: only while this window is the active one.
  bool HighlightActive() const { return highlightActive_; }
  // The row's virtual button is kept in this role of its first column.
  static constexpr int kButtonRole = Qt::UserRole;

  // The button-list editing commands and the options page.
  ButtonListEditor& Editor() { return *editor_; }
  MainFormOptions& Options() { return *options_; }

  // Controls, named as the rest of the program speaks of them.
  QWidget* LeftPanel;
  QListWidget* lbConfigList;
  QPushButton* btnAddNew;
  QPushButton* btnRename;
  QPushButton* btnCopy;
  QPushButton* btnDelete;
  QSplitter* Splitter;
  QTabBar* tcJoystick;
  QStackedWidget* PageControl1;
  QWidget* tsJoystick;
  QWidget* tsOptions;
  QTreeWidget* lvButtonList;
  QPushButton* btnEditSelected;
  QPushButton* btnConfigWizard;

  QLabel* lblJoystickStatus;
  QPushButton* btnDetect;
  QPushButton* btnCalibrate;
  QLineEdit* editNumJoystick;
  QPushButton* btnApplyNumJoysticks;
  QComboBox* cbAxisDisplayMode;
  QCheckBox* cbUseDiagonalInput1;
  QCheckBox* cbUseDiagonalInput2;
  QCheckBox* cbUsePOV8Way;
  QLineEdit* editNumButtons;
  QCheckBox* cbRepeatSameKeyInSequence;
  QPushButton* btnButtonAlias;
  QSlider* tbThreshold1;
  QLabel* lblThreshold1;
  QSlider* tbThreshold2;
  QLabel* lblThreshold2;
  QComboBox* cbKeySendMode;
  QCheckBox* cbPlaySound;
  QLineEdit* editSoundFile;
  QPushButton* btnSoundFile;
  QCheckBox* cbShowProfileImage;
  QLineEdit* editImageFile;
  QPushButton* btnImageFile;
  QCheckBox* cbTriggerVibration;
  QPushButton* btnVibrationDetails;

  QAction* MMAddNewConfiguration;
  QAction* MMCopyConfiguration;
  QAction* MMRenameConfiguration;
  QAction* MMDeleteConfiguration;
  QAction* MMSaveConfiguration;
  QAction* MMOpenConfigDir;
  QAction* MMExit;
  QAction* MMPreference;
  QAction* MMJoystickProperty;
  QAction* MMAppLink;
  QAction* MMDarkMode;
  QAction* MMAutoStartup;
  QAction* MMDisableAppLink;
  QAction* MMDisableJoystick;
  QAction* MMOverview;
  QAction* MMTips;
  QAction* MMFAQ;
  QAction* MMDonation;
  QAction* MMChanges;
  QAction* MMAbout;

  QMenu* PMConfigList;
  QAction* PMConfigListNew;
  QAction* PMConfigListCopy;
  QAction* PMConfigListRename;
  QAction* PMConfigListDelete;
  QAction* PMConfigListSave;

  QMenu* PMJoystickTab;
  QAction* PMRenameDeviceName;
  QAction* PMClearDeviceName;
  QAction* PMEditDeviceTemplate;
  QAction* PMRenameTabName;
  QAction* PMSpecifyTabTemplate;
  QAction* PMJoyClear;
  QAction* PMJoyCopyToClipboard;
  QAction* PMJoyPasteFromClipboard;

  QMenu* PMButtonList;
  QAction* PMButtonListEdit;
  QMenu* PMButtonListSwap;
  QAction* PMButtonListCopy;
  QAction* PMButtonListPaste;
  QAction* PMButtonListClear;
  QAction* PMButtonListAllClear;
  QAction* PMRenameDeviceName2;
  QAction* PMEditDeviceTemplate2;
  QAction* PMRenameTabName2;
  QAction* PMSpecifyTabTemplate2;

  QMenu* PMTaskTray;
  QAction* PMTaskTrayLine;
  QAction* PMTaskTrayOpen;
  QAction* PMTaskTrayDetect;
  QAction* PMTaskTrayDisableAppLink;
  QAction* PMTaskTrayDisableJoystick;
  QAction* PMResetWindowPosition;
  QAction* PMTaskTrayExit;

  QSystemTrayIcon* TrayIcon = nullptr;
  QTimer* DelayedExecTimer;
  TImageForm* ImageForm;

  // Command handlers, public so that the menus' twins and tests reach them.
  void lbConfigListClick(int row);
  void lbConfigListRightClick(const QPoint& pos);
  void tcJoystickChange(int index);
  void tcJoystickContextPopup(const QPoint& pos);
  void lvButtonListContextPopup(const QPoint& pos);
  void PMTaskTrayPopup();
  void TrayIconClick();
  void TrayIconMouseDown();
  void MMExitClick();
  void MMPreferenceClick();
  // The user's save of the current profile; a failure is shown.
  void SaveProfileClick();
  void MMDarkModeClick();
  void MMAutoStartupClick();
  void DelayedExecTimerTimer();
  void MMAppLinkClick();
  void MMDisableAppLinkClick(bool fromTray);
  void MMDisableJoystickClick(bool fromTray);
  void PMResetWindowPositionClick();
  void PMRenameDeviceNameClick();
  void PMClearDeviceNameClick();
  void PMRenameTabNameClick();
  void MMJoystickPropertyClick();
  void PMEditDeviceTemplateClick();
  void PMSpecifyTabTemplateClick();
  // The device configuration dialog while it is open, else nullptr.
  TDeviceConfigDialog* DeviceDialog() const { return deviceDialog_; }
  void RestoreFromTray();
  void MinimizeApplication();
  void RestoreApplication();
  // HideWhenMinimized, where a tray icon can bring the window back.
  bool HidesWhenMinimized() const;

 signals:
  // A balloon was shown from the tray icon.
  void BalloonShown(const QString& title, const QString& text);
  // The close went through: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class ButtonListEditor;
  friend class MainFormOptions;

  void BuildMenus();
  void BuildLayout();
  void WatchMenu(QMenu* menu);
  void RestoreGeometry();
  void StoreGeometry();
  double DpiScale() const;

  ConfigFile* Profile() const;
  int NumberOfJoysticks() const;
  const TDeviceTemplate* TemplateOfSlot(int slot) const;
  TDeviceTemplate const* ShownTemplate() const;
  void RefreshList();
  void Rebuild();
  void RefreshRow(QTreeWidgetItem* item);
  void RefreshRows();
  void UpdateCaption();
  void UpdateHighlight();
  void ProfileSwitched();
  void ShowBalloon(const std::string& title, const std::string& text);
  std::string ResolveDataPath(const std::string& path) const;
  void MarkModified();
  void ApplicationStateChanged(Qt::ApplicationState state);
  void WindowActivationChanged();
  void ShowGreetingOnce();
  void DevicesChanged();
  void PostToSelf(uint32_t message);
  ProfileJoystick* ShownJoystick();
  QTreeWidgetItem* SelectedRow() const;
  void SetDeviceAndTabItems(int slot);
  void NotAvailable(QAction* action);

  MainFormHost& host_;
  CapturedKeyRecorder* keyRecorder_;
  GlobalSettings& settings_;
  std::unique_ptr<SoundPlayer> sound_;
  std::vector<std::string> tabCaptions_;
  std::vector<QAction*> unavailable_;
  // Destroyed before the controls, so that no signal of a control being
  // deleted reaches them.
  std::unique_ptr<ButtonListEditor> editor_;
  std::unique_ptr<MainFormOptions> options_;
  bool exitRequested_ = false;
  bool pausedTrayIcon_ = false;
  bool updatingControls_ = false;
  bool shown_ = true;
  bool highlightActive_ = false;
  bool applicationActive_ = false;
  bool greeted_ = false;
  bool closed_ = false;
  int menusOpen_ = 0;
  int delayedExecTag_ = 0;
  TDeviceConfigDialog* deviceDialog_ = nullptr;
};

// Paints a row of the button list in the colour of the slot that presses
// its button; decided while the row is drawn, so a highlight is a repaint.
class ButtonListDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  ButtonListDelegate(const TMainForm& form, QObject* parent);

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  const TMainForm& form_;
};

}  // namespace brevanto
