// The program as it runs, in this process: a link added through the
// application-link dialogs switches the profile when the linked program's
// window becomes the active one, through the program's own window tracker
// and processing cycle.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/program/BrevantoProgram.h"
#include "app/program/ProgramOptions.h"
#include "core/applink/AppLinkManager.h"
#include "support/ActiveWindowProbe.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/UiTestSupport.h"
#include "ui/TMainForm.h"
#include "ui/dialogs/TAppLinkDialog.h"
#include "ui/dialogs/TAppLinkItemDialog.h"

namespace brevanto {
namespace {

TEST(AppLinkSwitching, ALinkAddedInTheDialogSwitchesWhenItsWindowBecomesActive) {
  if (!testing::OnRealDisplay()) GTEST_SKIP() << "needs an X display (make test runs Xvfb)";
  testing::TempDir root;
  const std::string dataDir = root.Dir() + "data/";
  std::filesystem::create_directories(dataDir);
  std::filesystem::create_directories(root.File("runtime"));
  ::chmod(root.File("runtime").c_str(), 0700);
  // Nothing of the user's session: the instance files, buses and autostart
  // folder are the test's own.
  testing::ScopedEnvironment environment(
      {{"XDG_RUNTIME_DIR", root.File("runtime")},
       {"XDG_CONFIG_HOME", root.File("config")},
       {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + root.File("no-bus")},
       {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root.File("no-bus")}});
  for (const char* name : {"Race.cfg", "Shooter.cfg"}) {
    root.Write(std::string("data/") + name, "[General]\r\nFileVersion=70\r\n");
  }
  root.Write("data/Brevanto.ini", "[LastStatus]\r\nFileName=Race\r\n");

  const std::vector<std::string> arguments = {"brevanto", "--no-uinput", "--data-dir", dataDir};
  ProgramOptions options = ParseProgramOptions(arguments);
  ASSERT_EQ(options.error, "");
  std::vector<const char*> argv;
  for (const std::string& a : arguments) argv.push_back(a.c_str());
  BrevantoProgram program(
      StartupContext::FromProcess(static_cast<int>(argv.size()), argv.data(), nullptr),
      std::move(options), /*windowed=*/true);
  ASSERT_EQ(program.Start(), std::nullopt);
  ASSERT_NE(program.Form(), nullptr);
  ASSERT_EQ(program.ProfileNames(), (std::vector<std::string>{"Race", "Shooter"}));
  ASSERT_EQ(program.CurrentProfileIndex(), 0);
  ASSERT_TRUE(program.Form()->MMAppLink->isEnabled());

  testing::WhenModal<TAppLinkDialog>([](TAppLinkDialog* list) {
    testing::WhenModal<TAppLinkItemDialog>([](TAppLinkItemDialog* item) {
      QTest::keyClicks(item->EditAppName, QStringLiteral("Probe"));
      QTest::keyClicks(item->EditPath, QStringLiteral("active_window_probe"));
      item->CBConfigFile->setCurrentIndex(2);
      item->btnOK->click();
    });
    list->btnAdd->click();
    list->btnOK->click();
  });
  program.Form()->MMAppLink->trigger();

  ASSERT_NE(program.AppLinks(), nullptr);
  const std::vector<AppLink> expected = {{"Probe", "Shooter", "active_window_probe", ""}};
  EXPECT_EQ(program.AppLinks()->Links(), expected);
  AppLinkManager saved(dataDir);
  saved.Load();
  EXPECT_EQ(saved.Links(), expected);

  {
    auto probe = testing::ActiveWindowProbe::Start({"--title=Linked program"});
    ASSERT_NE(probe, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.CurrentProfileIndex() == 1; }, 10000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return program.Form()->Caption().ends_with(" : Shooter"); }, 5000))
        << program.Form()->Caption();
  }
  // Its window gone, no link matches: back to the profile chosen before.
  EXPECT_TRUE(QTest::qWaitFor([&] { return program.CurrentProfileIndex() == 0; }, 10000));
  program.Shutdown();
}

}  // namespace
}  // namespace brevanto
