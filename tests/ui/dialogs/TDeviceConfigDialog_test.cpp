#include "ui/dialogs/TDeviceConfigDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/device/DeviceTemplate.h"
#include "support/FakeMainFormHost.h"
#include "support/UiTestSupport.h"
#include "ui/UiText.h"
#include "ui/dialogs/DevicePreviews.h"
#include "ui/dialogs/TDeviceTemplateDialog.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {
namespace {

const std::string kXInputGuid = "045E028E-1";
const std::string kDirectInputGuid = "{11111111-2222-3333-4444-555555555555}";

// The fake host, remembering what a record held whenever the processing was
// paused and resumed.
class PausingHost : public testing::FakeMainFormHost {
 public:
  void TimerDisable() override {
    FakeMainFormHost::TimerDisable();
    if (watched) atPause.push_back(*watched);
  }
  void TimerEnable() override {
    if (watched) atResume.push_back(*watched);
    FakeMainFormHost::TimerEnable();
  }
  const TDeviceConfig* watched = nullptr;
  std::vector<TDeviceConfig> atPause, atResume;
};

class TDeviceConfigDialogTest : public ::testing::Test {
 protected:
  TDeviceConfig& Add(const std::string& guid, const std::string& name, bool present,
                     int backendIndex = 0) {
    TDeviceConfig& record = host.records.FindOrCreate(guid);
    record.Name = name;
    record.present = present;
    record.backendIndex = backendIndex;
    record.axisMapping = {0, 1, 2, 3, 4, 5, 6, 7};
    return record;
  }
  static std::vector<std::string> Entries(const TDeviceConfigDialog& dialog) {
    std::vector<std::string> entries;
    for (int i = 0; i < dialog.cbDeviceList->count(); ++i) {
      entries.push_back(FromQ(dialog.cbDeviceList->itemText(i)));
    }
    return entries;
  }
  static void Select(TDeviceConfigDialog& dialog, const TDeviceConfig& record) {
    for (int i = 0; i < dialog.cbDeviceList->count(); ++i) {
      if (dialog.cbDeviceList->itemText(i) == TDeviceConfigDialog::EntryText(record)) {
        dialog.cbDeviceList->setCurrentIndex(i);
        return;
      }
    }
    ADD_FAILURE() << "not listed: " << record.Name;
  }

