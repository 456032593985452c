#include "platform/fake/ScriptedProfilePrompt.h"

namespace brevanto {

ScriptedProfilePrompt& ScriptedProfilePrompt::Name(std::string name,
                                                   std::function<void()> whileOpen) {
  script_.push_back(
      Step{Exchange::Kind::Name, std::move(name), Answer::Cancel, std::move(whileOpen)});
  return *this;
}

ScriptedProfilePrompt& ScriptedProfilePrompt::Reply(Answer answer) {
  script_.push_back(Step{Exchange::Kind::Question, {}, answer, {}});
  return *this;
}

bool ScriptedProfilePrompt::Take(Exchange::Kind kind, Step& step) {
  const Exchange& shown = exchanges_.back();
  if (script_.empty()) {
    problems_.push_back("no answer left for: " + shown.title + " | " + shown.text);
    return false;
  }
  if (script_.front().kind != kind) {
    problems_.push_back("script expected another dialog than: " + shown.title + " | " + shown.text);
    return false;
  }
  step = std::move(script_.front());
  script_.pop_front();
  return true;
}

std::string ScriptedProfilePrompt::AskName(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) {
  exchanges_.push_back(Exchange{Exchange::Kind::Name, caption, prompt, initial, false});
  Step step;
  if (!Take(Exchange::Kind::Name, step)) return {};
  if (step.whileOpen) step.whileOpen();
  return step.name;
}

ProfilePrompt::Answer ScriptedProfilePrompt::Ask(const std::string& title, const std::string& text,
                                                 bool withCancel) {
  exchanges_.push_back(Exchange{Exchange::Kind::Question, title, text, {}, withCancel});
  Step step;
  if (!Take(Exchange::Kind::Question, step)) return withCancel ? Answer::Cancel : Answer::No;
  if (step.answer == Answer::Cancel && !withCancel) {
    problems_.push_back("Cancel given to a question without Cancel: " + text);
    return Answer::No;
  }
  return step.answer;
}

void ScriptedProfilePrompt::ShowError(const std::string& title, const std::string& text) {
  exchanges_.push_back(Exchange{Exchange::Kind::Error, title, text, {}, false});
}

std::vector<std::string> ScriptedProfilePrompt::Errors() const {
  std::vector<std::string> errors;
  for (const Exchange& e : exchanges_) {
    if (e.kind == Exchange::Kind::Error) errors.push_back(e.text);
  }
  return errors;
}

}  // namespace brevanto
