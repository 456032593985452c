#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/ProfilePrompt.h"

namespace brevanto {

// A user who answers the profile commands' dialogs from a script, in order,
// and a record of every dialog shown. A dialog that finds no answer, or one
// meant for another kind of dialog, is noted in Problems() and answered with
// a cancel, so a command that asks more often than the script expects ends.
class ScriptedProfilePrompt final : public ProfilePrompt {
 public:
  // One dialog as it was shown.
  struct Exchange {
    enum class Kind { Name, Question, Error };
    Kind kind;
    std::string title;    // caption of the name input, title of a message box
    std::string text;     // prompt of the name input, text of a message box
    std::string initial;  // name input only
    bool withCancel = false;

    bool operator==(const Exchange&) const = default;
  };

  // Answers the next name input; "" is the Cancel button. The action runs
  // while the dialog is open, before the answer is given: what the rest of
  // the program may do meanwhile.
  ScriptedProfilePrompt& Name(std::string name, std::function<void()> whileOpen = {});
  // Answers the next question.
  ScriptedProfilePrompt& Reply(Answer answer);

  std::string AskName(const std::string& caption, const std::string& prompt,
                      const std::string& initial) override;
  Answer Ask(const std::string& title, const std::string& text, bool withCancel) override;
  void ShowError(const std::string& title, const std::string& text) override;

  const std::vector<Exchange>& Exchanges() const { return exchanges_; }
  // The error boxes' texts, in order.
  std::vector<std::string> Errors() const;
  // Script lines never used, and dialogs the script did not expect.
  std::size_t Unused() const { return script_.size(); }
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  struct Step {
    Exchange::Kind kind;
    std::string name;
    Answer answer = Answer::Cancel;
    std::function<void()> whileOpen;
  };
  bool Take(Exchange::Kind kind, Step& step);

  std::deque<Step> script_;
  std::vector<Exchange> exchanges_;
  std::vector<std::string> problems_;
};

}  // namespace brevanto
