#include "bulletins/ui/bulletin_commands.h"

#include <QApplication>
#include <QDateTime>
#include <filesystem>

#include "bulletins/arr_file.h"
#include "bulletins/bulletin_apply.h"
#include "bulletins/css_export.h"
#include "bulletins/event_store.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/ims_reader.h"
#include "bulletins/ims_writer.h"
#include "bulletins/phase_list_formats.h"
#include "bulletins/quakeml_reader.h"
#include "bulletins/quakeml_writer.h"
#include "bulletins/ui/bulletin_dialogs.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "widgets/ui/command_registry.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr const char* kRebFilter = "Все файлы (*.*)|*.*|Списки сейсм. фаз (REB) (*.txt)|*.txt||";
constexpr const char* kArrFilter = "Списки сейсм. фаз (*.arr)|*.arr|Все файлы (*.*)|*.*||";
constexpr const char* kHypoFilter = "All files (*.*)|*.*|Out Files (*.out)|*.out||";
constexpr const char* kKedroFilter =
    "Списки сейсм. фаз для программы сводной обработки КЕДРО (*.bms)|*.bms|Все файлы (*.*)|*.*||";
constexpr const char* kOdr2Filter = "Списки сейсм. фаз для ODR2(*.dat)|*.dat|Все файлы (*.*)|*.*||";
constexpr const char* kQuakeMlFilter =
    "Документы QuakeML (*.xml;*.qml;*.quakeml)|*.xml;*.qml;*.quakeml|Все файлы (*.*)|*.*||";
constexpr const char* kTrezonFilter =
    "Все файлы (*.*)|*.*| Бюллетень в формате ТРЕЗОН (*.txt)|*.txt||";

// The wait cursor while a long piece of work runs on the interface thread.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

std::string WithDefaultExtension(const std::string& path, const char* extension) {
  if (std::filesystem::path(path).has_extension() || !extension) return path;
  return path + "." + extension;
}

