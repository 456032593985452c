#include "ui/ButtonListEditor.h"

#include <QKeyEvent>
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

ConfigFile* ButtonListEditor::CurrentProfile() {
  return host_.CurrentProfile();
}

std::vector<std::string> ButtonListEditor::ProfileNames() const {
  return host_.ProfileNames();
}

std::string ButtonListEditor::SlotCaption(int slot) const {
  return form_.TabCaption(slot);
}

const TDeviceTemplate* ButtonListEditor::SlotTemplate(int slot) const {
  return form_.TemplateOfSlot(slot);
}

CapturedKey ButtonListEditor::LastKey() const {
  return form_.LastKey();
}

void ButtonListEditor::OpenWebPage(const std::string& path) {
  host_.OpenWebPage(path);
}

void ButtonListEditor::BeginRecordChange(ButtonAssignment& record) {
  host_.TimerDisable();
  // Its keys go up now: once changed the record no longer knows them.
  host_.ReleaseButton(record);
}

void ButtonListEditor::EndRecordChange(ButtonAssignment& record) {
  record.Derive();
  host_.TimerEnable();
}

void ButtonListEditor::btnEditSelectedClick() {
  QTreeWidgetItem* row = form_.SelectedRow();
  if (!row || !form_.ShownJoystick()) return;
  QTreeWidget* list = form_.lvButtonList;
  TAssignDialog dialog(*this, form_.ShownSlot(), &form_);
  for (;;) {
    const int result = dialog.Execute(RowButton(row), FromQ(row->text(0)));
    const int index = list->indexOfTopLevelItem(row);
    QTreeWidgetItem* next = nullptr;
    if (result == TAssignDialog::kGoToNext && index + 1 < list->topLevelItemCount()) {
      next = list->topLevelItem(index + 1);
    } else if (result == TAssignDialog::kGoToPrev && index > 0) {
      next = list->topLevelItem(index - 1);
    }
    form_.RefreshRow(row);
    list->setCurrentItem(next ? next : row);
    if (!next) break;
    row = next;
  }
}

bool ButtonListEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.lvButtonList && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      btnEditSelectedClick();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
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
