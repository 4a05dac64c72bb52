#pragma once
// The desktop face of UserPrompts: real message boxes, file and folder
// choosers with the system's Russian texts and captions.

#include <QPointer>
#include <QWidget>

class QFileDialog;

#include "platform/user_prompts.h"

namespace nuv {

class QtPrompts : public UserPrompts {
 public:
  // Dialogs are parented to `parent` (the main frame once it exists).
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  PromptAnswer Message(const std::string& text, const std::string& caption, PromptIcon icon,
                       PromptButtons buttons) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& startDir) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& startDir) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& startDir) override;
  void Beep() override;

 private:
  QPointer<QWidget> parent_;
};

// "Name|*.ext|Other|*.*||" turned into Qt's "Name (*.ext);;Other (*.*)"; a
// name that already shows its pattern in parentheses keeps its text.
QString QtFileFilter(const std::string& filter);
// The extension of a filter's first pattern ("wfdisc" of "wfdisc files|*.wfdisc||");
// empty when that pattern names no single extension ("*.*").
QString DefaultSuffix(const std::string& filter);
// A save dialog for `filter`: overwrite confirmation and the default extension.
void PrepareSaveDialog(QFileDialog& dialog, const std::string& filter);

}  // namespace nuv
