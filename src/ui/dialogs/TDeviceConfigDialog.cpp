#include "ui/dialogs/TDeviceConfigDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <atomic>

#include "core/device/DeviceConfigManager.h"
#include "core/device/DeviceTemplate.h"
#include "core/settings/GlobalSettings.h"
#include "ui/MainFormHost.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/DevicePreviews.h"
#include "ui/dialogs/TDeviceTemplateDialog.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {
namespace {

const char* const kAxisItems[kAxisCount] = {"X 軸",  "Y 軸",  "Z 軸",   "RX 軸",
                                            "RY 軸", "RZ 軸", "Axis 7", "Axis 8"};

QLabel* BuddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(buddy);
  buddy->setAccessibleName(caption);
  return label;
}

}  // namespace

bool TDeviceConfigDialog::Listed(InterfaceKind kind, int apiMode) {
  switch (kind) {
    case InterfaceKind::XInput:
      return apiMode != 0 && apiMode != 3;
    case InterfaceKind::DirectInput:
      return apiMode != 1 && apiMode != 3;
    case InterfaceKind::Hid:
      return apiMode != 0 && apiMode != 1 && apiMode != 2;
  }
  return true;
}

QString TDeviceConfigDialog::EntryText(const TDeviceConfig& record) {
  std::string text = record.DisplayName();
  switch (record.interfaceKind) {
    case InterfaceKind::XInput:
      text += " [XInput]";
      break;
    case InterfaceKind::DirectInput:
      text += " [DirectInput]";
      break;
    case InterfaceKind::Hid:
      text += " [Experimental]";
      break;
  }
  if (record.present) text += " *接続中*";
  return ToQ(text);
}

TDeviceConfigDialog::TDeviceConfigDialog(MainFormHost& host, QWidget* parent)
    : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("TDeviceConfigDialog"));
  setWindowTitle(QStringLiteral("ジョイスティックの調整・設定"));

  PageControl = Named(new QTabWidget(this), "PageControl");
  tsCalibration = BuildCalibrationPage();
  tsDeviceSettings = BuildDeviceSettingsPage();
  PageControl->addTab(tsCalibration, QStringLiteral("1. アナログスティックの調整・ボタンの確認"));
  PageControl->addTab(tsDeviceSettings, QStringLiteral("2. デバイスごとの詳細設定"));
  btnClose = Named(new QPushButton(QStringLiteral("OK"), this), "btnClose");
  btnClose->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl);
  layout->addLayout(buttons);

  cbJoystickNumber->addItem(QStringLiteral("指定なし (接続順)"));
  for (int n = 1; n <= kMaxJoysticks; ++n) {
    cbJoystickNumber->addItem(QStringLiteral("[%1] Joystick").arg(n));
  }
  PageControl->setCurrentIndex(0);
  Connect();
  FillDeviceList();
}

QWidget* TDeviceConfigDialog::BuildCalibrationPage() {
  auto* page = Named(new QWidget(PageControl), "tsCalibration");
  auto* note = new QLabel(
      QStringLiteral(
          "アナログスティックの中心位置を調整したり、すべてのボタン動作を確認するためには"
          "、ゲームコントローラのプロパティを設定してください。"),
      page);
  note->setWordWrap(true);
  btnOpenControlPanel = Named(new QPushButton(QStringLiteral("ゲームコントローラの設定"), page),
                              "btnOpenControlPanel");
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(note);
  auto* row = new QHBoxLayout;
  row->addWidget(btnOpenControlPanel);
  row->addStretch();
  layout->addLayout(row);
  layout->addStretch();
  return page;
}

