// The two mouse pages of the assignment dialog: movement, wheels and clicks,
// and the absolute position with its preview.

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "core/text/NumberText.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/AssignDialogText.h"
#include "ui/dialogs/MousePositionPreview.h"
#include "ui/dialogs/TAssignDialog.h"

namespace brevanto {
namespace {

QSlider* Bar(QWidget* parent, const char* name, Qt::Orientation orientation, int min, int max) {
  auto* bar = Named(new QSlider(orientation, parent), name);
  bar->setRange(min, max);
  if (orientation == Qt::Vertical) {
    // Smaller values at the top, as the screen counts.
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
  }
  return bar;
}

QLabel* ValueLabel(QWidget* parent, const char* name, QSlider* bar) {
  auto* label = Named(new QLabel(parent), name);
  label->setMinimumWidth(40);
  label->setBuddy(bar);
  return label;
}

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption) {
  return Named(new QCheckBox(caption, parent), name);
}

// The five click boxes of a page, in the order of their captions.
struct ClickBoxes {
  QCheckBox *left, *right, *middle, *x1, *x2;
};

QGroupBox* ClickGroup(QWidget* parent, const char* suffix, ClickBoxes& boxes) {
  auto* group = new QGroupBox(QStringLiteral("マウスクリックの割り当て"), parent);
  auto name = [suffix](const char* base) { return QByteArray(base) + suffix; };
  boxes.left = Box(group, name("cbMouseL").constData(), QStringLiteral("左クリック"));
  boxes.right = Box(group, name("cbMouseR").constData(), QStringLiteral("右クリック"));
  boxes.middle =
      Box(group, name("cbMouseM").constData(), QStringLiteral("ホイール（真ん中クリック）"));
  boxes.x1 = Box(group, name("cbMouse4").constData(), QStringLiteral("ボタン４"));
  boxes.x2 = Box(group, name("cbMouse5").constData(), QStringLiteral("ボタン５"));
  auto* layout = new QVBoxLayout(group);
  for (QCheckBox* box : {boxes.left, boxes.right, boxes.middle, boxes.x1, boxes.x2}) {
    layout->addWidget(box);
  }
  return group;
}

}  // namespace

