// The signal-processing dialogs shown for real.

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "sigproc/ui/detector_sheet.h"
#include "sigproc/ui/filter_dialogs.h"
#include "sigproc/ui/formula_dialog.h"
#include "sigproc/ui/sigproc_dialogs.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

// "Выбрать окно": the names of the panes' signals with their comments.
std::optional<std::string> ChooseWindowName(QWidget* parent) {
  auto* window = qobject_cast<waveform*>(parent);
  QDialog dialog(parent);
  dialog.setWindowTitle(U("Выбрать окно"));
  auto* list = new QTreeWidget(&dialog);
  list->setColumnCount(2);
  list->setHeaderLabels({U("Окно"), U("Комментарий")});
  list->setRootIsDecorated(false);
  if (window) {
    for (CZoomWindow* view : window->panes()) {
      const TracePane& p = view->pane();
      new QTreeWidgetItem(
          list, {QString("d%1").arg(p.number),
                 QString::fromStdString("Волновая форма " + p.stationName + ":" + p.channelName)});
      if (p.HasTransformed())
        new QTreeWidgetItem(list, {QString("t%1").arg(p.number),
                                   p.formulaOn ? QString::fromStdString(p.formula) : U("Фильтр")});
      // The interval entries insert the interval variable the language knows.
      if (p.hasInterval && p.intervalStart >= p.WindowStart() && p.intervalEnd <= p.WindowEnd())
        new QTreeWidgetItem(list, {QString("sd%1").arg(p.number),
                                   QString::fromStdString("Selected interval " + p.stationName +
                                                          ":" + p.channelName)});
    }
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return std::nullopt;
  return list->currentItem()->text(0).toStdString();
}

class QtSigprocDialogs : public SigprocDialogs {
 public:
  void EditFilter(QWidget* parent, SettingsStore& store, const ChannelFilter& filter, bool inEffect,
                  double sampleRate,
                  const std::function<void(const ChannelFilter&)>& apply) override {
    waveform* window = qobject_cast<waveform*>(parent);
    if (!window) return;
    CFilterSheet sheet(store, window->workstation().prompts(), filter, sampleRate, apply, parent,
                       inEffect);
    sheet.exec();
  }

  std::optional<std::string> FilterWizard(QWidget* parent) override {
    CFilterWizard wizard(parent);
    if (wizard.exec() != QDialog::Accepted) return std::nullopt;
    return wizard.Formula();
  }

  void EditFormula(QWidget* parent, Workstation& ws, FormulaInterface& target) override {
    CFormulaDialog dialog(target, ws.ini(),
                          std::filesystem::path(ws.config().homeDir) / "SavedFormulas",
                          ws.prompts(), parent);
    dialog.wizard = [this, parent] { return FilterWizard(parent); };
    dialog.chooseWindow = [parent] { return ChooseWindowName(parent); };
    dialog.exec();
  }

  std::optional<DetectorChoice> EditDetector(QWidget* parent, const DetectorParams& nuv,
                                             const DetectorParams& vendrel) override {
    CDetectorSheet sheet(nuv, vendrel, parent);
    if (sheet.exec() != QDialog::Accepted) return std::nullopt;
    return sheet.Choice();
  }
};

}  // namespace

std::unique_ptr<SigprocDialogs> MakeQtSigprocDialogs() {
  return std::make_unique<QtSigprocDialogs>();
}

}  // namespace nuv
