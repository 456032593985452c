#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include <filesystem>
#include <memory>

#include "support/DisplayLock.h"
#include "support/TempDir.h"
#include "ui/ApplicationFont.h"

// Every test process gets one QApplication: on the X server named by DISPLAY
// when there is one (`make test` provides Xvfb), else off screen. Windows
// that come and go move the focus, so on a real display the whole process
// takes its turn with the other tests that need the focus.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Without a session's runtime folder Qt makes one in the temporary folder
  // and leaves it there; a folder of this run's own goes with the run.
  std::unique_ptr<brevanto::testing::TempDir> runtime;
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    runtime = std::make_unique<brevanto::testing::TempDir>();
    std::filesystem::permissions(runtime->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime->path().string()));
  }
  std::unique_ptr<brevanto::testing::DisplayLock> lock;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    const char* display = std::getenv("DISPLAY");
    const bool real = display && *display;
    qputenv("QT_QPA_PLATFORM", real ? "xcb" : "offscreen");
    if (real) lock = std::make_unique<brevanto::testing::DisplayLock>();
  }
  QApplication app(argc, argv);
  brevanto::ApplyApplicationFont();
  return RUN_ALL_TESTS();
}
