#include "catalogue/ui/catalogue_commands.h"

#include <QDateTime>
#include <memory>

#include "bulletins/ui/bulletin_dialogs.h"
#include "catalogue/secondary_event_load.h"
#include "catalogue/ui/event_list_windows.h"
#include "catalogue/ui/report_dialogs.h"
#include "phases/event_store.h"
#include "platform/odbc.h"
#include "widgets/ui/command_ids.h"
#include "widgets/ui/command_registry.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr const char* kNoSecondary = "Не подключена вторичная БД (CSS) !!!";

double SystemNow() {
  return static_cast<double>(QDateTime::currentSecsSinceEpoch());
}

bool NeedSecondary(Workstation& ws) {
  if (ws.databases().cssOpen()) return true;
  ws.prompts().ShowError(kNoSecondary);
  return false;
}

void LoadFromSecondary(Workstation& ws, QWidget* parent, SecondaryTables tables,
                       const CatalogueHooks& hooks) {
  if (!NeedSecondary(ws)) return;
  const bool alert = tables == SecondaryTables::Alert;
  COriginChooser chooser(ws, alert ? COriginChooser::Source::Alert : COriginChooser::Source::Css,
                         parent);
  if (chooser.exec() != QDialog::Accepted) return;
  const long orid = std::stol(chooser.orid());
  try {
    LoadSecondaryEvent(ws, tables, orid);
  } catch (const odbc::Error& e) {
    ws.prompts().ShowError(e.what());
    return;
  }
  if (alert) {
    ws.event().eventId = PadEventId(NewEventId(hooks.now()));
    ws.event().eventComment.clear();
  } else {
    ws.event().eventComment = chooser.comment();
  }
  if (hooks.refresh) hooks.refresh();
}

}  // namespace

CShowOrigins* RegisterCatalogueCommands(CommandRegistry& frame, CommandRegistry& phaseList,
                                        Workstation& ws, QWidget* parent, CatalogueHooks hooks) {
  if (!hooks.now) hooks.now = SystemNow;
  if (!hooks.localNow) hooks.localNow = LocalFieldsAsUtc;
  auto shared = std::make_shared<CatalogueHooks>(std::move(hooks));
  Workstation* w = &ws;
  auto load = [w, shared](const std::string& eventId) {
    EventContext context = EventContextOf(*w);
    const bool loaded = LoadEvent(context, eventId);
    if (loaded && shared->refresh) shared->refresh();
    return loaded;
  };
  auto* origins = new CShowOrigins(ws, load, shared->now, parent);
  origins->setWindowFlag(Qt::Window);
  if (ws.config().showOrigins) origins->show();
  frame.Add(cmd::kShowOrigins, [origins] { origins->ShowWindow(); });
  frame.Add(cmd::kEventReport, CommandHandler{[w, parent, shared] {
                                                CEventReport report(*w, shared->localNow(), parent);
                                                report.exec();
                                              },
                                              [w] { return w->databases().mainOpen(); }});
  phaseList.Add(cmd::kLoadFromSecondary, [w, parent, shared] {
    LoadFromSecondary(*w, parent, SecondaryTables::Css, *shared);
  });
  phaseList.Add(cmd::kLoadAlertLocation, [w, parent, shared] {
    LoadFromSecondary(*w, parent, SecondaryTables::Alert, *shared);
  });
  phaseList.Add(cmd::kAddAlertArrivals, [w, parent, shared] {
    if (!NeedSecondary(*w)) return;
    CGetArrivalsDlg dialog(*w, CGetArrivalsDlg::Source::Alert, shared->now(), shared->refresh,
                           parent);
    dialog.exec();
  });
  phaseList.Add(cmd::kAddEventListArrivals, [w, parent, shared] {
    CGetArrivalsDlg dialog(*w, CGetArrivalsDlg::Source::EventList, shared->now(), shared->refresh,
                           parent);
    dialog.exec();
  });
  return origins;
}

}  // namespace nuv
