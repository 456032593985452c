#include "ui/MainFormOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>
#include <utility>

#include "core/log/Logger.h"
#include "core/processing/Messages.h"
#include "core/profile/ConfigFile.h"
#include "ui/IntegerText.h"
#include "ui/MainFormHost.h"
#include "ui/TMainForm.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/TButtonAliasDialog.h"
#include "ui/dialogs/TVibrationDialog.h"

namespace brevanto {
namespace {

constexpr int kMaxButtons = kPlainButtonCount;

QSlider* ThresholdBar(QWidget* parent, const char* name) {
  auto* bar = Named(new QSlider(Qt::Horizontal, parent), name);
  bar->setRange(0, 100);
  bar->setPageStep(10);
  bar->setTickInterval(10);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setToolTip(QStringLiteral("アナログ入力で感度が良すぎるときなどに変更してください。"));
  return bar;
}

QString PercentText(int position) {
  return QString::number(position) + QStringLiteral(" %");
}

}  // namespace

MainFormOptions::MainFormOptions(TMainForm& form, MainFormHost& host) : form_(form), host_(host) {}

QWidget* MainFormOptions::Build() {
  auto* scroll = Named(new QScrollArea(form_.PageControl1), "tsOptions");
  scroll->setWidgetResizable(true);
  auto* page = new QWidget(scroll);
  scroll->setWidget(page);

  form_.lblJoystickStatus = Named(new QLabel(page), "lblJoystickStatus");
  QFont bold = form_.lblJoystickStatus->font();
  bold.setBold(true);
  form_.lblJoystickStatus->setFont(bold);
  form_.btnDetect = Named(new QPushButton(QStringLiteral("再検出"), page), "btnDetect");
  form_.btnCalibrate = Named(new QPushButton(QStringLiteral("設定"), page), "btnCalibrate");
  form_.editNumJoystick = Named(new QLineEdit(page), "editNumJoystick");
  form_.editNumJoystick->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]*")), form_.editNumJoystick));
  form_.editNumJoystick->setToolTip(
      QStringLiteral("実際に接続してあるジョイスティック数とは関係なく、別途設定できます。"));
  form_.editNumJoystick->setMaximumWidth(60);
  form_.btnApplyNumJoysticks =
      Named(new QPushButton(QStringLiteral("変更"), page), "btnApplyNumJoysticks");

  auto* status = new QHBoxLayout;
  status->addWidget(form_.lblJoystickStatus);
  status->addWidget(form_.btnDetect);
  status->addWidget(form_.btnCalibrate);
  status->addStretch();
  auto* count = new QHBoxLayout;
  count->addWidget(new QLabel(QStringLiteral("設定したいジョイスティックの数 (Max 50)"), page));
  count->addWidget(form_.editNumJoystick);
  count->addWidget(form_.btnApplyNumJoysticks);
  count->addStretch();

  auto* display = Named(new QGroupBox(QStringLiteral("表示するボタン設定"), page), "gbDisplay");
  form_.cbAxisDisplayMode = Named(new QComboBox(display), "cbAxisDisplayMode");
  form_.cbAxisDisplayMode->addItems({QStringLiteral("スティック×１"),
                                     QStringLiteral("スティック×１ ＋ ＰＯＶ×１"),
                                     QStringLiteral("スティック×２ ＋ ＰＯＶ×１"),
                                     QStringLiteral("すべての軸を表示（８軸＋ＰＯＶ×４）")});
  const QString diagonalHint = QStringLiteral("テンキーの 1,3,7,9 などを斜めに割り当てたい場合");
  form_.cbUseDiagonalInput1 =
      Named(new QCheckBox(QStringLiteral("左スティックの斜め入力を別ボタンとして使用"), display),
            "cbUseDiagonalInput1");
  form_.cbUseDiagonalInput1->setToolTip(diagonalHint);
  form_.cbUseDiagonalInput2 =
      Named(new QCheckBox(QStringLiteral("右スティックの斜め入力を別ボタンとして使用"), display),
            "cbUseDiagonalInput2");
  form_.cbUseDiagonalInput2->setToolTip(diagonalHint);
  form_.cbUsePOV8Way =
      Named(new QCheckBox(QStringLiteral("ＰＯＶの斜め入力を別ボタンとして使用"), display),
            "cbUsePOV8Way");
  form_.editNumButtons = Named(new QLineEdit(display), "editNumButtons");
  form_.editNumButtons->setMaximumWidth(60);
  auto* axisRow = new QHBoxLayout;
  axisRow->addWidget(new QLabel(QStringLiteral("スティック・POV"), display));
  axisRow->addWidget(form_.cbAxisDisplayMode);
  axisRow->addStretch();
  auto* buttonsRow = new QHBoxLayout;
  buttonsRow->addWidget(new QLabel(QStringLiteral("設定したいボタンの数 (Max 128)"), display));
  buttonsRow->addWidget(form_.editNumButtons);
  buttonsRow->addStretch();
  auto* displayLayout = new QVBoxLayout(display);
  displayLayout->addLayout(axisRow);
  displayLayout->addWidget(form_.cbUseDiagonalInput1);
  displayLayout->addWidget(form_.cbUseDiagonalInput2);
  displayLayout->addWidget(form_.cbUsePOV8Way);
  displayLayout->addLayout(buttonsRow);

