#pragma once

#include <QObject>

class QWidget;

namespace brevanto {

class MainFormHost;
class TMainForm;

// The options page of the main window: the current profile's settings, its
// controls built into the window and every edit stored back into the profile.
class MainFormOptions : public QObject {
  Q_OBJECT

 public:
  MainFormOptions(TMainForm& form, MainFormHost& host);

  // Creates the page's controls (the window's members) and returns the page.
  QWidget* Build();
  // Connects the controls once the window is complete.
  void Connect();
  // Shows the current profile's settings.
  void Fill();

  void btnApplyNumJoysticksClick();
  // The number of buttons is applied when its edit loses the focus.
  void editNumButtonsExit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseFile(bool sound);
  void FileEditDone(bool sound);
  void FileBoxClick(bool sound);

  TMainForm& form_;
  MainFormHost& host_;
};

}  // namespace brevanto
