#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/applink/AppLink.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brevanto {

class WindowTracker;

// Edits one application link: its name, the part of the program path and
// the part of the window title it matches, and the profile it switches to.
class TAppLinkItemDialog : public QDialog {
  Q_OBJECT

 public:
  // tracker is what the capture reads the foreground window through; without
  // one there is no capture.
  TAppLinkItemDialog(const std::vector<std::string>& profileNames, WindowTracker* tracker,
                     QWidget* parent = nullptr);

  void SetLink(const AppLink& link);
  AppLink Link() const;

  QLineEdit* EditAppName;
  QLineEdit* EditPath;
  QLabel* lblPathNote;
  QLineEdit* EditTitle;
  QComboBox* CBConfigFile;
  QPushButton* btnCaptureApp;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  void btnOKClick();
  void btnCaptureAppClick();

 private:
  // Whether the combo's text names a profile of its list.
  bool NamesAProfile() const;

  WindowTracker* tracker_;
};

}  // namespace brevanto
