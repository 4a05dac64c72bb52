// The phase-list table's texts, in-place edits, sort orders and check box.

#include "phases/phase_table_text.h"

#include <gtest/gtest.h>

#include "db/station_table.h"
#include "phases/phase_types.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

class PhaseTableText : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* code : {"ZZZ", "AAA"}) {
      CScreenFields s;
      s.code = code;
      s.channels[0].name = "SHZ";
      s.channels[1].name = "BHN";
      s.channels[1].lcode = "00";
      stations.records().push_back(s);
    }
    std::vector<PhaseTypeTable::Entry> entries(3);
    entries[0].name = "P", entries[0].ttFile = "P", entries[0].data.hasTravelTimes = 1;
    entries[1].name = "Pn", entries[1].ttFile = "P_n";  // file named, table missing
    entries[2].name = "AML";
    types.SetEntries(std::move(entries));
  }
  SEISMIC_PHASE Phase(int sta, int chan, int type, double t, float distance = -1) {
    SEISMIC_PHASE p;
    p.station = sta, p.channel = chan, p.phaseType = type, p.distance = distance;
    p.SetTime(t);
    return p;
  }
  std::string Text(const SEISMIC_PHASE& p, int column) {
    return PhaseCellText(p, column, stations, types);
  }
  StationTable stations;
  PhaseTypeTable types;
};

TEST_F(PhaseTableText, ColumnsOfARow) {
  SEISMIC_PHASE p = Phase(1, 1, 1, CalendarToEpoch(2024, 3, 15, 6, 19, 42.125));
  p.onset = 1, p.firstMotion = 0, p.weight = 0;
  EXPECT_EQ(Text(p, 0), "AAA");
  EXPECT_EQ(Text(p, 1), "BHN");
  EXPECT_EQ(Text(p, 2), "00");
  EXPECT_EQ(Text(p, 3), "Pn");
  EXPECT_EQ(Text(p, 4), "IU0");
  EXPECT_EQ(Text(p, 5), "06:19:42.13 15/03/2024");  // hundredths rounded half up
  for (int column = 6; column < kPhaseTableColumns; ++column)
    EXPECT_EQ(Text(p, column), "") << column;
  // 59.996 s rounds into the next minute instead of showing ".100".
  p.SetTime(CalendarToEpoch(2024, 12, 31, 23, 59, 59.996));
  EXPECT_EQ(Text(p, 5), "00:00:00.00 01/01/2025");
  p.hasResidual = 1, p.residual = -0.25f;
  p.backAzimuth = 0;  // shown: only -1 means none
  p.energyClass = 9.25, p.coda = 80, p.mcoda = 2.55;
  EXPECT_EQ(Text(p, 6), "-0.250");
  EXPECT_EQ(Text(p, 10), "0.000");
  EXPECT_EQ(Text(p, 17), "9.250");
  EXPECT_EQ(Text(p, 18), "80.0");
  // A phase whose station index is stale shows empty codes, not garbage.
  EXPECT_EQ(Text(Phase(9, 30, 7, 0), 0), "");
  EXPECT_EQ(Text(Phase(9, 30, 7, 0), 1), "");
  EXPECT_EQ(PhaseTableHeadings().size(), static_cast<size_t>(kPhaseTableColumns));
}

