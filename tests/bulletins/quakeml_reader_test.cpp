// QuakeML written by other programs (a hand-written FDSN-style document)
// and by this system's own export, read into the current event.

#include "bulletins/quakeml_reader.h"

#include <gtest/gtest.h>

#include "bulletins/bulletin_fixture.h"
#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/ims_writer.h"
#include "bulletins/quakeml_writer.h"

namespace nuv::test {
namespace {

const std::string kFdsnFile = std::string(NUV_TEST_DATA_DIR) + "/bulletins/fdsn_events.xml";

std::vector<std::string> Reasons(const std::vector<SkippedLine>& lines) {
  std::vector<std::string> out;
  for (const SkippedLine& s : lines) out.push_back(std::to_string(s.line) + " " + s.reason);
  return out;
}

class QuakeMlReaderTest : public BulletinTest {};

TEST_F(QuakeMlReaderTest, AgencyEventWithPreferredOriginPicksAndMagnitudes) {
  const QuakeMlDocument document = ParseQuakeMl(*ReadWholeFile(kFdsnFile));
  ASSERT_EQ(document.failure, "");
  const auto listed = ListQuakeMlEvents(document);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].identifier, "611820455");
  EXPECT_EQ(listed[1].identifier, "us7000m1a2");
  EXPECT_EQ(listed[1].comment, "NEAR COAST OF PERU");

  const BulletinReadResult r = ReadQuakeMlEvent(ws(), kFdsnFile, "611820455", false);
  ASSERT_TRUE(r.ok) << r.message;
  const CurrentEvent& e = ws().event();
  EXPECT_EQ(e.eventId, PadEventId("611820455"));
  EXPECT_EQ(e.eventComment, "Kyrgyzstan");
  EXPECT_EQ(e.originValid, 1);
  EXPECT_EQ(e.orid, -1);  // a save gives it a number of this database
  EXPECT_NEAR(e.originTime, BulletinEpoch(2024, 3, 15, 6, 19, 0.25), 1e-4);
  EXPECT_FLOAT_EQ(e.originLat, 42.7f);
  EXPECT_FLOAT_EQ(e.originLon, 74.6f);
  EXPECT_FLOAT_EQ(e.originDepth, 15.0f);
  EXPECT_FLOAT_EQ(e.ellipse.depthError, 2.0f);
  EXPECT_FLOAT_EQ(e.ellipse.major, 12.5f);
  EXPECT_FLOAT_EQ(e.ellipse.minor, 4.0f);
  EXPECT_FLOAT_EQ(e.ellipse.direction, 35.0f);
  EXPECT_FLOAT_EQ(e.eventMb, 4.6f);  // the preferred magnitude, not the first mb
  EXPECT_FLOAT_EQ(e.eventMbUnc, 0.2f);
  EXPECT_FLOAT_EQ(e.eventMs, 4.1f);

