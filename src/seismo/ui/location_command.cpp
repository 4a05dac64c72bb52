#include "seismo/ui/location_command.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <ctime>
#include <memory>

#include "platform/odbc.h"
#include "seismo/hypocentre_report.h"
#include "seismo/location.h"
#include "seismo/region.h"
#include "seismo/ui/dialog_kit.h"
#include "seismo/ui/location_dialogs.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

using seismo_ui::Q;

// Runs the search; with the grid search a progress dialog shows the percent
// done, keeps the window responsive and lets the user cancel.
LocationResult Search(const SeismoSite& site, CArrivalList& list, const LocationStart& start,
                      const LocateOptions& options, bool linear) {
  Workstation& ws = *site.ws;
  std::unique_ptr<QProgressDialog> progress;
  LocateProgress report;
  QElapsedTimer sincePump;
  if (options.gridSearch && !options.fixCoords) {
    progress = std::make_unique<QProgressDialog>(
        Q("Поиск стартовой точки методом полного перебора..."), Q("Отмена"), 0, 100, site.parent);
    progress->setWindowTitle(Q("Оценка положения гипоцентра"));
    progress->setObjectName("locationProgress");
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setValue(0);
    sincePump.start();
    report = [&](int percent) {
      const bool step = percent != progress->value() && percent <= 100;
      if (step) progress->setValue(percent);
      // Pending input and paint requests at every percent, and every 30 ms,
      // keep the window alive.
      if (step || sincePump.elapsed() >= 30) {
        QCoreApplication::processEvents();
        sincePump.restart();
      }
      return !progress->wasCanceled();
    };
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const LocationResult result = linear
                                    ? LocateLinear(list, ws.phaseTypes(), start, options, report)
                                    : LocateSearch(list, ws.phaseTypes(), start, options, report);
  QApplication::restoreOverrideCursor();
  return result;
}

RegionInfo RegionOfEpicentre(Workstation& ws, double lat, double lon) {
  if (!ws.databases().mainOpen()) return {};
  RegionInfo region = RegionOf(ws.databases().main(), lat, lon);
  if (!region.error.empty()) ws.prompts().ShowError(region.error);
  return region;
}

}  // namespace

void RunLocationCommand(const SeismoSite& site, bool linear) {
  Workstation& ws = *site.ws;
  CurrentEvent& event = ws.event();
  if (event.originTime == 0) event.originTime = static_cast<double>(std::time(nullptr));
  event.ellipse.Reset();

  CStartPointDialog startDialog(event, ws.prompts(), site.parent);
  if (startDialog.exec() != QDialog::Accepted) return;
  const LocationStart start = startDialog.start();
  const LocateOptions options = startDialog.options();
  event.originLat = static_cast<float>(start.lat);
  event.originLon = static_cast<float>(start.lon);
  event.originDepth = static_cast<float>(start.depth);
  event.originTime = start.t0;
  event.originValid = 1;
  event.fixDepth = options.fixDepth;

  CArrivalList list = BuildArrivalList(ws.phases(), ws.phaseTypes(), ws.stations());
  if (linear && list.Count() < 4) return ws.prompts().ShowError(kMsgFewerThanFourPhases);
  if (list.Count() < 1) return ws.prompts().ShowError(kMsgNoDefiningPhases);

  const LocationResult result = Search(site, list, start, options, linear);
  if (result.cancelled) return;
  if (!result.ok) return ws.prompts().ShowError(result.message);
  if (linear) event.ellipse = result.ellipse;

  HypocentreValues values{result.lat, result.lon, result.depth, result.t0, event.eventComment};
  CHypocentreDialog dialog(values, ResidualLines(list, ws.stations(), ws.phaseTypes()),
                           event.ellipse, RegionOfEpicentre(ws, result.lat, result.lon),
                           site.parent);
  dialog.saveToDatabase = [&ws](const HypocentreValues& v) {
    try {
      UpdateOriginRow(ws.databases(), v, ws.event().eventId, ws.event().orid);
    } catch (const odbc::Error& error) {
      ws.prompts().ShowError(error.what());
    }
  };
  if (dialog.exec() != QDialog::Accepted) return;
  AcceptHypocentre(dialog.values(), event, ws.phases(), ws.phaseTypes(), ws.stations());
  site.Changed();
}

}  // namespace nuv
