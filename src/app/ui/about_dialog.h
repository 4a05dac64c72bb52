#pragma once
// The version texts of the About box and the splash window, and the About box.

#include <QDialog>
#include <string>

namespace nuv {

// "%d.%d%d%d" of the four parts of the program version (major, minor, then
// the two parts of the second word).
std::string ProgramVersionText();
// "Версия %s".
std::string VersionLine();
// "Дата последнего изменения %s %s": build date ("Mmm dd yyyy", the day
// padded with a blank) and build time ("hh:mm:ss").
std::string BuildDateLine();

// The About box (title "About"), command 33136 "Версия NUV".
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace nuv
