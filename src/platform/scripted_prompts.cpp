#include "platform/scripted_prompts.h"

namespace nuv {

PromptAnswer ScriptedPrompts::Message(const std::string& text, const std::string& caption,
                                      PromptIcon icon, PromptButtons buttons) {
  records.push_back({"message", text, caption, icon, buttons});
  if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
  if (answers.empty()) return defaultAnswer;
  const PromptAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompts::NextPath(const std::string& kind,
                                                     const std::string& title) {
  records.push_back({kind, title, "", PromptIcon::None, PromptButtons::Ok});
  if (paths.empty()) return std::nullopt;
  std::string path = paths.front();
  paths.pop_front();
  return path;
}

std::optional<std::string> ScriptedPrompts::ChooseFolder(const std::string& title,
                                                         const std::string&) {
  return NextPath("folder", title);
}

std::optional<std::string> ScriptedPrompts::ChooseOpenFile(const std::string& title,
                                                           const std::string&, const std::string&) {
  return NextPath("open", title);
}

std::optional<std::string> ScriptedPrompts::ChooseSaveFile(const std::string& title,
                                                           const std::string&, const std::string&) {
  return NextPath("save", title);
}

void ScriptedPrompts::Beep() {
  records.push_back({"beep", "", "", PromptIcon::None, PromptButtons::Ok});
}

std::vector<std::string> ScriptedPrompts::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Record& record : records)
    if (record.kind == "message") texts.push_back(record.text);
  return texts;
}

}  // namespace nuv
