#include "seismo/ui/external_locator_dialog.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <ctime>

#include "bulletins/bulletin_source.h"
#include "seismo/ui/dialog_kit.h"
#include "workstation/workstation.h"

namespace nuv {

using seismo_ui::Button;
using seismo_ui::Q;
using seismo_ui::S;

CRunOLKDlg::CRunOLKDlg(Workstation& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
  setWindowTitle(Q("Запуск OLK"));
  auto* form = new QFormLayout;
  dir_ = new QLineEdit(Q(LoadExternalLocatorSettings(ws.ini(), ws.config()).dir), this);
  dir_->setObjectName("dir");
  auto* browse = Button(this, "...");
  browse->setMaximumWidth(40);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(dir_, 1);
  dirRow->addWidget(browse);
  form->addRow(Q("Каталог OLK"), dirRow);
  const int orid = ws.event().orid;
  number_ = new QLineEdit(orid > 0 ? QString::number(orid) : QString("0"), this);
  number_->setObjectName("number");
  number_->setMaxLength(static_cast<int>(kLocatorMaxNumberText));
  form->addRow(Q("Номер землетрясения"), number_);

  output_ = new QPlainTextEdit(this);
  output_->setObjectName("output");
  output_->setReadOnly(true);
  output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  output_->setMinimumSize(560, 260);

  run_ = Button(this, "Запустить");
  run_->setDefault(true);
  auto* quit = Button(this, "Выйти");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(run_);
  buttons->addWidget(quit);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(output_, 1);
  layout->addLayout(buttons);
  connect(browse, &QPushButton::clicked, this, &CRunOLKDlg::Browse);
  connect(run_, &QPushButton::clicked, this, &CRunOLKDlg::Run);
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

CRunOLKDlg::~CRunOLKDlg() {
  if (!worker_) return;
  // The program is stopped; the thread ends within a poll interval.
  cancel_->store(true);
  worker_->wait();
}

void CRunOLKDlg::Browse() {
  if (auto folder = ws_.prompts().ChooseFolder("Выбрать каталог", S(dir_->text())))
    dir_->setText(Q(*folder));
}

void CRunOLKDlg::Run() {
  if (worker_) return;
  const std::string number = S(number_->text()).substr(0, kLocatorMaxNumberText);
  ExternalLocatorSettings settings = LoadExternalLocatorSettings(ws_.ini(), ws_.config());
  settings.dir = S(dir_->text());
  SaveExternalLocatorDir(ws_.ini(), settings.dir);
  WriteLocatorFiles(SourceOf(ws_), settings, number, ws_.prompts(),
                    static_cast<double>(std::time(nullptr)));

  output_->clear();
  run_->setEnabled(false);
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  auto result = std::make_shared<LocatorRunResult>();
  worker_ = QThread::create([settings, number, cancel = cancel_, result] {
    *result = RunLocatorProgram(settings, number, cancel.get());
  });
  connect(worker_, &QThread::finished, this, [this, result] { Finish(*result); });
  connect(worker_, &QThread::finished, worker_, &QObject::deleteLater);
  worker_->start();
}

void CRunOLKDlg::Finish(const LocatorRunResult& result) {
  worker_ = nullptr;
  output_->setPlainText(Q(result.output));
  run_->setEnabled(true);
  emit runFinished();
}

void RunExternalLocatorDialog(Workstation& ws, QWidget* parent) {
  CRunOLKDlg dialog(ws, parent);
  dialog.exec();
}

}  // namespace nuv
