#pragma once
// "Запуск OLK": the outside locator's directory and the event number; "Запустить"
// writes the locator's files and runs it on a worker thread (the window stays
// responsive), then shows what it printed. Closing the window while the
// program runs stops it.

#include <QDialog>
#include <atomic>
#include <memory>

#include "bulletins/external_locator.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QThread;

namespace nuv {

class Workstation;

class CRunOLKDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRunOLKDlg(Workstation& ws, QWidget* parent = nullptr);
  ~CRunOLKDlg() override;

  QLineEdit* dirEdit() const { return dir_; }
  QLineEdit* numberEdit() const { return number_; }
  QPlainTextEdit* outputEdit() const { return output_; }
  QPushButton* runButton() const { return run_; }
  bool running() const { return worker_ != nullptr; }

  // "...": the folder browser "Выбрать каталог".
  void Browse();
  // "Запустить".
  void Run();

 signals:
  // The program ended (or could not start) and its printout is shown.
  void runFinished();

 private:
  void Finish(const LocatorRunResult& result);

  Workstation& ws_;
  QLineEdit* dir_;
  QLineEdit* number_;
  QPlainTextEdit* output_;
  QPushButton* run_;
  QThread* worker_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancel_;
};

// Command 33198 "Запустить программу OLK".
void RunExternalLocatorDialog(Workstation& ws, QWidget* parent);

}  // namespace nuv
