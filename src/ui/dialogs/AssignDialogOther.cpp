// The text and special pages of the assignment dialog, and the auto-repeat
// and toggle group that some pages show.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/profile/ConfigFile.h"
#include "core/text/NumberText.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/AssignDialogText.h"
#include "ui/dialogs/LinkLabel.h"
#include "ui/dialogs/TAssignDialog.h"

namespace brevanto {
namespace {

constexpr double kMaxRepeatsPerSecond = 30.0;
constexpr double kMinRepeatPeriod = 0.033;

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption) {
  return Named(new QCheckBox(caption, parent), name);
}

QLabel* Text(const QString& text, QWidget* parent, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text, parent);
  if (buddy) label->setBuddy(buddy);
  return label;
}

}  // namespace

QWidget* TAssignDialog::BuildTextPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tsText"));
  auto* group = Named(new QGroupBox(QStringLiteral("テキストを入力"), page), "gbText");
  memoText = Named(new QPlainTextEdit(group), "memoText");
  memoText->setAccessibleName(group->title());
  memoText->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoText->setTabChangesFocus(true);
  auto* note = Text(QStringLiteral("補足： 現在の日時を入力したい場合、${yyyy}, ${MM}, ${dd} "
                                   "といった変数を参照できます。"),
                    group);
  note->setWordWrap(true);
  lblSupportedVariables = new LinkLabel(
      QStringLiteral("すべての変数を見る"), "/ja/posts/pasting-text-and-variables",
      [this](const std::string& path) { host_.OpenWebPage(path); }, group);
  lblSupportedVariables->setObjectName(QStringLiteral("lblSupportedVariables"));
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(memoText, 1);
  groupLayout->addWidget(note);
  groupLayout->addWidget(lblSupportedVariables, 0, Qt::AlignRight);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  return page;
}

QWidget* TAssignDialog::BuildSpecialPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tsSpecial"));
  const QString delayedCaption = QStringLiteral("一定時間押されたら切り替える");

  auto* shift = Named(
      new QGroupBox(QStringLiteral("押されている間、一時的に他のジョイスティック番号の設定を使う"),
                    page),
      "gbShiftKey");
  cbShiftKey = Named(new QComboBox(shift), "cbShiftKey");
  cbShiftKey->setAccessibleName(shift->title());
  cbShiftKeyDelayed = Box(shift, "cbShiftKeyDelayed", delayedCaption);
  editShiftKeyDelay = NewNumberEdit(shift, "editShiftKeyDelay", "700");
  editShiftKeyDelay->setEnabled(false);
  auto* shiftLayout = new QHBoxLayout(shift);
  shiftLayout->addWidget(cbShiftKey, 1);
  shiftLayout->addWidget(cbShiftKeyDelayed);
  shiftLayout->addWidget(editShiftKeyDelay);
  shiftLayout->addWidget(Text(QStringLiteral("ミリ秒"), shift, editShiftKeyDelay));

  auto* profile =
      Named(new QGroupBox(QStringLiteral("他の設定ファイルに切り替える"), page), "gbSwitchProfile");
  cbSwitchProfile = Named(new QComboBox(profile), "cbSwitchProfile");
  cbSwitchProfile->setAccessibleName(profile->title());
  cbSwitchProfileDelayed = Box(profile, "cbSwitchProfileDelayed", delayedCaption);
  editSwitchProfileDelay = NewNumberEdit(profile, "editSwitchProfileDelay", "2000");
  editSwitchProfileDelay->setEnabled(false);
  auto* profileLayout = new QHBoxLayout(profile);
  profileLayout->addWidget(cbSwitchProfile, 1);
  profileLayout->addWidget(cbSwitchProfileDelayed);
  profileLayout->addWidget(editSwitchProfileDelay);
  profileLayout->addWidget(Text(QStringLiteral("ミリ秒"), profile, editSwitchProfileDelay));

  auto* program =
      Named(new QGroupBox(QStringLiteral("外部プログラムを起動する"), page), "gbExternalProgram");
  editExternalProgram = Named(new QLineEdit(program), "editExternalProgram");
  editExternalProgram->setAccessibleName(program->title());
  btnExternalProgram = Named(new QPushButton(QStringLiteral("..."), program), "btnExternalProgram");
  editExternalProgramParameters = Named(new QLineEdit(program), "editExternalProgramParameters");
  editExternalProgramStartFrom = Named(new QLineEdit(program), "editExternalProgramStartFrom");
  btnExternalProgramStartFrom =
      Named(new QPushButton(QStringLiteral("..."), program), "btnExternalProgramStartFrom");
  for (QPushButton* b : {btnExternalProgram, btnExternalProgramStartFrom}) {
    b->setAutoDefault(false);
    b->setMaximumWidth(32);
  }
  btnExternalProgram->setAccessibleName(QStringLiteral("外部プログラムを選ぶ"));
  btnExternalProgramStartFrom->setAccessibleName(QStringLiteral("作業フォルダを選ぶ"));
  auto* note = Text(QStringLiteral("※ プログラムの代わりに Web ページのアドレス (https://...) "
                                   "を指定すると、そのページを開きます。"),
                    program);
  note->setWordWrap(true);
  auto* programLayout = new QGridLayout(program);
  programLayout->addWidget(editExternalProgram, 0, 0, 1, 2);
  programLayout->addWidget(btnExternalProgram, 0, 2);
  programLayout->addWidget(
      Text(QStringLiteral("パラメーター:"), program, editExternalProgramParameters), 1, 0);
  programLayout->addWidget(editExternalProgramParameters, 1, 1);
  programLayout->addWidget(
      Text(QStringLiteral("作業フォルダ:"), program, editExternalProgramStartFrom), 2, 0);
  programLayout->addWidget(editExternalProgramStartFrom, 2, 1);
  programLayout->addWidget(btnExternalProgramStartFrom, 2, 2);
  programLayout->addWidget(note, 3, 0, 1, 3);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(shift);
  layout->addWidget(profile);
  layout->addWidget(program);
  layout->addStretch();

  connect(cbShiftKeyDelayed, &QCheckBox::toggled, editShiftKeyDelay, &QWidget::setEnabled);
  connect(cbSwitchProfileDelayed, &QCheckBox::toggled, editSwitchProfileDelay,
          &QWidget::setEnabled);
  connect(btnExternalProgram, &QPushButton::clicked, this, &TAssignDialog::ChooseProgram);
  connect(btnExternalProgramStartFrom, &QPushButton::clicked, this,
          &TAssignDialog::ChooseStartFolder);
  return page;
}

