#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ports/ProfilePrompt.h"

namespace brevanto {

// The profile commands' dialogs as modal Qt windows over the main window:
// the name input dialog and plain message boxes.
class QtProfilePrompt final : public ProfilePrompt {
 public:
  explicit QtProfilePrompt(QWidget* parent = nullptr) : parent_(parent) {}

  std::string AskName(const std::string& caption, const std::string& prompt,
                      const std::string& initial) override;
  Answer Ask(const std::string& title, const std::string& text, bool withCancel) override;
  void ShowError(const std::string& title, const std::string& text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace brevanto
