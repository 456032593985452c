#pragma once

#include <string>

namespace brevanto {

// Port: the modal dialogs through which the profile commands talk to the
// user. Each call returns when the user has answered.
class ProfilePrompt {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~ProfilePrompt() = default;

  // The name input dialog: caption is the window title, prompt the text
  // above the field, initial the field's text when it opens. Returns the
  // name entered; empty when the user cancelled.
  virtual std::string AskName(const std::string& caption, const std::string& prompt,
                              const std::string& initial) = 0;

  // A question without an icon, with the buttons Yes and No, and Cancel when
  // withCancel is set. Closing the box answers Cancel (No without Cancel).
  virtual Answer Ask(const std::string& title, const std::string& text, bool withCancel) = 0;

  // An error message box with the stop icon.
  virtual void ShowError(const std::string& title, const std::string& text) = 0;
};

}  // namespace brevanto