QGroupBox* TAssignDialog::BuildAutoRepeatGroup() {
  auto* group =
      Named(new QGroupBox(QStringLiteral("自動連射・トグル入力設定"), this), "gbAutoRepeat");
  cbAutoRepeat = Box(group, "cbAutoRepeat", QStringLiteral("自動連射機能"));
  editAutoRepeatPerSec = NewNumberEdit(group, "editAutoRepeatPerSec", "10");
  editAutoRepeatPeriod = NewNumberEdit(group, "editAutoRepeatPeriod", "5");
  cbAutoDelayed = Box(group, "cbAutoDelayed", QStringLiteral("一定時間経ってから連射させる"));
  editAutoRepeatDelay = NewNumberEdit(group, "editAutoRepeatDelay", "500");
  cbToggle = Box(group, "cbToggle", QStringLiteral("押すたびに ON/OFF 切り替え（トグル）"));

  auto* rate = new QHBoxLayout;
  rate->addWidget(cbAutoRepeat);
  rate->addWidget(Text(QStringLiteral("一秒間に"), group, editAutoRepeatPerSec));
  rate->addWidget(editAutoRepeatPerSec);
  rate->addWidget(Text(QStringLiteral("回　　　　もしくは"), group, editAutoRepeatPeriod));
  rate->addWidget(editAutoRepeatPeriod);
  rate->addWidget(Text(QStringLiteral("秒間に一回"), group));
  rate->addStretch();
  auto* delay = new QHBoxLayout;
  delay->addWidget(cbAutoDelayed);
  delay->addWidget(editAutoRepeatDelay);
  delay->addWidget(Text(QStringLiteral("ミリ秒"), group, editAutoRepeatDelay));
  delay->addStretch();
  auto* layout = new QVBoxLayout(group);
  layout->addLayout(rate);
  layout->addLayout(delay);
  layout->addWidget(cbToggle);

  connect(cbAutoRepeat, &QCheckBox::clicked, this, [this] { AutoRepeatClicked(); });
  connect(cbAutoDelayed, &QCheckBox::toggled, editAutoRepeatDelay, &QWidget::setEnabled);
  return group;
}

void TAssignDialog::AutoRepeatClicked() {
  const bool on = cbAutoRepeat->isChecked();
  editAutoRepeatPerSec->setEnabled(on);
  editAutoRepeatPeriod->setEnabled(on);
  cbAutoDelayed->setEnabled(on);
  editAutoRepeatDelay->setEnabled(cbAutoDelayed->isChecked());
}

