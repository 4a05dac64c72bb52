#include "sigproc/ui/sigproc_commands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "sigproc/filter_presets.h"
#include "sigproc/formula_lists.h"
#include "sigproc/ui/sigproc_panes.h"
#include "waveview/ui/waveform_window.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

// The simulations of the filter button's list, in its order.
struct ListedSimulation {
  const char* text;
  int code;
};
constexpr ListedSimulation kListedSimulations[] = {
    {"Пересчет в скорость", 1010}, {"Пересчет в смещение", 1000}, {"Симуляция WWSSSP", 1003},
    {"Симуляция WWSSLP", 1002},    {"Симуляция LPSRO", 1005},     {"Симуляция Wood-Anderson", 1004},
    {"Симуляция KIRNOS", 1001},    {"Симуляция ВЭГИК-0.7", 1006}, {"Симулировать СКМ", 1007},
};

// The SKM command and the amplitude-table commands stay silent without an
// active pane; the others say that none is chosen.
bool SilentWithoutPanes(int code) {
  return code == 1007 || code >= 1011;
}

void Simulate(SigprocPanes& panes, int code) {
  if (SilentWithoutPanes(code) && panes.window().ActivePanes().empty()) return;
  PaneTransformRequest request;
  request.code = code;
  panes.TransformActive(request);
}

void FillFilterList(SigprocPanes& panes, QMenu& menu) {
  waveform& window = panes.window();
  auto add = [&menu](const QString& text, std::function<void()> run) {
    QAction* a = menu.addAction(text);
    QObject::connect(a, &QAction::triggered, &menu, std::move(run));
  };
  add(QString::fromUtf8("Конструктор фильтра"), [&panes] { panes.FilterCommand(); });
  for (const ListedSimulation& s : kListedSimulations)
    add(QString::fromUtf8(s.text), [&panes, code = s.code] { Simulate(panes, code); });
  for (const std::string& name : ListFilterPresets(window.workstation().store()))
    add(QString::fromStdString(name), [&panes, name] { panes.ApplyPreset(name); });
}

void FillFormulaList(SigprocPanes& panes, QMenu& menu) {
  QAction* constructor = menu.addAction(QString::fromUtf8("Конструктор формул"));
  QObject::connect(constructor, &QAction::triggered, &menu, [&panes] { panes.FormulaCommand(); });
  const std::filesystem::path file =
      std::filesystem::path(panes.window().workstation().config().homeDir) / "SavedFormulas";
  for (const SavedFormula& saved : ReadSavedFormulas(file)) {
    QAction* a = menu.addAction(QString::fromStdString(saved.description));
    QObject::connect(a, &QAction::triggered, &menu,
                     [&panes, formula = saved.formula] { panes.ApplySavedFormula(formula); });
  }
}

}  // namespace

void RegisterSigprocCommands(waveform& window) {
  SigprocPanes& panes = SigprocPanes::Of(window);
  CommandRegistry& commands = window.commands();
  CommandHandler filter;
  filter.run = [&panes] { panes.FilterCommand(); };
  // Nothing is listed while a modal dialog (the channel selection) is open.
  filter.dropDown = [&panes](QMenu& menu) {
    if (!QApplication::activeModalWidget()) FillFilterList(panes, menu);
  };
  commands.Add(kCmdFilter, filter);
  commands.Add(kCmdFilterWizard, [&panes] { panes.FilterCommand(); });
  commands.Add(kCmdRemoveFilter, [&panes] { panes.RemoveFromActive(); });
  for (const SimulationCommand& s : kSimulationCommands)
    commands.Add(s.id, [&panes, code = s.code] { Simulate(panes, code); });
  CommandHandler formula;
  formula.run = [&panes] { panes.FormulaCommand(); };
  formula.dropDown = [&panes](QMenu& menu) {
    if (!QApplication::activeModalWidget()) FillFormulaList(panes, menu);
  };
  commands.Add(kCmdFormula, formula);
  commands.Add(kCmdRunDetector, [&panes] { panes.DetectorCommand(); });
  commands.Add(kCmdClearDetections, [&panes] { panes.ClearDetections(); });
}

}  // namespace nuv
