#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/ApplicationFont.h"

// Every test process gets one QApplication: on the X server named by DISPLAY
// when there is one (`make test` provides Xvfb), else off screen.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    const char* display = std::getenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", display && *display ? "xcb" : "offscreen");
  }
  QApplication app(argc, argv);
  brevanto::ApplyApplicationFont();
  return RUN_ALL_TESTS();
}
