#include "traveltime/taup_ray.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nuv::taup {
namespace {

constexpr double kDepthTolerance = 1e-6;  // km
// Two slownesses closer than this (relative) bracket a boundary: no ray lies between them.
constexpr double kTwinRelative = 1e-7;
// Offset of the companion ray just above a boundary slowness, which turns above it.
constexpr double kAboveRelative = 1e-9;
constexpr double kRadPerDeg = std::numbers::pi / 180.0;

double Poly(const double* c, double x) {
  return c[0] + x * (c[1] + x * (c[2] + x * c[3]));
}

// Terms of the closed forms at slowness eta for a ray of slowness p (eta >= p):
// g = acos(p / eta), f = sqrt(eta^2 - p^2) - p g.
struct Terms {
  double f, g;
};
Terms At(double eta, double p) {
  double s = std::sqrt(std::max(0.0, (eta - p) * (eta + p)));
  double g = std::atan2(s, p);
  return {s - p * g, g};
}

}  // namespace

RaySet::RaySet(const EarthModel& model, std::vector<double> keyDepths, const RayOptions& options)
    : model_(model) {
  if (model_.CmbDepth() > 0) keyDepths.push_back(model_.CmbDepth());
  if (model_.IcbDepth() > 0) keyDepths.push_back(model_.IcbDepth());
  std::sort(keyDepths.begin(), keyDepths.end());
  for (double d : keyDepths) {
    if (d < 0 || d >= model_.Radius()) continue;
    if (keyDepths_.empty() || d - keyDepths_.back() > kDepthTolerance) keyDepths_.push_back(d);
  }
  BuildShells(options);
  BuildGrid(options);
}

int RaySet::KeyIndex(double depth) const {
  for (size_t i = 0; i < keyDepths_.size(); ++i)
    if (std::fabs(keyDepths_[i] - depth) <= kDepthTolerance) return static_cast<int>(i);
  return -1;
}

double RaySet::EtaAt(int w, double depth, bool below) const {
  double v = model_.Vp(depth, below);
  bool core =
      model_.CmbDepth() > 0 && (below ? depth >= model_.CmbDepth() : depth > model_.CmbDepth());
  if (w == kWaveS && !core) {
    double vs = model_.Vs(depth, below);
    if (vs > 0) v = vs;
  }
  return (model_.Radius() - depth) / v;
}

void RaySet::BuildShells(const RayOptions& options) {
  const double radius = model_.Radius();
  auto limit = [&](double depth) {
    if (depth < 210) return options.shellLimitUpper;
    if (depth < 800) return options.shellLimitMiddle;
    return options.shellLimitDeep;
  };
  for (const ModelRegion& region : model_.Regions()) {
    std::vector<double> cuts{region.topDepth};
    for (double k : keyDepths_)
      if (k > region.topDepth + kDepthTolerance && k < region.bottomDepth - kDepthTolerance)
        cuts.push_back(k);
    cuts.push_back(region.bottomDepth);
    // The S ray runs as P through fluids and through the whole core (SKS, SKIKS).
    bool fluid = region.vs[0] == 0 && region.vs[1] == 0 && region.vs[2] == 0 && region.vs[3] == 0;
    bool asP = fluid || (model_.CmbDepth() > 0 && region.topDepth >= model_.CmbDepth());
    auto eta = [&](double depth, int w) {
      double x = (radius - depth) / radius;
      double v = (w == kWaveS && !asP) ? Poly(region.vs, x) : Poly(region.vp, x);
      return (radius - depth) / v;
    };
    for (size_t c = 0; c + 1 < cuts.size(); ++c) {
      double top = cuts[c], bottom = cuts[c + 1];
      int n = std::max(1, static_cast<int>(std::ceil((bottom - top) / limit(top) - 1e-9)));
      for (int j = 0; j < n; ++j) {
        double d1 = top + (bottom - top) * j / n;
        double d2 = j + 1 == n ? bottom : top + (bottom - top) * (j + 1) / n;
        Shell s;
        s.depthTop = d1;
        s.rTop = radius - d1;
        s.rBottom = radius - d2;
        s.centre = s.rBottom <= kDepthTolerance;
        for (int w = 0; w < 2; ++w) {
          s.etaTop[w] = eta(d1, w);
          if (s.centre) {
            // The innermost shell is taken as homogeneous: eta = r / v, k = 1.
            s.etaBottom[w] = 0;
            s.k[w] = 1;
          } else {
            s.etaBottom[w] = eta(d2, w);
            s.k[w] = std::log(s.etaTop[w] / s.etaBottom[w]) / std::log(s.rTop / s.rBottom);
          }
        }
        shells_.push_back(s);
      }
    }
  }
}