  auto* input = Named(new QGroupBox(QStringLiteral("入力処理の設定"), page), "gbInput");
  form_.cbRepeatSameKeyInSequence =
      Named(new QCheckBox(QStringLiteral("連続して同じキーが続く場合に再度入力処理する"), input),
            "cbRepeatSameKeyInSequence");
  form_.btnButtonAlias =
      Named(new QPushButton(QStringLiteral("ボタン割り当ての変更"), input), "btnButtonAlias");
  form_.tbThreshold1 = ThresholdBar(input, "tbThreshold1");
  form_.tbThreshold2 = ThresholdBar(input, "tbThreshold2");
  form_.lblThreshold1 = Named(new QLabel(PercentText(0), input), "lblThreshold1");
  form_.lblThreshold2 = Named(new QLabel(PercentText(0), input), "lblThreshold2");
  form_.cbKeySendMode = Named(new QComboBox(input), "cbKeySendMode");
  form_.cbKeySendMode->addItems({QStringLiteral("デフォルト"),
                                 QStringLiteral("代替方式１ (Virtual Key base)"),
                                 QStringLiteral("代替方式２ (Scancode base)")});
  auto* inputLayout = new QGridLayout(input);
  inputLayout->addWidget(form_.cbRepeatSameKeyInSequence, 0, 0, 1, 3);
  inputLayout->addWidget(new QLabel(QStringLiteral("ボタン割り当ての変更"), input), 1, 0);
  inputLayout->addWidget(form_.btnButtonAlias, 1, 1);
  inputLayout->addWidget(
      new QLabel(QStringLiteral("入力のしきい値（入力を無視するあそび）"), input), 2, 0, 1, 3);
  inputLayout->addWidget(new QLabel(QStringLiteral("Stick 1"), input), 3, 0);
  inputLayout->addWidget(form_.tbThreshold1, 3, 1);
  inputLayout->addWidget(form_.lblThreshold1, 3, 2);
  inputLayout->addWidget(new QLabel(QStringLiteral("Stick 2"), input), 4, 0);
  inputLayout->addWidget(form_.tbThreshold2, 4, 1);
  inputLayout->addWidget(form_.lblThreshold2, 4, 2);
  inputLayout->addWidget(new QLabel(QStringLiteral("キー出力方法"), input), 5, 0);
  inputLayout->addWidget(form_.cbKeySendMode, 5, 1);

  auto* notify =
      Named(new QGroupBox(QStringLiteral("設定ファイル切り替え時の設定"), page), "gbNotify");
  form_.cbPlaySound =
      Named(new QCheckBox(QStringLiteral("サウンドを鳴らす"), notify), "cbPlaySound");
  form_.editSoundFile = Named(new QLineEdit(notify), "editSoundFile");
  form_.btnSoundFile = Named(new QPushButton(QStringLiteral("..."), notify), "btnSoundFile");
  form_.cbShowProfileImage =
      Named(new QCheckBox(QStringLiteral("画像ファイルを表示する"), notify), "cbShowProfileImage");
  form_.editImageFile = Named(new QLineEdit(notify), "editImageFile");
  form_.btnImageFile = Named(new QPushButton(QStringLiteral("..."), notify), "btnImageFile");
  form_.cbTriggerVibration = Named(
      new QCheckBox(QStringLiteral("コントローラーを振動させる"), notify), "cbTriggerVibration");
  form_.btnVibrationDetails =
      Named(new QPushButton(QStringLiteral("詳細..."), notify), "btnVibrationDetails");
  for (QPushButton* b : {form_.btnSoundFile, form_.btnImageFile}) b->setMaximumWidth(32);
  auto* notifyLayout = new QGridLayout(notify);
  notifyLayout->addWidget(form_.cbPlaySound, 0, 0);
  notifyLayout->addWidget(form_.editSoundFile, 0, 1);
  notifyLayout->addWidget(form_.btnSoundFile, 0, 2);
  notifyLayout->addWidget(form_.cbShowProfileImage, 1, 0);
  notifyLayout->addWidget(form_.editImageFile, 1, 1);
  notifyLayout->addWidget(form_.btnImageFile, 1, 2);
  notifyLayout->addWidget(form_.cbTriggerVibration, 2, 0);
  notifyLayout->addWidget(form_.btnVibrationDetails, 2, 1, Qt::AlignLeft);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(status);
  layout->addLayout(count);
  layout->addWidget(display);
  layout->addWidget(input);
  layout->addWidget(notify);
  layout->addStretch();
  return scroll;
}

