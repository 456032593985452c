#include "ui/dialogs/TVibrationDialog.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "core/profile/ConfigFile.h"
#include "ui/IntegerText.h"
#include "ui/UiText.h"

namespace brevanto {
namespace {

QSlider* PercentBar(QWidget* parent, const char* name) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setRange(0, 100);
  bar->setPageStep(10);
  bar->setTickInterval(10);
  bar->setTickPosition(QSlider::TicksBelow);
  return bar;
}

void ShowPosition(QLabel* label, int position) {
  label->setText(QString::number(position) + QStringLiteral(" %"));
}

}  // namespace

TVibrationDialog::TVibrationDialog(QWidget* parent)
    : QDialog(parent),
      tbVibration1(PercentBar(this, "tbVibration1")),
      lblVibration1(new QLabel(QStringLiteral("0 %"), this)),
      tbVibration2(PercentBar(this, "tbVibration2")),
      lblVibration2(new QLabel(QStringLiteral("0 %"), this)),
      editVibrationDuration(new QLineEdit(this)),
      btnOK(new QPushButton(QStringLiteral("OK"), this)),
      btnCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("TVibrationDialog"));
  setWindowTitle(QStringLiteral("コントローラーを振動させる"));
  lblVibration1->setObjectName(QStringLiteral("lblVibration1"));
  lblVibration2->setObjectName(QStringLiteral("lblVibration2"));
  editVibrationDuration->setObjectName(QStringLiteral("editVibrationDuration"));
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  lblVibration1->setMinimumWidth(48);
  lblVibration2->setMinimumWidth(48);

  auto rowOf = [this](QSlider* bar, QLabel* label) {
    auto* row = new QHBoxLayout;
    row->addWidget(bar, 1);
    row->addWidget(label);
    return row;
  };
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("左モーター"), rowOf(tbVibration1, lblVibration1));
  form->addRow(QStringLiteral("右モーター"), rowOf(tbVibration2, lblVibration2));
  form->addRow(QStringLiteral("振動時間 (ミリ秒)"), editVibrationDuration);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setMinimumWidth(380);

  connect(tbVibration1, &QSlider::valueChanged, this,
          [this](int position) { ShowPosition(lblVibration1, position); });
  connect(tbVibration2, &QSlider::valueChanged, this,
          [this](int position) { ShowPosition(lblVibration2, position); });
  connect(btnOK, &QPushButton::clicked, this, &TVibrationDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  editVibrationDuration->installEventFilter(this);
}

void TVibrationDialog::SetValues(int leftMotor, int rightMotor, const std::string& durationText) {
  tbVibration1->setValue(leftMotor);
  tbVibration2->setValue(rightMotor);
  // Set explicitly: an unchanged position sends no signal.
  ShowPosition(lblVibration1, tbVibration1->value());
  ShowPosition(lblVibration2, tbVibration2->value());
  editVibrationDuration->setText(ToQ(durationText));
}

int TVibrationDialog::LeftMotor() const {
  return tbVibration1->value();
}
int TVibrationDialog::RightMotor() const {
  return tbVibration2->value();
}
std::string TVibrationDialog::DurationText() const {
  return FromQ(editVibrationDuration->text());
}

bool TVibrationDialog::EditProfile(ProfileOptions& options) {
  SetValues(options.VibrationSpeed1, options.VibrationSpeed2,
            std::to_string(options.VibrationDuration));
  if (exec() != QDialog::Accepted) return false;
  options.VibrationSpeed1 = LeftMotor();
  options.VibrationSpeed2 = RightMotor();
  options.VibrationDuration = ParseIntegerText(editVibrationDuration->text()).value_or(0);
  return true;
}

void TVibrationDialog::accept() {
  // OK by keyboard leaves the edit without a focus change; check here too.
  if (CheckDuration()) QDialog::accept();
}

bool TVibrationDialog::CheckDuration() {
  const QString text = editVibrationDuration->text();
  if (ParseIntegerText(text)) return true;
  QMessageBox::critical(this, QStringLiteral("Error"), NotAnIntegerMessage(text));
  editVibrationDuration->setFocus();
  return false;
}

bool TVibrationDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editVibrationDuration && event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Switching to another window or opening a menu is not leaving the edit.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      QTimer::singleShot(0, this, [this] {
        // OK checks by itself and Cancel needs no valid number.
        const QWidget* next = QApplication::focusWidget();
        if (isVisible() && next != editVibrationDuration && next != btnOK && next != btnCancel) {
          CheckDuration();
        }
      });
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace brevanto
