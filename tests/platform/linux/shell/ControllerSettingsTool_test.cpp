#include "platform/linux/shell/ControllerSettingsTool.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace brevanto {
namespace {

TEST(ControllerSettingsToolTest, TakesTheFirstInstalledToolInOrderOfPreference) {
  const struct {
    const char* name;
    std::set<std::string> installed;
    std::optional<std::string> program;
    std::string parameters;
  } cases[] = {
      {"everything", {"jstest-gtk", "kcmshell6", "kcmshell5"}, "/usr/bin/jstest-gtk", ""},
      {"Plasma 6", {"kcmshell6", "kcmshell5"}, "/usr/bin/kcmshell6", "kcm_gamecontroller"},
      {"Plasma 5", {"kcmshell5"}, "/usr/bin/kcmshell5", "kcm_gamecontroller"},
      {"nothing", {}, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ControllerSettingsTool> tool =
        FindControllerSettingsTool([&](const std::string& name) -> std::optional<std::string> {
          if (!c.installed.count(name)) return std::nullopt;
          return "/usr/bin/" + name;
        });
    ASSERT_EQ(tool.has_value(), c.program.has_value());
    if (!tool) continue;
    EXPECT_EQ(tool->program, *c.program);
    EXPECT_EQ(tool->parameters, c.parameters);
  }
}

}  // namespace
}  // namespace brevanto
