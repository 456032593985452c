#include "ui/Screenshots.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <filesystem>

#include "core/applink/AppLinkManager.h"
#include "core/input/VirtualButton.h"
#include "support/MainFormFixture.h"
#include "support/TempDir.h"
#include "support/UiTestSupport.h"
#include "ui/Highlight.h"

namespace brevanto {
namespace {

using testing::TMainFormTest;

double MeanLightness(const QImage& image) {
  double sum = 0;
  int n = 0;
  for (int y = 0; y < image.height(); y += 4) {
    for (int x = 0; x < image.width(); x += 4) {
      sum += image.pixelColor(x, y).lightness();
      ++n;
    }
  }
  return n ? sum / n : 0;
}

bool HasColour(const QImage& image, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) return true;
    }
  }
  return false;
}

TEST_F(TMainFormTest, ScreenshotsShowTheWindowInBothThemesAndLeaveItAsItWas) {
  host.Profile(0).NumberOfButtons = 4;
  host.states[0].pressed[PlainButton(2)] = true;
  host.states[0].anyPressed = true;
  Create();
  form->tcJoystick->setCurrentIndex(1);
  testing::TempDir dir;
  std::string error;
  const std::vector<std::string> files = WriteScreenshots(*form, dir.path().string(), error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(files,
            (std::vector<std::string>{dir.File("main-window.png"), dir.File("options.png"),
                                      dir.File("tray-menu.png"), dir.File("about.png"),
                                      dir.File("assign-keyboard.png"), dir.File("assign-multi.png"),
                                      dir.File("assign-mouse.png"), dir.File("assign-position.png"),
                                      dir.File("assign-text.png"), dir.File("assign-special.png"),
                                      dir.File("main-window-dark.png"), dir.File("preferences.png"),
                                      dir.File("device-config.png"), dir.File("templates.png")}));
  std::vector<QImage> images;
  for (const std::string& file : files) {
    images.emplace_back(QString::fromStdString(file));
    EXPECT_FALSE(images.back().isNull()) << file;
  }
  const QImage& light = images[0];
  const QImage& dark = images[10];
  for (std::size_t page = 4; page < 10; ++page) {
    EXPECT_NE(images[page], images[page == 4 ? 5 : page - 1]) << "each page is its own picture";
  }
  // The tray icon (the running controller, blue) is drawn below the menu.
  const QImage& tray = images[2];
  const int strip = kScreenshotTrayStripHeight * tray.devicePixelRatio();
  ASSERT_GT(tray.height(), strip);
  const QImage panel = tray.copy(0, tray.height() - strip, tray.width(), strip);
  EXPECT_TRUE(HasColour(panel, QColor(0x25, 0x63, 0xa8))) << "no tray icon under the menu";
  EXPECT_FALSE(
      HasColour(tray.copy(0, 0, tray.width(), tray.height() - strip), QColor(0x25, 0x63, 0xa8)));
  EXPECT_EQ(light.size(), dark.size());
  EXPECT_NE(light, images[1]) << "the options page is another picture";
  EXPECT_LT(MeanLightness(dark) + 50, MeanLightness(light));
  if (testing::OnRealDisplay()) {
    EXPECT_TRUE(HasColour(light, HighlightColour(0))) << "the held button is highlighted";
  }

  EXPECT_FALSE(host.settings.DarkMode);
  EXPECT_FALSE(form->MMDarkMode->isChecked());
  EXPECT_TRUE(host.processing);
  EXPECT_EQ(form->tcJoystick->currentIndex(), 1);
  EXPECT_FALSE(form->PMTaskTray->isVisible());
}

TEST_F(TMainFormTest, ScreenshotsShowTheApplicationLinksWhereTheProgramHasThem) {
  testing::TempDir dir;
  AppLinkManager links(dir.Dir());
  links.Replace({{"Browser", "Race", "firefox", ""}}, AppLinkManager::kLastSelected, "");
  host.appLinks = &links;
  Create();
  std::string error;
  const std::vector<std::string> files = WriteScreenshots(*form, dir.path().string(), error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(files,
            (std::vector<std::string>{dir.File("main-window.png"), dir.File("options.png"),
                                      dir.File("tray-menu.png"), dir.File("about.png"),
                                      dir.File("applinks.png"), dir.File("applink-item.png"),
                                      dir.File("assign-keyboard.png"), dir.File("assign-multi.png"),
                                      dir.File("assign-mouse.png"), dir.File("assign-position.png"),
                                      dir.File("assign-text.png"), dir.File("assign-special.png"),
                                      dir.File("main-window-dark.png"), dir.File("preferences.png"),
                                      dir.File("device-config.png"), dir.File("templates.png")}));
  const QImage list(QString::fromStdString(files[4]));
  const QImage item(QString::fromStdString(files[5]));
  EXPECT_GE(list.width(), 680) << "the four columns are in the picture";
  EXPECT_FALSE(item.isNull());
  EXPECT_NE(list.size(), item.size());
  EXPECT_EQ(links.Links().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(links.FilePath())) << "taking pictures saves nothing";
}

TEST_F(TMainFormTest, ScreenshotsIntoAMissingFolderReportIt) {
  Create();
  std::string error;
  const std::vector<std::string> files = WriteScreenshots(*form, "/nonexistent/shots", error);
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(error, "cannot write /nonexistent/shots/main-window.png");
  EXPECT_FALSE(host.settings.DarkMode);
}

}  // namespace
}  // namespace brevanto
