#include "traveltime/taup_model.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/strformat.h"

namespace nuv::taup {
namespace {

constexpr double kIasp91Radius = 6371.0;
// Vp below a boundary from which it is taken as the crust-mantle boundary.
constexpr double kMantleVp = 7.6;
// Velocities closer than this are the same on both sides of a boundary: the published
// coefficients are rounded, so a smooth boundary (120 km, 2740 km in IASP91) shows jumps
// of up to 1e-4 km/s.
constexpr double kJumpTolerance = 1e-3;

ModelRegion Region(double top, double bottom, std::initializer_list<double> vp,
                   std::initializer_list<double> vs) {
  ModelRegion r;
  r.topDepth = top;
  r.bottomDepth = bottom;
  std::copy(vp.begin(), vp.end(), r.vp);
  std::copy(vs.begin(), vs.end(), r.vs);
  return r;
}

// The IASP91 velocity model of Kennett and Engdahl (1991): velocities in km/s as
// cubic polynomials in x = r / 6371 km.
std::vector<ModelRegion> Iasp91Regions() {
  return {
      Region(0, 20, {5.80}, {3.36}),
      Region(20, 35, {6.50}, {3.75}),
      Region(35, 120, {8.78541, -0.74953}, {6.706231, -2.248585}),
      Region(120, 210, {25.41389, -17.69722}, {5.75020, -1.27420}),
      Region(210, 410, {30.78765, -23.25415}, {15.24213, -11.08552}),
      Region(410, 660, {29.38896, -21.40656}, {17.70732, -13.50652}),
      Region(660, 760, {25.96984, -16.93412}, {20.76890, -16.53147}),
      Region(760, 2740, {25.1486, -41.1538, 51.9932, -26.6083},
             {12.9303, -21.2590, 27.8988, -14.1080}),
      Region(2740, 2889, {14.49470, -1.47089}, {8.16616, -1.58206}),
      Region(2889, 5153.9, {10.03904, 3.75665, -13.67046}, {0}),
      Region(5153.9, 6371, {11.24094, 0, -4.09689}, {3.56454, 0, -3.45241}),
  };
}

// A region whose velocities run linearly in depth from (d1, p1, s1) to (d2, p2, s2),
// written as polynomials in x = (radius - depth) / radius.
ModelRegion LinearRegion(double radius, double d1, double p1, double s1, double d2, double p2,
                         double s2) {
  ModelRegion r;
  r.topDepth = d1;
  r.bottomDepth = d2;
  double h = d2 - d1;
  // v(d) = v1 + (v2 - v1) (d - d1) / h with d = radius (1 - x)
  r.vp[0] = p1 + (p2 - p1) * (radius - d1) / h;
  r.vp[1] = -(p2 - p1) * radius / h;
  r.vs[0] = s1 + (s2 - s1) * (radius - d1) / h;
  r.vs[1] = -(s2 - s1) * radius / h;
  return r;
}

struct ModelLine {
  double depth, vp, vs;
  int line;
};

}  // namespace

EarthModel EarthModel::Iasp91() {
  EarthModel m;
  m.name_ = "IASP91 (Kennett and Engdahl, 1991)";
  m.radius_ = kIasp91Radius;
  m.regions_ = Iasp91Regions();
  m.FindBoundaries(20, 35);
  return m;
}

EarthModel EarthModel::Parse(std::string_view text) {
  EarthModel m;
  m.radius_ = kIasp91Radius;
  double conradHint = -1, mohoHint = -1;
  std::vector<ModelLine> points;
  std::istringstream in{std::string(text)};
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    std::string line = raw.substr(0, raw.find('#'));
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    auto fail = [&](const std::string& why) {
      throw ModelError(StrFormat("line %d: %s", lineNo, why.c_str()));
    };
    if (first == "name") {
      std::string rest;
      std::getline(words, rest);
      m.name_ = std::string(Trim(rest));
      continue;
    }
    if (first == "radius" || first == "conrad" || first == "moho") {
      double v;
      if (!(words >> v) || v <= 0) fail("\"" + first + "\" needs a positive number in km");
      (first == "radius" ? m.radius_ : first == "conrad" ? conradHint : mohoHint) = v;
      continue;
    }
    ModelLine p{0, 0, 0, lineNo};
    std::istringstream nums(line);
    if (!(nums >> p.depth >> p.vp >> p.vs)) fail("expected \"depth vp vs\" or a keyword");
    std::string extra;
    if (nums >> extra) fail("unexpected text \"" + extra + "\"");
    if (!std::isfinite(p.depth) || !std::isfinite(p.vp) || !std::isfinite(p.vs))
      fail("not a finite number");
    if (p.vp <= 0) fail("Vp must be positive");
    if (p.vs < 0 || p.vs >= p.vp) fail("Vs must be at least 0 and below Vp");
    if (points.empty() && p.depth != 0) fail("the first depth must be 0");
    if (!points.empty()) {
      if (p.depth < points.back().depth) fail("depths must not decrease");
      if (points.size() >= 2 && p.depth == points.back().depth &&
          points[points.size() - 2].depth == p.depth)
        fail("a depth may appear at most twice");
    }
    points.push_back(p);
  }
  if (points.size() < 2) throw ModelError("a model needs at least two depth lines");
  // The lower side of a last discontinuity would describe a layer of no thickness.
  if (points.back().depth == points[points.size() - 2].depth)
    throw ModelError(StrFormat("line %d: the model ends at a discontinuity", points.back().line));
  if (points.back().depth > m.radius_)
    throw ModelError(
        StrFormat("line %d: depth beyond the radius %.1f km", points.back().line, m.radius_));

  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const auto& a = points[i];
    const auto& b = points[i + 1];
    if (b.depth == a.depth) continue;
    m.regions_.push_back(LinearRegion(m.radius_, a.depth, a.vp, a.vs, b.depth, b.vp, b.vs));
  }
  // Continue with IASP91 below the last line, measured as depth below the surface.
  double last = points.back().depth;
  if (last < m.radius_) {
    if (m.radius_ != kIasp91Radius)
      throw ModelError(
          StrFormat("the model ends at %.1f km above the centre; with a radius "
                    "other than %.0f km it must reach the centre",
                    last, kIasp91Radius));
    for (ModelRegion r : Iasp91Regions()) {
      if (r.bottomDepth <= last) continue;
      r.topDepth = std::max(r.topDepth, last);
      m.regions_.push_back(r);
    }
  }
  if (conradHint > 0 && mohoHint > 0 && conradHint > mohoHint)
    throw ModelError("the Conrad lies below the Moho");
  m.FindBoundaries(conradHint, mohoHint);
  return m;
}