void MainFormOptions::Connect() {
  connect(form_.btnDetect, &QPushButton::clicked, this, [this] { host_.RedetectDevices(true); });
  connect(form_.btnCalibrate, &QPushButton::clicked, &form_, &TMainForm::MMJoystickPropertyClick);
  connect(form_.btnApplyNumJoysticks, &QPushButton::clicked, this,
          &MainFormOptions::btnApplyNumJoysticksClick);
  form_.editNumJoystick->installEventFilter(this);
  form_.editNumButtons->installEventFilter(this);

  // The rows depend on these: store a change, then rebuild in any case.
  auto storeAndRebuild = [this](auto store) {
    return [this, store](auto value) {
      ConfigFile* p = form_.Profile();
      if (!p) return;
      host_.TimerDisable();
      if (store(*p, value)) form_.MarkModified();
      host_.TimerEnable();
      form_.Rebuild();
    };
  };
  connect(form_.cbAxisDisplayMode, &QComboBox::activated, this,
          storeAndRebuild([](ConfigFile& p, int index) {
            return std::exchange(p.DisplayMode, index) != index;
          }));
  connect(form_.cbUseDiagonalInput1, &QCheckBox::clicked, this,
          storeAndRebuild(
              [](ConfigFile& p, bool on) { return std::exchange(p.UseDiagonalInput, on) != on; }));
  connect(form_.cbUseDiagonalInput2, &QCheckBox::clicked, this,
          storeAndRebuild(
              [](ConfigFile& p, bool on) { return std::exchange(p.UseDiagonalInput2, on) != on; }));
  connect(form_.cbUsePOV8Way, &QCheckBox::clicked, this,
          storeAndRebuild(
              [](ConfigFile& p, bool on) { return std::exchange(p.UsePOV8Way, on) != on; }));
  connect(form_.cbRepeatSameKeyInSequence, &QCheckBox::clicked, this, [this](bool on) {
    if (ConfigFile* p = form_.Profile()) {
      host_.TimerDisable();
      p->RepeatSameKeyInSequence = on;
      host_.TimerEnable();
      form_.MarkModified();
    }
  });
  auto threshold = [this](QLabel* label, int ProfileOptions::*field) {
    return [this, label, field](int position) {
      label->setText(PercentText(position));
      ConfigFile* p = form_.Profile();
      if (form_.updatingControls_ || !p || p->*field == position * 10) return;
      host_.TimerDisable();
      p->*field = position * 10;
      host_.TimerEnable();
      form_.MarkModified();
    };
  };
  connect(form_.tbThreshold1, &QSlider::valueChanged, this,
          threshold(form_.lblThreshold1, &ProfileOptions::Threshold));
  connect(form_.tbThreshold2, &QSlider::valueChanged, this,
          threshold(form_.lblThreshold2, &ProfileOptions::Threshold2));
  connect(form_.cbKeySendMode, &QComboBox::currentIndexChanged, this, [this](int index) {
    ConfigFile* p = form_.Profile();
    if (form_.updatingControls_ || !p || index < 0 || p->KeySendMode == index) return;
    host_.TimerDisable();
    p->KeySendMode = index;
    host_.TimerEnable();
    form_.MarkModified();
  });
  connect(form_.cbPlaySound, &QCheckBox::clicked, this, [this] { FileBoxClick(true); });
  connect(form_.cbShowProfileImage, &QCheckBox::clicked, this, [this] { FileBoxClick(false); });
  connect(form_.btnSoundFile, &QPushButton::clicked, this, [this] { ChooseFile(true); });
  connect(form_.btnImageFile, &QPushButton::clicked, this, [this] { ChooseFile(false); });
  connect(form_.editSoundFile, &QLineEdit::editingFinished, this, [this] { FileEditDone(true); });
  connect(form_.editImageFile, &QLineEdit::editingFinished, this, [this] { FileEditDone(false); });
  connect(form_.cbTriggerVibration, &QCheckBox::clicked, this, [this](bool on) {
    ConfigFile* p = form_.Profile();
    if (!p) return;
    if (on) {
      if (p->VibrationDuration == 0) p->VibrationDuration = 500;
    } else {
      p->VibrationDuration = p->VibrationSpeed1 = p->VibrationSpeed2 = 0;
    }
    form_.btnVibrationDetails->setEnabled(on);
    form_.MarkModified();
  });
  connect(form_.btnVibrationDetails, &QPushButton::clicked, this, [this] {
    ConfigFile* p = form_.Profile();
    TVibrationDialog dialog(&form_);
    if (p && dialog.EditProfile(*p)) form_.MarkModified();
  });
  connect(form_.btnButtonAlias, &QPushButton::clicked, this, [this] {
    if (ConfigFile* p = form_.Profile()) {
      // The cycle applies the alias table; hold it while the dialog edits it.
      host_.TimerDisable();
      TButtonAliasDialog dialog(*p, &form_);
      dialog.exec();
      host_.TimerEnable();
    }
  });
}