QWidget* TDeviceConfigDialog::BuildDeviceSettingsPage() {
  auto* page = Named(new QWidget(PageControl), "tsDeviceSettings");
  cbDeviceList = Named(new QComboBox(page), "cbDeviceList");
  cbDeviceList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* deviceRow = new QHBoxLayout;
  deviceRow->addWidget(BuddyLabel(QStringLiteral("設定するデバイスを選択 :"), cbDeviceList, page));
  deviceRow->addWidget(cbDeviceList, 1);

  auto* device = new QGroupBox(QStringLiteral(" このデバイスについて"), page);
  cbJoystickNumber = Named(new QComboBox(device), "cbJoystickNumber");
  btnEditButtonNames =
      Named(new QPushButton(QStringLiteral("ボタン名を編集"), device), "btnEditButtonNames");
  btnEditDeviceName =
      Named(new QPushButton(QStringLiteral("デバイス表示名を編集"), device), "btnEditDeviceName");
  btnDeleteDeviceConfig = Named(new QPushButton(QStringLiteral("このデバイス設定を削除"), device),
                                "btnDeleteDeviceConfig");
  auto* deviceLayout = new QVBoxLayout(device);
  deviceLayout->addWidget(
      BuddyLabel(QStringLiteral("接続されたときに優先的に割り当てられる Joystick 番号を指定"),
                 cbJoystickNumber, device));
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(cbJoystickNumber);
  numberRow->addStretch();
  deviceLayout->addLayout(numberRow);
  auto* deviceButtons = new QHBoxLayout;
  deviceButtons->addWidget(btnEditButtonNames);
  deviceButtons->addWidget(btnEditDeviceName);
  deviceButtons->addWidget(btnDeleteDeviceConfig);
  deviceButtons->addStretch();
  deviceLayout->addLayout(deviceButtons);

  auto* axes = new QGroupBox(QStringLiteral(" 十字スティックの軸の割り当て設定"), page);
  auto* axesNote =
      new QLabel(QStringLiteral("入力軸が複数あり、十字スティックの上下・左右方向がおかしい場合は、"
                                "軸の割り当てを変更できます。"),
                 axes);
  axesNote->setWordWrap(true);
  pbStick1 = Named(new StickPreview(axes), "pbStick1");
  pbStick2 = Named(new StickPreview(axes), "pbStick2");
  pbAxis = Named(new AxisPreview(axes), "pbAxis");
  pbAxis->setAccessibleName(QStringLiteral("Axis"));
  const char* const comboNames[4] = {"cbStick1X", "cbStick1Y", "cbStick2X", "cbStick2Y"};
  for (int tag = 0; tag < 4; ++tag) {
    auto* combo = Named(new QComboBox(axes), comboNames[tag]);
    for (const char* item : kAxisItems) combo->addItem(QString::fromUtf8(item));
    combo->setProperty("tag", tag);
    axisCombos_[static_cast<std::size_t>(tag)] = combo;
  }
  cbStick1X = axisCombos_[0];
  cbStick1Y = axisCombos_[1];
  cbStick2X = axisCombos_[2];
  cbStick2Y = axisCombos_[3];
  auto* axesGrid = new QGridLayout;
  const std::pair<StickPreview*, const char*> sticks[] = {{pbStick1, "Stick 1"},
                                                          {pbStick2, "Stick 2"}};
  for (int s = 0; s < 2; ++s) {
    const int column = s * 2;
    auto* caption = new QLabel(QString::fromLatin1(sticks[s].second), axes);
    sticks[s].first->setAccessibleName(caption->text());
    axesGrid->addWidget(caption, 0, column, 1, 2);
    axesGrid->addWidget(sticks[s].first, 1, column, 1, 2);
    QComboBox* horizontal = axisCombos_[static_cast<std::size_t>(s * 2)];
    QComboBox* vertical = axisCombos_[static_cast<std::size_t>(s * 2 + 1)];
    const QString stick = caption->text();
    axesGrid->addWidget(BuddyLabel(QStringLiteral("横方向"), horizontal, axes), 2, column);
    horizontal->setAccessibleName(stick + QStringLiteral(" 横方向"));
    axesGrid->addWidget(horizontal, 2, column + 1);
    axesGrid->addWidget(BuddyLabel(QStringLiteral("縦方向"), vertical, axes), 3, column);
    vertical->setAccessibleName(stick + QStringLiteral(" 縦方向"));
    axesGrid->addWidget(vertical, 3, column + 1);
  }
  axesGrid->addWidget(pbAxis, 0, 4, 4, 1);
  auto* axesLayout = new QVBoxLayout(axes);
  axesLayout->addWidget(axesNote);
  axesLayout->addLayout(axesGrid);

  tbAnalogDeadZone = Named(new QSlider(Qt::Horizontal, page), "tbAnalogDeadZone");
  tbAnalogDeadZone->setRange(0, 100);
  tbAnalogDeadZone->setPageStep(1);
  tbAnalogDeadZone->setTickInterval(10);
  tbAnalogDeadZone->setTickPosition(QSlider::TicksBelow);
  tbAnalogDeadZone->setToolTip(
      QStringLiteral("アナログ入力で感度が良すぎるときなどに変更してください。"));
  lblAnalogDeadZone = Named(new QLabel(QStringLiteral("0%"), page), "lblAnalogDeadZone");
  lblAnalogDeadZone->setMinimumWidth(40);
  auto* deadZoneRow = new QHBoxLayout;
  deadZoneRow->addWidget(tbAnalogDeadZone, 1);
  deadZoneRow->addWidget(lblAnalogDeadZone);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(deviceRow);
  layout->addWidget(device);
  layout->addWidget(axes);
  layout->addWidget(BuddyLabel(QStringLiteral("アナログ入力のしきい値（入力を無視するあそび）"),
                               tbAnalogDeadZone, page));
  layout->addLayout(deadZoneRow);
  layout->addStretch();
  return page;
}

