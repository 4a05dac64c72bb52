// The QuakeML export is read back with tinyxml2, a parser that has nothing
// in common with the libxml2 writer.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <map>
#include <regex>
#include <set>

#include "bulletins/bulletin_fixture.h"
#include "bulletins/bulletin_time.h"
#include "bulletins/quakeml_writer.h"

namespace nuv::test {
namespace {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

std::string TextOf(const XMLElement* parent, const char* path1, const char* path2 = nullptr) {
  const XMLElement* e = parent ? parent->FirstChildElement(path1) : nullptr;
  if (e && path2) e = e->FirstChildElement(path2);
  return e && e->GetText() ? e->GetText() : "";
}

double NumberOf(const XMLElement* parent, const char* path1, const char* path2 = nullptr) {
  const std::string text = TextOf(parent, path1, path2);
  EXPECT_FALSE(text.empty()) << path1;
  return std::stod(text.empty() ? "nan" : text);
}

std::vector<const XMLElement*> Children(const XMLElement* parent, const char* name) {
  std::vector<const XMLElement*> out;
  for (const XMLElement* e = parent->FirstChildElement(name); e; e = e->NextSiblingElement(name))
    out.push_back(e);
  return out;
}

// Every publicID and every reference in the document.
void CollectIds(const XMLElement* e, std::set<std::string>& ids, std::vector<std::string>& refs) {
  for (; e; e = e->NextSiblingElement()) {
    if (const char* id = e->Attribute("publicID")) {
      EXPECT_TRUE(ids.insert(id).second) << "duplicate " << id;
    }
    const std::string name = e->Name();
    if (name.size() > 2 && name.substr(name.size() - 2) == "ID" && name != "agencyID" &&
        e->GetText())
      refs.push_back(e->GetText());
    CollectIds(e->FirstChildElement(), ids, refs);
  }
}

class QuakeMlTest : public BulletinTest {
 protected:
  void Fill() {
    SetOrigin();
    CurrentEvent& e = ws().event();
    e.eventComment = "Кыргызстан <север> & \"юг\"";
    e.eventMb = 4.6f;
    e.eventMbUnc = 0.2f;
    e.ellipse.major = 12.5f;
    e.ellipse.minor = 4.0f;
    e.ellipse.direction = 35;
    e.ellipse.depthError = 3.0f;
    e.fixDepth = false;
    SEISMIC_PHASE p = Phase(0, 0, 0, e.originTime + 61.25);
    p.defining = 1;
    p.hasResidual = 1;
    p.residual = -0.5f;
    p.distance = 4.0f;
    p.deltim = 0.1;
    p.onset = 1;
    p.firstMotion = 0;
    p.hasAmplitude = 1;
    p.amplitude = 0.25f;
    p.period = 0.8f;
    p.ampTime = p.time + 0.4;
    p.mb = 4.5f;
    p.hasPolarization = 1;
    p.azimuth = -60;
    SEISMIC_PHASE s = Phase(1, 1, 0, e.originTime + 100);
    s.defining = 1;
    s.hasResidual = 1;
    s.residual = 1.5f;
    s.mb = 4.7f;
    SEISMIC_PHASE n = Phase(0, 1, 1, e.originTime + 110);
    for (const auto& x : {p, s, n}) ws().phases().Add(x);
  }
};

TEST_F(QuakeMlTest, StructureAndValuesReadBackWithAnotherParser) {
  Fill();
  const std::string xml = FormatQuakeMl({source()}, 1.7e9);
  XMLDocument doc;
  ASSERT_EQ(doc.Parse(xml.c_str(), xml.size()), tinyxml2::XML_SUCCESS) << doc.ErrorStr();
  const XMLElement* root = doc.RootElement();
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->Name(), "q:quakeml");
  EXPECT_STREQ(root->Attribute("xmlns:q"), "http://quakeml.org/xmlns/quakeml/1.2");
  EXPECT_STREQ(root->Attribute("xmlns"), "http://quakeml.org/xmlns/bed/1.2");
  const XMLElement* params = root->FirstChildElement("eventParameters");
  ASSERT_NE(params, nullptr);
  const auto events = Children(params, "event");
  ASSERT_EQ(events.size(), 1u);
  const XMLElement* event = events[0];
  EXPECT_STREQ(event->Attribute("publicID"), "smi:nuv/event/20240315061900");
  EXPECT_EQ(TextOf(event, "preferredOriginID"), "smi:nuv/origin/20240315061900");
  EXPECT_EQ(TextOf(event, "preferredMagnitudeID"), "smi:nuv/magnitude/20240315061900/mb");
  EXPECT_EQ(TextOf(event, "description", "text"), "Кыргызстан <север> & \"юг\"");
  const XMLElement* origin = event->FirstChildElement("origin");
  ASSERT_NE(origin, nullptr);
  EXPECT_EQ(TextOf(origin, "time", "value"), "2024-03-15T06:19:00.250000Z");
  EXPECT_NEAR(NumberOf(origin, "latitude", "value"), 42.70, 1e-5);
  EXPECT_NEAR(NumberOf(origin, "longitude", "value"), 74.60, 1e-5);
  EXPECT_NEAR(NumberOf(origin, "depth", "value"), 15000, 1e-3);
  EXPECT_NEAR(NumberOf(origin, "depth", "uncertainty"), 3000, 1e-3);
  const XMLElement* quality = origin->FirstChildElement("quality");
  EXPECT_EQ(NumberOf(quality, "usedPhaseCount"), 2);
  EXPECT_EQ(NumberOf(quality, "associatedPhaseCount"), 3);
  EXPECT_EQ(NumberOf(quality, "usedStationCount"), 2);
  EXPECT_NEAR(NumberOf(quality, "standardError"), std::sqrt((0.25 + 2.25) / 2), 1e-6);
  const XMLElement* ellipse = origin->FirstChildElement("originUncertainty");
  EXPECT_NEAR(NumberOf(ellipse, "maxHorizontalUncertainty"), 12500, 1e-3);
  EXPECT_NEAR(NumberOf(ellipse, "minHorizontalUncertainty"), 4000, 1e-3);
  EXPECT_NEAR(NumberOf(ellipse, "azimuthMaxHorizontalUncertainty"), 35, 1e-6);
  const auto arrivals = Children(origin, "arrival");
  ASSERT_EQ(arrivals.size(), 3u);
  EXPECT_NEAR(NumberOf(arrivals[0], "timeResidual"), -0.5, 1e-6);
  EXPECT_NEAR(NumberOf(arrivals[0], "distance"), 4.0, 1e-6);
  EXPECT_EQ(NumberOf(arrivals[2], "timeWeight"), 0);
  const auto picks = Children(event, "pick");
  ASSERT_EQ(picks.size(), 3u);
  EXPECT_EQ(TextOf(picks[0], "time", "value"), "2024-03-15T06:20:01.500000Z");
  EXPECT_NEAR(NumberOf(picks[0], "time", "uncertainty"), 0.1, 1e-9);
  EXPECT_EQ(TextOf(picks[0], "onset"), "impulsive");
  EXPECT_EQ(TextOf(picks[0], "polarity"), "positive");
  EXPECT_NEAR(NumberOf(picks[0], "backazimuth", "value"), 300, 1e-4);
  EXPECT_EQ(TextOf(picks[0], "phaseHint"), "P");
  EXPECT_STREQ(picks[0]->FirstChildElement("waveformID")->Attribute("stationCode"), "MJAR");
  const auto amplitudes = Children(event, "amplitude");
  ASSERT_EQ(amplitudes.size(), 1u);
  EXPECT_NEAR(NumberOf(amplitudes[0], "genericAmplitude", "value"), 0.25e-6, 1e-12);
  EXPECT_NEAR(NumberOf(amplitudes[0], "period", "value"), 0.8, 1e-6);
  EXPECT_EQ(Children(event, "stationMagnitude").size(), 2u);
  const auto magnitudes = Children(event, "magnitude");
  ASSERT_EQ(magnitudes.size(), 1u);
  EXPECT_NEAR(NumberOf(magnitudes[0], "mag", "value"), 4.6, 1e-6);
  EXPECT_NEAR(NumberOf(magnitudes[0], "mag", "uncertainty"), 0.2, 1e-6);
  EXPECT_EQ(TextOf(magnitudes[0], "type"), "mb");
  EXPECT_EQ(Children(magnitudes[0], "stationMagnitudeContribution").size(), 2u);
  EXPECT_EQ(NumberOf(magnitudes[0], "stationCount"), 2);
  // Identifiers are unique, follow the resource-identifier pattern, and
  // every reference names an element of the document.
  std::set<std::string> ids;
  std::vector<std::string> refs;
  CollectIds(root, ids, refs);
  const std::regex pattern(
      R"((smi|quakeml):[\w\d][\w\d\-\.\*\(\)_~']{2,}/[\w\d\-\.\*\(\)_~'][\w\d\-\.\*\(\)\+\?_~'=,;#/&]*)");
  for (const std::string& id : ids) EXPECT_TRUE(std::regex_match(id, pattern)) << id;
  for (const std::string& ref : refs) EXPECT_TRUE(ids.count(ref)) << ref;
}

TEST_F(QuakeMlTest, IdentifiersAreStableAndAPeriodHoldsEveryEvent) {
  Fill();
  const std::string first = FormatQuakeMl({source()}, 1.7e9);
  const std::string again = FormatQuakeMl({source()}, 1.8e9);
  auto withoutCreation = [](std::string text) {
    const size_t a = text.find("<creationTime>"), b = text.find("</creationTime>");
    return text.erase(a, b - a);
  };
  EXPECT_EQ(withoutCreation(first), withoutCreation(again));
  auto second = MakeWorkstation();
  second->event().eventId = PadEventId("EV 2/b");  // characters an identifier cannot hold
  second->event().originValid = 0;
  second->phases().Add(Phase(3, 0, 0, -3e8));  // 1960
  const std::string xml = FormatQuakeMl({source(), SourceOf(*second)}, 1.7e9);
  XMLDocument doc;
  ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
  const auto events = Children(doc.RootElement()->FirstChildElement("eventParameters"), "event");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_STREQ(events[1]->Attribute("publicID"), "smi:nuv/event/EV_2_b");
  EXPECT_EQ(events[1]->FirstChildElement("origin"), nullptr);
  EXPECT_EQ(TextOf(events[1]->FirstChildElement("pick"), "time", "value"),
            "1960-06-29T18:40:00.000000Z");
}

TEST_F(QuakeMlTest, CodePage1251CommentsBecomeUtf8) {
  SetOrigin();
  ws().event().eventComment = std::string("\xCA\xE8\xF0\xE3\xE8\xE7");  // "Киргиз" in 1251
  const std::string xml = FormatQuakeMl({source()}, 1.7e9);
  XMLDocument doc;
  ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
  const XMLElement* event =
      doc.RootElement()->FirstChildElement("eventParameters")->FirstChildElement("event");
  EXPECT_EQ(TextOf(event, "description", "text"), "Киргиз");
}

}  // namespace
}  // namespace nuv::test