bool TAssignDialog::RepeatEditEvent(QLineEdit* edit, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      // Letters are refused as they are typed.
      const QString text = static_cast<QKeyEvent*>(event)->text();
      return text.size() == 1 && text[0].unicode() < 0x80 && text[0].isLetter();
    }
    case QEvent::FocusIn:
      selectOnClick_ = edit;
      return false;
    case QEvent::MouseButtonRelease:
      if (selectOnClick_ == edit) {
        selectOnClick_ = nullptr;
        // After the edit has placed its cursor.
        QTimer::singleShot(0, edit, [edit] {
          if (edit->selectedText() != edit->text()) edit->selectAll();
        });
      }
      return false;
    default:
      return false;
  }
}

bool TAssignDialog::ApplyRepeatEdit(QLineEdit* edit, QString* problem) {
  const bool perSecond = edit == editAutoRepeatPerSec;
  if (edit->text().trimmed().isEmpty()) {
    if (editAutoRepeatPerSec->text().trimmed().isEmpty() &&
        editAutoRepeatPeriod->text().trimmed().isEmpty()) {
      repeatValue_ = 0.0f;
      cbAutoRepeat->setChecked(false);
      AutoRepeatClicked();
    }
    return true;
  }
  const std::optional<double> parsed = ParseDecimalText(edit->text());
  if (!parsed) {
    *problem = NotANumberText(edit->text());
    return false;
  }
  const double number = *parsed;
  double value = 0;
  if (perSecond) {
    value = std::min(number, kMaxRepeatsPerSecond);
    repeatValue_ = static_cast<float>(value);
    editAutoRepeatPeriod->clear();
  } else {
    value = std::max(number, kMinRepeatPeriod);
    repeatValue_ = -static_cast<float>(value);
    editAutoRepeatPerSec->clear();
  }
  edit->setText(ToQ(FloatText(value)));
  return true;
}

void TAssignDialog::LoadSpecial(const ButtonAssignment& r) {
  const ConfigFile* profile = host_.CurrentProfile();
  const int joysticks = profile ? profile->NumberOfJoysticks() : 0;
  cbShiftKey->clear();
  cbShiftKey->addItem(QStringLiteral("None"));
  for (int s = slot_ + 1; s < joysticks; ++s) cbShiftKey->addItem(ToQ(host_.SlotCaption(s)));
  cbShiftKey->setCurrentIndex(0);
  cbShiftKeyDelayed->setChecked(false);
  editShiftKeyDelay->setEnabled(false);
  // Only a slot the list offers: below the edited one or beyond the
  // profile's slots the record opens as no shift.
  if (r.kind == AssignmentKind::JoystickSwitch && r.targetJoystick > slot_ &&
      r.targetJoystick - slot_ < cbShiftKey->count()) {
    cbShiftKey->setCurrentIndex(r.targetJoystick - slot_);
    cbShiftKeyDelayed->setChecked(r.switchDelay > 0);
    editShiftKeyDelay->setEnabled(r.switchDelay > 0);
    editShiftKeyDelay->setText(QString::number(r.switchDelay));
  }

  const std::vector<std::string> names = host_.ProfileNames();
  cbSwitchProfile->clear();
  cbSwitchProfile->addItem(QStringLiteral("None"));
  for (const std::string& name : names) cbSwitchProfile->addItem(ToQ(name));
  cbSwitchProfile->setCurrentIndex(0);
  cbSwitchProfileDelayed->setChecked(false);
  editSwitchProfileDelay->setEnabled(false);
  if (r.kind == AssignmentKind::ProfileSwitch && !r.targetName.empty()) {
    const QString target = ToQ(r.targetName);
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (ToQ(names[i]).compare(target, Qt::CaseInsensitive) == 0) {
        cbSwitchProfile->setCurrentIndex(static_cast<int>(i) + 1);
        break;
      }
    }
    cbSwitchProfileDelayed->setChecked(r.switchDelay > 0);
    editSwitchProfileDelay->setEnabled(r.switchDelay > 0);
    editSwitchProfileDelay->setText(QString::number(r.switchDelay));
  }

  const bool program = r.kind == AssignmentKind::LaunchProgram && !r.targetName.empty();
  editExternalProgram->setText(program ? ToQ(r.targetName) : QString());
  editExternalProgramParameters->setText(program ? ToQ(r.parameters) : QString());
  editExternalProgramStartFrom->setText(program ? ToQ(r.startFrom) : QString());
}

void TAssignDialog::ChooseProgram() {
  // Programs live anywhere; the home folder is where a user starts looking.
  const QString chosen = QFileDialog::getOpenFileName(this, QString(), QDir::homePath());
  if (!chosen.isEmpty()) editExternalProgram->setText(chosen);
}

void TAssignDialog::ChooseStartFolder() {
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("フォルダを指定してください"), editExternalProgramStartFrom->text(),
      QFileDialog::ShowDirsOnly);
  if (!chosen.isEmpty()) editExternalProgramStartFrom->setText(chosen);
}

}  // namespace brevanto