void MainFormOptions::FileBoxClick(bool sound) {
  ConfigFile* p = form_.Profile();
  if (!p) return;
  QCheckBox* box = sound ? form_.cbPlaySound : form_.cbShowProfileImage;
  QLineEdit* edit = sound ? form_.editSoundFile : form_.editImageFile;
  std::string& field = sound ? p->SoundFile : p->ImageFile;
  const bool on = box->isChecked();
  edit->setEnabled(on);
  (sound ? form_.btnSoundFile : form_.btnImageFile)->setEnabled(on);
  if (!on) {
    field.clear();
  } else if (field.empty()) {
    field = FromQ(edit->text());
  }
  form_.MarkModified();
}

void MainFormOptions::ChooseFile(bool sound) {
  ConfigFile* p = form_.Profile();
  if (!p) return;
  std::string& field = sound ? p->SoundFile : p->ImageFile;
  const QString start =
      field.empty()
          ? QString()
          : ToQ(std::filesystem::path(form_.ResolveDataPath(field)).parent_path().string());
  const QString filter =
      sound ? QStringLiteral("サウンドファイル (*.mp3 *.wav);;すべてのファイル (*)")
            : QStringLiteral("画像ファイル (*.bmp *.png *.jpg *.jpeg);;すべてのファイル (*)");
  const QString chosen = QFileDialog::getOpenFileName(&form_, QString(), start, filter);
  if (chosen.isEmpty()) return;
  // Below the data directory the path is kept relative, so the folder can move.
  std::string path = FromQ(chosen);
  const std::string dataDir = host_.DataDir();
  if (!dataDir.empty() && path.rfind(dataDir, 0) == 0) path = path.substr(dataDir.size());
  (sound ? form_.editSoundFile : form_.editImageFile)->setText(ToQ(path));
  field = path;
  form_.MarkModified();
}

void MainFormOptions::FileEditDone(bool sound) {
  ConfigFile* p = form_.Profile();
  if (!p) return;
  const std::string typed = FromQ((sound ? form_.editSoundFile : form_.editImageFile)->text());
  std::error_code ignored;
  if (typed.empty() || !std::filesystem::is_regular_file(form_.ResolveDataPath(typed), ignored))
    return;
  std::string& field = sound ? p->SoundFile : p->ImageFile;
  if (field == typed) return;
  field = typed;
  form_.MarkModified();
}

