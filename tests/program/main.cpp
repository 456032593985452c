#include <gtest/gtest.h>

#include <QCoreApplication>

// The sleep test serves a bus of its own from this process: it needs an
// application object for Qt's D-Bus.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
