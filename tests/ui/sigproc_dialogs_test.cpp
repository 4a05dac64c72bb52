// The filter sheet, the filter constructor, the formula constructor and the
// detector sheet, driven through their widgets.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "platform/profile_file.h"
#include "platform/scripted_prompts.h"
#include "platform/settings_store.h"
#include "screenshot.h"
#include "sigproc/filter_presets.h"
#include "sigproc/ui/detector_sheet.h"
#include "sigproc/ui/filter_dialogs.h"
#include "sigproc/ui/formula_dialog.h"
#include "support/temp_dir.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

class RecordingTarget : public FormulaInterface {
 public:
  std::string formula;
  int applied = 0;
  void ApplyFormula() override { ++applied; }
  void SetFormula(const std::string& text) override { formula = text; }
  std::string GetFormula() const override { return formula; }
};

TEST(SigprocDialogs, FilterSheetChecksAppliesAndKeepsPresets) {
  EnsureApp();
  TempDir dir;
  SettingsStore store(dir / "registry.txt");
  ScriptedPrompts prompts;
  std::vector<ChannelFilter> applied;
  ChannelFilter start;
  start.lowText = "0.5";
  start.highText = "2";
  start.type = kLowPass;
  start.order = 3;
  CFilterSheet sheet(store, prompts, start, 100.0,
                     [&](const ChannelFilter& f) { applied.push_back(f); });
  // A low-pass disables the lower edit.
  EXPECT_FALSE(sheet.lowEdit()->isEnabled());
  EXPECT_TRUE(sheet.highEdit()->isEnabled());
  SaveScreenshot(sheet, "sigproc_filter_sheet");

  sheet.orderEdit()->setText("12");
  EXPECT_FALSE(sheet.Apply());
  EXPECT_EQ(prompts.MessageTexts().back(), "Please enter an integer between 1 and 10.");
  sheet.orderEdit()->setText("4");
  sheet.SetType(kHighPass);
  sheet.lowEdit()->setText("50");
  sheet.highEdit()->setText("10");
  EXPECT_FALSE(sheet.Apply());  // the lower above the upper: a beep
  EXPECT_EQ(prompts.records.back().kind, "beep");
  sheet.highEdit()->setText("60");
  EXPECT_FALSE(sheet.Apply());
  EXPECT_NE(prompts.MessageTexts().back().find("Найквиста"), std::string::npos);
  EXPECT_TRUE(applied.empty());
  sheet.lowEdit()->setText("1.5");
  ASSERT_TRUE(sheet.Apply());
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(applied[0].type, kHighPass);
  EXPECT_EQ(applied[0].lowCut, 1.5f);
  EXPECT_EQ(applied[0].order, 4);

  // Presets: remembered from the page, chosen back, deleted.
  sheet.RememberAs("");
  EXPECT_EQ(prompts.records.back().kind, "beep");
  sheet.RememberAs("Высокие");
  sheet.RememberAs("Полоса");
  ASSERT_EQ(sheet.presetList()->count(), 2);
  EXPECT_EQ(ReadFilterPreset(store, "Высокие").filterType, "HP");
  sheet.SetType(kBandPass);
  sheet.presetList()->setCurrentRow(0);
  sheet.ChooseSelected();
  EXPECT_EQ(sheet.type(), kHighPass);
  EXPECT_EQ(sheet.lowEdit()->text(), "1.5");
  sheet.presetList()->setCurrentRow(1);
  sheet.DeleteSelected();
  ASSERT_EQ(sheet.presetList()->count(), 1);
  EXPECT_EQ(sheet.presetList()->currentRow(), 0);
}

