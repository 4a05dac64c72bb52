#pragma once
// A UserPrompts that records every prompt and answers from a script: tests
// use it to answer questions without a screen, the command line to report
// messages on standard error.

#include <deque>
#include <string>
#include <vector>

#include "platform/user_prompts.h"

namespace nuv {

class ScriptedPrompts : public UserPrompts {
 public:
  struct Record {
    std::string kind;  // "message", "folder", "open", "save", "beep"
    std::string text;
    std::string caption;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
  };

  // Answers given in order; when the queue is empty, questions get
  // `defaultAnswer` and choosers get nothing (as if cancelled).
  std::deque<PromptAnswer> answers;
  std::deque<std::string> paths;
  PromptAnswer defaultAnswer = PromptAnswer::No;
  std::vector<Record> records;

  PromptAnswer Message(const std::string& text, const std::string& caption, PromptIcon icon,
                       PromptButtons buttons) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& startDir) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& startDir) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& startDir) override;
  void Beep() override;

  // Texts of the messages shown, in order.
  std::vector<std::string> MessageTexts() const;

 private:
  std::optional<std::string> NextPath(const std::string& kind, const std::string& title);
};

}  // namespace nuv
