#pragma once

#include <QApplication>
#include <string>
#include <vector>

#include "core/profile/ConfigFile.h"
#include "ui/CapturedKey.h"
#include "ui/dialogs/TAssignDialog.h"

namespace brevanto::testing {

// A profile of three slots and three profile names for the assignment
// dialog, with the key of every key-down recorded as the main window does.
class TestAssignDialogHost : public AssignDialogHost {
 public:
  TestAssignDialogHost() {
    profile.SetNumberOfJoysticks(3);
    profile.modified = false;
    qApp->installEventFilter(&recorder);
  }
  ~TestAssignDialogHost() override { qApp->removeEventFilter(&recorder); }

  ConfigFile* CurrentProfile() override { return &profile; }
  std::vector<std::string> ProfileNames() const override { return names; }
  std::string SlotCaption(int slot) const override {
    return "[" + std::to_string(slot + 1) + "] Pad";
  }
  const TDeviceTemplate* SlotTemplate(int) const override { return nullptr; }
  CapturedKey LastKey() const override { return recorder.Last(); }
  void OpenWebPage(const std::string& path) override { pages.push_back(path); }
  void BeginRecordChange(ButtonAssignment&) override { ++changes; }
  void EndRecordChange(ButtonAssignment& record) override { record.Derive(); }

  ButtonAssignment& Record(int slot, int button) { return profile.Joystick(slot)->Button(button); }

  ConfigFile profile;
  std::vector<std::string> names = {"Race", "Shooter", "Puzzle"};
  CapturedKeyRecorder recorder;
  std::vector<std::string> pages;
  int changes = 0;
};

}  // namespace brevanto::testing