class QtBulletinDialogs : public BulletinDialogs {
 public:
  explicit QtBulletinDialogs(Workstation& ws) : ws_(ws) {}
  std::optional<CssTarget> AskCssTarget(QWidget* parent, const CssTarget& previous) override {
    CSelectOridAndDirDlg dialog(ws_.prompts(), previous.dir, previous.orid, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return CssTarget{dialog.directory(), *dialog.orid()};
  }
  std::optional<CssPeriod> AskCssPeriod(QWidget* parent, const std::string& dir,
                                        double now) override {
    CCssPeriodDlg dialog(ws_.prompts(), dir, now, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return CssPeriod{dialog.directory(), dialog.from(), dialog.to()};
  }
  std::optional<ChosenBulletinEvent> ChooseEvent(
      QWidget* parent, const std::vector<ImsEventEntry>& events) override {
    CSelectImsEventDlg dialog(ws_.prompts(), events, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ChosenBulletinEvent{dialog.identifier(), dialog.phasesOnly()};
  }

 private:
  Workstation& ws_;
};

// The state of the commands between uses.
struct BulletinCommandState {
  Workstation& ws;
  QWidget* parent;
  std::shared_ptr<BulletinDialogs> dialogs;
  BulletinCommandHooks hooks;
  std::optional<CssTarget> lastCss;

  UserPrompts& prompts() { return ws.prompts(); }
  // The time of writing (epoch seconds), and the clock of the period fields.
  double Now() {
    return hooks.now ? hooks.now() : static_cast<double>(QDateTime::currentSecsSinceEpoch());
  }
  double FieldsNow() { return hooks.now ? hooks.now() : LocalFieldsAsUtc(); }

  // The save chooser starting in the output directory with `name` proposed.
  std::optional<std::string> AskSavePath(const char* title, const char* filter,
                                         const std::string& name, const char* extension) {
    const std::string start = WithSlash(ws.config().outDir) + name;
    auto path = prompts().ChooseSaveFile(title, filter, start);
    if (!path) return std::nullopt;
    return WithDefaultExtension(*path, extension);
  }
  std::string EventName() { return std::string(Trim(ws.event().eventId)); }

  void WriteText(const std::string& path, const std::string& text) {
    if (!WriteTextFile(path, text))
      prompts().Message(StrFormat("Ошибка открытия файла  '%s'", path.c_str()), kAppTitle,
                        PromptIcon::Error, PromptButtons::Ok);
  }

  // The phase list in a fixed format, into "nuvout.dat" or the file chosen.
  void WriteFormatted(const char* title, const char* filter,
                      std::string (*format)(const BulletinSource&)) {
    const auto path = AskSavePath(title, filter, "nuvout", "dat");
    if (path) WriteText(*path, format(SourceOf(ws)));
  }

  // The first 20 lines of a list under its title.
  static void AppendLines(std::string& text, const char* title,
                          const std::vector<SkippedLine>& lines) {
    if (lines.empty()) return;
    text += title;
    const size_t shown = std::min<size_t>(lines.size(), 20);
    for (size_t i = 0; i < shown; ++i)
      text += StrFormat("\n%d: %s", lines[i].line, lines[i].reason.c_str());
    if (shown < lines.size())
      text += StrFormat("\n... ещё %d", static_cast<int>(lines.size() - shown));
  }

  // What a reading reports: its failure, or the lines it left out and the
  // readings it took otherwise than written.
  void ReportReading(const BulletinReadResult& r) {
    if (!r.ok) {
      prompts().ShowError(r.message.empty() ? "Ошибка чтения файла" : r.message);
      return;
    }
    if (!r.skipped.empty() || !r.notes.empty()) {
      std::string text = StrFormat("Прочитано фаз: %d.", r.phasesAdded);
      AppendLines(text, "\nПропущены строки:", r.skipped);
      AppendLines(text, "\nЗамечания:", r.notes);
      prompts().Message(text, kAppTitle, PromptIcon::Information, PromptButtons::Ok);
    }
    if (hooks.refresh) hooks.refresh();
  }

  void ReadBulletin(bool trezon) {
    const auto path = prompts().ChooseOpenFile(
        trezon ? "Загрузить бюллетень в формате ТРЕЗОН" : "Загрузить список фаз в формате IMS",
        trezon ? kTrezonFilter : kRebFilter, ws.config().imsRebPath);
    if (!path) return;
    const auto text = ReadWholeFile(*path);
    if (!text) {
      prompts().ShowError(StrFormat("Ошибка открытия файла: %s", path->c_str()));
      return;
    }
    const std::vector<ImsEventEntry> events = ListImsEvents(*text);
    const auto chosen = dialogs->ChooseEvent(parent, events);
    if (!chosen) return;
    BusyCursor busy;
    // The text read for the list is the one parsed: the file is read once.
    const BulletinLayout layout = trezon ? BulletinLayout::Trezon : BulletinLayout::Ims;
    ReportReading(ApplyBulletinEvent(ws, ParseBulletinEvent(*text, chosen->identifier, layout),
                                     !trezon && chosen->phasesOnly));
  }

  // A QuakeML file: the document read once, one of its events chosen.
  void ReadQuakeMl() {
    const auto path = prompts().ChooseOpenFile("Загрузить список фаз в формате QuakeML",
                                               kQuakeMlFilter, ws.config().imsRebPath);
    if (!path) return;
    const auto text = ReadWholeFile(*path);
    if (!text) {
      prompts().ShowError(StrFormat("Ошибка открытия файла: %s", path->c_str()));
      return;
    }
    QuakeMlDocument document;
    {
      BusyCursor busy;
      document = ParseQuakeMl(*text);
    }
    if (!document.failure.empty()) {
      prompts().ShowError(document.failure);
      return;
    }
    const auto chosen = dialogs->ChooseEvent(parent, ListQuakeMlEvents(document));
    if (!chosen) return;
    ReportReading(
        ApplyBulletinEvent(ws, QuakeMlEventOf(document, chosen->identifier), chosen->phasesOnly));
  }

  void WriteQuakeMl() {
    const auto path = AskSavePath("Сохранить результаты обработки в формате QuakeML",
                                  kQuakeMlFilter, EventName(), "xml");
    if (path) WriteText(*path, FormatQuakeMl({SourceOf(ws)}, Now()));
  }

  void ReadArr(bool replace) {
    const auto path = prompts().ChooseOpenFile(
        replace ? "Загрузить список  фаз из файла" : "Добавить список  фаз из файла", kArrFilter,
        ws.config().outDir);
    if (!path) return;
    BusyCursor busy;
    ReportReading(ReadArrFile(ws, *path, replace));
  }

  void WriteCssEvent() {
    CssTarget previous;
    if (lastCss) {
      previous = *lastCss;
    } else {
      previous.dir = ws.config().cssOutDir;
      previous.orid = ws.event().orid < 0 ? 1 : ws.event().orid;
    }
    const auto target = dialogs->AskCssTarget(parent, previous);
    if (!target) return;
    lastCss = target;
    const CssExportResult r =
        ExportCurrentEvent(SourceOf(ws), target->dir, target->orid < 1 ? 1 : target->orid, Now());
    if (!r.ok) prompts().ShowError(r.message);
  }

  void WriteCssPeriod() {
    const auto period = dialogs->AskCssPeriod(parent, ws.config().cssOutDir, FieldsNow());
    if (!period) return;
    CssExportResult r;
    try {
      BusyCursor busy;
      auto store = MakeSqlEventStore(ws);
      r = ExportFromDatabase(ws, *store, period->dir, period->from, period->to, Now());
    } catch (const odbc::Error& e) {
      prompts().ShowError(e.what());
      return;
    }
    if (r.ok)
      prompts().Message(r.message, kAppTitle, PromptIcon::Information, PromptButtons::Ok);
    else
      prompts().ShowError(r.message);
  }
};

}  // namespace

std::unique_ptr<BulletinDialogs> MakeQtBulletinDialogs(Workstation& ws) {
  return std::make_unique<QtBulletinDialogs>(ws);
}

void RegisterBulletinCommands(CommandRegistry& commands, Workstation& ws, QWidget* parent,
                              std::shared_ptr<BulletinDialogs> dialogs,
                              BulletinCommandHooks hooks) {
  auto state = std::make_shared<BulletinCommandState>(
      BulletinCommandState{ws, parent, std::move(dialogs), std::move(hooks), std::nullopt});
  auto hasPhases = [state] { return state->ws.phases().Count() > 0; };
  commands.Add(cmd::kWriteArr, CommandHandler{[state] {
                                                const auto path = state->AskSavePath(
                                                    "Сохранить список всех фаз", kArrFilter,
                                                    state->EventName(), "arr");
                                                if (path)
                                                  WriteArrFile(SourceOf(state->ws), *path,
                                                               state->prompts(), state->Now());
                                              },
                                              hasPhases});
  commands.Add(cmd::kReadArrReplace, [state] { state->ReadArr(true); });
  commands.Add(cmd::kReadArrAdd, [state] { state->ReadArr(false); });
  commands.Add(cmd::kWriteHypo71,
               CommandHandler{[state] {
                                const std::string name = state->EventName();
                                const auto path = state->AskSavePath(
                                    "Сохранить список фаз для HYPO71", kHypoFilter,
                                    name.empty() ? "phase.out" : name, nullptr);
                                if (!path) return;
                                const auto names =
                                    ReadHypo71Stations(state->ws.config().homeDir + "stations.71");
                                state->WriteText(*path, FormatHypo71(SourceOf(state->ws), names));
                              },
                              hasPhases});
  commands.Add(cmd::kWriteKedro, CommandHandler{[state] {
                                                  state->WriteFormatted(
                                                      "Сохранить список фаз в формате КЕДРО",
                                                      kKedroFilter, FormatKedro);
                                                },
                                                hasPhases});
  commands.Add(cmd::kWriteOdr2, CommandHandler{[state] {
                                                 state->WriteFormatted(
                                                     "Сохранить список фаз в формате ODR2",
                                                     kOdr2Filter, FormatOdr2);
                                               },
                                               hasPhases});
  commands.Add(cmd::kWriteCssEvent, [state] { state->WriteCssEvent(); });
  commands.Add(cmd::kWriteCssPeriod,
               CommandHandler{[state] { state->WriteCssPeriod(); },
                              [state] { return state->ws.databases().mainOpen(); }});
  commands.Add(cmd::kWriteReb, [state] {
    const auto path = state->AskSavePath("Сохранить результаты обработки в формате REB/IMS",
                                         kRebFilter, state->EventName(), "txt");
    if (path) WriteRebFile(SourceOf(state->ws), *path, state->prompts());
  });
  commands.Add(cmd::kWriteIms1, [state] {
    const auto path = state->AskSavePath("Сохранить результаты обработки в формате IMS1.0",
                                         kRebFilter, state->EventName(), "txt");
    if (path) state->WriteText(*path, FormatIms1Bulletin(SourceOf(state->ws)));
  });
  commands.Add(cmd::kWriteQuakeMl, [state] { state->WriteQuakeMl(); });
  commands.Add(cmd::kReadIms, [state] { state->ReadBulletin(false); });
  commands.Add(cmd::kReadQuakeMl, [state] { state->ReadQuakeMl(); });
  commands.Add(cmd::kReadTrezon, [state] { state->ReadBulletin(true); });
}

}  // namespace nuv
