// The main window's commands that open the device settings and the button
// label templates.

#include <QTabBar>
#include <memory>

#include "core/device/DeviceConfig.h"
#include "core/device/DeviceConfigManager.h"
#include "core/device/DeviceTemplate.h"
#include "core/log/Logger.h"
#include "core/profile/ConfigFile.h"
#include "ui/MainFormHost.h"
#include "ui/TMainForm.h"
#include "ui/dialogs/TDeviceConfigDialog.h"
#include "ui/dialogs/TDeviceTemplateDialog.h"

namespace brevanto {

void TMainForm::MMJoystickPropertyClick() {
  LOG_DEBUG("Opening DeviceConfigDialog...");
  host_.RedetectDevices(false);
  auto dialog = std::make_unique<TDeviceConfigDialog>(host_, this);
  host_.TimerDisable();
  host_.PublishDeviceDialog(static_cast<WindowId>(dialog->winId()));
  deviceDialog_ = dialog.get();
  host_.TimerEnable();
  dialog->exec();
  LOG_DEBUG("Closed DeviceConfigDialog");
  host_.SaveSettings();
  host_.TimerDisable();
  host_.PublishDeviceDialog(kNoWindow);
  deviceDialog_ = nullptr;
  dialog.reset();
  host_.RedetectDevices(true);
  host_.TimerEnable();
}

void TMainForm::PMEditDeviceTemplateClick() {
  const int slot = ShownSlot();
  if (slot < 0 || slot >= host_.DetectedDeviceCount()) return;
  TDeviceConfig* device = host_.SlotDevice(slot);
  if (!device) return;
  const TDeviceTemplate* current = device->resolvedTemplate;
  const std::string id = TDeviceTemplateDialog::Choose(
      host_.Templates(), current ? current->Id() : std::string(), this);
  host_.TimerDisable();
  host_.Devices().SetTemplateId(*device, id);
  host_.TimerEnable();
  host_.SaveSettings();
  Rebuild();
}

void TMainForm::PMSpecifyTabTemplateClick() {
  ConfigFile* p = Profile();
  ProfileJoystick* joystick = ShownJoystick();
  if (!p || !joystick) return;
  const std::string id =
      TDeviceTemplateDialog::Choose(host_.Templates(), joystick->DefaultTemplateId, this);
  host_.TimerDisable();
  p->SetDefaultTemplateId(ShownSlot(), id);
  host_.TimerEnable();
  MarkModified();
  Rebuild();
}

}  // namespace brevanto
