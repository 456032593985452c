#pragma once

#include <QObject>
#include <memory>

#include "core/engine/ButtonAssignment.h"
#include "ui/dialogs/TAssignDialog.h"

class QTreeWidgetItem;

namespace brevanto {

class ConfigFile;
class MainFormHost;
class ProfileJoystick;
class TMainForm;

// The commands of the button list and the joystick tab that change
// assignments of the shown slot: the assignment dialog's edit loop, copy,
// paste, clear, swap, the joystick copy buffer and the configuration wizard.
// The two copy buffers outlive profile switches, so a copy made in one
// profile can be pasted into another.
class ButtonListEditor : public QObject, public AssignDialogHost {
  Q_OBJECT

 public:
  ButtonListEditor(TMainForm& form, MainFormHost& host);
  ~ButtonListEditor() override;

  // Refills the swap submenu with one item per row, in list order.
  void FillSwapMenu();

  // The edit loop: the assignment dialog for the selected row, then row by
  // row as "<<" and ">>" step, each row refreshed and selected after its pass.
  void btnEditSelectedClick();

  void PMButtonListCopyClick();
  void PMButtonListPasteClick();
  void PMButtonListClearClick();
  void PMButtonListAllClearClick();
  void PMButtonListSwapClick(int virtualButton);
  void PMJoyCopyToClipboardClick();
  void PMJoyPasteFromClipboardClick();
  void btnConfigWizardClick();

 protected:
  // Enter in the button list edits the row.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // AssignDialogHost
  ConfigFile* CurrentProfile() override;
  std::vector<std::string> ProfileNames() const override;
  std::string SlotCaption(int slot) const override;
  const TDeviceTemplate* SlotTemplate(int slot) const override;
  CapturedKey LastKey() const override;
  void OpenWebPage(const std::string& path) override;
  void BeginRecordChange(ButtonAssignment& record) override;
  void EndRecordChange(ButtonAssignment& record) override;

  int RowButton(const QTreeWidgetItem* row) const;

  TMainForm& form_;
  MainFormHost& host_;
  ButtonAssignment buttonBuffer_;
  std::unique_ptr<ProfileJoystick> joystickBuffer_;
};

}  // namespace brevanto
