#include "workspace/ui/dsp_formula.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "sigproc/ui/formula_dialog.h"
#include "sigproc/ui/sigproc_dialogs.h"
#include "workspace/ui/dsp_dialogs.h"
#include "workspace/ui/dsp_wnd.h"
#include "workstation/workstation.h"

namespace nuv {

std::optional<std::string> ChooseFormulaName(QWidget* parent,
                                             const std::vector<FormulaName>& names) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromUtf8("Выбрать окно"));
  auto* list = new QTreeWidget(&dialog);
  list->setColumnCount(2);
  list->setHeaderLabels({QString::fromUtf8("Окно"), QString::fromUtf8("Комментарий")});
  list->setRootIsDecorated(false);
  for (const FormulaName& n : names)
    new QTreeWidgetItem(list, {QString::fromStdString(n.name), QString::fromStdString(n.comment)});
  QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(DspOkCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return std::nullopt;
  return list->currentItem()->text(0).toStdString();
}

void EditWorkspaceFormula(CDSP& dsp) {
  Workstation& ws = dsp.workstation();
  CFormulaDialog dialog(dsp, ws.ini(), std::filesystem::path(ws.config().homeDir) / "SavedFormulas",
                        ws.prompts(), &dsp);
  dialog.wizard = [&dsp] { return MakeQtSigprocDialogs()->FilterWizard(&dsp); };
  dialog.chooseWindow = [&dsp] { return ChooseFormulaName(&dsp, dsp.FormulaNames()); };
  dialog.exec();
}

}  // namespace nuv
