#include "waveview/pick_insert.h"

#include <gtest/gtest.h>

#include "platform/time_base.h"

namespace nuv {
namespace {

struct Fixture {
  Fixture() {
    CScreenFields s;
    s.code = "ABC";
    s.channels[0].name = "BHZ";
    s.channels[1].name = "BHN";
    s.channels[1].lcode = "00";  // a location code does not hide the channel
    stations.records().push_back(s);
    std::vector<PhaseTypeTable::Entry> e(2);
    e[0].name = "P", e[0].ttFile = "P", e[0].data.hasTravelTimes = 1;
    e[1].name = "Lg";
    types.SetEntries(std::move(e));
  }
  InsertPhaseFields Fields() const {
    InsertPhaseFields f;
    f.station = 0;
    f.channelName = "BHZ";
    f.phaseName = "P";
    f.date = "05/08/2009";
    f.time = "17:03:07.259";
    return f;
  }
  StationTable stations;
  PhaseTypeTable types;
};

TEST(InsertPhase, TimeField) {
  EXPECT_DOUBLE_EQ(*ParseInsertTime("01:02:03.5"), 3723.5);
  EXPECT_DOUBLE_EQ(*ParseInsertTime("1 2,3"), 3723);
  EXPECT_FALSE(ParseInsertTime("12:30"));  // seconds missing
  EXPECT_FALSE(ParseInsertTime(""));
  EXPECT_FALSE(ParseInsertTime("24:00:00"));
  EXPECT_FALSE(ParseInsertTime("10:60:00"));
  EXPECT_FALSE(ParseInsertTime("10:00:60"));
  EXPECT_FALSE(ParseInsertTime("aa:bb:cc"));
}

TEST(InsertPhase, FillsThePhaseFromTheFields) {
  Fixture f;
  const InsertPhaseOutcome out = MakeInsertedPhase(f.stations, f.types, f.Fields());
  ASSERT_EQ(out.refusal, InsertPhaseRefusal::kNone);
  const SEISMIC_PHASE& p = out.phase;
  EXPECT_NEAR(p.time, CalendarToEpoch(2009, 8, 5, 17, 3, 7.259), 1e-4);
  EXPECT_EQ(p.hour, 17);
  EXPECT_EQ(p.second, 7);
  EXPECT_EQ(p.hundredths, 25);  // truncated
  EXPECT_EQ(p.defining, 1);
  EXPECT_EQ(p.weight, 4);
  EXPECT_EQ(p.firstMotion, 4);
  // Dashes and dots separate the date as well; the second channel has a location code.
  InsertPhaseFields g = f.Fields();
  g.date = "05-08-2009";
  g.channelName = "BHN";
  g.phaseName = "Lg";
  const InsertPhaseOutcome lg = MakeInsertedPhase(f.stations, f.types, g);
  ASSERT_EQ(lg.refusal, InsertPhaseRefusal::kNone);
  EXPECT_EQ(lg.phase.channel, 1);
  EXPECT_EQ(lg.phase.defining, 0);
}

TEST(InsertPhase, RefusalsInTheirOrder) {
  Fixture f;
  InsertPhaseFields g = f.Fields();
  g.date = "31/02/2009";  // no such day
  g.station = -1;
  EXPECT_EQ(MakeInsertedPhase(f.stations, f.types, g).refusal, InsertPhaseRefusal::kBadDate);
  g.date = "01/03/2009";
  EXPECT_EQ(MakeInsertedPhase(f.stations, f.types, g).refusal, InsertPhaseRefusal::kNoStation);
  g.station = 7;  // beyond the table
  EXPECT_EQ(MakeInsertedPhase(f.stations, f.types, g).refusal, InsertPhaseRefusal::kNoStation);
  g.station = 0;
  g.time = "25:00:00";
  EXPECT_EQ(MakeInsertedPhase(f.stations, f.types, g).refusal, InsertPhaseRefusal::kBadTime);
  g.time = "01:00:00";
  g.channelName = "SHZ";
  EXPECT_EQ(MakeInsertedPhase(f.stations, f.types, g).refusal, InsertPhaseRefusal::kNotFound);
  g.channelName = "BHZ";
  g.phaseName = "PKP";
  EXPECT_EQ(MakeInsertedPhase(f.stations, f.types, g).refusal, InsertPhaseRefusal::kNotFound);
  EXPECT_EQ(InsertPhaseMessage(InsertPhaseRefusal::kNotFound), "");
  EXPECT_EQ(InsertPhaseMessage(InsertPhaseRefusal::kNoStation), "Выберите сейсмическую станцию");
  EXPECT_EQ(InsertPhaseMessage(InsertPhaseRefusal::kBadDate), "Введите правильную дату");
}

}  // namespace
}  // namespace nuv
