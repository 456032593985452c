// The installed desktop entry against the running program: the desktop finds
// the program's window by the entry's window class, and the autostart entry
// the program writes shows the same icon as the menu.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/linux/autostart/XdgAutoStart.h"
#include "program/ProgramInProcess.h"
#include "ui/TMainForm.h"

// After Qt, whose headers must not see Xlib's macros.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

namespace brevanto::testing {
namespace {

std::map<std::string, std::string> EntryKeys(const std::string& text) {
  std::map<std::string, std::string> keys;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) keys.emplace(line.substr(0, equals), line.substr(equals + 1));
  }
  return keys;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class DesktopEntry : public ProgramInProcess {};

TEST_F(DesktopEntry, NamesTheWindowClassAndTheIconTheProgramUses) {
  const std::map<std::string, std::string> entry = EntryKeys(FileText(BREVANTO_DESKTOP_ENTRY));
  ASSERT_TRUE(entry.count("StartupWMClass")) << BREVANTO_DESKTOP_ENTRY;
  ASSERT_TRUE(entry.count("Icon"));

  ASSERT_TRUE(Start());
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XClassHint hint{};
  ASSERT_NE(XGetClassHint(display, static_cast<Window>(program->Form()->winId()), &hint), 0);
  const std::string windowClass = hint.res_class ? hint.res_class : "";
  XFree(hint.res_name);
  XFree(hint.res_class);
  XCloseDisplay(display);
  EXPECT_EQ(windowClass, entry.at("StartupWMClass"));

  EXPECT_EQ(EntryKeys(AutoStartEntryText("/usr/bin/brevanto")).at("Icon"), entry.at("Icon"));
}

}  // namespace
}  // namespace brevanto::testing
