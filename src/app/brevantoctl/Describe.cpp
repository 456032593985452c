#include "app/brevantoctl/Describe.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/device/DeviceTemplateManager.h"
#include "core/engine/AssignmentText.h"
#include "core/profile/ButtonListRows.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/AtomicFile.h"
#include "core/text/NumberText.h"

namespace brevanto::ctl {
namespace {

int Usage() {
  std::fprintf(stderr, "usage: brevantoctl describe PROFILE.cfg [--joystick N]\n");
  return 2;
}

// Tabs and line breaks inside a field would break the columns.
std::string Field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

int RunDescribe(int argc, char** argv) {
  std::string path;
  int joystick = 1;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string number;
    if (arg == "--joystick" && i + 1 < argc) {
      number = argv[++i];
    } else if (arg.rfind("--joystick=", 0) == 0) {
      number = arg.substr(std::strlen("--joystick="));
    } else if (path.empty() && arg.rfind("--", 0) != 0) {
      path = arg;
      continue;
    } else {
      return Usage();
    }
    std::size_t pos = 0;
    long long value = 0;
    if (!ScanInt(number, pos, value) || pos != number.size() || value < 1 ||
        value > kMaxJoysticks) {
      std::fprintf(stderr, "brevantoctl describe: --joystick takes a number from 1 to %d\n",
                   kMaxJoysticks);
      return 2;
    }
    joystick = static_cast<int>(value);
  }
  if (path.empty()) return Usage();

  // Labels come from the templates kept beside the profile; the file is only read.
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  const DeviceTemplateManager templates((folder / "templates.json").string(),
                                        DeviceTemplateManager::Mode::ReadOnly);
  ConfigFile profile(&templates);
  if (profile.Load(path) != FileReadStatus::Ok) {
    std::fprintf(stderr, "brevantoctl describe: cannot read %s\n", path.c_str());
    return 1;
  }
  if (joystick > profile.NumberOfJoysticks()) {
    std::fprintf(stderr, "brevantoctl describe: the profile has %d joystick(s)\n",
                 profile.NumberOfJoysticks());
    return 2;
  }

  // No controller is attached: the slot's own template applies.
  const ProfileJoystick& slot = *profile.Joystick(joystick - 1);

  for (int index : ButtonListRows(profile)) {
    const ButtonAssignment& record = slot.Button(index);
    std::printf("%s\t%s\t%s\t%s\n", Field(RowCaption(record, nullptr, slot)).c_str(),
                Field(AssignmentText(record)).c_str(), Field(RepeatText(record)).c_str(),
                Field(record.comment).c_str());
  }
  return 0;
}

}  // namespace brevanto::ctl
