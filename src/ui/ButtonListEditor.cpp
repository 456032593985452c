#include "ui/ButtonListEditor.h"

#include <QMenu>
#include <QMessageBox>
#include <QTabBar>
#include <QTreeWidget>

#include "core/engine/AssignmentText.h"
#include "core/profile/ConfigFile.h"
#include "ui/MainFormHost.h"
#include "ui/TMainForm.h"
#include "ui/UiText.h"
#include "ui/dialogs/TWizardDialog.h"

namespace brevanto {

ButtonListEditor::ButtonListEditor(TMainForm& form, MainFormHost& host)
    : form_(form), host_(host), joystickBuffer_(std::make_unique<ProfileJoystick>(0)) {}

ButtonListEditor::~ButtonListEditor() = default;

int ButtonListEditor::RowButton(const QTreeWidgetItem* row) const {
  return row->data(0, TMainForm::kButtonRole).toInt();
}

void ButtonListEditor::FillSwapMenu() {
  QMenu* menu = form_.PMButtonListSwap;
  menu->clear();
  const ProfileJoystick* joystick = form_.ShownJoystick();
  QTreeWidget* list = form_.lvButtonList;
  for (int i = 0; joystick && i < list->topLevelItemCount(); ++i) {
    const int button = RowButton(list->topLevelItem(i));
    QAction* item =
        menu->addAction(ToQ(ButtonCaption(joystick->Button(button), form_.ShownTemplate())));
    connect(item, &QAction::triggered, this, [this, button] { PMButtonListSwapClick(button); });
  }
}

void ButtonListEditor::PMButtonListCopyClick() {
  ProfileJoystick* joystick = form_.ShownJoystick();
  QTreeWidgetItem* row = form_.SelectedRow();
  if (!joystick || !row) return;
  buttonBuffer_.Copy(joystick->Button(RowButton(row)));
}

void ButtonListEditor::PMButtonListPasteClick() {
  ProfileJoystick* joystick = form_.ShownJoystick();
  QTreeWidgetItem* row = form_.SelectedRow();
  if (!joystick || !row) return;
  host_.TimerDisable();
  joystick->Button(RowButton(row)).Copy(buttonBuffer_);
  host_.TimerEnable();
  form_.MarkModified();
  form_.RefreshRow(row);
}

void ButtonListEditor::PMButtonListClearClick() {
  ProfileJoystick* joystick = form_.ShownJoystick();
  QTreeWidgetItem* row = form_.SelectedRow();
  if (!joystick || !row) return;
  host_.TimerDisable();
  joystick->Button(RowButton(row)).Clear();
  host_.TimerEnable();
  form_.MarkModified();
  form_.RefreshRow(row);
}

void ButtonListEditor::PMButtonListAllClearClick() {
  ProfileJoystick* joystick = form_.ShownJoystick();
  if (!joystick) return;
  QMessageBox box(
      QMessageBox::NoIcon, QStringLiteral("Warning"),
      QStringLiteral("Joystick [%1] のボタン割り当てをすべてクリアしてもよろしいですか？")
          .arg(form_.ShownSlot() + 1),
      QMessageBox::Yes | QMessageBox::No, &form_);
  if (box.exec() != QMessageBox::Yes) return;
  host_.TimerDisable();
  for (ButtonAssignment& record : joystick->Buttons()) record.Clear();
  host_.TimerEnable();
  form_.MarkModified();
  form_.Rebuild();
}

void ButtonListEditor::PMButtonListSwapClick(int virtualButton) {
  ProfileJoystick* joystick = form_.ShownJoystick();
  QTreeWidgetItem* row = form_.SelectedRow();
  if (!joystick || !row || virtualButton < 0 || virtualButton >= kVirtualButtonCount) return;
  ButtonAssignment& a = joystick->Button(RowButton(row));
  ButtonAssignment& b = joystick->Button(virtualButton);
  // Through copies, so that swapping a record with itself keeps it.
  ButtonAssignment copyOfA, copyOfB;
  copyOfA.Copy(a);
  copyOfB.Copy(b);
  host_.TimerDisable();
  a.Copy(copyOfB);
  b.Copy(copyOfA);
  host_.TimerEnable();
  form_.MarkModified();
  form_.RefreshRows();
}

void ButtonListEditor::PMJoyCopyToClipboardClick() {
  if (const ProfileJoystick* joystick = form_.ShownJoystick()) {
    joystickBuffer_->CopyButtons(*joystick);
  }
}

void ButtonListEditor::PMJoyPasteFromClipboardClick() {
  ProfileJoystick* joystick = form_.ShownJoystick();
  if (!joystick) return;
  host_.TimerDisable();
  joystick->CopyButtons(*joystickBuffer_);
  host_.TimerEnable();
  form_.MarkModified();
  form_.tcJoystickChange(form_.tcJoystick->currentIndex());
}

void ButtonListEditor::btnConfigWizardClick() {
  ProfileJoystick* joystick = form_.ShownJoystick();
  QTreeWidget* list = form_.lvButtonList;
  if (!joystick || list->topLevelItemCount() == 0) return;
  form_.MarkModified();
  QTreeWidgetItem* selected = form_.SelectedRow();
  const int start = selected ? list->indexOfTopLevelItem(selected) : 0;
  TWizardDialog wizard(&form_);
  for (int i = start; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list->topLevelItem(i);
    wizard.SetPrompt("ジョイスティック " + std::to_string(form_.ShownSlot() + 1) + " の " +
                     FromQ(row->text(0)) + " に対応させるキーを押してください");
    wizard.exec();
    if (wizard.ResultCode() == TWizardDialog::kExit) {
      list->setCurrentItem(row);
      list->setFocus();
      return;
    }
    if (wizard.ResultCode() == TWizardDialog::kKeyCaptured) {
      ButtonAssignment& record = joystick->Button(RowButton(row));
      host_.TimerDisable();
      record.kind = AssignmentKind::Keys;
      record.keys[0][0] = wizard.KeyCode();
      record.keys[0][1] = 0;
      record.keys[0][2] = 0;
      record.repeatRate = 0.0f;
      record.Derive();
      host_.TimerEnable();
      form_.MarkModified();
      form_.RefreshRow(row);
    }
  }
  list->setFocus();
}

}  // namespace brevanto
