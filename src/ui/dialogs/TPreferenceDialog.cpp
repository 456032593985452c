#include "ui/dialogs/TPreferenceDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <filesystem>
#include <optional>

#include "core/log/Logger.h"
#include "core/settings/GlobalSettings.h"
#include "ui/IntegerText.h"
#include "ui/MainFormHost.h"
#include "ui/RadioGroup.h"
#include "ui/UiText.h"

namespace brevanto {
namespace {

const char* const kIgnoreInputCaption =
    "切り替え直後に、もともと押されていたボタン入力処理を一定時間無効化する";
const char* const kIgnoreInputNote = "（次に押され直すまで無効化するには -1 を指定）";
const char* const kTurboNotice =
    "内部処理を2～16倍速で行うことで、入力処理のレイテンシーを減らし、最大毎秒60～500回の自動連射を"
    "可能にします。 "
    "ただし、ＣＰＵにかかる負荷も２～16倍になります。（連射速度の設定表示は通常のまま変わりません"
    "）";

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QCheckBox* Box(QWidget* parent, const char* name, const char* caption) {
  return Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

// An edit of milliseconds: the edit, then its unit, which is its buddy.
// The edit is named after the box it belongs to.
QHBoxLayout* MillisecondsRow(QWidget* parent, QLineEdit* edit, const QCheckBox* owner) {
  edit->setAccessibleName(owner->text());
  edit->setMaximumWidth(80);
  auto* unit = new QLabel(QStringLiteral("ミリ秒"), parent);
  unit->setBuddy(edit);
  auto* row = new QHBoxLayout;
  row->addSpacing(20);
  row->addWidget(edit);
  row->addWidget(unit);
  row->addStretch();
  return row;
}

QLabel* Note(QWidget* parent) {
  auto* note = new QLabel(QString::fromUtf8(kIgnoreInputNote), parent);
  note->setIndent(20);
  return note;
}

}  // namespace

TPreferenceDialog::TPreferenceDialog(MainFormHost& host, QWidget* parent)
    : QDialog(parent), host_(host), settings_(host.Settings()) {
  setObjectName(QStringLiteral("TPreferenceDialog"));
  setWindowTitle(QStringLiteral("設定"));

  // The widest captions share the left column; the special settings are
  // narrow enough to stand beside them.
  auto* left = new QVBoxLayout;
  left->addWidget(BuildMinimizeGroup());
  left->addWidget(BuildProfileSwitchGroup());
  left->addWidget(BuildShiftSwitchGroup());
  left->addWidget(BuildActiveWindowGroup());
  left->addStretch();
  QWidget* special = BuildSpecialGroup();
  // Made last, so that the keyboard reaches them after every setting.
  btnOK = Named(new QPushButton(QStringLiteral("OK"), this), "btnOK");
  btnCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
  btnOK->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* right = new QVBoxLayout;
  right->addWidget(special);
  right->addStretch();
  right->addLayout(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right);

  FillFromSettings();
  Connect();
  UpdateEnabling();
}

QWidget* TPreferenceDialog::BuildMinimizeGroup() {
  auto* group = new QGroupBox(QStringLiteral("最小化"), this);
  cbStartIconified = Box(group, "cbStartIconified", "最小化した状態で起動させる");
  cbExitMeansMinimize =
      Box(group, "cbExitMeansMinimize",
          "右上の「ｘ」ボタンで終了ではなく最小化させる（終了する場合はメニューから選択）");
  cbHideWhenMinimized = Box(group, "cbHideWhenMinimized",
                            "最小化した際にタスクトレイにのみ表示（タスクバーから隠す）");
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(cbStartIconified);
  layout->addWidget(cbExitMeansMinimize);
  layout->addWidget(cbHideWhenMinimized);
  return group;
}

QWidget* TPreferenceDialog::BuildProfileSwitchGroup() {
  auto* group = new QGroupBox(QStringLiteral("設定ファイルの切り替え"), this);
  cbNotifyBalloon = Box(group, "cbNotifyBalloon", "切り替わったらタスクトレイのメッセージで通知");
  cbNotifySound = Box(group, "cbNotifySound", "切り替わったらサウンドで通知");
  editSoundFile = Named(new QLineEdit(group), "editSoundFile");
  editSoundFile->setAccessibleName(cbNotifySound->text());
  btnSoundFile = Named(new QPushButton(QStringLiteral("..."), group), "btnSoundFile");
  btnSoundFile->setAccessibleName(QStringLiteral("..."));
  btnSoundFile->setMaximumWidth(32);
  cbNotifyProfileImage = Box(group, "cbNotifyProfileImage", "切り替わったら画像を表示して通知");
  editProfileImageDuration =
      Named(new QLineEdit(QStringLiteral("2000"), group), "editProfileImageDuration");
  // Digits only: a duration is never negative.
  editProfileImageDuration->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]*")), editProfileImageDuration));
  radioProfileImagePosition =
      Named(new RadioGroup(QStringLiteral("表示位置"),
                           {QStringLiteral("左上"), QStringLiteral("左下"), QStringLiteral("右上"),
                            QStringLiteral("右下"), QStringLiteral("中央")},
                           5, group),
            "radioProfileImagePosition");
  cbIgnoreInputAfterProfileSwitch =
      Box(group, "cbIgnoreInputAfterProfileSwitch", kIgnoreInputCaption);
  editIgnoreInputAfterProfileSwitch =
      Named(new QLineEdit(group), "editIgnoreInputAfterProfileSwitch");