void RaySet::Trace(Ray& ray) const {
  const double p = ray.p;
  const double radius = model_.Radius();
  const LegSum invalid{std::nan(""), std::nan("")};
  for (int w = 0; w < 2; ++w) {
    WaveRay& out = ray.wave[w];
    out.keys.assign(keyDepths_.size(), invalid);
    double tau = 0, delta = 0;
    size_t key = 0;
    bool turned = false;
    // Terms at the bottom of the shell above, reused when the slowness is continuous.
    double prevEta = -1;
    Terms prev{0, 0};
    for (const Shell& s : shells_) {
      while (key < keyDepths_.size() && keyDepths_[key] <= s.depthTop + kDepthTolerance)
        out.keys[key++] = {tau, delta};
      double et = s.etaTop[w], eb = s.etaBottom[w], k = s.k[w];
      if (p > et) {  // cannot enter: reflected at the top of this shell
        out.turnDepth = s.depthTop;
        turned = true;
        break;
      }
      Terms top = et == prevEta ? prev : At(et, p);
      if (s.centre || p > eb) {  // turns inside the shell, where eta = p
        tau += top.f / k;
        delta += top.g / k;
        double rTurn = p > 0 ? s.rTop * std::pow(p / et, 1.0 / k) : 0.0;
        out.turnDepth = radius - rTurn;
        turned = true;
        break;
      }
      if (std::fabs(k) < 1e-12) {  // eta constant through the shell
        double sq = std::sqrt(std::max(0.0, (et - p) * (et + p)));
        if (sq <= 0) {  // runs horizontally along the shell: take it as turning here
          out.turnDepth = s.depthTop;
          turned = true;
          break;
        }
        double lr = std::log(s.rTop / s.rBottom);
        tau += sq * lr;
        delta += p / sq * lr;
        continue;
      }
      Terms bottom = At(eb, p);
      tau += (top.f - bottom.f) / k;
      delta += (top.g - bottom.g) / k;
      prevEta = eb;
      prev = bottom;
    }
    if (!turned) out.turnDepth = radius;
    out.turn = {tau, delta};
  }
}

double RaySet::MaxDeltaGap(const Ray& a, const Ray& b) const {
  double gap = 0;
  for (int w = 0; w < 2; ++w) {
    gap = std::max(gap, std::fabs(a.wave[w].turn.delta - b.wave[w].turn.delta));
    for (size_t k = 0; k < keyDepths_.size(); ++k) {
      double da = a.wave[w].keys[k].delta, db = b.wave[w].keys[k].delta;
      if (std::isfinite(da) && std::isfinite(db)) gap = std::max(gap, std::fabs(da - db));
    }
  }
  return gap;
}

void RaySet::BuildGrid(const RayOptions& options) {
  std::vector<double> ps;
  double pMax = 0;
  for (const Shell& s : shells_) {
    for (int w = 0; w < 2; ++w) {
      for (double e : {s.etaTop[w], s.etaBottom[w]}) {
        if (e <= 0) continue;
        ps.push_back(e);
        ps.push_back(e * (1 + kAboveRelative));
        pMax = std::max(pMax, e);
      }
    }
  }
  for (int i = 0; i <= options.uniformRays; ++i) ps.push_back(pMax * i / options.uniformRays);
  std::sort(ps.begin(), ps.end());
  ps.erase(std::unique(ps.begin(), ps.end()), ps.end());
  // The slowness of the surface itself bounds every ray that reaches the surface.
  double pSurface = std::max(EtaAt(kWaveP, 0, true), EtaAt(kWaveS, 0, true));
  std::erase_if(ps, [&](double p) { return p > pSurface * (1 + 2 * kAboveRelative); });

  rays_.resize(ps.size());
  for (size_t i = 0; i < ps.size(); ++i) {
    rays_[i].p = ps[i];
    Trace(rays_[i]);
  }

  const double step = options.maxTurnStep * kRadPerDeg;
  for (int pass = 0; pass < options.refinePasses; ++pass) {
    std::vector<Ray> added;
    for (size_t i = 0; i + 1 < rays_.size(); ++i) {
      const Ray& a = rays_[i];
      const Ray& b = rays_[i + 1];
      if (b.p - a.p <= kTwinRelative * b.p) continue;
      double gap = MaxDeltaGap(a, b);
      if (gap <= step) continue;
      int n = std::min(100, static_cast<int>(std::ceil(gap / step)));
      for (int j = 1; j < n; ++j) {
        Ray r;
        r.p = a.p + (b.p - a.p) * j / n;
        Trace(r);
        added.push_back(std::move(r));
      }
    }
    if (added.empty()) break;
    for (auto& r : added) rays_.push_back(std::move(r));
    std::sort(rays_.begin(), rays_.end(), [](const Ray& x, const Ray& y) { return x.p < y.p; });
  }
}

}  // namespace nuv::taup
