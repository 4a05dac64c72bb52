// Numbers typed as an analyst with a Russian keyboard may type them: "2,5"
// and "2.5" give the same value in the dialogs of every subsystem (the
// program runs in the Russian locale, as the test application does).

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QTabWidget>

#include "platform/settings_store.h"
#include "seismo/ui/phase_distance_dialogs.h"
#include "seismo/ui/travel_time_dialogs.h"
#include "sigproc/ui/detector_sheet.h"
#include "sigproc/ui/filter_dialogs.h"
#include "waveview/ui/channel_dialogs.h"
#include "waveview_fixture.h"
#include "workspace/ui/dsp_dialogs.h"

namespace nuv::test {
namespace {

// Replaces the field's text key by key, as typing over a selection does.
void Retype(QLineEdit* edit, const char* typed) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, typed);
}

double Retype(QDoubleSpinBox* box, const char* typed) {
  Retype(box->findChild<QLineEdit*>(), typed);
  box->interpretText();
  return box->value();
}

class NumericFieldsTest : public WaveviewFixture {};

TEST_F(NumericFieldsTest, TheDecimalCommaAndPointAlike) {
  ASSERT_EQ(QLocale().decimalPoint(), ",");
  SettingsStore store(dir / "registry.txt");
  for (const char* typed : {"2,5", "2.5"}) {
    SCOPED_TRACE(typed);
    // Waveform window: the amplitude limits, whose validator watches every key.
    CScaleDlg scale(10, -10, 10, -10);
    Retype(scale.field(1162), typed);
    EXPECT_EQ(scale.value(1162), 2.5);

    // Signal processing: the detector's spin boxes and the filter page.
    CDetectorSheet detector({}, {});
    const auto boxes = detector.tabs()->widget(1)->findChildren<QDoubleSpinBox*>();
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(Retype(boxes[1], typed), 2.5);  // STA
    detector.tabs()->setCurrentIndex(1);
    EXPECT_EQ(detector.Choice().params.sta, 2.5);
    std::vector<ChannelFilter> applied;
    ChannelFilter band;
    band.lowText = "1", band.highText = "10", band.order = 3;
    CFilterSheet filter(store, prompts, band, 100.0,
                        [&](const ChannelFilter& f) { applied.push_back(f); });
    Retype(filter.lowEdit(), typed);
    ASSERT_TRUE(filter.Apply()) << prompts.MessageTexts().size();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].lowCut, 2.5f);
    EXPECT_EQ(applied[0].lowText, "2.5");  // presets and panes keep the point

    // Seismology: the distance-and-azimuth calculator and the theoretical phases.
    CDistAzDialog distAz(*ws);
    Retype(distAz.field(2), "0");
    Retype(distAz.field(3), typed);  // along the equator
    distAz.accept();
    EXPECT_EQ(distAz.result(0)->text().toStdString(), "2.50");
    CTheoreticalPhasesDlg theoretical(*ws, *window);
    EXPECT_EQ(Retype(theoretical.distance(), typed), 2.5);

    // Workspace: the data set's time step.
    DspWindow data;
    data.SetData({1, 2}, 1.0);
    CDspPropertiesDialog properties(data, prompts);
    Retype(properties.stepField(), typed);
    properties.accept();
    EXPECT_EQ(properties.step(), 2.5);
  }
}

}  // namespace
}  // namespace nuv::test
