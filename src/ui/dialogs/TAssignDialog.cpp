#include "ui/dialogs/TAssignDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "core/engine/KeyNames.h"
#include "core/profile/ConfigFile.h"
#include "core/text/NumberText.h"
#include "ui/IntegerText.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/AssignDialogText.h"
#include "ui/dialogs/MousePositionPreview.h"

namespace brevanto {
namespace {

QPushButton* DialogButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = Named(new QPushButton(caption, parent), name);
  // No default button: Enter in a key edit is a key like any other.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

TAssignDialog::TAssignDialog(AssignDialogHost& host, int slot, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      host_(host),
      slot_(slot) {
  setObjectName(QStringLiteral("TAssignDialog"));
  lblTop =
      Named(new QLabel(QStringLiteral("割り当てる機能を１つ選んでください。"), this), "lblTop");
  PageControl1 = Named(new QTabWidget(this), "PageControl1");
  PageControl1->setDocumentMode(true);
  PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 10px; }"));

  BuildSpecialKeysMenu();
  tsKeyboard = BuildKeyboardPage();
  tsKeyboardMulti = BuildKeyboardMultiPage();
  tsMouse = BuildMousePage();
  tsMouse2 = BuildMousePositionPage();
  tsText = BuildTextPage();
  tsSpecial = BuildSpecialPage();
  PageControl1->addTab(tsKeyboard, QStringLiteral("キーボード"));
  PageControl1->addTab(tsKeyboardMulti, QStringLiteral("キーボード(複数)"));
  PageControl1->addTab(tsMouse, QStringLiteral("マウス"));
  PageControl1->addTab(tsMouse2, QStringLiteral("マウス(位置指定)"));
  PageControl1->addTab(tsText, QStringLiteral("テキスト入力"));
  PageControl1->addTab(tsSpecial, QStringLiteral("特殊機能"));

  gbAutoRepeat = BuildAutoRepeatGroup();
  gbAutoRepeat->hide();

  lblComment = Named(new QLabel(QStringLiteral("Comment: "), this), "lblComment");
  editComment = Named(new QLineEdit(this), "editComment");
  lblComment->setBuddy(editComment);
  editComment->installEventFilter(this);

  btnOK = DialogButton(this, "btnOK", QStringLiteral("OK"));
  btnCancel = DialogButton(this, "btnCancel", QStringLiteral("Cancel"));
  btnClear = DialogButton(this, "btnClear", QStringLiteral("すべて消去 (無効化)"));
  btnGoToPrev = DialogButton(this, "btnGoToPrev", QStringLiteral("<<"));
  btnGoToPrev->setToolTip(QStringLiteral("前のボタンへ"));
  btnGoToNext = DialogButton(this, "btnGoToNext", QStringLiteral(">>"));
  btnGoToNext->setToolTip(QStringLiteral("次のボタンへ"));

  auto* comment = new QHBoxLayout;
  comment->addWidget(lblComment);
  comment->addWidget(editComment, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnGoToPrev);
  buttons->addWidget(btnGoToNext);
  buttons->addStretch();
  buttons->addWidget(btnClear);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTop);
  layout->addWidget(PageControl1);
  layout->addWidget(gbAutoRepeat);
  layout->addLayout(comment);
  layout->addLayout(buttons);
  // A dialog border: the size follows the page shown, the user does not drag it.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageChanged(); });
  connect(btnOK, &QPushButton::clicked, this, &TAssignDialog::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &TAssignDialog::reject);
  connect(btnClear, &QPushButton::clicked, this, &TAssignDialog::btnClearClick);
  connect(btnGoToPrev, &QPushButton::clicked, this, &TAssignDialog::btnGoToPrevClick);
  connect(btnGoToNext, &QPushButton::clicked, this, &TAssignDialog::btnGoToNextClick);
  MultiModeClicked();
}

TAssignDialog::~TAssignDialog() = default;

ButtonAssignment* TAssignDialog::Record() const {
  ConfigFile* profile = host_.CurrentProfile();
  ProfileJoystick* joystick = profile ? profile->Joystick(slot_) : nullptr;
  if (!joystick || button_ < 0 || button_ >= kVirtualButtonCount) return nullptr;
  return &joystick->Button(button_);
}

int TAssignDialog::Execute(int button, const std::string& label) {
  Load(button, label);
  return exec();
}

void TAssignDialog::Load(int button, const std::string& label) {
  button_ = button;
  refused_ = nullptr;
  setWindowTitle(QStringLiteral("ジョイスティック %1 の %2 の設定").arg(slot_ + 1).arg(ToQ(label)));
  // A slot the profile no longer has reads as an unassigned button.
  static const ButtonAssignment kUnassigned;
  const ButtonAssignment* record = Record();
  const ButtonAssignment& r = record ? *record : kUnassigned;

  Page page = kKeyboard;
  switch (r.kind) {
    case AssignmentKind::Mouse:
      page = kMouse;
      break;
    case AssignmentKind::JoystickSwitch:
    case AssignmentKind::ProfileSwitch:
    case AssignmentKind::LaunchProgram:
      page = kSpecial;
      break;
    case AssignmentKind::MultiInput:
      page = kKeyboardMulti;
      break;
    case AssignmentKind::MouseAbsolute:
      page = kMousePosition;
      break;
    case AssignmentKind::PasteText:
      page = kText;
      break;
    default:
      break;
  }
  {
    const QSignalBlocker block(PageControl1);
    PageControl1->setCurrentIndex(page);
  }
  MultiModeClicked();

  LoadAutoRepeat(r);
  LoadKeys(r);
  LoadMultiMode(r);
  LoadMouse(r);
  LoadMousePosition(r);
  memoText->setPlainText(ToQ(r.pasteText).replace(QStringLiteral("\\n"), QStringLiteral("\n")));
  LoadSpecial(r);
  editComment->setText(ToQ(r.comment));
  RefreshMouseLabels();
}

void TAssignDialog::LoadAutoRepeat(const ButtonAssignment& r) {
  editAutoRepeatPerSec->clear();
  editAutoRepeatPeriod->clear();
  cbAutoRepeat->setChecked(false);
  repeatValue_ = r.repeatRate;
  if (repeatValue_ > 0) {
    cbAutoRepeat->setChecked(true);
    editAutoRepeatPerSec->setText(ToQ(FloatText(repeatValue_)));
  } else if (repeatValue_ < 0) {
    cbAutoRepeat->setChecked(true);
    editAutoRepeatPeriod->setText(ToQ(FloatText(-repeatValue_)));
  }
  cbAutoDelayed->setChecked(r.repeatDelay > 0);
  editAutoRepeatDelay->setText(cbAutoDelayed->isChecked() ? QString::number(r.repeatDelay)
                                                          : QStringLiteral("700"));
  AutoRepeatClicked();
  cbToggle->setChecked(r.toggle != 0);
}

void TAssignDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FocusFirstControl();
}

