#pragma once

#include <QObject>
#include <memory>

#include "core/engine/ButtonAssignment.h"

class QTreeWidgetItem;

namespace brevanto {

class MainFormHost;
class ProfileJoystick;
class TMainForm;

// The commands of the button list and the joystick tab that change
// assignments of the shown slot: copy, paste, clear, swap, the joystick copy
// buffer and the configuration wizard. The two copy buffers outlive profile
// switches, so a copy made in one profile can be pasted into another.
class ButtonListEditor : public QObject {
  Q_OBJECT

 public:
  ButtonListEditor(TMainForm& form, MainFormHost& host);
  ~ButtonListEditor() override;

  // Refills the swap submenu with one item per row, in list order.
  void FillSwapMenu();

  void PMButtonListCopyClick();
  void PMButtonListPasteClick();
  void PMButtonListClearClick();
  void PMButtonListAllClearClick();
  void PMButtonListSwapClick(int virtualButton);
  void PMJoyCopyToClipboardClick();
  void PMJoyPasteFromClipboardClick();
  void btnConfigWizardClick();

 private:
  int RowButton(const QTreeWidgetItem* row) const;

  TMainForm& form_;
  MainFormHost& host_;
  ButtonAssignment buttonBuffer_;
  std::unique_ptr<ProfileJoystick> joystickBuffer_;
};

}  // namespace brevanto
