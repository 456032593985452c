#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace brevanto {

class MainFormHost;
class RadioGroup;
struct GlobalSettings;

// The program-wide preferences ("設定"). Filled from the settings when made;
// OK writes them back and applies at once what takes effect at once: the
// debug log, the input API mode (devices are detected again) and the
// processing speed (the processing thread restarts). Cancel stores nothing.
class TPreferenceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPreferenceDialog(MainFormHost& host, QWidget* parent = nullptr);

  QCheckBox* cbStartIconified;
  QCheckBox* cbExitMeansMinimize;
  QCheckBox* cbHideWhenMinimized;

  QCheckBox* cbNotifyBalloon;
  QCheckBox* cbNotifySound;
  QLineEdit* editSoundFile;
  QPushButton* btnSoundFile;
  QCheckBox* cbNotifyProfileImage;
  QLineEdit* editProfileImageDuration;
  RadioGroup* radioProfileImagePosition;
  QCheckBox* cbIgnoreInputAfterProfileSwitch;
  QLineEdit* editIgnoreInputAfterProfileSwitch;

  QCheckBox* cbIgnoreInputAfterShiftSwitch;
  QLineEdit* editIgnoreInputAfterShiftSwitch;

  QCheckBox* cbHighlightButtons;
  QCheckBox* cbHighlightButtonsForAllTabs;
  QCheckBox* cbSkipForegroundProcessing;

  QCheckBox* cbShowDebugLog;
  RadioGroup* rgTurboMode;
  QComboBox* cbXInputSupport;

  QPushButton* btnOK;
  QPushButton* btnCancel;

  // The file chooser of the sound; the choice lands in editSoundFile.
  void btnSoundFileClick();

 public slots:
  void accept() override;

 private:
  QWidget* BuildMinimizeGroup();
  QWidget* BuildProfileSwitchGroup();
  QWidget* BuildShiftSwitchGroup();
  QWidget* BuildActiveWindowGroup();
  QWidget* BuildSpecialGroup();
  void Connect();
  void FillFromSettings();
  void UpdateEnabling();

  // The sound file exists, or the user was told so and the focus is back in
  // its edit.
  bool CheckSoundFile();
  // Every number edit in use holds an integer, or the user was told which
  // one does not and the focus is back in it.
  bool CheckNumbers();
  void Store();
  void ApplyTurboMode();
  std::string ResolveDataPath(const std::string& path) const;

  MainFormHost& host_;
  GlobalSettings& settings_;
};

}  // namespace brevanto