TEST_F(PhaseTableText, InPlaceEdits) {
  SEISMIC_PHASE p = Phase(0, 0, 0, 100);
  EXPECT_TRUE(ApplyCellEdit(p, 7, "12.5"));
  EXPECT_EQ(p.hasAmplitude, 1);
  EXPECT_FLOAT_EQ(p.period, 1.0f);  // a new amplitude brings period 1
  EXPECT_EQ(Text(p, 7), "12.5000");
  EXPECT_EQ(Text(p, 8), "1.00");
  EXPECT_FALSE(ApplyCellEdit(p, 7, "-3"));  // not above 0: the old value stays
  EXPECT_FALSE(ApplyCellEdit(p, 8, "0"));
  EXPECT_FALSE(ApplyCellEdit(p, 8, "0.5s"));
  EXPECT_FLOAT_EQ(p.amplitude, 12.5f);
  EXPECT_TRUE(ApplyCellEdit(p, 8, " 0.75 "));
  EXPECT_FLOAT_EQ(p.period, 0.75f);
  EXPECT_TRUE(ApplyCellEdit(p, 8, ""));
  EXPECT_EQ(p.hasAmplitude, 0);
  EXPECT_TRUE(ApplyCellEdit(p, 8, "2"));  // a period alone brings amplitude 1
  EXPECT_FLOAT_EQ(p.amplitude, 1.0f);
  EXPECT_TRUE(ApplyCellEdit(p, 9, "271.25"));
  EXPECT_EQ(Text(p, 9), "271.2");
  EXPECT_TRUE(ApplyCellEdit(p, 9, ""));
  EXPECT_EQ(p.hasPolarization, 0);
  EXPECT_FLOAT_EQ(p.azimuth, -1);
  EXPECT_FALSE(ApplyCellEdit(p, 10, "5"));
  EXPECT_FALSE(ApplyCellEdit(p, 5, "5"));
  EXPECT_FALSE(ApplyCellEdit(p, 19, "5"));
  EXPECT_TRUE(ApplyCellEdit(p, 12, "4.6"));
  EXPECT_EQ(Text(p, 12), "4.6");
  EXPECT_TRUE(ApplyCellEdit(p, 12, ""));
  EXPECT_FLOAT_EQ(p.mb, -1);
  EXPECT_TRUE(ApplyCellEdit(p, 18, "nan") == false);
  p.active = 0;
  EXPECT_TRUE(ApplyCellEdit(p, 17, "8.1"));
  EXPECT_EQ(p.active, 1);
}

TEST_F(PhaseTableText, SortOrdersOfTheHeadings) {
  const SEISMIC_PHASE a = Phase(0, 1, 0, 30, 2.0f);  // ZZZ BHN P
  const SEISMIC_PHASE b = Phase(1, 0, 1, 20);        // AAA SHZ Pn, no distance
  const SEISMIC_PHASE c = Phase(1, 1, 0, 10, 0.5f);  // AAA BHN P
  const SEISMIC_PHASE d = Phase(0, 0, 2, 5, 3.0f);   // ZZZ SHZ AML
  const std::vector<const SEISMIC_PHASE*> rows = {&a, &b, &c, &d};
  const auto order = [&](int column) { return SortOrder(rows, column, stations, types); };
  EXPECT_EQ(order(0), (std::vector<int>{2, 1, 3, 0}));
  EXPECT_EQ(order(1), (std::vector<int>{2, 0, 1, 3}));
  EXPECT_EQ(order(3), (std::vector<int>{3, 0, 2, 1}));
  EXPECT_EQ(order(5), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(order(11), (std::vector<int>{2, 0, 3, 1}));
  EXPECT_EQ(order(7), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(SortOrder({}, 0, stations, types).empty());
}

TEST_F(PhaseTableText, CheckBoxFollowsTheTravelTimeRule) {
  SEISMIC_PHASE p = Phase(0, 0, 0, 1);
  p.active = 0;
  EXPECT_EQ(MarkOf(p), DefiningMark::Neutral);
  ToggleDefining(p, types);
  EXPECT_EQ(MarkOf(p), DefiningMark::Checked);
  ToggleDefining(p, types);
  EXPECT_EQ(MarkOf(p), DefiningMark::Unchecked);
  for (int type : {1, 2}) {  // a named file without a table, a pseudo-phase
    SEISMIC_PHASE q = Phase(0, 0, type, 1);
    ToggleDefining(q, types);
    EXPECT_EQ(q.defining, 0) << type;
    EXPECT_EQ(q.active, 1);
  }
}

}  // namespace
}  // namespace nuv
