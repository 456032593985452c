#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTabBar>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeMainFormHost.h"
#include "ui/TMainForm.h"

namespace brevanto::testing {

// A main window on the fake host, with the sounds it plays recorded.
class TMainFormTest : public ::testing::Test {
 protected:
  void Create() {
    Construct();
    form->Initialize();
  }
  // The window before its part of start-up, for tests that watch start-up.
  void Construct() {
    auto sound = std::make_unique<RecordingSoundPlayer>();
    played = sound->played;
    stopped = sound->stopped;
    form = std::make_unique<TMainForm>(host, std::move(sound));
    host.form = form.get();
  }

  std::vector<int> Rows() const {
    std::vector<int> rows;
    for (int i = 0; i < form->lvButtonList->topLevelItemCount(); ++i) {
      rows.push_back(form->lvButtonList->topLevelItem(i)->data(0, Qt::UserRole).toInt());
    }
    return rows;
  }
  std::vector<std::string> Tabs() const {
    std::vector<std::string> tabs;
    for (int i = 0; i < form->tcJoystick->count(); ++i) {
      tabs.push_back(form->tcJoystick->tabText(i).toStdString());
    }
    return tabs;
  }
  static void Settle() { QCoreApplication::processEvents(); }

  FakeMainFormHost host;
  std::unique_ptr<TMainForm> form;
  std::shared_ptr<std::vector<std::string>> played;
  std::shared_ptr<int> stopped;
};

}  // namespace brevanto::testing
