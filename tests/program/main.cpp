#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <memory>

#include "app/program/DisplayProbe.h"

// The sleep test serves a bus of its own from this process: it needs an
// application object for Qt's D-Bus. The tests that run the program inside
// this process need its window, so with a display the object is a
// QApplication, as in the program.
int main(int argc, char** argv) {
  std::unique_ptr<QCoreApplication> app;
  if (brevanto::DisplayAvailable()) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    app = std::make_unique<QApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
