// The phase-list window: the table follows the list whoever changes it,
// the check box, in-place editing, sorting, deletion, undo and redo, the
// phase editor, the event chooser and save -> clear -> load.

#include "phases/ui/phases_wnd.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"
#include "phases/phase_table_text.h"
#include "phases/phase_types.h"
#include "phases/ui/edit_phase_dialog.h"
#include "phases/ui/event_dialogs.h"
#include "phases/ui/phase_list_dialogs.h"
#include "screenshot.h"
#include "support/test_database.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

class FakePhaseListDialogs : public PhaseListDialogs {
 public:
  std::optional<ChosenEvent> chosen;
  std::function<bool(SEISMIC_PHASE&)> edit;
  std::optional<ChosenEvent> ChooseEvent(QWidget*, Workstation&, bool) override { return chosen; }
  bool EditPhase(QWidget*, Workstation&, SEISMIC_PHASE& p) override { return edit && edit(p); }
};

class PhasesWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    db_ = std::make_unique<TestDatabase>(DbBackend::Sqlite);
    db_->Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('KUR', 42, 74, 1, 1)");
    db_->Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('ARU', 56, 58, 1, 1)");
    for (const char* sta : {"KUR", "ARU"})
      db_->Exec(std::string("insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS) values ('") +
                sta + "', 'SHZ', 1, 0, 20)");
    ws_ = db_->MakeWorkstation(prompts_, {"LOCALLASTID=1"});
    ws_->config().localLastId = true;
    std::vector<PhaseTypeTable::Entry> entries(3);
    const char* names[] = {"P", "S", "Pn"};
    for (int i = 0; i < 3; ++i) {
      entries[static_cast<size_t>(i)].name = names[i];
      entries[static_cast<size_t>(i)].ttFile = names[i];
      entries[static_cast<size_t>(i)].data.hasTravelTimes = i < 2;
    }
    ws_->phaseTypes().SetEntries(std::move(entries));
    auto dialogs = std::make_unique<FakePhaseListDialogs>();
    dialogs_ = dialogs.get();
    window_ = std::make_unique<CPhasesWnd>(*ws_, nullptr, std::move(dialogs));
    window_->resize(1000, 300);
  }
  void TearDown() override {
    window_.reset();
    ws_.reset();
    db_.reset();
  }
  SEISMIC_PHASE Phase(int sta, int type, double t) {
    SEISMIC_PHASE p;
    p.station = sta, p.channel = 0, p.phaseType = type;
    p.SetTime(t);
    return p;
  }
  void AddThree() {
    ws_->phases().Add(Phase(0, 0, 1710483560.5));   // KUR P
    ws_->phases().Add(Phase(1, 1, 1710483600.25));  // ARU S
    ws_->phases().Add(Phase(1, 0, 1710483570.0));   // ARU P
  }
  QString Cell(int row, int column) { return window_->table()->item(row, column)->text(); }
  QTableWidget& Table() { return *window_->table(); }
  // The in-place editor laid over a cell, when one is open.
  QLineEdit* OpenEditor() {
    for (QLineEdit* edit : Table().viewport()->findChildren<QLineEdit*>())
      if (edit->isVisible()) return edit;
    return nullptr;
  }

  ScriptedPrompts prompts_;
  std::unique_ptr<TestDatabase> db_;
  std::unique_ptr<Workstation> ws_;
  FakePhaseListDialogs* dialogs_ = nullptr;
  std::unique_ptr<CPhasesWnd> window_;
};