void TAssignDialog::FocusFirstControl() {
  QWidget* first[] = {Key[0], MultiKey[0][0], cbMouseL, editMouseCenterX, memoText, cbShiftKey};
  const int page = PageControl1->currentIndex();
  if (page >= 0 && page < static_cast<int>(std::size(first))) first[page]->setFocus();
}

void TAssignDialog::PageChanged() {
  const int page = PageControl1->currentIndex();
  const bool cycling =
      page == kKeyboardMulti && (rbKeyMultiSwitch2->isChecked() || rbKeyMultiSwitch3->isChecked() ||
                                 rbKeyMultiSwitch4->isChecked());
  const bool common = page == kKeyboard || page == kMouse || page == kMousePosition || cycling;
  gbAutoRepeat->setVisible(common);
  gbAutoRepeat->setEnabled(common);
  lblComment->setVisible(page != kText);
  editComment->setVisible(page != kText);
}

void TAssignDialog::btnOKClick() {
  Close(Accepted, true);
}

void TAssignDialog::btnGoToNextClick() {
  Close(kGoToNext, false);
}

void TAssignDialog::btnGoToPrevClick() {
  Close(kGoToPrev, false);
}

bool TAssignDialog::Close(int result, bool checkRepeat) {
  if (!ApplyFocusedEdit()) return false;
  if (checkRepeat && cbAutoRepeat->isChecked() && repeatValue_ == 0.0f) {
    QMessageBox::critical(
        this, QStringLiteral("Error"),
        QStringLiteral("自動連射機能を使うためには、1秒間に何回連射するのか指定してください。"));
    return false;
  }
  if (!Store()) return false;
  done(result);
  return true;
}

