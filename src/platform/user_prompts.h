#pragma once
// Everything that asks or tells the analyst something: message boxes,
// questions, file and folder choosers and the beep. The desktop program shows
// real dialogs; tests and the command line install their own answers.

#include <optional>
#include <string>

namespace nuv {

enum class PromptIcon { None, Error, Warning, Information, Question, Exclamation };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// The application title, also the default caption of message boxes.
inline constexpr const char* kAppTitle = "Система обработки сейсмических данных";

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  virtual PromptAnswer Message(const std::string& text, const std::string& caption, PromptIcon icon,
                               PromptButtons buttons) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& startDir) = 0;
  // `filter` in the classic "Name|*.ext||" form.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& startDir) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& startDir) = 0;
  virtual void Beep() = 0;

  // Shorthands.
  void ShowError(const std::string& text, const std::string& caption = kAppTitle) {
    Message(text, caption, PromptIcon::Error, PromptButtons::Ok);
  }
  bool AskYesNo(const std::string& text, const std::string& caption,
                PromptIcon icon = PromptIcon::Question) {
    return Message(text, caption, icon, PromptButtons::YesNo) == PromptAnswer::Yes;
  }
};

}  // namespace nuv