  // MJAR P with amplitude and station mb, MJAR S on N-S, KSRS Sg on its
  // only channel, USRK P on the named BHZ only, AB Pn from its phase hint.
  ASSERT_EQ(ws().phases().Count(), 5);
  const SEISMIC_PHASE* p = ws().phases().Find(0, 0, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_NEAR(p->time, BulletinEpoch(2024, 3, 15, 6, 20, 0.125), 1e-4);
  EXPECT_DOUBLE_EQ(p->deltim, 0.05);
  EXPECT_EQ(p->onset, 1);
  EXPECT_EQ(p->firstMotion, 6);
  EXPECT_FLOAT_EQ(p->azimuth, 48.5f);
  EXPECT_FLOAT_EQ(p->slowness, 12.3f);
  EXPECT_FLOAT_EQ(p->distance, 4.25f);
  EXPECT_FLOAT_EQ(p->residual, -0.4f);
  EXPECT_EQ(p->defining, 1);
  EXPECT_EQ(p->weight, 0);
  EXPECT_FLOAT_EQ(p->amplitude, 0.125f);
  EXPECT_FLOAT_EQ(p->period, 0.8f);
  EXPECT_FLOAT_EQ(p->mb, 4.7f);
  const SEISMIC_PHASE* s = ws().phases().Find(0, 1, 1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->weight, 2);
  EXPECT_EQ(s->defining, 1);
  const SEISMIC_PHASE* sg = ws().phases().Find(2, 0, 3);
  ASSERT_NE(sg, nullptr);
  EXPECT_NEAR(sg->time, BulletinEpoch(2024, 3, 15, 6, 21, 14), 1e-4);  // written at +03:00
  EXPECT_EQ(sg->defining, 0);
  EXPECT_EQ(ws().phases().Find(1, 0, 0), nullptr);
  EXPECT_NE(ws().phases().Find(1, 1, 0), nullptr);
  ASSERT_NE(ws().phases().Find(3, 0, 6), nullptr);
  EXPECT_EQ(ws().phases().Find(3, 0, 6)->defining, 0);

  EXPECT_EQ(
      Reasons(r.skipped),
      (std::vector<std::string>{"62 нет названия фазы", "94 другое решение (не основное)",
                                "153 станция XXXX неизвестна",
                                "157 вступление ссылается на неизвестную отметку smi:ISC/pickid=99",
                                "165 ещё одна магнитуда mb", "188 магнитуда Mw другого решения"}));
  EXPECT_EQ(Reasons(r.notes),
            std::vector<std::string>{
                "144 у станции KSRS нет канала для фазы Sg: фаза помещена на канал Z"});

  // The second event by its publicID: an origin whose depth was fixed.
  ASSERT_TRUE(ReadQuakeMlEvent(ws(), kFdsnFile, "quakeml:us.anss.org/event/us7000m1a2", false).ok);
  EXPECT_EQ(ws().event().eventComment, "NEAR COAST OF PERU");
  EXPECT_TRUE(ws().event().fixDepth);
  EXPECT_EQ(ws().event().eventMb, kNoMagnitude);
  ASSERT_EQ(ws().phases().Count(), 1);
  EXPECT_NEAR(ws().phases().GetAt(0)->time, BulletinEpoch(2024, 3, 16, 0, 0, 5), 1e-4);
}

TEST_F(QuakeMlReaderTest, OwnExportReadsBack) {
  SetOrigin();
  CurrentEvent& e = ws().event();
  e.eventMb = 4.6f;
  e.eventMbUnc = 0.2f;
  e.ellipse = {12.5f, 4.0f, 35, 3.0f};
  SEISMIC_PHASE a = Phase(0, 0, 0, e.originTime + 61.25);
  a.defining = 1;
  a.hasResidual = 1;
  a.residual = -0.5f;
  a.distance = 4.0f;
  a.onset = 1;
  a.firstMotion = 6;
  a.hasAmplitude = 1;
  a.amplitude = 0.25f;
  a.period = 0.8f;
  a.mb = 4.5f;
  SEISMIC_PHASE b = Phase(2, 0, 3, e.originTime + 110.5);  // Sg on a vertical channel
  b.firstMotion = 4;
  ws().phases().Add(a);
  ws().phases().Add(b);
  const std::string path = dir.WriteFile("own.xml", FormatQuakeMl({source()}, 1.7e9)).string();
  auto other = MakeWorkstation();
  const BulletinReadResult r = ReadQuakeMlEvent(*other, path, "", false);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.skipped.empty()) << Reasons(r.skipped)[0];
  EXPECT_TRUE(r.notes.empty());
  // Everything the REB bulletin shows but the origin id comes back.
  other->event().orid = e.orid;
  EXPECT_EQ(FormatRebBulletin(SourceOf(*other)), FormatRebBulletin(source()));
  EXPECT_FLOAT_EQ(other->event().eventMb, 4.6f);
  EXPECT_FLOAT_EQ(other->event().ellipse.depthError, 3.0f);
}

TEST_F(QuakeMlReaderTest, FailedReadingsChangeNothing) {
  SetOrigin();
  ws().phases().Add(Phase(0, 0, 0, ws().event().originTime + 60));
  const std::string before = FormatRebBulletin(source());
  const std::string whole = *ReadWholeFile(kFdsnFile);
  const std::string open =
      "<q:quakeml xmlns=\"http://quakeml.org/xmlns/bed/1.2\" "
      "xmlns:q=\"http://quakeml.org/xmlns/quakeml/1.2\"><eventParameters publicID=\"x\">";
  const std::pair<std::string, std::string> cases[] = {
      {whole.substr(0, whole.size() / 2), "ошибка XML в строке"},
      {"", "ошибка XML"},
      {"<quakeml><eventParameters/></quakeml>", "не является документом QuakeML 1.2"},
      {"<?xml version=\"1.0\"?><StationXML xmlns=\"http://www.fdsn.org/xml/station/1\"/>",
       "не является документом QuakeML 1.2"},
      {open + "</eventParameters></q:quakeml>", "В файле нет событий"},
      {open + "<event publicID=\"smi:a/1\"/></eventParameters></q:quakeml>",
       "нет решения о гипоцентре"},
      {open + "<event publicID=\"smi:a/1\"><origin publicID=\"o\"><latitude><value>1</value>"
              "</latitude></origin></event></eventParameters></q:quakeml>",
       "нет времени в очаге"},
      {open + "<event publicID=\"smi:a/2\"/></eventParameters></q:quakeml>", "не найдено"},
  };
  int n = 0;
  for (const auto& [text, why] : cases) {
    const std::string name = "bad" + std::to_string(n++) + ".xml";
    const BulletinReadResult r =
        ReadQuakeMlEvent(ws(), dir.WriteFile(name, text).string(),
                         text.find("smi:a/2") != std::string::npos ? "1" : "", false);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_NE(r.message.find(why), std::string::npos) << name << ": " << r.message;
    EXPECT_EQ(FormatRebBulletin(source()), before) << name;
  }
}

}  // namespace
}  // namespace nuv::test
