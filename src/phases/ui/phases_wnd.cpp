#include "phases/ui/phases_wnd.h"

#include <QHeaderView>
#include <QKeySequence>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"
#include "phases/phase_table_text.h"
#include "phases/ui/phase_list_dialogs.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr const char* kWidthKey = "NUV\\PhaseList";
constexpr const char* kWidthValue = "Columns Width";

Qt::CheckState CheckOf(const SEISMIC_PHASE& p) {
  switch (MarkOf(p)) {
    case DefiningMark::Checked:
      return Qt::Checked;
    case DefiningMark::Unchecked:
      return Qt::Unchecked;
    default:
      return Qt::PartiallyChecked;
  }
}

// A command that is enabled only while `enabled` says so.
CommandHandler When(std::function<void()> run, std::function<bool()> enabled) {
  CommandHandler handler;
  handler.run = std::move(run);
  handler.enabled = std::move(enabled);
  return handler;
}

}  // namespace

CPhasesWnd::CPhasesWnd(Workstation& workstation, QWidget* parent,
                       std::unique_ptr<PhaseListDialogs> dialogs)
    : QWidget(parent),
      ws_(workstation),
      dialogs_(dialogs ? std::move(dialogs) : MakeQtPhaseListDialogs()) {
  setWindowTitle("Список фаз");
  table_ = new QTableWidget(0, kPhaseTableColumns, this);
  QStringList headings;
  for (const std::string& h : PhaseTableHeadings()) headings << QString::fromStdString(h);
  table_->setHorizontalHeaderLabels(headings);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  table_->verticalHeader()->setVisible(false);
  table_->setWordWrap(false);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < kPhaseTableColumns; ++c) table_->setColumnWidth(c, 100);
  // The time column holds the date too: wide enough for the whole text.
  table_->setColumnWidth(
      5, std::max(100, fontMetrics().horizontalAdvance("00:00:00.00 00/00/0000") + 16));
  RestoreColumnWidths();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_);

  connect(table_, &QTableWidget::itemChanged, this, &CPhasesWnd::OnItemChanged);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditRow(row); });
  connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const QModelIndex index = table_->indexAt(at);
    if (index.isValid()) StartCellEdit(index.row(), index.column());
  });
  connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &CPhasesWnd::SortByColumn);
  RegisterCommands();
  const std::pair<QKeySequence, int> keys[] = {
      {QKeySequence::Undo, cmd::kUndoPhaseChange},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), cmd::kRedoPhaseChange},
      {QKeySequence::Delete, cmd::kDeleteSelectedPhases}};
  for (const auto& [key, id] : keys) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, id = id] { commands_.Run(id); });
  }
  subscription_ = ws_.phases().Subscribe([this](const PhaseListChange&) { RefreshTable(); });
  RefreshTable();
}

CPhasesWnd::~CPhasesWnd() {
  ws_.phases().Unsubscribe(subscription_);
  SaveColumnWidths();
}

void CPhasesWnd::RegisterCommands() {
  commands_.Add(cmd::kSavePhasesToDb,
                When([this] { SaveToDatabase(); }, [this] { return ws_.databases().mainOpen(); }));
  commands_.Add(cmd::kLoadPhasesFromDb, When([this] { LoadFromDatabase(); },
                                             [this] { return ws_.databases().mainOpen(); }));
  commands_.Add(cmd::kClearPhases, [this] { ClearList(); });
  commands_.Add(cmd::kDeleteSelectedPhases, [this] { DeleteSelected(); });
  commands_.Add(cmd::kUndoPhaseChange,
                When([this] { ws_.phases().Undo(); }, [this] { return ws_.phases().CanUndo(); }));
  commands_.Add(cmd::kRedoPhaseChange,
                When([this] { ws_.phases().Redo(); }, [this] { return ws_.phases().CanRedo(); }));
}

