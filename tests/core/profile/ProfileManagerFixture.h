#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/applink/AppLinkManager.h"
#include "core/device/DeviceTemplateManager.h"
#include "core/processing/Messages.h"
#include "core/profile/ConfigFileManager.h"
#include "core/settings/GlobalSettings.h"
#include "core/text/NameCollation.h"
#include "platform/fake/RecordingMessageSink.h"
#include "platform/fake/ScriptedProfilePrompt.h"
#include "support/FakeProfileCycle.h"
#include "support/TempDir.h"

namespace brevanto::testing {

// A data directory with profiles that tell themselves apart by their
// Threshold, and a manager over it with every port faked. Whatever a test
// does, no change may reach the cycle unpaused and the scripted user must
// have been asked exactly what the script answers.
class ProfileManagerTest : public ::testing::Test {
 protected:
  static std::string ProfileText(int threshold) {
    return "[General]\nFileVersion=70\nThreshold=" + std::to_string(threshold) + "\n";
  }

  void WriteProfile(const std::string& name, int threshold) const {
    dir.Write(name + ".cfg", ProfileText(threshold));
  }
  std::string FileText(const std::string& name) const { return ReadBytes(dir.File(name)); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir.File(name)); }

  // Writes profiles with thresholds 1, 2, 3, ... in the order given and
  // lists them.
  ConfigFileManager& Start(std::initializer_list<const char*> names = {}) {
    int threshold = 1;
    for (const char* name : names) WriteProfile(name, threshold++);
    manager = std::make_unique<ConfigFileManager>(dir.Dir(), settings, messages, cycle, collation);
    manager->SetAppLinks(&links);
    manager->SetTemplates(templates);
    manager->LoadList();
    cycle.Clear();
    messages.Clear();
    return *manager;
  }

  int Index(const std::string& name) const {
    const std::vector<std::string> names = manager->Names();
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
  }
  std::string LastSelectedName() const {
    const std::vector<std::string> names = manager->Names();
    const int last = manager->LastSelected();
    return last >= 0 && last < static_cast<int>(names.size())
               ? names[static_cast<std::size_t>(last)]
               : std::string("<none>");
  }
  int ProfileChangedPosts() const {
    int n = 0;
    for (const PostedMessage& m : messages.Messages()) {
      if (m == PostedMessage{WM_BRV_PROFILE_CHANGED, 0, 0}) ++n;
    }
    return n;
  }

  void TearDown() override {
    EXPECT_EQ(cycle.unpausedChanges, 0) << "cycle data changed while the cycle ran";
    EXPECT_EQ(cycle.misuses, 0) << "pause from inside a cycle, nested or unbalanced";
    EXPECT_FALSE(cycle.paused);
    EXPECT_TRUE(prompt.Problems().empty()) << ::testing::PrintToString(prompt.Problems());
    EXPECT_EQ(prompt.Unused(), 0u);
  }

  TempDir dir;
  GlobalSettings settings;
  RecordingMessageSink messages;
  FakeProfileCycle cycle;
  ScriptedProfilePrompt prompt;
  // Code-point collation, so the expected orders do not follow the locale of
  // whoever runs the tests.
  NameCollation collation{"C.UTF-8"};
  AppLinkManager links{"/unused/"};
  // The label templates a test hands to the manager; none by default.
  const DeviceTemplateManager* templates = nullptr;
  std::unique_ptr<ConfigFileManager> manager;
};

}  // namespace brevanto::testing