QWidget* TAssignDialog::BuildMousePage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tsMouse"));
  auto* group = Named(new QGroupBox(QStringLiteral("マウス入力"), page), "gbMouse");

  ClickBoxes clicks{};
  QGroupBox* clickGroup = ClickGroup(group, "", clicks);
  cbMouseL = clicks.left;
  cbMouseR = clicks.right;
  cbMouseM = clicks.middle;
  cbMouse4 = clicks.x1;
  cbMouse5 = clicks.x2;

  auto* move = new QGroupBox(QStringLiteral("マウスカーソル移動"), group);
  cbMouseUp = Box(move, "cbMouseUp", QStringLiteral("上"));
  cbMouseDown = Box(move, "cbMouseDown", QStringLiteral("下"));
  cbMouseLeft = Box(move, "cbMouseLeft", QStringLiteral("左"));
  cbMouseRight = Box(move, "cbMouseRight", QStringLiteral("右"));
  tbMouseSpeed = Bar(move, "tbMouseSpeed", Qt::Horizontal, 0, 100);
  lblMouseSpeed = ValueLabel(move, "lblMouseSpeed", tbMouseSpeed);
  tbAccelerationFactor = Bar(move, "tbAccelerationFactor", Qt::Horizontal, 1, 50);
  tbAccelerationFactor->setValue(10);
  lblAccelerationFactor = ValueLabel(move, "lblAccelerationFactor", tbAccelerationFactor);
  lblAccelerationFactor->setText(QStringLiteral("x 1.1"));
  auto* speedCaption = new QLabel(QStringLiteral("移動速度"), move);
  speedCaption->setBuddy(tbMouseSpeed);
  auto* accelerationCaption =
      new QLabel(QStringLiteral("アナログ入力加速（100%入力に向けて何倍加速）"), move);
  accelerationCaption->setBuddy(tbAccelerationFactor);
  auto* directions = new QGridLayout;
  directions->addWidget(cbMouseUp, 0, 1);
  directions->addWidget(cbMouseLeft, 1, 0);
  directions->addWidget(cbMouseRight, 1, 2);
  directions->addWidget(cbMouseDown, 2, 1);
  auto* moveLayout = new QGridLayout(move);
  moveLayout->addLayout(directions, 0, 0, 1, 3);
  moveLayout->addWidget(speedCaption, 1, 0);
  moveLayout->addWidget(tbMouseSpeed, 1, 1);
  moveLayout->addWidget(lblMouseSpeed, 1, 2);
  moveLayout->addWidget(accelerationCaption, 2, 0, 1, 3);
  moveLayout->addWidget(tbAccelerationFactor, 3, 1);
  moveLayout->addWidget(lblAccelerationFactor, 3, 2);

  auto* wheel = new QGroupBox(QStringLiteral("ホイールの回転"), group);
  tbMouseWheelV = Bar(wheel, "tbMouseWheelV", Qt::Vertical, -100, 100);
  tbMouseWheelH = Bar(wheel, "tbMouseWheelH", Qt::Horizontal, -100, 100);
  for (QSlider* bar : {tbMouseWheelV, tbMouseWheelH}) bar->setPageStep(1);
  lblMouseWheelV = ValueLabel(wheel, "lblMouseWheelV", tbMouseWheelV);
  lblMouseWheelH = ValueLabel(wheel, "lblMouseWheelH", tbMouseWheelH);
  tbMouseWheelV->setAccessibleName(QStringLiteral("ホイールの回転"));
  tbMouseWheelH->setAccessibleName(QStringLiteral("ホイールの回転"));
  auto* wheelLayout = new QGridLayout(wheel);
  wheelLayout->addWidget(tbMouseWheelV, 0, 0, 2, 1);
  wheelLayout->addWidget(lblMouseWheelV, 0, 1);
  wheelLayout->addWidget(tbMouseWheelH, 2, 0, 1, 2);
  wheelLayout->addWidget(lblMouseWheelH, 2, 2);

  auto* factor =
      new QGroupBox(QStringLiteral("一時的にマウス移動量を調整（加速・減速）する"), group);
  tbAnalogFactor = Bar(factor, "tbAnalogFactor", Qt::Horizontal, 0, 400);
  tbAnalogFactor->setPageStep(5);
  tbAnalogFactor->setValue(100);
  tbAnalogFactor->setAccessibleName(factor->title());
  lblAnalogFactor = ValueLabel(factor, "lblAnalogFactor", tbAnalogFactor);
  btnAnalogFactorDefault =
      Named(new QPushButton(QStringLiteral("Default"), factor), "btnAnalogFactorDefault");
  btnAnalogFactorDefault->setAutoDefault(false);
  auto* factorLayout = new QHBoxLayout(factor);
  factorLayout->addWidget(tbAnalogFactor, 1);
  factorLayout->addWidget(lblAnalogFactor);
  factorLayout->addWidget(btnAnalogFactorDefault);

  auto* groupLayout = new QGridLayout(group);
  groupLayout->addWidget(clickGroup, 0, 0);
  groupLayout->addWidget(move, 0, 1);
  groupLayout->addWidget(wheel, 0, 2);
  groupLayout->addWidget(factor, 1, 0, 1, 3);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addStretch();

  // A direction excludes its opposite.
  auto exclusive = [this](QCheckBox* box, QCheckBox* opposite) {
    connect(box, &QCheckBox::toggled, this, [opposite](bool on) {
      if (on) opposite->setChecked(false);
    });
  };
  exclusive(cbMouseUp, cbMouseDown);
  exclusive(cbMouseDown, cbMouseUp);
  exclusive(cbMouseLeft, cbMouseRight);
  exclusive(cbMouseRight, cbMouseLeft);
  for (QSlider* bar :
       {tbMouseSpeed, tbAccelerationFactor, tbMouseWheelV, tbMouseWheelH, tbAnalogFactor}) {
    connect(bar, &QSlider::valueChanged, this, [this] { RefreshMouseLabels(); });
  }
  connect(btnAnalogFactorDefault, &QPushButton::clicked, this,
          [this] { tbAnalogFactor->setValue(100); });
  return page;
}

