#include "app/ui/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace nuv {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Error:
      return QMessageBox::Critical;
    case PromptIcon::Warning:
    case PromptIcon::Exclamation:
      return QMessageBox::Warning;
    case PromptIcon::Information:
      return QMessageBox::Information;
    case PromptIcon::Question:
      return QMessageBox::Question;
    case PromptIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
  QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString name = parts[i];
    const QString pattern = parts[i + 1];
    if (name.isEmpty() && pattern.isEmpty()) break;
    QString patterns = pattern;
    patterns.replace(';', ' ');
    // Qt takes the patterns from the parentheses of the entry's text.
    out << (name.contains('(') ? name : name + " (" + patterns + ")");
  }
  return out.join(";;");
}

PromptAnswer QtPrompts::Message(const std::string& text, const std::string& caption,
                                PromptIcon icon, PromptButtons buttons) {
  QMessageBox box(ToQtIcon(icon), Q(caption.empty() ? std::string(kAppTitle) : caption), Q(text),
                  QMessageBox::NoButton, parent_);
  QAbstractButton* ok = nullptr;
  QAbstractButton* cancel = nullptr;
  QAbstractButton* yes = nullptr;
  QAbstractButton* no = nullptr;
  switch (buttons) {
    case PromptButtons::Ok:
      ok = box.addButton("OK", QMessageBox::AcceptRole);
      break;
    case PromptButtons::OkCancel:
      ok = box.addButton("OK", QMessageBox::AcceptRole);
      cancel = box.addButton("Отмена", QMessageBox::RejectRole);
      break;
    case PromptButtons::YesNo:
      yes = box.addButton("&Да", QMessageBox::YesRole);
      no = box.addButton("&Нет", QMessageBox::NoRole);
      break;
    case PromptButtons::YesNoCancel:
      yes = box.addButton("&Да", QMessageBox::YesRole);
      no = box.addButton("&Нет", QMessageBox::NoRole);
      cancel = box.addButton("Отмена", QMessageBox::RejectRole);
      break;
  }
  box.setDefaultButton(qobject_cast<QPushButton*>(ok ? ok : yes));
  if (cancel)
    box.setEscapeButton(cancel);
  else if (no)
    box.setEscapeButton(no);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == yes) return PromptAnswer::Yes;
  if (clicked && clicked == no) return PromptAnswer::No;
  if (clicked && clicked == ok) return PromptAnswer::Ok;
  // Closed by the window's close button: the safe answer of the box.
  if (cancel) return PromptAnswer::Cancel;
  if (no) return PromptAnswer::No;
  return PromptAnswer::Ok;
}

std::optional<std::string> QtPrompts::ChooseFolder(const std::string& title,
                                                   const std::string& startDir) {
  const QString dir = QFileDialog::getExistingDirectory(parent_, Q(title), Q(startDir));
  if (dir.isEmpty()) return std::nullopt;
  return dir.toStdString();
}

std::optional<std::string> QtPrompts::ChooseOpenFile(const std::string& title,
                                                     const std::string& filter,
                                                     const std::string& startDir) {
  const QString file =
      QFileDialog::getOpenFileName(parent_, Q(title), Q(startDir), QtFileFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

QString DefaultSuffix(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  if (parts.size() < 2) return {};
  // The first pattern of the first entry: "*.wfdisc" gives "wfdisc".
  const QString pattern = parts[1].split(';').front().trimmed();
  if (!pattern.startsWith("*.")) return {};
  const QString suffix = pattern.mid(2);
  if (suffix.isEmpty() || suffix.contains('*') || suffix.contains('?')) return {};
  return suffix;
}

void PrepareSaveDialog(QFileDialog& dialog, const std::string& filter) {
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QtFileFilter(filter));
  // A name typed without an extension gets the filter's before the dialog
  // asks whether to overwrite, so an existing file is never replaced unasked.
  dialog.setDefaultSuffix(DefaultSuffix(filter));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
}

std::optional<std::string> QtPrompts::ChooseSaveFile(const std::string& title,
                                                     const std::string& filter,
                                                     const std::string& startDir) {
  QFileDialog dialog(parent_, Q(title), Q(startDir));
  PrepareSaveDialog(dialog, filter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void QtPrompts::Beep() {
  QApplication::beep();
}

}  // namespace nuv
