// The tray icon of the running program: the picture says whether processing
// runs or the user paused it, whichever menu the pause came from.

#include <gtest/gtest.h>

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QSystemTrayIcon>

#include "program/ProgramInProcess.h"
#include "ui/AppIcons.h"
#include "ui/TMainForm.h"

namespace brevanto::testing {
namespace {

QImage Picture(const QIcon& icon) {
  return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

class TrayIconState : public ProgramInProcess {
 protected:
  QImage Shown() { return Picture(program->Form()->TrayIcon->icon()); }
};

TEST_F(TrayIconState, ShowsThePausedVariantWhilePaused) {
  const QImage running = Picture(TrayStateIcon(false));
  const QImage paused = Picture(TrayStateIcon(true));
  ASSERT_FALSE(running.isNull()) << "the SVG icon cannot be drawn (Qt's SVG plug-in missing?)";
  ASSERT_FALSE(paused.isNull());
  ASSERT_NE(running, paused);
  EXPECT_FALSE(Picture(ApplicationIcon()).isNull());

  ASSERT_TRUE(Start());
  TMainForm& form = *program->Form();
  EXPECT_EQ(Shown(), running);

  const struct {
    const char* menu;
    QAction* action;
  } menus[] = {{"main menu", form.MMDisableJoystick},
               {"tray menu", form.PMTaskTrayDisableJoystick}};
  for (const auto& m : menus) {
    SCOPED_TRACE(m.menu);
    m.action->trigger();
    ASSERT_TRUE(form.JoystickSuspended());
    EXPECT_EQ(Shown(), paused);
    m.action->trigger();
    ASSERT_FALSE(form.JoystickSuspended());
    EXPECT_EQ(Shown(), running);
  }
}

}  // namespace
}  // namespace brevanto::testing