QWidget* TAssignDialog::BuildMousePositionPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tsMouse2"));
  auto* group =
      Named(new QGroupBox(QStringLiteral("マウスカーソル：絶対座標指定"), page), "gbMouseAbs");
  pbMouseAbs = Named(new MousePositionPreview(group), "pbMouseAbs");
  editMouseCenterX = NewNumberEdit(group, "editMouseCenterX", "50.0");
  editMouseCenterY = NewNumberEdit(group, "editMouseCenterY", "50.0");
  auto* xCaption = new QLabel(QStringLiteral("X ="), group);
  xCaption->setBuddy(editMouseCenterX);
  auto* yCaption = new QLabel(QStringLiteral("Y ="), group);
  yCaption->setBuddy(editMouseCenterY);
  lblMouseAbsCenter = Named(new QLabel(QStringLiteral("中心座標"), group), "lblMouseAbsCenter");
  rbMouseAbsTarget =
      Named(new QRadioButton(QStringLiteral("ボタンが押されたら目標座標へ移動"), group),
            "rbMouseAbsTarget");
  rbMouseAbsRange = Named(new QRadioButton(QStringLiteral("中心座標から指定範囲内で移動"), group),
                          "rbMouseAbsRange");
  rbMouseAbsRange->setChecked(true);
  tbMouseAbsRangeX = Bar(group, "tbMouseAbsRangeX", Qt::Horizontal, -100, 100);
  tbMouseAbsRangeY = Bar(group, "tbMouseAbsRangeY", Qt::Vertical, -100, 100);
  lblMouseAbsX = ValueLabel(group, "lblMouseAbsX", tbMouseAbsRangeX);
  lblMouseAbsY = ValueLabel(group, "lblMouseAbsY", tbMouseAbsRangeY);
  lblMouseAbsX->setText(QStringLiteral("0"));
  lblMouseAbsY->setText(QStringLiteral("0"));

  auto* preview = new QGridLayout;
  preview->addWidget(new QLabel(QStringLiteral("(0,0)"), group), 0, 0, Qt::AlignLeft);
  preview->addWidget(pbMouseAbs, 1, 0);
  preview->addWidget(tbMouseAbsRangeY, 1, 1);
  preview->addWidget(lblMouseAbsY, 1, 2);
  preview->addWidget(new QLabel(QStringLiteral("(100.0,100.0)"), group), 2, 0, Qt::AlignRight);
  preview->addWidget(tbMouseAbsRangeX, 3, 0);
  preview->addWidget(lblMouseAbsX, 3, 1, 1, 2);
  auto* center = new QHBoxLayout;
  center->addWidget(lblMouseAbsCenter);
  center->addWidget(xCaption);
  center->addWidget(editMouseCenterX);
  center->addWidget(yCaption);
  center->addWidget(editMouseCenterY);
  center->addStretch();
  auto* note = new QLabel(
      QStringLiteral("注：複数ディスプレイがある場合、２台目以降は X > 100 の範囲に対応します"),
      group);
  note->setWordWrap(true);

  ClickBoxes clicks{};
  QGroupBox* clickGroup = ClickGroup(group, "_2", clicks);
  cbMouseL_2 = clicks.left;
  cbMouseR_2 = clicks.right;
  cbMouseM_2 = clicks.middle;
  cbMouse4_2 = clicks.x1;
  cbMouse5_2 = clicks.x2;

  auto* left = new QVBoxLayout;
  left->addLayout(preview);
  left->addLayout(center);
  left->addWidget(rbMouseAbsTarget);
  left->addWidget(rbMouseAbsRange);
  left->addWidget(note);
  auto* groupLayout = new QHBoxLayout(group);
  groupLayout->addLayout(left, 1);
  groupLayout->addWidget(clickGroup, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addStretch();

  connect(rbMouseAbsTarget, &QRadioButton::clicked, this, [this] { MouseAbsModeClicked(); });
  connect(rbMouseAbsRange, &QRadioButton::clicked, this, [this] { MouseAbsModeClicked(); });
  connect(tbMouseAbsRangeX, &QSlider::valueChanged, this, [this] { RangeMoved(tbMouseAbsRangeX); });
  connect(tbMouseAbsRangeY, &QSlider::valueChanged, this, [this] { RangeMoved(tbMouseAbsRangeY); });
  for (QLineEdit* edit : {editMouseCenterX, editMouseCenterY}) {
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdatePreview(); });
  }
  return page;
}