TEST_F(PhasesWndTest, TableFollowsChangesFromAnywhereAndUndo) {
  AddThree();
  ASSERT_EQ(Table().rowCount(), 3);
  EXPECT_EQ(Cell(0, 0), "KUR");
  EXPECT_EQ(Cell(1, 0), "ARU");
  EXPECT_EQ(Cell(1, 3), "P");
  EXPECT_EQ(Cell(0, 5), "06:19:20.50 15/03/2024");
  EXPECT_EQ(Table().horizontalHeaderItem(11)->text(), "Расст. до эпицентра(град.)");
  // A change made elsewhere (a drag on a trace) shows at once.
  ws_->phases().Modify(0, 0, 0, [](SEISMIC_PHASE& p) { p.SetTime(1710483590.0); });
  EXPECT_EQ(Cell(1, 0), "KUR");
  EXPECT_TRUE(window_->IsCommandEnabled(cmd::kUndoPhaseChange));
  window_->OnCommand(cmd::kUndoPhaseChange);
  EXPECT_EQ(Cell(0, 0), "KUR");
  window_->OnCommand(cmd::kUndoPhaseChange);
  EXPECT_EQ(Table().rowCount(), 2);
  window_->OnCommand(cmd::kRedoPhaseChange);
  EXPECT_EQ(Table().rowCount(), 3);
  // Ctrl+Z in the window.
  window_->show();
  QApplication::setActiveWindow(window_.get());
  Table().setFocus();
  QTest::keyClick(&Table(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Table().rowCount(), 2);
  QTest::keyClick(&Table(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Table().rowCount(), 3);
}

TEST_F(PhasesWndTest, CheckBoxAndInPlaceEditing) {
  AddThree();
  ws_->phases().Add(Phase(0, 2, 1710483561.0));  // KUR Pn: no table
  ASSERT_EQ(Table().rowCount(), 4);
  Table().item(0, 0)->setCheckState(Qt::Checked);  // the user's click
  EXPECT_EQ(ws_->phases().Find(0, 0, 0)->defining, 1);
  EXPECT_EQ(Table().item(0, 0)->checkState(), Qt::Checked);
  Table().item(1, 0)->setCheckState(Qt::Checked);
  EXPECT_EQ(ws_->phases().Find(0, 0, 2)->defining, 0);
  EXPECT_EQ(Table().item(1, 0)->checkState(), Qt::Unchecked);

  window_->show();
  const auto type = [&](int row, int column, const QString& text) {
    window_->StartCellEdit(row, column);
    QLineEdit* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the view commits the edit from its queue
  };
  type(0, 7, "12.5");
  EXPECT_FLOAT_EQ(ws_->phases().Find(0, 0, 0)->amplitude, 12.5f);
  EXPECT_EQ(Cell(0, 7), "12.5000");
  EXPECT_EQ(Cell(0, 8), "1.00");
  type(0, 7, "-4");  // refused: the old value comes back
  EXPECT_EQ(Cell(0, 7), "12.5000");
  type(0, 11, "3.25");
  EXPECT_EQ(Cell(0, 11), "3.250");
  window_->StartCellEdit(0, 5);  // the time is not edited in place
  EXPECT_EQ(OpenEditor(), nullptr);
  // Each edit is one undo step.
  ws_->phases().Undo();
  EXPECT_EQ(Cell(0, 11), "");
  EXPECT_EQ(Cell(0, 7), "12.5000");
}

TEST_F(PhasesWndTest, SortingDeletingAndClearing) {
  AddThree();
  window_->SortByColumn(0);  // station code, then time
  EXPECT_EQ(Cell(0, 0), "ARU");
  EXPECT_EQ(Cell(0, 3), "P");
  EXPECT_EQ(Cell(1, 3), "S");
  EXPECT_EQ(Cell(2, 0), "KUR");
  EXPECT_EQ(ws_->phases().GetAt(0)->station, 0);  // the list keeps its time order
  window_->SortByColumn(3);
  EXPECT_EQ(Cell(2, 3), "S");

  Table().selectRow(1);
  Table().selectionModel()->select(Table().model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  window_->OnCommand(cmd::kDeleteSelectedPhases);
  EXPECT_EQ(ws_->phases().Count(), 1);
  EXPECT_EQ(Table().currentRow(), 0);
  window_->OnCommand(cmd::kUndoPhaseChange);  // both rows come back in one step
  EXPECT_EQ(ws_->phases().Count(), 3);
  window_->OnCommand(cmd::kClearPhases);
  EXPECT_EQ(Table().rowCount(), 0);
  window_->OnCommand(cmd::kUndoPhaseChange);
  EXPECT_EQ(Table().rowCount(), 3);
}

TEST_F(PhasesWndTest, EditorRefusesATakenTypeAndStoresChoices) {
  AddThree();
  dialogs_->edit = [](SEISMIC_PHASE& p) {
    p.weight = 1;
    return true;
  };
  window_->EditRow(0);
  EXPECT_EQ(ws_->phases().Find(0, 0, 0)->weight, 1);

  CEditPhase editor(*ws_, *ws_->phases().Find(1, 0, 0), nullptr);  // ARU P
  editor.phaseCombo()->setCurrentIndex(1);                         // ARU already has S
  editor.accept();
  EXPECT_EQ(prompts_.MessageTexts().back(), "Выбранная фаза уже существует");
  EXPECT_EQ(editor.result(), QDialog::Rejected);
  editor.phaseCombo()->setCurrentIndex(2);
  editor.onsetGroup()->button(2)->setChecked(true);
  editor.motionGroup()->button(6)->setChecked(true);
  editor.chanTypeCombo()->setCurrentText("LP");
  editor.remarkEdit()->setText("late");
  editor.accept();
  EXPECT_EQ(editor.result(), QDialog::Accepted);
  EXPECT_EQ(editor.phase().phaseType, 2);
  EXPECT_EQ(editor.phase().onset, 2);
  EXPECT_EQ(editor.phase().firstMotion, 6);
  EXPECT_EQ(editor.phase().chanType, "LP");
  EXPECT_EQ(editor.phase().remark, "late");
}

TEST_F(PhasesWndTest, SaveClearLoadGivesTheSamePhases) {
  AddThree();
  ws_->phases().Modify(
      1, 0, 1, [](SEISMIC_PHASE& p) { p.hasAmplitude = 1, p.amplitude = 2.5f, p.period = 0.5f; });
  std::vector<std::vector<QString>> before;
  for (int r = 0; r < 3; ++r) {
    before.emplace_back();
    for (int c = 0; c < kPhaseTableColumns; ++c) before.back().push_back(Cell(r, c));
  }
  dialogs_->chosen = ChosenEvent{"EV-UI", ""};
  window_->OnCommand(cmd::kSavePhasesToDb);
  EXPECT_EQ(db_->QueryValue("select count(*) from ARRIVAL"), "3");
  window_->OnCommand(cmd::kClearPhases);
  ASSERT_EQ(Table().rowCount(), 0);
  window_->OnCommand(cmd::kLoadPhasesFromDb);
  ASSERT_EQ(Table().rowCount(), 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < kPhaseTableColumns; ++c) EXPECT_EQ(Cell(r, c), before[r][c]) << r << c;
  window_->show();
  SaveScreenshot(*window_, "phase_list");
}

TEST_F(PhasesWndTest, ChooserListsSelectsCreatesAndDeletes) {
  EventContext context = EventContextOf(*ws_);
  ASSERT_EQ(NewEvent(context, "OLD", "first"), NewEventResult::Created);
  ASSERT_EQ(NewEvent(context, "CUR", "second"), NewEventResult::Created);
  {
    CEventChooser chooser(*ws_, false, nullptr);
    ASSERT_EQ(chooser.table()->rowCount(), 2);
    EXPECT_EQ(
        chooser.table()->currentRow() >= 0 &&
            chooser.table()->item(chooser.table()->currentRow(), 0)->text().trimmed() == "CUR",
        true);
    EXPECT_EQ(chooser.table()->horizontalHeaderItem(7)->text(), "Дата последнего изменения");
    chooser.askNewRecord = [](std::string& id, std::string& comment) {
      id = "NEW";
      comment = "third";
      return true;
    };
    chooser.CreateEvent();
    EXPECT_EQ(chooser.table()->rowCount(), 3);
    EXPECT_EQ(ws_->event().eventId, PadEventId("NEW"));
    chooser.askNewRecord = [](std::string& id, std::string&) {
      id = "OLD";
      return true;
    };
    chooser.CreateEvent();
    EXPECT_EQ(prompts_.MessageTexts().back(), kEventExists);
    EXPECT_EQ(chooser.table()->rowCount(), 3);
    // Deleting asks first; "No" keeps the row.
    chooser.table()->selectRow(chooser.table()->currentRow());
    chooser.DeleteSelected();
    EXPECT_EQ(chooser.table()->rowCount(), 3);
    EXPECT_NE(prompts_.MessageTexts().back().find("Идентификатор 'NEW' будет удален"),
              std::string::npos);
    prompts_.answers.push_back(PromptAnswer::Yes);
    chooser.DeleteSelected();
    EXPECT_EQ(chooser.table()->rowCount(), 2);
    EXPECT_EQ(db_->QueryValue("select count(*) from ORIGIN"), "2");
    chooser.lastButton()->setChecked(true);
    chooser.maxEdit()->setValue(1);
    chooser.Reload();
    EXPECT_EQ(chooser.table()->rowCount(), 1);
    chooser.table()->clearSelection();
    chooser.accept();  // nothing selected: OK does nothing
    EXPECT_EQ(chooser.result(), QDialog::Rejected);
  }
  EXPECT_EQ(ws_->ini().GetInt("SelectPhaseGroup", "SELECT ALL", 1), 0);
  EXPECT_EQ(ws_->ini().GetInt("SelectPhaseGroup", "MaxEvents", 20), 1);
  // Save mode puts the unsaved current event on top.
  ws_->event().eventId = PadEventId("UNSAVED");
  CEventChooser saving(*ws_, true, nullptr);
  EXPECT_EQ(saving.table()->item(0, 0)->text().trimmed(), "UNSAVED");
  EXPECT_EQ(saving.table()->currentRow(), 0);
}

}  // namespace
}  // namespace nuv::test