  auto* soundRow = new QHBoxLayout;
  soundRow->addSpacing(20);
  soundRow->addWidget(editSoundFile, 1);
  soundRow->addWidget(btnSoundFile);
  auto* imageRow = MillisecondsRow(group, editProfileImageDuration, cbNotifyProfileImage);
  auto* positionRow = new QHBoxLayout;
  positionRow->addSpacing(20);
  positionRow->addWidget(radioProfileImagePosition, 1);

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(cbNotifyBalloon);
  layout->addWidget(cbNotifySound);
  layout->addLayout(soundRow);
  layout->addWidget(cbNotifyProfileImage);
  layout->addLayout(imageRow);
  layout->addLayout(positionRow);
  layout->addWidget(cbIgnoreInputAfterProfileSwitch);
  layout->addLayout(
      MillisecondsRow(group, editIgnoreInputAfterProfileSwitch, cbIgnoreInputAfterProfileSwitch));
  layout->addWidget(Note(group));
  return group;
}

QWidget* TPreferenceDialog::BuildShiftSwitchGroup() {
  auto* group = new QGroupBox(QStringLiteral("一時的にジョイスティック番号を切り替え"), this);
  cbIgnoreInputAfterShiftSwitch = Box(group, "cbIgnoreInputAfterShiftSwitch", kIgnoreInputCaption);
  editIgnoreInputAfterShiftSwitch = Named(new QLineEdit(group), "editIgnoreInputAfterShiftSwitch");
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(cbIgnoreInputAfterShiftSwitch);
  layout->addLayout(
      MillisecondsRow(group, editIgnoreInputAfterShiftSwitch, cbIgnoreInputAfterShiftSwitch));
  layout->addWidget(Note(group));
  return group;
}

QWidget* TPreferenceDialog::BuildActiveWindowGroup() {
  auto* group =
      new QGroupBox(QStringLiteral("Brevanto のウィンドウがアクティブになっている時"), this);
  cbHighlightButtons = Box(group, "cbHighlightButtons", "押されているボタンをハイライト表示する");
  cbHighlightButtonsForAllTabs =
      Box(group, "cbHighlightButtonsForAllTabs",
          "押されているボタンをハイライト表示する（ジョイスティック番号に関係なくすべてのタブで）");
  cbSkipForegroundProcessing =
      Box(group, "cbSkipForegroundProcessing", "ボタン割り当ての実行を一時的に無効化する");
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(cbHighlightButtons);
  layout->addWidget(cbHighlightButtonsForAllTabs);
  layout->addWidget(cbSkipForegroundProcessing);
  return group;
}

QWidget* TPreferenceDialog::BuildSpecialGroup() {
  auto* group = new QGroupBox(QStringLiteral("特殊な設定（慣れている人向け）"), this);
  cbShowDebugLog = Box(group, "cbShowDebugLog", "デバッグ用のログファイルを作成");
  rgTurboMode =
      Named(new RadioGroup(QStringLiteral("内部処理速度"),
                           {QStringLiteral("通常速度"), QStringLiteral("処理速度２倍速"),
                            QStringLiteral("処理速度４倍速"), QStringLiteral("処理速度８倍速"),
                            QStringLiteral("処理速度１６倍速")},
                           1, group),
            "rgTurboMode");
  cbXInputSupport = Named(new QComboBox(group), "cbXInputSupport");
  cbXInputSupport->addItems({QStringLiteral("DirectInput device only"),
                             QStringLiteral("XInput device only"),
                             QStringLiteral("XInput and DirectInput devices"),
                             QStringLiteral("Experimental Logic (Beta)"),
                             QStringLiteral("Exp.(Beta)+XInput+DirectInput")});
  auto* apiLabel = new QLabel(QStringLiteral("入力デバイスの処理方法"), group);
  apiLabel->setBuddy(cbXInputSupport);
  cbXInputSupport->setAccessibleName(apiLabel->text());
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(cbShowDebugLog);
  layout->addWidget(rgTurboMode);
  layout->addWidget(apiLabel);
  layout->addWidget(cbXInputSupport);
  return group;
}

void TPreferenceDialog::FillFromSettings() {
  cbStartIconified->setChecked(settings_.StartIconified);
  cbExitMeansMinimize->setChecked(settings_.ExitMeansMinimize);
  cbHideWhenMinimized->setChecked(settings_.HideWhenMinimized);
  cbNotifyBalloon->setChecked(settings_.NotifyBalloon);
  cbNotifySound->setChecked(!settings_.NotifySoundFile.empty());
  editSoundFile->setText(ToQ(settings_.NotifySoundFile));
  cbNotifyProfileImage->setChecked(settings_.NotifyProfileImage);
  editProfileImageDuration->setText(QString::number(settings_.ProfileImageDuration));
  radioProfileImagePosition->SetItemIndex(settings_.ProfileImagePosition);
  cbIgnoreInputAfterProfileSwitch->setChecked(settings_.IgnoreInputAfterProfileSwitch != 0);
  editIgnoreInputAfterProfileSwitch->setText(
      QString::number(settings_.IgnoreInputAfterProfileSwitch));
  cbIgnoreInputAfterShiftSwitch->setChecked(settings_.IgnoreInputAfterShiftSwitch != 0);
  editIgnoreInputAfterShiftSwitch->setText(QString::number(settings_.IgnoreInputAfterShiftSwitch));
  // The window lets HighlightButtons win when a hand-edited file has both.
  cbHighlightButtons->setChecked(settings_.HighlightButtons);
  cbHighlightButtonsForAllTabs->setChecked(settings_.HighlightButtonsForAllTabs &&
                                           !settings_.HighlightButtons);
  cbSkipForegroundProcessing->setChecked(settings_.SkipForegroundProcessing);
  cbShowDebugLog->setChecked(settings_.ShowDebugLog);
  rgTurboMode->SetItemIndex(settings_.TurboMode);
  cbXInputSupport->setCurrentIndex(settings_.XInputSupport);
}

void TPreferenceDialog::Connect() {
  for (QCheckBox* box : {cbNotifySound, cbNotifyProfileImage, cbIgnoreInputAfterProfileSwitch,
                         cbIgnoreInputAfterShiftSwitch}) {
    connect(box, &QCheckBox::toggled, this, &TPreferenceDialog::UpdateEnabling);
  }
  // At most one of the two highlights: the one checked last.
  connect(cbHighlightButtons, &QCheckBox::toggled, this, [this](bool on) {
    if (on) cbHighlightButtonsForAllTabs->setChecked(false);
  });
  connect(cbHighlightButtonsForAllTabs, &QCheckBox::toggled, this, [this](bool on) {
    if (on) cbHighlightButtons->setChecked(false);
  });
  connect(btnSoundFile, &QPushButton::clicked, this, &TPreferenceDialog::btnSoundFileClick);
  connect(btnOK, &QPushButton::clicked, this, &TPreferenceDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPreferenceDialog::UpdateEnabling() {
  const bool sound = cbNotifySound->isChecked();
  editSoundFile->setEnabled(sound);
  btnSoundFile->setEnabled(sound);
  const bool image = cbNotifyProfileImage->isChecked();
  editProfileImageDuration->setEnabled(image);
  radioProfileImagePosition->setEnabled(image);
  editIgnoreInputAfterProfileSwitch->setEnabled(cbIgnoreInputAfterProfileSwitch->isChecked());
  editIgnoreInputAfterShiftSwitch->setEnabled(cbIgnoreInputAfterShiftSwitch->isChecked());
}

std::string TPreferenceDialog::ResolveDataPath(const std::string& path) const {
  if (std::filesystem::path(path).is_absolute()) return path;
  return host_.DataDir() + path;
}

void TPreferenceDialog::btnSoundFileClick() {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("OpenSoundDialog"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("wav"));
  dialog.setNameFilters(
      {QStringLiteral("サウンドファイル (*.mp3 *.wav)"), QStringLiteral("すべてのファイル (*)")});
  const std::string current = FromQ(editSoundFile->text());
  if (!current.empty()) {
    dialog.setDirectory(
        ToQ(std::filesystem::path(ResolveDataPath(current)).parent_path().string()));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  // Below the data directory the path is kept relative, so the folder can move.
  std::string path = FromQ(dialog.selectedFiles().front());
  const std::string dataDir = host_.DataDir();
  if (!dataDir.empty() && path.size() > dataDir.size() && path.rfind(dataDir, 0) == 0) {
    path = path.substr(dataDir.size());
  }
  editSoundFile->setText(ToQ(path));
}

bool TPreferenceDialog::CheckSoundFile() {
  if (!cbNotifySound->isChecked()) return true;
  const QString typed = editSoundFile->text();
  std::error_code ignored;
  if (std::filesystem::is_regular_file(ResolveDataPath(FromQ(typed)), ignored)) return true;
  QMessageBox::critical(this, QStringLiteral("Error"),
                        QStringLiteral("\"%1\" は有効なファイルではありません").arg(typed));
  editSoundFile->setFocus();
  return false;
}

bool TPreferenceDialog::CheckNumbers() {
  const std::pair<const QCheckBox*, QLineEdit*> numbers[] = {
      {cbNotifyProfileImage, editProfileImageDuration},
      {cbIgnoreInputAfterProfileSwitch, editIgnoreInputAfterProfileSwitch},
      {cbIgnoreInputAfterShiftSwitch, editIgnoreInputAfterShiftSwitch},
  };
  for (const auto& [box, edit] : numbers) {
    if (!box->isChecked() || ParseIntegerText(edit->text())) continue;
    QMessageBox::critical(this, QStringLiteral("Error"),
                          QStringLiteral("\"%1\" は数字ではありません").arg(edit->text()));
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  return true;
}

void TPreferenceDialog::accept() {
  // Everything is checked before anything is stored: a refused OK followed
  // by Cancel leaves the settings as they were.
  if (!CheckSoundFile() || !CheckNumbers()) return;

  const int oldApiMode = settings_.XInputSupport;
  const int apiMode = cbXInputSupport->currentIndex();
  const bool apiModeChanged = apiMode >= 0 && apiMode != oldApiMode;

  host_.TimerDisable();
  Store();
  if (apiModeChanged) settings_.XInputSupport = apiMode;
  host_.TimerEnable();

  if (apiModeChanged) {
    LOG_DEBUG("API Mode is changed from %d to %d", oldApiMode, apiMode);
    host_.RedetectDevices(true);
  }
  ApplyTurboMode();
  QDialog::accept();
}

void TPreferenceDialog::Store() {
  settings_.NotifySoundFile = cbNotifySound->isChecked() ? FromQ(editSoundFile->text()) : "";

  settings_.NotifyProfileImage = cbNotifyProfileImage->isChecked();
  if (settings_.NotifyProfileImage) {
    settings_.ProfileImageDuration = *ParseIntegerText(editProfileImageDuration->text());
    const int position = radioProfileImagePosition->ItemIndex();
    if (position >= 0) settings_.ProfileImagePosition = position;
  }

  settings_.HighlightButtons = cbHighlightButtons->isChecked();
  settings_.HighlightButtonsForAllTabs = cbHighlightButtonsForAllTabs->isChecked();
  settings_.SkipForegroundProcessing = cbSkipForegroundProcessing->isChecked();
  settings_.StartIconified = cbStartIconified->isChecked();
  settings_.HideWhenMinimized = cbHideWhenMinimized->isChecked();
  settings_.ExitMeansMinimize = cbExitMeansMinimize->isChecked();
  settings_.NotifyBalloon = cbNotifyBalloon->isChecked();

  auto ignoreValue = [](const QCheckBox* box, const QLineEdit* edit) {
    return box->isChecked() ? *ParseIntegerText(edit->text()) : 0;
  };
  settings_.IgnoreInputAfterProfileSwitch =
      ignoreValue(cbIgnoreInputAfterProfileSwitch, editIgnoreInputAfterProfileSwitch);
  settings_.IgnoreInputAfterShiftSwitch =
      ignoreValue(cbIgnoreInputAfterShiftSwitch, editIgnoreInputAfterShiftSwitch);

  settings_.ShowDebugLog = cbShowDebugLog->isChecked();
  Logger::Instance().SetDebugEnabled(settings_.ShowDebugLog);
  LOG_INFO(settings_.ShowDebugLog ? "Debug logging is enabled" : "Debug logging is disabled");
}

void TPreferenceDialog::ApplyTurboMode() {
  const int turbo = rgTurboMode->ItemIndex();
  if (turbo < 0 || turbo == settings_.TurboMode) return;
  // The period is fixed when the thread starts; everything counted in cycles
  // follows the new speed from the restart on.
  host_.StopProcessing();
  settings_.TurboMode = turbo;
  if (turbo > 0) {
    QMessageBox::information(this, QStringLiteral("倍速処理モード"),
                             QString::fromUtf8(kTurboNotice));
  }
  host_.StartProcessing();
}

}  // namespace brevanto