void TAssignDialog::LoadMouse(const ButtonAssignment& r) {
  cbMouseUp->setChecked(r.VMove < 0);
  cbMouseDown->setChecked(r.VMove > 0);
  cbMouseLeft->setChecked(r.HMove < 0);
  cbMouseRight->setChecked(r.HMove > 0);
  tbMouseSpeed->setValue(r.VMove != 0 ? std::abs(r.VMove) : r.HMove != 0 ? std::abs(r.HMove) : 50);
  tbMouseWheelV->setValue(r.wheelV);
  tbMouseWheelH->setValue(r.wheelH);
  const int32_t flags[] = {r.clickLeft, r.clickMiddle, r.clickRight, r.clickX1, r.clickX2};
  QCheckBox* mouse[] = {cbMouseL, cbMouseM, cbMouseR, cbMouse4, cbMouse5};
  QCheckBox* position[] = {cbMouseL_2, cbMouseM_2, cbMouseR_2, cbMouse4_2, cbMouse5_2};
  for (int i = 0; i < 5; ++i) {
    mouse[i]->setChecked(flags[i] != 0);
    position[i]->setChecked(flags[i] != 0);
  }
  tbAccelerationFactor->setValue(static_cast<int>(std::lround(r.accelerationFactor * 10.0)));
  tbAnalogFactor->setValue(r.analogFactor);
}

void TAssignDialog::LoadMousePosition(const ButtonAssignment& r) {
  editMouseCenterX->setText(ToQ(FormatFixed(r.absCenterX, 2)));
  editMouseCenterY->setText(ToQ(FormatFixed(r.absCenterY, 2)));
  {
    // Both come from the record; neither resets the other here.
    const QSignalBlocker blockX(tbMouseAbsRangeX);
    const QSignalBlocker blockY(tbMouseAbsRangeY);
    tbMouseAbsRangeX->setValue(r.absRangeX);
    tbMouseAbsRangeY->setValue(r.absRangeY);
  }
  lblMouseAbsX->setText(QString::number(tbMouseAbsRangeX->value()));
  lblMouseAbsY->setText(QString::number(tbMouseAbsRangeY->value()));
  const bool range = r.absRangeX != 0 || r.absRangeY != 0;
  rbMouseAbsRange->setChecked(range);
  rbMouseAbsTarget->setChecked(!range);
  MouseAbsModeClicked();
}

void TAssignDialog::MouseAbsModeClicked() {
  const bool range = rbMouseAbsRange->isChecked();
  tbMouseAbsRangeX->setEnabled(range);
  tbMouseAbsRangeY->setEnabled(range);
  lblMouseAbsCenter->setText(range ? QStringLiteral("中心座標") : QStringLiteral("目標座標"));
  UpdatePreview();
}

void TAssignDialog::RangeMoved(QSlider* moved) {
  QSlider* other = moved == tbMouseAbsRangeX ? tbMouseAbsRangeY : tbMouseAbsRangeX;
  QLabel* movedLabel = moved == tbMouseAbsRangeX ? lblMouseAbsX : lblMouseAbsY;
  QLabel* otherLabel = moved == tbMouseAbsRangeX ? lblMouseAbsY : lblMouseAbsX;
  movedLabel->setText(QString::number(moved->value()));
  {
    // One range at a time; resetting the other must not reset this one.
    const QSignalBlocker block(other);
    other->setValue(0);
  }
  otherLabel->setText(QStringLiteral("0"));
  UpdatePreview();
}

void TAssignDialog::UpdatePreview() {
  const std::optional<double> x = ParseDecimalText(editMouseCenterX->text());
  const std::optional<double> y = ParseDecimalText(editMouseCenterY->text());
  const bool range = rbMouseAbsRange->isChecked();
  pbMouseAbs->SetPosition(x.value_or(pbMouseAbs->X()), y.value_or(pbMouseAbs->Y()), range,
                          range ? tbMouseAbsRangeX->value() : 0,
                          range ? tbMouseAbsRangeY->value() : 0);
}

void TAssignDialog::RefreshMouseLabels() {
  lblMouseSpeed->setText(QString::number(tbMouseSpeed->value()));
  lblAccelerationFactor->setText(QStringLiteral("x ") +
                                 ToQ(FormatFixed(tbAccelerationFactor->value() / 10.0, 1)));
  lblAnalogFactor->setText(QString::number(tbAnalogFactor->value()) + QStringLiteral("%"));
  lblMouseWheelH->setText(QString::number(tbMouseWheelH->value()));
  lblMouseWheelV->setText(QString::number(-tbMouseWheelV->value()));
}

}  // namespace brevanto
