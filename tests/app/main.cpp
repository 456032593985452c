#include <gtest/gtest.h>

#include <QCoreApplication>

// The Qt adapters need an application object for their event loop and for
// D-Bus.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
