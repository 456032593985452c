#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace brevanto {

struct ProfileOptions;

// The strengths of the two motors and the duration of the vibration that
// marks a profile switch.
class TVibrationDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TVibrationDialog(QWidget* parent = nullptr);

  void SetValues(int leftMotor, int rightMotor, const std::string& durationText);
  int LeftMotor() const;
  int RightMotor() const;
  std::string DurationText() const;

  // Loads the profile's vibration options, runs the dialog and on OK stores
  // them back. True on OK.
  bool EditProfile(ProfileOptions& options);

  QSlider* tbVibration1;
  QLabel* lblVibration1;
  QSlider* tbVibration2;
  QLabel* lblVibration2;
  QLineEdit* editVibrationDuration;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows the conversion error and keeps the focus in the edit when the
  // duration is not an integer.
  bool CheckDuration();
};

}  // namespace brevanto