void MainFormOptions::btnApplyNumJoysticksClick() {
  ConfigFile* p = form_.Profile();
  if (!p) return;
  const QString text = form_.editNumJoystick->text();
  const std::optional<int> n = ParseIntegerText(text);
  if (!n) {
    QMessageBox::critical(&form_, QStringLiteral("Error"), NotAnIntegerMessage(text));
    form_.editNumJoystick->setFocus();
    return;
  }
  if (*n < 1 || *n > kMaxJoysticks) {
    QMessageBox::critical(
        &form_, QStringLiteral("Error"),
        QStringLiteral("1 以上 %1 以下の数を入れてください。").arg(kMaxJoysticks));
    form_.editNumJoystick->setFocus();
    return;
  }
  if (*n == p->NumberOfJoysticks()) return;
  LOG_INFO("Changing number of joysticks to %d", *n);
  host_.TimerDisable();
  p->SetNumberOfJoysticks(*n);
  host_.TimerEnable();
  form_.MarkModified();
  form_.PostToSelf(WM_BRV_DEVICES_CHANGED);
}

void MainFormOptions::editNumButtonsExit() {
  ConfigFile* p = form_.Profile();
  if (!p) return;
  const QString text = form_.editNumButtons->text();
  const std::optional<int> n = ParseIntegerText(text);
  if (!n || *n < 0 || *n > kMaxButtons) {
    // A profile holds 128 button records; more would reach past them.
    QMessageBox::critical(
        &form_, QStringLiteral("Error"),
        n ? QStringLiteral("0 以上 %1 以下の数を入れてください。").arg(kMaxButtons)
          : NotAnIntegerMessage(text));
    form_.editNumButtons->setText(QString::number(p->NumberOfButtons));
    return;
  }
  if (*n == p->NumberOfButtons) return;
  host_.TimerDisable();
  p->NumberOfButtons = *n;
  host_.TimerEnable();
  form_.MarkModified();
  form_.Rebuild();
}

bool MainFormOptions::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.editNumJoystick || watched == form_.editNumButtons) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // The user presses the apply button next; leaving the edit applies
        // the number of buttons.
        form_.btnApplyNumJoysticks->setFocus();
        return true;
      }
      if (key == Qt::Key_Escape) {
        if (ConfigFile* p = form_.Profile()) {
          static_cast<QLineEdit*>(watched)->setText(QString::number(
              watched == form_.editNumJoystick ? p->NumberOfJoysticks() : p->NumberOfButtons));
        }
        return true;
      }
    } else if (event->type() == QEvent::FocusOut && watched == form_.editNumButtons &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      // Deferred: a message box must not open inside the focus change.
      QTimer::singleShot(0, this, &MainFormOptions::editNumButtonsExit);
    }
  }
  return QObject::eventFilter(watched, event);
}

void MainFormOptions::Fill() {
  const ConfigFile* p = form_.Profile();
  if (!p) return;
  form_.editNumJoystick->setText(QString::number(p->NumberOfJoysticks()));
  form_.editNumButtons->setText(QString::number(p->NumberOfButtons));
  form_.cbAxisDisplayMode->setCurrentIndex(p->DisplayMode);
  form_.cbUseDiagonalInput1->setChecked(p->UseDiagonalInput);
  form_.cbUseDiagonalInput2->setChecked(p->UseDiagonalInput2);
  form_.cbUsePOV8Way->setChecked(p->UsePOV8Way);
  form_.cbRepeatSameKeyInSequence->setChecked(p->RepeatSameKeyInSequence);
  form_.tbThreshold1->setValue(p->Threshold / 10);
  form_.lblThreshold1->setText(PercentText(form_.tbThreshold1->value()));
  form_.tbThreshold2->setValue(p->Threshold2 / 10);
  form_.lblThreshold2->setText(PercentText(form_.tbThreshold2->value()));
  form_.cbKeySendMode->setCurrentIndex(p->KeySendMode);
  form_.cbPlaySound->setChecked(!p->SoundFile.empty());
  form_.editSoundFile->setText(ToQ(p->SoundFile));
  form_.editSoundFile->setEnabled(form_.cbPlaySound->isChecked());
  form_.btnSoundFile->setEnabled(form_.cbPlaySound->isChecked());
  form_.cbShowProfileImage->setChecked(!p->ImageFile.empty());
  form_.editImageFile->setText(ToQ(p->ImageFile));
  form_.editImageFile->setEnabled(form_.cbShowProfileImage->isChecked());
  form_.btnImageFile->setEnabled(form_.cbShowProfileImage->isChecked());
  form_.cbTriggerVibration->setChecked(p->VibrationDuration > 0);
  form_.btnVibrationDetails->setEnabled(form_.cbTriggerVibration->isChecked());
}

}  // namespace brevanto