bool TAssignDialog::Store() {
  ButtonAssignment* record = Record();
  ConfigFile* profile = host_.CurrentProfile();
  if (!record || !profile) return false;
  const int page = PageControl1->currentIndex();

  // Every number the store reads, read first.
  struct Numbers {
    int minimumHold = 0, switchDelay = 0, repeatSwitch = 0, counterReset = 0;
    int threshold1 = 0, threshold2 = 0, shiftDelay = 0, profileDelay = 0, repeatDelay = 0;
    double centerX = 0, centerY = 0;
  } n;
  auto integer = [this](QLineEdit* edit, int& out, bool emptyIsZero = false) {
    if (emptyIsZero && edit->text().trimmed().isEmpty()) {
      out = 0;
      return true;
    }
    const std::optional<int> value = ParseIntegerText(edit->text());
    if (!value) {
      Refuse(edit, NotANumberText(edit->text()));
      return false;
    }
    out = *value;
    return true;
  };
  auto decimal = [this](QLineEdit* edit, double& out, const QString& message) {
    const std::optional<double> value = ParseDecimalText(edit->text());
    if (!value) {
      Refuse(edit, message);
      return false;
    }
    out = *value;
    return true;
  };
  const bool cycling = rbKeyMultiSwitch2->isChecked() || rbKeyMultiSwitch3->isChecked() ||
                       rbKeyMultiSwitch4->isChecked();
  if (page == kKeyboardMulti) {
    if (!integer(editMinimumHoldDuration, n.minimumHold)) return false;
    if (rbKeyDelayedSwitch->isChecked() && !integer(editKeySwitchDelay, n.switchDelay)) {
      return false;
    }
    if (rbKeyRepeatSwitch->isChecked() && !integer(editKeyRepeatSwitch, n.repeatSwitch)) {
      return false;
    }
    if (cycling && !integer(editCounterResetDuration, n.counterReset, true)) return false;
    if (rbKeyAnalogSwitch->isChecked() && (!integer(editKeyAnalogThreshold1, n.threshold1) ||
                                           !integer(editKeyAnalogThreshold2, n.threshold2))) {
      return false;
    }
  }
  if (page == kMousePosition) {
    if (!decimal(editMouseCenterX, n.centerX, CenterRefusedText()) ||
        !decimal(editMouseCenterY, n.centerY, CenterRefusedText())) {
      return false;
    }
  }
  if (page == kSpecial) {
    if (cbShiftKey->currentIndex() > 0 && cbShiftKeyDelayed->isChecked() &&
        !integer(editShiftKeyDelay, n.shiftDelay)) {
      return false;
    }
    if (cbShiftKey->currentIndex() <= 0 && cbSwitchProfile->currentIndex() > 0 &&
        cbSwitchProfileDelayed->isChecked() && !integer(editSwitchProfileDelay, n.profileDelay)) {
      return false;
    }
  }
  const bool common = page == kKeyboard || page == kMouse || page == kMousePosition ||
                      (page == kKeyboardMulti && cycling);
  if (common && cbAutoRepeat->isChecked() && cbAutoDelayed->isChecked()) {
    double delay = 0;
    if (!decimal(editAutoRepeatDelay, delay, NotANumberText(editAutoRepeatDelay->text()))) {
      return false;
    }
    n.repeatDelay = static_cast<int>(std::trunc(delay));
  }

  host_.BeginRecordChange(*record);
  ButtonAssignment& r = *record;
  profile->modified = true;
  r.kind = AssignmentKind::None;
  switch (page) {
    case kKeyboard:
      if (keys_[0] != 0) r.kind = AssignmentKind::Keys;
      break;
    case kKeyboardMulti:
      r.kind = AssignmentKind::MultiInput;
      r.minimumHoldDuration = n.minimumHold;
      if (rbKeyDelayedSwitch->isChecked()) {
        r.multiMode = MultiMode::DelayedSwitch;
        r.switchDelay = n.switchDelay;
      } else if (rbKeyRepeatSwitch->isChecked()) {
        r.multiMode = MultiMode::RepeatSwitch;
        r.switchDelay = n.repeatSwitch;
      } else if (rbKeyReleaseSwitch->isChecked()) {
        r.multiMode = MultiMode::ReleaseSwitch;
      } else if (rbKeyMultiSequence->isChecked()) {
        r.multiMode = MultiMode::MultiSequence;
      } else if (cycling) {
        r.multiMode = rbKeyMultiSwitch2->isChecked()   ? MultiMode::MultiSwitch2
                      : rbKeyMultiSwitch3->isChecked() ? MultiMode::MultiSwitch3
                                                       : MultiMode::MultiSwitch4;
        r.counterResetDuration = n.counterReset;
      } else if (rbKeyAnalogSwitch->isChecked()) {
        r.multiMode = MultiMode::AnalogSwitch;
        r.analogThreshold1 = n.threshold1;
        r.analogThreshold2 = n.threshold2;
      }
      break;
    case kMouse: {
      const bool moves = cbMouseUp->isChecked() || cbMouseDown->isChecked() ||
                         cbMouseLeft->isChecked() || cbMouseRight->isChecked();
      const bool clicks = cbMouseL->isChecked() || cbMouseR->isChecked() || cbMouseM->isChecked() ||
                          cbMouse4->isChecked() || cbMouse5->isChecked();
      if (moves || clicks || tbMouseWheelV->value() != 0 || tbMouseWheelH->value() != 0 ||
          tbAnalogFactor->value() != 100) {
        r.kind = AssignmentKind::Mouse;
      }
      r.accelerationFactor = static_cast<float>(tbAccelerationFactor->value()) / 10.0f;
      r.analogFactor = tbAnalogFactor->value();
      r.clickLeft = cbMouseL->isChecked();
      r.clickMiddle = cbMouseM->isChecked();
      r.clickRight = cbMouseR->isChecked();
      r.clickX1 = cbMouse4->isChecked();
      r.clickX2 = cbMouse5->isChecked();
      break;
    }
    case kMousePosition: {
      r.kind = AssignmentKind::MouseAbsolute;
      r.absCenterX = static_cast<float>(n.centerX);
      r.absCenterY = static_cast<float>(n.centerY);
      const bool range = rbMouseAbsRange->isChecked();
      r.absRangeX = range ? tbMouseAbsRangeX->value() : 0;
      r.absRangeY = range ? tbMouseAbsRangeY->value() : 0;
      r.clickLeft = cbMouseL_2->isChecked();
      r.clickMiddle = cbMouseM_2->isChecked();
      r.clickRight = cbMouseR_2->isChecked();
      r.clickX1 = cbMouse4_2->isChecked();
      r.clickX2 = cbMouse5_2->isChecked();
      break;
    }
    case kText:
      r.kind = AssignmentKind::PasteText;
      r.pasteText =
          FromQ(memoText->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\\n")));
      // A text line has no room for a comment.
      memoText->clear();
      editComment->clear();
      break;
    case kSpecial: {
      const std::vector<std::string> names = host_.ProfileNames();
      const int profileIndex = cbSwitchProfile->currentIndex();
      if (cbShiftKey->currentIndex() > 0) {
        r.kind = AssignmentKind::JoystickSwitch;
        r.targetJoystick = slot_ + cbShiftKey->currentIndex();
        r.switchDelay = cbShiftKeyDelayed->isChecked() ? n.shiftDelay : 0;
      } else if (profileIndex > 0 && profileIndex <= static_cast<int>(names.size())) {
        r.kind = AssignmentKind::ProfileSwitch;
        r.targetName = names[static_cast<std::size_t>(profileIndex - 1)];
        r.switchDelay = cbSwitchProfileDelayed->isChecked() ? n.profileDelay : 0;
      } else if (!editExternalProgram->text().isEmpty()) {
        r.kind = AssignmentKind::LaunchProgram;
        r.targetName = FromQ(editExternalProgram->text());
        r.parameters = FromQ(editExternalProgramParameters->text());
        r.startFrom = FromQ(editExternalProgramStartFrom->text());
      }
      break;
    }
    default:
      break;
  }

  if (common) {
    if (cbAutoRepeat->isChecked()) {
      r.repeatRate = repeatValue_;
      r.repeatDelay = cbAutoDelayed->isChecked() ? n.repeatDelay : 0;
    } else {
      r.repeatRate = 0.0f;
    }
    r.toggle = cbToggle->isChecked();
  }

  for (std::size_t i = 0; i < keys_.size(); ++i) r.keys[i / 4][i % 4] = keys_[i];
  const int speed = tbMouseSpeed->value();
  r.HMove = cbMouseLeft->isChecked() ? -speed : cbMouseRight->isChecked() ? speed : 0;
  r.VMove = cbMouseUp->isChecked() ? -speed : cbMouseDown->isChecked() ? speed : 0;
  r.wheelH = tbMouseWheelH->value();
  r.wheelV = tbMouseWheelV->value();
  r.comment = FromQ(editComment->text());
  host_.EndRecordChange(r);
  return true;
}

void TAssignDialog::btnClearClick() {
  {
    const QSignalBlocker block(PageControl1);
    PageControl1->setCurrentIndex(kKeyboard);
  }
  cbAutoRepeat->setChecked(false);
  cbAutoDelayed->setChecked(false);
  cbToggle->setChecked(false);
  editAutoRepeatDelay->setText(QStringLiteral("700"));
  AutoRepeatClicked();
  editAutoRepeatDelay->setEnabled(false);
  keys_.fill(0);
  for (QLineEdit* edit : Key) ShowKey(edit, 0);
  for (auto& row : MultiKey) {
    for (QLineEdit* edit : row) ShowKey(edit, 0);
  }
  rbKeyMultiSwitch2->setChecked(true);
  editKeySwitchDelay->setText(QStringLiteral("500"));
  editMinimumHoldDuration->setText(QStringLiteral("20"));
  MultiModeClicked();
  for (QCheckBox* box :
       {cbMouseUp, cbMouseDown, cbMouseLeft, cbMouseRight, cbMouseL, cbMouseR, cbMouseM, cbMouse4,
        cbMouse5, cbMouseL_2, cbMouseR_2, cbMouseM_2, cbMouse4_2, cbMouse5_2}) {
    box->setChecked(false);
  }
  tbMouseSpeed->setValue(50);
  tbMouseWheelV->setValue(0);
  tbMouseWheelH->setValue(0);
  tbAccelerationFactor->setValue(10);
  tbAnalogFactor->setValue(100);
  editMouseCenterX->setText(ToQ(FormatFixed(0.5, 2)));
  editMouseCenterY->setText(ToQ(FormatFixed(0.5, 2)));
  rbMouseAbsRange->setChecked(true);
  tbMouseAbsRangeX->setValue(0);
  tbMouseAbsRangeY->setValue(0);
  MouseAbsModeClicked();
  memoText->clear();
  cbShiftKey->setCurrentIndex(0);
  cbShiftKeyDelayed->setChecked(false);
  editShiftKeyDelay->setEnabled(false);
  cbSwitchProfile->setCurrentIndex(0);
  cbSwitchProfileDelayed->setChecked(false);
  editSwitchProfileDelay->setEnabled(false);
  editComment->clear();
  RefreshMouseLabels();
}

void TAssignDialog::Refuse(QLineEdit* edit, const QString& message) {
  refused_ = nullptr;
  QMessageBox::critical(this, QStringLiteral("Error"), message);
  edit->setFocus();
}

bool TAssignDialog::ApplyFocusedEdit() {
  if (QLineEdit* refused = std::exchange(refused_, nullptr)) {
    // Left with a text that is not a number and not yet told.
    QString problem;
    if (!LeaveEdit(refused, &problem)) {
      Refuse(refused, problem);
      return false;
    }
  }
  auto* edit = qobject_cast<QLineEdit*>(focusWidget());
  if (!edit) return true;
  QString problem;
  if (LeaveEdit(edit, &problem)) return true;
  Refuse(edit, problem);
  return false;
}

void TAssignDialog::NumberEditLeft(QLineEdit* edit) {
  QString problem;
  if (LeaveEdit(edit, &problem)) return;
  // Not inside the focus change: the message box takes the focus itself.
  refused_ = edit;
  QTimer::singleShot(0, this, [this, edit, problem] {
    if (refused_ != edit || !isVisible()) return;
    // Cancel stays reachable; it stores nothing.
    if (focusWidget() == btnCancel) {
      refused_ = nullptr;
      return;
    }
    Refuse(edit, problem);
  });
}

bool TAssignDialog::LeaveEdit(QLineEdit* edit, QString* problem) {
  if (edit == editAutoRepeatPerSec || edit == editAutoRepeatPeriod) {
    return ApplyRepeatEdit(edit, problem);
  }
  if (edit == editMouseCenterX || edit == editMouseCenterY) {
    if (ParseDecimalText(edit->text())) return true;
    *problem = CenterRefusedText();
    return false;
  }
  const bool integerEdit = edit == editKeySwitchDelay || edit == editKeyRepeatSwitch ||
                           edit == editMinimumHoldDuration || edit == editKeyAnalogThreshold1 ||
                           edit == editKeyAnalogThreshold2 || edit == editShiftKeyDelay ||
                           edit == editSwitchProfileDelay || edit == editAutoRepeatDelay ||
                           (edit == editCounterResetDuration && !edit->text().trimmed().isEmpty());
  if (!integerEdit || ParseIntegerText(edit->text())) return true;
  *problem = NotANumberText(edit->text());
  return false;
}

bool TAssignDialog::eventFilter(QObject* watched, QEvent* event) {
  if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
    if (edit->property(kKeyIndexProperty).isValid()) return KeyEditEvent(edit, event);
    if (edit == editComment && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) {
        btnOK->setFocus();
        return true;
      }
    }
    if (edit == editAutoRepeatPerSec || edit == editAutoRepeatPeriod) {
      if (RepeatEditEvent(edit, event)) return true;
    }
    if (event->type() == QEvent::FocusOut) {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        NumberEditLeft(edit);
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace brevanto