TEST(SigprocDialogs, FilterWizardWritesTheFormula) {
  EnsureApp();
  CFilterWizard wizard;
  wizard.lowEdit()->setText("0.5");
  wizard.highEdit()->setText("2");
  wizard.orderEdit()->setText("3");
  EXPECT_EQ(wizard.Formula(), "butter((current-mean(current)),0.500000,2.000000,3)");
  wizard.types()->button(kLowPass)->setChecked(true);
  wizard.zeroPhase()->setChecked(true);
  EXPECT_EQ(wizard.Formula(),
            "revers(butter(revers(butter((current-mean(current)),0.000000,2.000000,3)),0.000000,"
            "2.000000,3))");
}

TEST(SigprocDialogs, FormulaConstructorAppliesRemembersAndSaves) {
  EnsureApp();
  TempDir dir;
  ProfileFile recent(dir / "NUV.INI");
  ScriptedPrompts prompts;
  RecordingTarget target;
  target.formula = "d1";
  CFormulaDialog dialog(target, recent, dir / "SavedFormulas", prompts);
  EXPECT_EQ(dialog.formulaBox()->currentText(), "d1");
  // Insertion buttons put their text at the caret; butter without a wizard
  // inserts the template.
  dialog.formulaBox()->lineEdit()->setCursorPosition(2);
  dialog.Button("*")->click();
  dialog.Button("PI")->click();
  EXPECT_EQ(dialog.formulaBox()->currentText(), "d1*pi");
  EXPECT_EQ(dialog.Button("sizeof")->toolTip(), "sizeof(W) - Number of counts in the W");
  dialog.formulaBox()->setEditText("");
  dialog.Button("butter")->click();
  EXPECT_EQ(dialog.formulaBox()->currentText(), "butter(W, lfr, hfr, n)");
  dialog.wizard = [] { return std::optional<std::string>("revers(current)"); };
  dialog.formulaBox()->setEditText("");
  dialog.Button("butter")->click();
  EXPECT_EQ(dialog.formulaBox()->currentText(), "revers(current)");

  dialog.ApplyText();
  EXPECT_EQ(target.formula, "revers(current)");
  EXPECT_EQ(target.applied, 1);
  EXPECT_EQ(ReadRecentFormulas(recent), std::vector<std::string>{"revers(current)"});
  EXPECT_EQ(dialog.formulaBox()->count(), 1);

  dialog.SaveAs("   ");
  EXPECT_EQ(prompts.MessageTexts().back(), "Имя формулы не может состоять из пробелов");
  dialog.SaveAs("  Обращение");
  ASSERT_EQ(dialog.savedList()->topLevelItemCount(), 1);
  EXPECT_EQ(dialog.savedList()->topLevelItem(0)->text(0), "Обращение");
  EXPECT_EQ(ReadSavedFormulas(dir / "SavedFormulas")[0].formula, "revers(current)");
  dialog.savedList()->setCurrentItem(dialog.savedList()->topLevelItem(0));
  dialog.RemoveSelected();
  EXPECT_EQ(dialog.savedList()->topLevelItemCount(), 0);
  SaveScreenshot(dialog, "sigproc_formula_dialog");
}

TEST(SigprocDialogs, DetectorSheetActsWithTheShownPage) {
  EnsureApp();
  CDetectorSheet sheet({20, 2, 5, 1}, {30, 3, 6, 0});
  DetectorChoice c = sheet.Choice();
  EXPECT_EQ(c.page, 0);
  EXPECT_EQ(c.params.lta, 20);
  EXPECT_EQ(c.params.useFilter, 1);
  sheet.tabs()->setCurrentIndex(1);
  c = sheet.Choice();
  EXPECT_EQ(c.page, 1);
  EXPECT_EQ(c.params.k, 6);
  EXPECT_EQ(c.params.useFilter, 0);
  EXPECT_EQ(c.action, DetectorChoice::kRun);
  // Values outside the ranges are pulled in.
  sheet.Fill(1, {5000, 0.01, 0.5, 0});
  c = sheet.Choice();
  EXPECT_EQ(c.params.lta, 999);
  EXPECT_DOUBLE_EQ(c.params.sta, 0.1);
  EXPECT_EQ(c.params.k, 1);
}

}  // namespace
}  // namespace nuv::test