void CPhasesWnd::RefreshTable() {
  std::vector<const SEISMIC_PHASE*> phases;
  for (const SEISMIC_PHASE& p : ws_.phases()) phases.push_back(&p);
  std::vector<int> order(phases.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  if (sortColumn_ >= 0) order = SortOrder(phases, sortColumn_, ws_.stations(), ws_.phaseTypes());
  rows_.clear();
  for (int i : order) {
    const SEISMIC_PHASE* p = phases[static_cast<size_t>(i)];
    rows_.push_back({p->station, p->channel, p->phaseType});
  }
  filling_ = true;
  table_->setRowCount(static_cast<int>(rows_.size()));
  filling_ = false;
  RefreshTexts();
}

void CPhasesWnd::RefreshTexts() {
  for (int row = 0; row < static_cast<int>(rows_.size()); ++row) WriteRow(row);
}

void CPhasesWnd::WriteRow(int row) {
  const Triple& t = rows_[static_cast<size_t>(row)];
  const SEISMIC_PHASE* p = ws_.phases().Find(t.station, t.channel, t.phaseType);
  if (!p) return;
  filling_ = true;
  for (int column = 0; column < kPhaseTableColumns; ++column) {
    QTableWidgetItem* item = table_->item(row, column);
    if (!item) {
      item = new QTableWidgetItem;
      table_->setItem(row, column, item);
    }
    item->setText(
        QString::fromStdString(PhaseCellText(*p, column, ws_.stations(), ws_.phaseTypes())));
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (column == 0) flags |= Qt::ItemIsUserCheckable;
    if (IsEditableColumn(column)) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    if (column == 0) item->setCheckState(CheckOf(*p));
  }
  filling_ = false;
}

void CPhasesWnd::SortByColumn(int column) {
  sortColumn_ = column;
  RefreshTable();
}

void CPhasesWnd::StartCellEdit(int row, int column) {
  if (row < 0 || row >= table_->rowCount() || !IsEditableColumn(column)) return;
  table_->setCurrentCell(row, column);
  table_->editItem(table_->item(row, column));
}

void CPhasesWnd::OnItemChanged(QTableWidgetItem* item) {
  if (filling_ || !item) return;
  const int row = item->row(), column = item->column();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const Triple t = rows_[static_cast<size_t>(row)];
  const std::string text = item->text().toStdString();
  if (column == 0) {
    ws_.phases().Modify(t.station, t.channel, t.phaseType,
                        [this](SEISMIC_PHASE& p) { ToggleDefining(p, ws_.phaseTypes()); });
    return;
  }
  const SEISMIC_PHASE* current = ws_.phases().Find(t.station, t.channel, t.phaseType);
  if (!current) return;
  SEISMIC_PHASE edited = *current;
  if (!ApplyCellEdit(edited, column, text)) {
    WriteRow(row);  // the old value comes back
    return;
  }
  ws_.phases().Modify(t.station, t.channel, t.phaseType,
                      [&edited](SEISMIC_PHASE& p) { p = edited; });
}

void CPhasesWnd::EditRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const Triple t = rows_[static_cast<size_t>(row)];
  const SEISMIC_PHASE* current = ws_.phases().Find(t.station, t.channel, t.phaseType);
  if (!current) return;
  SEISMIC_PHASE edited = *current;
  if (!dialogs_->EditPhase(this, ws_, edited)) return;
  ws_.phases().Modify(t.station, t.channel, t.phaseType,
                      [&edited](SEISMIC_PHASE& p) { p = edited; });
}

void CPhasesWnd::DeleteSelected() {
  std::set<int> selected;
  for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
    selected.insert(index.row());
  if (selected.empty()) return;
  const int first = *selected.begin();
  {
    PhaseChangeGroup group(ws_.phases());
    for (int row : selected) {
      const Triple& t = rows_[static_cast<size_t>(row)];
      ws_.phases().Remove(t.station, t.channel, t.phaseType);
    }
  }
  if (table_->rowCount() > 0) table_->selectRow(std::max(0, first - 1));
}

void CPhasesWnd::ClearList() {
  ws_.phases().RemoveAll();
}

void CPhasesWnd::SaveToDatabase() {
  const std::optional<ChosenEvent> chosen = dialogs_->ChooseEvent(this, ws_, true);
  if (!chosen) return;
  ws_.event().eventId = PadEventId(chosen->eventId);
  EventContext context = EventContextOf(ws_);
  SaveEvent(context);
  RefreshTexts();
}

void CPhasesWnd::LoadFromDatabase() {
  const std::optional<ChosenEvent> chosen = dialogs_->ChooseEvent(this, ws_, false);
  if (!chosen) return;
  ws_.event().eventComment = chosen->comment;
  ws_.event().orid = -1;
  EventContext context = EventContextOf(ws_);
  LoadEvent(context, chosen->eventId);
  RefreshTable();
}

void CPhasesWnd::RestoreColumnWidths() {
  const auto bytes = ws_.store().GetBinary(kWidthKey, kWidthValue);
  if (!bytes || bytes->size() != kPhaseTableColumns * 4) return;
  for (int c = 0; c < kPhaseTableColumns; ++c) {
    int32_t width = 0;
    std::copy_n(bytes->data() + c * 4, 4, reinterpret_cast<uint8_t*>(&width));
    if (width > 0 && width < 2000) table_->setColumnWidth(c, width);
  }
}

void CPhasesWnd::SaveColumnWidths() {
  std::vector<uint8_t> bytes(kPhaseTableColumns * 4);
  for (int c = 0; c < kPhaseTableColumns; ++c) {
    const int32_t width = table_->columnWidth(c);
    std::copy_n(reinterpret_cast<const uint8_t*>(&width), 4, bytes.data() + c * 4);
  }
  ws_.store().SetBinary(kWidthKey, kWidthValue, bytes);
}

}  // namespace nuv