EarthModel EarthModel::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ModelError(path + ": cannot be opened");
  std::ostringstream text;
  text << in.rdbuf();
  try {
    EarthModel m = Parse(text.str());
    if (m.name_.empty()) m.name_ = path;
    return m;
  } catch (const ModelError& e) {
    throw ModelError(path + ": " + e.what());
  }
}

const ModelRegion& EarthModel::RegionAt(double depth, bool below) const {
  for (const auto& r : regions_) {
    if (below ? depth < r.bottomDepth : depth <= r.bottomDepth) return r;
  }
  return regions_.back();
}

double EarthModel::Evaluate(const double* c, double depth) const {
  double x = (radius_ - depth) / radius_;
  return c[0] + x * (c[1] + x * (c[2] + x * c[3]));
}

double EarthModel::Vp(double depth, bool below) const {
  return Evaluate(RegionAt(depth, below).vp, depth);
}

double EarthModel::Vs(double depth, bool below) const {
  return Evaluate(RegionAt(depth, below).vs, depth);
}

std::vector<double> EarthModel::DiscontinuityDepths() const {
  std::vector<double> out;
  for (size_t i = 0; i + 1 < regions_.size(); ++i) {
    double d = regions_[i].bottomDepth;
    if (std::fabs(Vp(d, false) - Vp(d, true)) > kJumpTolerance ||
        std::fabs(Vs(d, false) - Vs(d, true)) > kJumpTolerance)
      out.push_back(d);
  }
  return out;
}

void EarthModel::FindBoundaries(double conradHint, double mohoHint) {
  std::vector<double> jumps = DiscontinuityDepths();
  moho_ = 0;
  if (mohoHint > 0) {
    moho_ = mohoHint;
  } else {
    for (double d : jumps) {
      if (Vp(d, true) >= kMantleVp) {
        moho_ = d;
        break;
      }
    }
  }
  conrad_ = moho_;
  if (conradHint > 0) {
    conrad_ = std::min(conradHint, moho_ > 0 ? moho_ : conradHint);
  } else {
    for (double d : jumps)
      if (d < moho_) conrad_ = d;  // deepest jump above the Moho
  }
  // Outer core: the deepest fluid zone, from the top of its first fluid region to the
  // bottom of its last one.
  cmb_ = icb_ = -1;
  for (size_t i = regions_.size(); i-- > 0;) {
    const auto& r = regions_[i];
    bool fluid = r.vs[0] == 0 && r.vs[1] == 0 && r.vs[2] == 0 && r.vs[3] == 0;
    if (fluid) {
      if (icb_ < 0) icb_ = r.bottomDepth;
      cmb_ = r.topDepth;
    } else if (icb_ >= 0) {
      break;
    }
  }
  // A fluid zone that reaches the centre has no inner core below it.
  if (icb_ >= radius_) icb_ = -1;
}

}  // namespace nuv::taup
