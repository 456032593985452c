#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/engine/ButtonAssignment.h"
#include "ui/CapturedKey.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace brevanto {

class ConfigFile;
class MousePositionPreview;
class TDeviceTemplate;

// What the assignment dialog needs of the main window.
class AssignDialogHost {
 public:
  virtual ~AssignDialogHost() = default;

  virtual ConfigFile* CurrentProfile() = 0;
  // The profile names in the order of the main window's list.
  virtual std::vector<std::string> ProfileNames() const = 0;
  // The tab caption of a joystick slot ("[2] Pad").
  virtual std::string SlotCaption(int slot) const = 0;
  virtual const TDeviceTemplate* SlotTemplate(int slot) const = 0;
  // The key of the key-down being delivered now.
  virtual CapturedKey LastKey() const = 0;
  virtual void OpenWebPage(const std::string& path) = 0;
  // Brackets the write of a record the processing cycle reads: the cycle is
  // paused and the record lets go of what it holds before the change; the
  // scan codes are derived and the cycle resumes after it.
  virtual void BeginRecordChange(ButtonAssignment& record) = 0;
  virtual void EndRecordChange(ButtonAssignment& record) = 0;
};

// Edits what one virtual button of one joystick slot does, directly in the
// current profile's record. One dialog serves a whole run of the main
// window's edit loop: Execute reloads it for each row, and controls a load
// does not set keep what the previous row left in them.
class TAssignDialog : public QDialog {
  Q_OBJECT

 public:
  // Results of Execute besides Accepted and Rejected.
  static constexpr int kGoToNext = 10001;
  static constexpr int kGoToPrev = 10002;

  enum Page { kKeyboard, kKeyboardMulti, kMouse, kMousePosition, kText, kSpecial };

  TAssignDialog(AssignDialogHost& host, int slot, QWidget* parent = nullptr);
  ~TAssignDialog() override;

  // Loads the record of the button, shows the dialog modally and returns how
  // it was closed. OK, ">>" and "<<" have written the record by then.
  int Execute(int button, const std::string& label);
  // Loads the record into the controls without showing the dialog.
  void Load(int button, const std::string& label);

  int Slot() const { return slot_; }
  int Button() const { return button_; }
  // The key codes being edited, indexes 0..15 (four inputs of four keys).
  const std::array<uint32_t, 16>& WorkingKeys() const { return keys_; }
  float RepeatValue() const { return repeatValue_; }
  // The key edit of a key code index; the multiple-input page's for 0..3
  // when multi is set.
  QLineEdit* KeyEdit(int index, bool multi) const;

  // Handlers, public so that tests reach them as a click would.
  void btnOKClick();
  void btnGoToNextClick();
  void btnGoToPrevClick();
  void btnClearClick();
  void btnKeyAssignClick();
  // An entry of the key edits' popup chosen for the edit.
  void SpecialKeyChosen(QLineEdit* edit, uint32_t code);

  QLabel* lblTop;
  QTabWidget* PageControl1;
  QWidget* tsKeyboard;
  QWidget* tsKeyboardMulti;
  QWidget* tsMouse;
  QWidget* tsMouse2;
  QWidget* tsText;
  QWidget* tsSpecial;

  // Keyboard.
  std::array<QLineEdit*, 4> Key{};  // Key0..Key3
  QComboBox* cbKeySelect;
  QComboBox* cbKeyNum;
  QPushButton* btnKeyAssign;
  QMenu* PMSpecialKeys;

  // Keyboard (multiple): MultiKey[row][column] is Key11..Key44.
  std::array<std::array<QLineEdit*, 4>, 4> MultiKey{};
  std::array<QLabel*, 4> lblKey{};  // lblKey1..lblKey4
  QRadioButton* rbKeyAnalogSwitch;
  QRadioButton* rbKeyDelayedSwitch;
  QRadioButton* rbKeyMultiSwitch2;
  QRadioButton* rbKeyMultiSwitch3;
  QRadioButton* rbKeyMultiSwitch4;
  QRadioButton* rbKeyReleaseSwitch;
  QRadioButton* rbKeyRepeatSwitch;
  QRadioButton* rbKeyMultiSequence;
  QLineEdit* editKeyAnalogThreshold1;
  QLineEdit* editKeyAnalogThreshold2;
  QLineEdit* editKeySwitchDelay;
  QLineEdit* editKeyRepeatSwitch;
  QLineEdit* editMinimumHoldDuration;
  QLineEdit* editCounterResetDuration;

  // Mouse.
  QCheckBox* cbMouseL;
  QCheckBox* cbMouseR;
  QCheckBox* cbMouseM;
  QCheckBox* cbMouse4;
  QCheckBox* cbMouse5;
  QCheckBox* cbMouseUp;
  QCheckBox* cbMouseDown;
  QCheckBox* cbMouseLeft;
  QCheckBox* cbMouseRight;
  QSlider* tbMouseSpeed;
  QLabel* lblMouseSpeed;
  QSlider* tbAccelerationFactor;
  QLabel* lblAccelerationFactor;
  QSlider* tbMouseWheelV;
  QLabel* lblMouseWheelV;
  QSlider* tbMouseWheelH;
  QLabel* lblMouseWheelH;
  QSlider* tbAnalogFactor;
  QLabel* lblAnalogFactor;
  QPushButton* btnAnalogFactorDefault;

