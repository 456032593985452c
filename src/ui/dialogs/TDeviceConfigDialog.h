#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "core/device/DeviceConfig.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;

namespace brevanto {

class AxisPreview;
class MainFormHost;
class StickPreview;

// Shown when the desktop has no game-controller settings tool to open.
inline const char* const kControllerSettingsMissing =
    "ゲームコントローラの設定ツールが見つかりませんでした。"
    "jstest-gtk をインストールしてください（例: sudo apt install jstest-gtk）。";

// "ジョイスティックの調整・設定": every device record the program knows, with
// its preferred joystick number, display name, stick axes, dead zone and
// button labels, and a live view of its sticks and axes. Every change goes
// straight into the record, with the processing paused; the main window
// saves the settings once the dialog is closed.
class TDeviceConfigDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TDeviceConfigDialog(MainFormHost& host, QWidget* parent = nullptr);

  // Whether records of this interface kind are listed under the input API
  // mode (XInputSupport).
  static bool Listed(InterfaceKind kind, int apiMode);
  // The list entry of a record: its shown name, its interface and whether it
  // is connected.
  static QString EntryText(const TDeviceConfig& record);

  // The record being edited, or nullptr.
  TDeviceConfig* Selected() const { return selected_; }
  // The processing cycle saw the shown axis values change: the previews
  // show the selected record's values now.
  void AxisValuesChanged();

  QTabWidget* PageControl;
  QWidget* tsCalibration;
  QWidget* tsDeviceSettings;
  QPushButton* btnOpenControlPanel;
  QComboBox* cbDeviceList;
  QComboBox* cbJoystickNumber;
  QPushButton* btnEditButtonNames;
  QPushButton* btnEditDeviceName;
  QPushButton* btnDeleteDeviceConfig;
  StickPreview* pbStick1;
  StickPreview* pbStick2;
  AxisPreview* pbAxis;
  QComboBox* cbStick1X;
  QComboBox* cbStick1Y;
  QComboBox* cbStick2X;
  QComboBox* cbStick2Y;
  QSlider* tbAnalogDeadZone;
  QLabel* lblAnalogDeadZone;
  QPushButton* btnClose;

  void btnOpenControlPanelClick();
  void btnEditDeviceNameClick();
  void btnEditButtonNamesClick();
  void btnDeleteDeviceConfigClick();

 private:
  QWidget* BuildCalibrationPage();
  QWidget* BuildDeviceSettingsPage();
  void Connect();
  void FillDeviceList();
  void ShowSelected();
  void ShowPreviews();
  void SelectionChanged(int index);
  void AxisChanged(int entry, int physical);
  void DeadZoneChanged(int position);
  // Runs a change of the selected record with the processing paused.
  template <class F>
  void ChangeRecord(F change);

  MainFormHost& host_;
  std::array<QComboBox*, 4> axisCombos_{};
  TDeviceConfig* selected_ = nullptr;
  // Only the first fill prefers the connected first device of a back end.
  bool everSelected_ = false;
  bool updating_ = false;
};

}  // namespace brevanto