  PausingHost host;
};

TEST_F(TDeviceConfigDialogTest, ListsTheRecordsTheInputApiModeReads) {
  Add(kXInputGuid, "Pad", false);
  Add(kDirectInputGuid, "Stick", true).NameOverride = "My stick";
  Add("/dev/hidraw3", "Wheel", false, 1);
  Add("odd", "Odd", false, 2).interfaceKind = static_cast<InterfaceKind>(7);
  const std::string pad = "Pad [XInput]", stick = "My stick [DirectInput] *接続中*",
                    wheel = "Wheel [Experimental]", odd = "Odd";
  const struct {
    int mode;
    std::vector<std::string> entries;
  } cases[] = {
      {0, {stick, odd}},
      {1, {pad, odd}},
      {2, {pad, stick, odd}},
      {3, {wheel, odd}},
      {4, {pad, stick, wheel, odd}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    host.settings.XInputSupport = c.mode;
    TDeviceConfigDialog dialog(host);
    EXPECT_EQ(Entries(dialog), c.entries);
    EXPECT_EQ(dialog.PageControl->currentIndex(), 0) << "the dialog opens on its first page";
  }
}

TEST_F(TDeviceConfigDialogTest, OpensOnTheLastConnectedFirstDeviceOfABackEndElseTheFirst) {
  const struct {
    const char* name;
    std::vector<std::pair<bool, int>> records;  // present, back-end index
    int selected;
  } cases[] = {
      {"two first devices connected", {{false, 0}, {true, 0}, {true, 0}}, 2},
      {"one connected", {{false, 0}, {true, 0}, {false, 0}}, 1},
      {"connected as a second device only", {{false, 0}, {true, 1}}, 0},
      {"none connected", {{false, 0}, {false, 0}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PausingHost fresh;
    fresh.settings.XInputSupport = 4;
    std::vector<TDeviceConfig*> records;
    for (std::size_t i = 0; i < c.records.size(); ++i) {
      TDeviceConfig& record = fresh.records.FindOrCreate("device" + std::to_string(i));
      record.Name = "Device " + std::to_string(i);
      record.present = c.records[i].first;
      record.backendIndex = c.records[i].second;
      records.push_back(&record);
    }
    TDeviceConfigDialog dialog(fresh);
    EXPECT_EQ(dialog.Selected(), records[static_cast<std::size_t>(c.selected)]);
    EXPECT_EQ(dialog.cbDeviceList->currentIndex(), c.selected);
  }
}

TEST_F(TDeviceConfigDialogTest, OnlyADisconnectedDeviceIsDeletedAndTheFirstEntryFollows) {
  TDeviceConfig& first = Add(kDirectInputGuid, "First", false);
  TDeviceConfig& connected = Add("/dev/hidraw1", "Connected", true);
  TDeviceConfig& last = Add("/dev/hidraw2", "Last", false, 1);
  host.settings.XInputSupport = 4;
  TDeviceConfigDialog dialog(host);
  ASSERT_EQ(dialog.Selected(), &connected);
  EXPECT_FALSE(dialog.btnDeleteDeviceConfig->isEnabled());
  dialog.btnDeleteDeviceConfigClick();
  EXPECT_EQ(host.records.Count(), 3u) << "a connected device is kept";

  Select(dialog, last);
  EXPECT_TRUE(dialog.btnDeleteDeviceConfig->isEnabled());
  dialog.btnDeleteDeviceConfig->click();
  EXPECT_EQ(host.records.Count(), 2u);
  EXPECT_EQ(host.records.Find("/dev/hidraw2"), nullptr);
  EXPECT_EQ(dialog.Selected(), &first) << "the first entry, not the connected one";
  EXPECT_EQ(Entries(dialog),
            (std::vector<std::string>{"First [DirectInput]", "Connected [Experimental] *接続中*"}));
  EXPECT_EQ(host.timerDisabled, 0);
}

TEST_F(TDeviceConfigDialogTest, DeletingTheLastRecordEmptiesTheList) {
  Add(kDirectInputGuid, "Only", false);
  TDeviceConfigDialog dialog(host);
  dialog.btnDeleteDeviceConfig->click();
  EXPECT_EQ(host.records.Count(), 0u);
  EXPECT_EQ(dialog.cbDeviceList->count(), 0) << "no entry is left for a destroyed record";
  EXPECT_EQ(dialog.Selected(), nullptr);
  EXPECT_FALSE(dialog.btnDeleteDeviceConfig->isEnabled());
  EXPECT_FALSE(dialog.btnEditDeviceName->isEnabled());
  dialog.tbAnalogDeadZone->setValue(30);
  EXPECT_EQ(dialog.lblAnalogDeadZone->text(), QStringLiteral("30%"));
}

TEST_F(TDeviceConfigDialogTest, StickAxesTakeTheChoiceAndTheRestFollowInAscendingOrder) {
  using Choice = std::pair<int, int>;  // combo tag, physical axis
  const struct {
    const char* name;
    AxisMapping before;
    std::vector<Choice> choices;
    AxisMapping after;
  } cases[] = {
      {"sticks swapped round",
       {2, 3, 0, 1, 4, 5, 6, 7},
       {{0, 1}, {1, 0}, {2, 2}, {3, 3}},
       {1, 0, 2, 3, 4, 5, 6, 7}},
      {"one axis twice leaves five unused",
       {0, 1, 2, 3, 4, 5, 6, 7},
       {{2, 0}},
       {0, 1, 0, 3, 2, 4, 5, 6}},
      {"stick 1 horizontal on RY", {2, 3, 0, 1, 4, 5, 6, 7}, {{0, 4}}, {4, 3, 0, 1, 2, 5, 6, 7}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PausingHost fresh;
    TDeviceConfig& record = fresh.records.FindOrCreate(kDirectInputGuid);
    record.axisMapping = c.before;
    TDeviceConfigDialog dialog(fresh);
    EXPECT_EQ(dialog.cbStick1X->currentIndex(), c.before[0]);
    EXPECT_EQ(dialog.cbStick2Y->currentIndex(), c.before[3]);
    QComboBox* combos[] = {dialog.cbStick1X, dialog.cbStick1Y, dialog.cbStick2X, dialog.cbStick2Y};
    for (const auto& [tag, axis] : c.choices) combos[tag]->setCurrentIndex(axis);
    EXPECT_EQ(record.axisMapping, c.after);
  }
}

TEST_F(TDeviceConfigDialogTest, XInputAxesCannotBeRemapped) {
  Add(kXInputGuid, "Pad", true);
  TDeviceConfigDialog dialog(host);
  for (QComboBox* combo :
       {dialog.cbStick1X, dialog.cbStick1Y, dialog.cbStick2X, dialog.cbStick2Y}) {
    EXPECT_FALSE(combo->isEnabled()) << FromQ(combo->objectName());
  }
  EXPECT_EQ(dialog.cbStick1X->itemText(7), QStringLiteral("Axis 8"));
}

TEST_F(TDeviceConfigDialogTest, DeadZoneAndJoystickNumberAreStoredWhileProcessingIsPaused) {
  TDeviceConfig& record = Add(kDirectInputGuid, "Stick", true);
  record.AnalogDeadZone = 1550;
  record.PreferredNumber = 4;
  host.watched = &record;
  TDeviceConfigDialog dialog(host);
  EXPECT_EQ(dialog.tbAnalogDeadZone->value(), 15);
  EXPECT_EQ(dialog.lblAnalogDeadZone->text(), QStringLiteral("15%"));
  EXPECT_EQ(record.AnalogDeadZone, 1550) << "showing a record changes nothing";
  ASSERT_EQ(dialog.cbJoystickNumber->count(), 51);
  EXPECT_EQ(dialog.cbJoystickNumber->itemText(0), QStringLiteral("指定なし (接続順)"));
  EXPECT_EQ(dialog.cbJoystickNumber->itemText(50), QStringLiteral("[50] Joystick"));
  EXPECT_EQ(dialog.cbJoystickNumber->currentIndex(), 5);
  EXPECT_TRUE(host.atPause.empty());

  dialog.tbAnalogDeadZone->setValue(20);
  dialog.tbAnalogDeadZone->setValue(15);
  EXPECT_EQ(record.AnalogDeadZone, 1500);
  EXPECT_EQ(dialog.lblAnalogDeadZone->text(), QStringLiteral("15%"));
  dialog.cbJoystickNumber->setCurrentIndex(2);
  EXPECT_EQ(record.PreferredNumber, 1);
  dialog.cbJoystickNumber->setCurrentIndex(0);
  EXPECT_EQ(record.PreferredNumber, -1);

  ASSERT_EQ(host.atPause.size(), 4u);
  ASSERT_EQ(host.atResume.size(), 4u);
  EXPECT_EQ(host.atPause[0].AnalogDeadZone, 1550);
  EXPECT_EQ(host.atResume[0].AnalogDeadZone, 2000) << "changed between pause and resume";
  EXPECT_EQ(host.atPause[2].PreferredNumber, 4);
  EXPECT_EQ(host.atResume[2].PreferredNumber, 1);
  EXPECT_EQ(host.timerDisabled, 0);
}

TEST_F(TDeviceConfigDialogTest, DisplayNameIsChangedThroughTheNameDialog) {
  TDeviceConfig& record = Add(kDirectInputGuid, "Generic Stick", true);
  const struct {
    const char* typed;
    std::string nameOverride;
  } cases[] = {{"Flight stick", "Flight stick"}, {"", "Flight stick"}};
  TDeviceConfigDialog dialog(host);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    QString title, prompt;
    testing::WhenModal<TInputNameDialog>([&](TInputNameDialog* names) {
      title = names->windowTitle();
      prompt = names->lblExplanation->text();
      names->editNewName->setText(QString::fromUtf8(c.typed));
      names->btnOK->click();
    });
    dialog.btnEditDeviceName->click();
    EXPECT_EQ(title, QStringLiteral("デバイスGeneric Stickの表示名の変更"));
    EXPECT_EQ(prompt, QStringLiteral("このデバイスの表示名を入力してください"));
    EXPECT_EQ(record.NameOverride, c.nameOverride);
    EXPECT_EQ(Entries(dialog),
              std::vector<std::string>{c.nameOverride + " [DirectInput] *接続中*"});
  }
}

TEST_F(TDeviceConfigDialogTest, ButtonNamesChooseTheDevicesTemplate) {
  TDeviceConfig& record = Add(kXInputGuid, "Pad", true);
  host.records.SetTemplateId(record, "XBOX");
  QString opened;
  testing::WhenModal<TDeviceTemplateDialog>([&](TDeviceTemplateDialog* templates) {
    opened = templates->cbTemplates->currentText();
    templates->cbTemplates->setCurrentIndex(
        templates->cbTemplates->findData(QStringLiteral("PS4")));
    templates->btnOk->click();
  });
  TDeviceConfigDialog dialog(host);
  dialog.btnEditButtonNames->click();
  EXPECT_EQ(opened, QStringLiteral("Xbox controller"));
  EXPECT_EQ(record.TemplateID, "PS4");
  ASSERT_NE(record.resolvedTemplate, nullptr);
  EXPECT_EQ(record.resolvedTemplate->Id(), "PS4");
}

TEST_F(TDeviceConfigDialogTest, PreviewsShowTheMappedAxesWhenTheCycleReportsAChange) {
  TDeviceConfig& record = Add(kDirectInputGuid, "Stick", true);
  record.axisMapping = {0, 1, 4, 5, 2, 3, 6, 7};
  record.lastAnalog = {10, -20, 0, 0, 30, 40, 0, -50};
  TDeviceConfigDialog dialog(host);
  EXPECT_EQ(dialog.pbStick1->Marker(), QPoint(60, 30));
  EXPECT_EQ(dialog.pbStick2->Marker(), QPoint(80, 90));
  EXPECT_EQ(dialog.pbAxis->Marker(7), 48);

  record.lastAnalog[0] = -50;
  record.lastAnalog[5] = 0;
  EXPECT_EQ(dialog.pbStick1->Marker(), QPoint(60, 30)) << "painted again on the report only";
  dialog.AxisValuesChanged();
  EXPECT_EQ(dialog.pbStick1->Marker(), QPoint(0, 30));
  EXPECT_EQ(dialog.pbStick2->Marker(), QPoint(80, 50));
  EXPECT_EQ(dialog.pbAxis->Marker(0), 48);

  dialog.cbStick1X->setCurrentIndex(4);
  EXPECT_EQ(dialog.pbStick1->Marker(), QPoint(80, 30)) << "a new mapping shows at once";
}

TEST_F(TDeviceConfigDialogTest, ControllerSettingsNameWhatToInstallWhenThereAreNone) {
  const struct {
    bool installed;
    QString message;
  } cases[] = {{true, QString()}, {false, QString::fromUtf8(kControllerSettingsMissing)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.installed);
    host.controllerSettingsTool = c.installed;
    TDeviceConfigDialog dialog(host);
    QString shown;
    if (!c.installed) testing::AnswerNextMessageBox(&shown);
    dialog.btnOpenControlPanel->click();
    EXPECT_EQ(shown, c.message);
  }
  EXPECT_EQ(host.controllerSettingsOpened, 2);
  EXPECT_NE(QString::fromUtf8(kControllerSettingsMissing).indexOf(QStringLiteral("jstest-gtk")),
            -1);
}

}  // namespace
}  // namespace brevanto