void TDeviceConfigDialog::Connect() {
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnOpenControlPanel, &QPushButton::clicked, this,
          &TDeviceConfigDialog::btnOpenControlPanelClick);
  connect(cbDeviceList, &QComboBox::currentIndexChanged, this,
          &TDeviceConfigDialog::SelectionChanged);
  connect(cbJoystickNumber, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (updating_ || index < 0) return;
    ChangeRecord([index](TDeviceConfig& record) { record.PreferredNumber = index - 1; });
  });
  for (QComboBox* combo : axisCombos_) {
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, combo](int index) { AxisChanged(combo->property("tag").toInt(), index); });
  }
  connect(tbAnalogDeadZone, &QSlider::valueChanged, this, &TDeviceConfigDialog::DeadZoneChanged);
  connect(btnEditDeviceName, &QPushButton::clicked, this,
          &TDeviceConfigDialog::btnEditDeviceNameClick);
  connect(btnEditButtonNames, &QPushButton::clicked, this,
          &TDeviceConfigDialog::btnEditButtonNamesClick);
  connect(btnDeleteDeviceConfig, &QPushButton::clicked, this,
          &TDeviceConfigDialog::btnDeleteDeviceConfigClick);
}

template <class F>
void TDeviceConfigDialog::ChangeRecord(F change) {
  if (!selected_) return;
  host_.TimerDisable();
  change(*selected_);
  host_.TimerEnable();
}

void TDeviceConfigDialog::FillDeviceList() {
  const std::vector<TDeviceConfig*> records = host_.Devices().Snapshot();
  const int mode = host_.Settings().XInputSupport;
  updating_ = true;
  cbDeviceList->clear();
  int keep = -1;
  int firstOfBackEnd = -1;
  for (TDeviceConfig* record : records) {
    if (!Listed(record->interfaceKind, mode)) continue;
    const int index = cbDeviceList->count();
    cbDeviceList->addItem(EntryText(*record), QVariant::fromValue(static_cast<void*>(record)));
    if (record == selected_) keep = index;
    if (record->present && record->backendIndex == 0) firstOfBackEnd = index;
  }
  int index = cbDeviceList->count() > 0 ? 0 : -1;
  if (keep >= 0) {
    index = keep;
  } else if (!everSelected_ && firstOfBackEnd >= 0) {
    index = firstOfBackEnd;
  }
  cbDeviceList->setCurrentIndex(index);
  updating_ = false;
  SelectionChanged(index);
}

void TDeviceConfigDialog::SelectionChanged(int index) {
  if (updating_) return;
  selected_ = index >= 0 ? static_cast<TDeviceConfig*>(cbDeviceList->itemData(index).value<void*>())
                         : nullptr;
  if (selected_) everSelected_ = true;
  ShowSelected();
}

