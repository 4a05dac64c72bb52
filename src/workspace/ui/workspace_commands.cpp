#include "workspace/ui/workspace_commands.h"

#include <QPointer>

#include "sigproc/pane_transforms.h"
#include "sigproc/ui/sigproc_panes.h"
#include "waveview/ui/waveform_window.h"
#include "workspace/ui/dsp_formula.h"
#include "workspace/ui/dsp_wnd.h"

namespace nuv {
namespace {

constexpr double kStep = 1.5;

}  // namespace

void RegisterWorkspaceCommands(CDSP& dsp, waveform* waveforms) {
  CommandRegistry& c = dsp.commands();
  CDSP* d = &dsp;
  c.Add(33227, [d] { d->ScaleCommand(); });
  c.Add(33118, [d] { d->PropertiesCommand(); });
  c.Add(33082, CommandHandler{[d] { d->AddWindow(); },
                              [d] { return d->workspace().WindowCount() < kMaxDspWindows; }});
  c.Add(33083, CommandHandler{[d] { d->DeleteWindow(); },
                              [d] { return d->workspace().WindowCount() > 1; }});
  c.AddToggle(
      33108, [d] { d->ToggleFixed(); }, [d] { return d->workspace().activeWindow().fixed; });
  c.Add(33100, [d] { d->OverlayCommand(); });
  c.Add(33116, [d] { d->SaveData(); });
  c.Add(33117, [d] { d->LoadData(); });
  c.Add(33101, [d] { d->SaveWorksheetCommand(); });
  c.Add(33102, [d] { d->LoadWorksheetCommand(); });
  c.Add(33177, [d] { d->CopyToClipboard(); });
  c.Add(33179, CommandHandler{[d] { d->PasteFromClipboard(); }, [d] { return d->CanPaste(); }});
  // The view of the active window.
  const struct {
    int id;
    void (*change)(DspWindow&);
  } views[] = {
      {33085, [](DspWindow& w) { ZoomWindow(w, 1 / kStep); }},
      {33084, [](DspWindow& w) { ZoomWindow(w, kStep); }},
      {33092, [](DspWindow& w) { ScaleValues(w, 1 / kStep); }},
      {33091, [](DspWindow& w) { ScaleValues(w, kStep); }},
      {33097, [](DspWindow& w) { ScaleIndexes(w, 1 / kStep); }},
      {33098, [](DspWindow& w) { ScaleIndexes(w, kStep); }},
      {33087, [](DspWindow& w) { ShiftValues(w, +1); }},
      {33088, [](DspWindow& w) { ShiftValues(w, -1); }},
      {33089, [](DspWindow& w) { ShiftIndexes(w, +1); }},
      {33090, [](DspWindow& w) { ShiftIndexes(w, -1); }},
      {33086, [](DspWindow& w) { AutoScale(w); }},
  };
  for (const auto& view : views) {
    auto change = view.change;
    c.Add(view.id, [d, change] { d->View(change); });
  }
  c.AddToggle(
      33099, [d] { d->View([](DspWindow& w) { w.logScale = !w.logScale; }); },
      [d] { return d->workspace().activeWindow().logScale; });
  c.Add(33103, [d] {
    d->workspace().NextWindow();
    d->Refresh();
  });
  c.Add(33147, [d] { d->FormulaCommand(); });

  // The formula constructor of the waveform window's commands, on the edit.
  d->editFormula = [d](FormulaInterface&) { EditWorkspaceFormula(*d); };
  // Pane formulas read the workspace windows until the workspace goes.
  if (waveforms) {
    SigprocPanes& sigproc = SigprocPanes::Of(*waveforms);
    sigproc.SetWorkspaceWindows(&d->workspace());
    QPointer<SigprocPanes> guard(&sigproc);
    QObject::connect(d, &QObject::destroyed, [guard] {
      if (guard) guard->SetWorkspaceWindows(nullptr);
    });
  }
  QPointer<waveform> panes(waveforms);
  d->paneSource = [panes]() -> std::unique_ptr<FormulaDataSource> {
    if (!panes) return nullptr;
    return std::make_unique<PaneFormulaData>(panes->PaneStates());
  };
}

}  // namespace nuv
