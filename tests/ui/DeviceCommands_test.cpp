// The main window's commands that open the device configuration and the
// button label templates, on the fake host.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/device/DeviceTemplate.h"
#include "core/profile/ConfigFile.h"
#include "support/MainFormFixture.h"
#include "support/UiTestSupport.h"
#include "ui/dialogs/DevicePreviews.h"
#include "ui/dialogs/TDeviceConfigDialog.h"
#include "ui/dialogs/TDeviceTemplateDialog.h"

namespace brevanto {
namespace {

class DeviceCommandsTest : public testing::TMainFormTest {
 protected:
  DeviceCommandsTest() {
    // Profiles that resolve template ids, as the program's do.
    for (auto& profile : host.profiles) {
      profile = std::make_unique<ConfigFile>(&host.templates);
      profile->NumberOfButtons = 4;
      profile->modified = false;
    }
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (int i = 0; i < form->lvButtonList->topLevelItemCount(); ++i) {
      captions.push_back(form->lvButtonList->topLevelItem(i)->text(0).toStdString());
    }
    return captions;
  }
  bool Shows(const std::string& caption) const {
    const std::vector<std::string> captions = Captions();
    return std::find(captions.begin(), captions.end(), caption) != captions.end();
  }
  // Chooses the template with this id in the next template dialog and
  // closes it with OK; opened receives the name it opened on.
  static void ChooseTemplate(const char* id, QString* opened) {
    testing::WhenModal<TDeviceTemplateDialog>([id, opened](TDeviceTemplateDialog* dialog) {
      *opened = dialog->cbTemplates->currentText();
      dialog->cbTemplates->setCurrentIndex(dialog->cbTemplates->findData(QString::fromLatin1(id)));
      dialog->btnOk->click();
    });
  }
};

TEST_F(DeviceCommandsTest, DeviceDialogIsPublishedWhileOpenWithDetectionAroundIt) {
  TDeviceConfig& record = host.records.FindOrCreate("{11111111-2222-3333-4444-555555555555}");
  record.present = true;
  record.axisMapping = {0, 1, 2, 3, 4, 5, 6, 7};
  Create();
  const struct {
    const char* name;
    std::function<void(TMainForm&)> open;
  } ways[] = {
      {"menu", [](TMainForm& f) { f.MMJoystickProperty->trigger(); }},
      {"options page", [](TMainForm& f) { f.btnCalibrate->click(); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    host.published.clear();
    host.redetections = host.forcedRedetections = host.settingsSaves = 0;
    record.lastAnalog = {};
    bool seen = false;
    testing::WhenModal<TDeviceConfigDialog>([&](TDeviceConfigDialog* dialog) {
      seen = true;
      EXPECT_EQ(form->DeviceDialog(), dialog);
      EXPECT_EQ(host.redetections, 1);
      EXPECT_EQ(host.forcedRedetections, 0) << "the window is updated only on a change";
      EXPECT_EQ(host.published, std::vector<WindowId>{static_cast<WindowId>(dialog->winId())});
      EXPECT_NE(host.published.front(), kNoWindow);
      EXPECT_EQ(host.timerDisabled, 0);
      EXPECT_EQ(host.settingsSaves, 0);
      // The cycle's report reaches the open dialog.
      record.lastAnalog[0] = 25;
      EXPECT_TRUE(form->HandleMessage(PostedMessage{WM_BRV_ANALOG_CHANGED, 0, 0}));
      EXPECT_EQ(dialog->pbStick1->Marker(), QPoint(75, 50));
      dialog->btnClose->click();
    });
    way.open(*form);
    EXPECT_TRUE(seen);
    EXPECT_EQ(form->DeviceDialog(), nullptr);
    ASSERT_EQ(host.published.size(), 2u);
    EXPECT_EQ(host.published.back(), kNoWindow);
    EXPECT_TRUE(host.publishedWhilePaused);
    EXPECT_EQ(host.settingsSaves, 1);
    EXPECT_EQ(host.redetections, 2);
    EXPECT_EQ(host.forcedRedetections, 1) << "the window is updated after the dialog in any case";
    EXPECT_EQ(host.timerDisabled, 0);
  }
  EXPECT_TRUE(form->HandleMessage(PostedMessage{WM_BRV_ANALOG_CHANGED, 0, 0}))
      << "a late report after closing is dropped";
}

TEST_F(DeviceCommandsTest, DeviceTemplateChosenInTheDialogLabelsTheRowsAndIsSaved) {
  host.devices.emplace_back("045E028E-1", DeviceDefaults{});
  host.records.SetTemplateId(host.devices[0], "XBOX");
  Create();
  ASSERT_TRUE(Shows("[1] A"));
  ASSERT_TRUE(form->PMEditDeviceTemplate->isEnabled());
  QString opened;
  ChooseTemplate("PS4", &opened);
  form->PMEditDeviceTemplate->trigger();
  EXPECT_EQ(opened, QStringLiteral("Xbox controller"));
  EXPECT_EQ(host.devices[0].TemplateID, "PS4");
  EXPECT_EQ(host.settingsSaves, 1);
  EXPECT_TRUE(Shows("[1] □")) << ::testing::PrintToString(Captions());
  EXPECT_FALSE(host.Profile(0).modified) << "a device's template is no part of the profile";
}

TEST_F(DeviceCommandsTest, TabTemplateChosenInTheDialogMarksTheProfileModified) {
  Create();
  ASSERT_TRUE(Shows("[1] Button"));
  ASSERT_TRUE(form->PMSpecifyTabTemplate2->isEnabled());
  QString opened;
  ChooseTemplate("SWITCH", &opened);
  form->PMSpecifyTabTemplate2->trigger();
  EXPECT_EQ(opened, QStringLiteral("Default")) << "a tab without a template opens DEFAULT";
  const ProfileJoystick* joystick = host.Profile(0).Joystick(0);
  EXPECT_EQ(joystick->DefaultTemplateId, "SWITCH");
  ASSERT_NE(joystick->resolvedTemplate, nullptr);
  EXPECT_TRUE(host.Profile(0).modified);
  EXPECT_TRUE(Shows("[1] B")) << ::testing::PrintToString(Captions());
}

}  // namespace
}  // namespace brevanto