void TDeviceConfigDialog::ShowSelected() {
  updating_ = true;
  const TDeviceConfig* record = selected_;
  if (record) {
    const int number = record->PreferredNumber;
    cbJoystickNumber->setCurrentIndex(number >= -1 && number < kMaxJoysticks ? number + 1 : 0);
    for (std::size_t entry = 0; entry < axisCombos_.size(); ++entry) {
      const int physical = record->axisMapping[entry];
      axisCombos_[entry]->setCurrentIndex(physical >= 0 && physical < kAxisCount ? physical : -1);
    }
    tbAnalogDeadZone->setValue(record->AnalogDeadZone / 100);
  }
  lblAnalogDeadZone->setText(QStringLiteral("%1%").arg(tbAnalogDeadZone->value()));
  const bool connected = record && record->present;
  btnDeleteDeviceConfig->setEnabled(record && !connected);
  for (QComboBox* combo : axisCombos_) {
    combo->setEnabled(record && record->interfaceKind != InterfaceKind::XInput);
  }
  for (QWidget* control :
       std::initializer_list<QWidget*>{cbJoystickNumber, btnEditButtonNames, btnEditDeviceName}) {
    control->setEnabled(record != nullptr);
  }
  updating_ = false;
  ShowPreviews();
}

void TDeviceConfigDialog::AxisValuesChanged() {
  ShowPreviews();
}

void TDeviceConfigDialog::ShowPreviews() {
  std::array<int32_t, kAxisCount> values{};
  AxisMapping mapping{};
  if (selected_) {
    // The processing thread writes these while the dialog is open.
    for (std::size_t axis = 0; axis < values.size(); ++axis) {
      values[axis] =
          std::atomic_ref<int32_t>(selected_->lastAnalog[axis]).load(std::memory_order_relaxed);
    }
    mapping = selected_->axisMapping;
  }
  auto value = [&](std::size_t entry) {
    const int physical = selected_ ? mapping[entry] : -1;
    return physical >= 0 && physical < kAxisCount ? values[static_cast<std::size_t>(physical)] : 0;
  };
  pbStick1->SetValues(value(0), value(1));
  pbStick2->SetValues(value(2), value(3));
  pbAxis->SetValues(values);
}

void TDeviceConfigDialog::AxisChanged(int entry, int physical) {
  if (updating_ || physical < 0) return;
  ChangeRecord([entry, physical](TDeviceConfig& record) {
    record.axisMapping[static_cast<std::size_t>(entry)] = physical;
    record.CompleteAxisMapping();
  });
  ShowPreviews();
}

void TDeviceConfigDialog::DeadZoneChanged(int position) {
  lblAnalogDeadZone->setText(QStringLiteral("%1%").arg(position));
  if (updating_) return;
  ChangeRecord([position](TDeviceConfig& record) { record.AnalogDeadZone = position * 100; });
}

void TDeviceConfigDialog::btnOpenControlPanelClick() {
  if (host_.OpenControllerSettings()) return;
  QMessageBox::information(this, windowTitle(), QString::fromUtf8(kControllerSettingsMissing));
}

void TDeviceConfigDialog::btnEditDeviceNameClick() {
  if (!selected_) return;
  const std::string name =
      TInputNameDialog::Ask(this, "デバイス" + selected_->Name + "の表示名の変更",
                            "このデバイスの表示名を入力してください", selected_->NameOverride);
  if (name.empty() || name == selected_->NameOverride) return;
  ChangeRecord([&name](TDeviceConfig& record) { record.NameOverride = name; });
  FillDeviceList();
}

void TDeviceConfigDialog::btnEditButtonNamesClick() {
  if (!selected_) return;
  const TDeviceTemplate* current = selected_->resolvedTemplate;
  const std::string id = TDeviceTemplateDialog::Choose(
      host_.Templates(), current ? current->Id() : std::string(), this);
  ChangeRecord([this, &id](TDeviceConfig& record) { host_.Devices().SetTemplateId(record, id); });
}

void TDeviceConfigDialog::btnDeleteDeviceConfigClick() {
  if (!selected_) return;
  // Decided with the cycle paused: a detection may have found the device
  // since the dialog showed it.
  host_.TimerDisable();
  const bool removed = !selected_->present && host_.Devices().Remove(selected_) == 0;
  host_.TimerEnable();
  if (!removed) return;
  selected_ = nullptr;
  FillDeviceList();
}

}  // namespace brevanto