  // Mouse position.
  MousePositionPreview* pbMouseAbs;
  QLineEdit* editMouseCenterX;
  QLineEdit* editMouseCenterY;
  QLabel* lblMouseAbsCenter;
  QRadioButton* rbMouseAbsTarget;
  QRadioButton* rbMouseAbsRange;
  QSlider* tbMouseAbsRangeX;
  QSlider* tbMouseAbsRangeY;
  QLabel* lblMouseAbsX;
  QLabel* lblMouseAbsY;
  QCheckBox* cbMouseL_2;
  QCheckBox* cbMouseR_2;
  QCheckBox* cbMouseM_2;
  QCheckBox* cbMouse4_2;
  QCheckBox* cbMouse5_2;

  // Text.
  QPlainTextEdit* memoText;
  QLabel* lblSupportedVariables;

  // Special.
  QComboBox* cbShiftKey;
  QCheckBox* cbShiftKeyDelayed;
  QLineEdit* editShiftKeyDelay;
  QComboBox* cbSwitchProfile;
  QCheckBox* cbSwitchProfileDelayed;
  QLineEdit* editSwitchProfileDelay;
  QLineEdit* editExternalProgram;
  QPushButton* btnExternalProgram;
  QLineEdit* editExternalProgramParameters;
  QLineEdit* editExternalProgramStartFrom;
  QPushButton* btnExternalProgramStartFrom;

  // Auto-repeat and toggle, shown on some pages.
  QGroupBox* gbAutoRepeat;
  QCheckBox* cbAutoRepeat;
  QLineEdit* editAutoRepeatPerSec;
  QLineEdit* editAutoRepeatPeriod;
  QCheckBox* cbAutoDelayed;
  QLineEdit* editAutoRepeatDelay;
  QCheckBox* cbToggle;

  QLabel* lblComment;
  QLineEdit* editComment;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QPushButton* btnClear;
  QPushButton* btnGoToPrev;
  QPushButton* btnGoToNext;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building, one part per page.
  QWidget* BuildKeyboardPage();
  QWidget* BuildKeyboardMultiPage();
  QWidget* BuildMousePage();
  QWidget* BuildMousePositionPage();
  QWidget* BuildTextPage();
  QWidget* BuildSpecialPage();
  QGroupBox* BuildAutoRepeatGroup();
  void BuildSpecialKeysMenu();
  QLineEdit* NewKeyEdit(QWidget* parent, const char* name, int index);
  QLineEdit* NewNumberEdit(QWidget* parent, const char* name, const char* text);

  // Loading, by part.
  void LoadKeys(const ButtonAssignment& r);
  void LoadMultiMode(const ButtonAssignment& r);
  void LoadMouse(const ButtonAssignment& r);
  void LoadMousePosition(const ButtonAssignment& r);
  void LoadSpecial(const ButtonAssignment& r);
  void LoadAutoRepeat(const ButtonAssignment& r);

  // Storing: every number is read before anything is written, so a text
  // that is not one leaves the record as it was.
  bool Store();
  bool Close(int result, bool checkRepeat);
  ButtonAssignment* Record() const;

  // Enabling rules.
  void PageChanged();
  void MultiModeClicked();
  void AutoRepeatClicked();
  void MouseAbsModeClicked();
  void RefreshMouseLabels();
  void UpdatePreview();
  void RangeMoved(QSlider* moved);
  void FocusFirstControl();

  // Key edits.
  bool KeyEditEvent(QLineEdit* edit, QEvent* event);
  void SetKey(int index, uint32_t code);
  void ShowKey(QLineEdit* edit, uint32_t code);
  // Number edits when they are left: false with the message when the text
  // is refused. The auto-repeat value edits apply their value then.
  bool LeaveEdit(QLineEdit* edit, QString* problem);
  bool ApplyRepeatEdit(QLineEdit* edit, QString* problem);
  bool RepeatEditEvent(QLineEdit* edit, QEvent* event);
  // The edit that has the focus (or was refused) is left before closing.
  bool ApplyFocusedEdit();
  void NumberEditLeft(QLineEdit* edit);
  void Refuse(QLineEdit* edit, const QString& message);

  void ChooseProgram();
  void ChooseStartFolder();

  AssignDialogHost& host_;
  int slot_;
  int button_ = -1;
  std::array<uint32_t, 16> keys_{};
  float repeatValue_ = 0.0f;
  QLineEdit* popupEdit_ = nullptr;
  // An edit whose text was refused; nothing closes the dialog meanwhile.
  QLineEdit* refused_ = nullptr;
  QLineEdit* selectOnClick_ = nullptr;
};

}  // namespace brevanto
