#include "traveltime/taup_phase.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <stdexcept>

#include "platform/strformat.h"
#include "traveltime/phase_names.h"

namespace nuv::taup {
namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();
// Neighbouring rays this close in slowness straddle a boundary slowness. When their
// turning points lie far apart, no ray lies between them (the top of a low-velocity zone:
// a shadow), so the pair is not interpolated. Across a boundary where the velocity
// increases the rays between them are reflections, and the pair is kept.
constexpr double kTwinRelative = 1e-7;
constexpr double kTwinTurnGap = 1.0;  // km

struct TermWeight {
  Term term;
  int weight;
};

Branch Make(std::initializer_list<TermWeight> terms, Zone turnP = Zone::kNone,
            Zone turnS = Zone::kNone, Split split = Split::kNone) {
  Branch b;
  for (auto t : terms) b.coef[t.term] += t.weight;
  b.turnP = turnP;
  b.turnS = turnS;
  b.split = split;
  return b;
}

// The direct wave up from the source, for sources in `zone`.
Branch Up(Term src, Zone zone) {
  Branch b = Make({{src, 1}});
  b.source = zone;
  return b;
}

// Down from the source, turning in `zone`, up to the surface.
Branch Down(int wave, Zone zone) {
  return wave == kWaveP ? Make({{kTurnP, 2}, {kSrcP, -1}}, zone)
                        : Make({{kTurnS, 2}, {kSrcS, -1}}, Zone::kNone, zone);
}

std::vector<Branch> Direct(int wave, Zone zone, bool diffracted) {
  Branch down = Down(wave, zone);
  down.diffracted = diffracted;
  return {Up(wave == kWaveP ? kSrcP : kSrcS, zone), down};
}

std::vector<PhaseDef> BuildPhases() {
  const Zone M = Zone::kAboveCore, K = Zone::kOuterCore, I = Zone::kInnerCore, N = Zone::kNone;
  const Split AB = Split::kAb, BC = Split::kBc;
  // PKP-type core paths from the surface and back: 2 TurnP - SrcP.
  const Branch pkpK = Make({{kTurnP, 2}, {kSrcP, -1}}, K);
  const Branch pkpI = Make({{kTurnP, 2}, {kSrcP, -1}}, I);
  auto pkkp = [&](Zone z, Split s) {
    return Make({{kTurnP, 4}, {kCmbP, -2}, {kSrcP, -1}}, z, N, s);
  };
  auto skks = [&](Zone z) { return Make({{kTurnS, 4}, {kCmbS, -2}, {kSrcS, -1}}, N, z); };
  auto sks = [&](Zone z) { return Make({{kTurnS, 2}, {kSrcS, -1}}, N, z); };
  auto skp = [&](Zone z, Split s) {
    return Make({{kTurnS, 2}, {kCmbS, -1}, {kSrcS, -1}, {kCmbP, 1}}, N, z, s);
  };
  auto spks = [&](Zone z, Split s) {
    return Make({{kSrcS, 1}, {kTurnP, 2}, {kCmbP, -1}, {kCmbS, 1}}, z, N, s);
  };
  auto withSplit = [](Branch b, Split s) {
    b.split = s;
    return b;
  };
  // Branches by phase name; names of the workstation's vocabulary without an entry
  // (surface waves) get no table.
  std::map<std::string, std::vector<Branch>> defs = {
      {"P", Direct(kWaveP, M, true)},
      {"S", Direct(kWaveS, M, true)},
      {"PKiKP", {Make({{kIcbP, 2}, {kSrcP, -1}})}},
      {"PKPdf", {pkpI}},
      {"Pn", Direct(kWaveP, Zone::kUppermostMantle, false)},
      {"Pg", Direct(kWaveP, Zone::kUpperCrust, false)},
      {"Sn", Direct(kWaveS, Zone::kUppermostMantle, false)},
      {"Sg", Direct(kWaveS, Zone::kUpperCrust, false)},
      {"PKKPab", {pkkp(K, AB)}},
      {"PKKPbc", {pkkp(K, BC)}},
      {"PKKPdf", {pkkp(I, Split::kNone)}},
      {"PKPPKP", {Make({{kTurnP, 4}, {kSrcP, -1}}, K), Make({{kTurnP, 4}, {kSrcP, -1}}, I)}},
      {"PKP", {pkpK, pkpI}},
      {"PKPab", {withSplit(pkpK, AB)}},
      {"PKPbc", {withSplit(pkpK, BC)}},
      {"PP", {Make({{kTurnP, 4}, {kSrcP, -1}}, M)}},
      {"PPP", {Make({{kTurnP, 6}, {kSrcP, -1}}, M)}},
      {"PPS", {Make({{kTurnP, 4}, {kSrcP, -1}, {kTurnS, 2}}, M, M)}},
      {"PS", {Make({{kTurnP, 2}, {kSrcP, -1}, {kTurnS, 2}}, M, M)}},
      {"Pb", Direct(kWaveP, Zone::kLowerCrust, false)},
      {"PcP", {Make({{kCmbP, 2}, {kSrcP, -1}})}},
      {"PcS", {Make({{kCmbP, 1}, {kSrcP, -1}, {kCmbS, 1}})}},
      {"pPKiKP", {Make({{kSrcP, 1}, {kIcbP, 2}})}},
      {"pPKP", {Make({{kSrcP, 1}, {kTurnP, 2}}, K), Make({{kSrcP, 1}, {kTurnP, 2}}, I)}},
      {"SKKS", {skks(K), skks(I)}},
      {"SKKSac", {skks(K)}},
      {"SKKSdf", {skks(I)}},
      {"SKPab", {skp(K, AB)}},
      {"SKPdf", {skp(I, Split::kNone)}},
      {"SKSac", {sks(K)}},
      {"SKSdf", {sks(I)}},
      {"SP", {Make({{kTurnS, 2}, {kSrcS, -1}, {kTurnP, 2}}, M, M)}},
      {"SPP", {Make({{kTurnS, 2}, {kSrcS, -1}, {kTurnP, 4}}, M, M)}},
      {"SS", {Make({{kTurnS, 4}, {kSrcS, -1}}, N, M)}},
      {"SSS", {Make({{kTurnS, 6}, {kSrcS, -1}}, N, M)}},
      {"Sb", Direct(kWaveS, Zone::kLowerCrust, false)},
      {"ScP", {Make({{kCmbS, 1}, {kSrcS, -1}, {kCmbP, 1}})}},
      {"ScS", {Make({{kCmbS, 2}, {kSrcS, -1}})}},
      {"pP", {Make({{kSrcP, 1}, {kTurnP, 2}}, M)}},
      {"pS", {Make({{kSrcP, 1}, {kTurnS, 2}}, N, M)}},
      {"sP", {Make({{kSrcS, 1}, {kTurnP, 2}}, M)}},
      {"sS", {Make({{kSrcS, 1}, {kTurnS, 2}}, N, M)}},
      {"sPcP", {Make({{kSrcS, 1}, {kCmbP, 2}})}},
      {"sPKSab", {spks(K, AB)}},
      {"sPKSbc", {spks(K, BC)}},
      {"sPKSdf", {spks(I, Split::kNone)}},
      {"sPKKPdf", {Make({{kSrcS, 1}, {kTurnP, 4}, {kCmbP, -2}}, I)}},
      {"SKS", {sks(K), sks(I)}},
  };
  std::vector<PhaseDef> phases;
  for (const auto& [name, file] : BuiltInPhaseTypes()) {
    auto it = defs.find(name);
    phases.push_back({name, file, it == defs.end() ? std::vector<Branch>{} : it->second});
  }
  // SKS, the first of SKSac and SKSdf, as bulletins name it.
  phases.push_back({"SKS", "SKS", defs.at("SKS")});
  return phases;
}

}  // namespace

const std::vector<PhaseDef>& StandardPhases() {
  static const std::vector<PhaseDef> phases = BuildPhases();
  return phases;
}

const PhaseDef* FindPhase(const std::string& name) {
  for (const auto& p : StandardPhases())
    if (p.name == name) return &p;
  return nullptr;
}

PhaseSolver::PhaseSolver(const RaySet& rays) : rays_(rays) {
  const EarthModel& m = rays.Model();
  if (m.CmbDepth() > 0) cmbKey_ = rays.KeyIndex(m.CmbDepth());
  if (m.IcbDepth() > 0) icbKey_ = rays.KeyIndex(m.IcbDepth());
  for (int w = 0; w < 2; ++w) pSurface_[w] = rays.EtaAt(w, 0, true);
}

PhaseSolver::ZoneRange PhaseSolver::Range(Zone zone) const {
  const EarthModel& m = rays_.Model();
  const double r = m.Radius();
  const double cmb = m.CmbDepth() > 0 ? m.CmbDepth() : r;
  const double icb = m.IcbDepth() > 0 ? m.IcbDepth() : r;
  const double tiny = 1e-6;
  switch (zone) {
    case Zone::kNone:
      return {-1, r};
    case Zone::kUpperCrust:
      return {-1, m.ConradDepth()};
    case Zone::kLowerCrust:
      return {m.ConradDepth(), m.MohoDepth()};
    case Zone::kUppermostMantle:
      return {m.MohoDepth(), std::min(kUppermostMantleBottom, cmb - tiny)};
    case Zone::kAboveCore:
      return {-1, cmb - tiny};
    case Zone::kOuterCore:
      if (m.CmbDepth() <= 0) return {r, r};
      return {cmb, icb - tiny};
    case Zone::kInnerCore:
      if (m.IcbDepth() <= 0) return {r, r};
      return {icb, r};
  }
  return {r, r};
}

std::vector<double> PhaseSolver::Times(const PhaseDef& phase, double depth,
                                       const std::vector<double>& distances) const {
  int key = rays_.KeyIndex(depth);
  if (key < 0)
    throw std::invalid_argument(StrFormat("%.3f km is not a source depth of the ray set", depth));
  std::vector<double> best(distances.size(), kInf);
  for (const Branch& b : phase.branches)
    SolveBranch(b, static_cast<size_t>(key), depth, distances, best);
  for (double& t : best)
    if (!std::isfinite(t)) t = -1;
  return best;
}

double PhaseSolver::Time(const std::string& phase, double depth, double distance) const {
  const PhaseDef* def = FindPhase(phase);
  if (!def) throw std::invalid_argument("unknown phase " + phase);
  return Times(*def, depth, {distance})[0];
}

void PhaseSolver::SolveBranch(const Branch& b, size_t srcKey, double depth,
                              const std::vector<double>& distances,
                              std::vector<double>& best) const {
  if (b.source != Zone::kNone && !Range(b.source).Contains(depth)) return;
  const bool useCmb = b.coef[kCmbP] || b.coef[kCmbS];
  if (useCmb && cmbKey_ < 0) return;
  if (b.coef[kIcbP] && icbKey_ < 0) return;
  const int srcWave = b.coef[kSrcP] ? kWaveP : kWaveS;
  bool usesWave[2] = {
      b.coef[kSrcP] || b.coef[kTurnP] || b.coef[kCmbP] || b.coef[kIcbP],
      b.coef[kSrcS] || b.coef[kTurnS] || b.coef[kCmbS],
  };
  const ZoneRange zoneP = Range(b.turnP), zoneS = Range(b.turnS);

  const size_t n = rays_.Count();
  std::vector<char> valid(n, 0);
  std::vector<double> dist(n), time(n);
  for (size_t i = 0; i < n; ++i) {
    const double p = rays_.Slowness(i);
    bool ok = !(usesWave[kWaveP] && p > pSurface_[kWaveP]) &&
              !(usesWave[kWaveS] && p > pSurface_[kWaveS]) && rays_.Reaches(srcWave, i, srcKey);
    if (ok && b.coef[kTurnP]) ok = zoneP.Contains(rays_.TurnDepth(kWaveP, i));
    if (ok && b.coef[kTurnS]) ok = zoneS.Contains(rays_.TurnDepth(kWaveS, i));
    if (ok && b.coef[kCmbP]) ok = rays_.Reaches(kWaveP, i, cmbKey_);
    if (ok && b.coef[kCmbS]) ok = rays_.Reaches(kWaveS, i, cmbKey_);
    if (ok && b.coef[kIcbP]) ok = rays_.Reaches(kWaveP, i, icbKey_);
    if (!ok) continue;
    const LegSum* pieces[kTermCount] = {
        &rays_.ToKey(kWaveP, i, srcKey),
        &rays_.ToKey(kWaveS, i, srcKey),
        &rays_.ToTurn(kWaveP, i),
        &rays_.ToTurn(kWaveS, i),
        cmbKey_ >= 0 ? &rays_.ToKey(kWaveP, i, cmbKey_) : nullptr,
        cmbKey_ >= 0 ? &rays_.ToKey(kWaveS, i, cmbKey_) : nullptr,
        icbKey_ >= 0 ? &rays_.ToKey(kWaveP, i, icbKey_) : nullptr,
    };
    double tau = 0, delta = 0;
    for (int t = 0; t < kTermCount; ++t) {
      if (!b.coef[t]) continue;
      tau += b.coef[t] * pieces[t]->tau;
      delta += b.coef[t] * pieces[t]->delta;
    }
    if (!std::isfinite(tau) || !std::isfinite(delta) || delta < -1e-12) continue;
    valid[i] = 1;
    dist[i] = std::max(0.0, delta) * kDegPerRad;
    time[i] = tau + p * std::max(0.0, delta);
  }

  // ab and bc: the slownesses above and below the caustic, the interior distance extremum.
  if (b.split != Split::kNone) {
    size_t first = n, last = 0, lo = n, hi = n;
    for (size_t i = 0; i < n; ++i) {
      if (!valid[i]) continue;
      if (first == n) first = i;
      last = i;
      if (lo == n || dist[i] < dist[lo]) lo = i;
      if (hi == n || dist[i] > dist[hi]) hi = i;
    }
    if (first == n) return;
    size_t m = n;
    if (lo != first && lo != last)
      m = lo;
    else if (hi != first && hi != last)
      m = hi;
    for (size_t i = 0; i < n; ++i) {
      if (!valid[i]) continue;
      bool keep = m == n ? b.split == Split::kAb : (b.split == Split::kAb ? i >= m : i <= m);
      valid[i] = keep;
    }
  }

  auto offer = [&](size_t node, double t) { best[node] = std::min(best[node], t); };
  // Every pair of neighbouring rays of the branch: the nodes whose (folded) distance lies
  // between theirs. Along the pair p runs linearly with distance and dT/dD = p, so
  // T = Ta + (D - Da) (pa + p(D)) / 2.
  for (size_t i = 0; i + 1 < n; ++i) {
    if (!valid[i] || !valid[i + 1]) continue;
    const double pa = rays_.Slowness(i), pb = rays_.Slowness(i + 1);
    const double da = dist[i], db = dist[i + 1];
    if (pb - pa <= kTwinRelative * pb) {
      bool shadow = false;
      for (int w = 0; w < 2; ++w) {
        if (b.coef[w == kWaveP ? kTurnP : kTurnS] &&
            std::fabs(rays_.TurnDepth(w, i) - rays_.TurnDepth(w, i + 1)) > kTwinTurnGap)
          shadow = true;
      }
      if (shadow) continue;
    }
    const double lo = std::min(da, db), hi = std::max(da, db);
    for (int m = static_cast<int>(std::floor(lo / 180.0)); m * 180.0 <= hi; ++m) {
      const double segLo = std::max(lo, m * 180.0), segHi = std::min(hi, (m + 1) * 180.0);
      if (segLo > segHi) continue;
      const bool even = m % 2 == 0;
      auto fold = [&](double raw) { return even ? raw - m * 180.0 : (m + 1) * 180.0 - raw; };
      const double fLo = std::min(fold(segLo), fold(segHi));
      const double fHi = std::max(fold(segLo), fold(segHi));
      auto it = std::lower_bound(distances.begin(), distances.end(), fLo - 1e-9);
      for (; it != distances.end() && *it <= fHi + 1e-9; ++it) {
        const double raw = even ? m * 180.0 + *it : (m + 1) * 180.0 - *it;
        const double d = std::clamp(raw, lo, hi);
        double t;
        if (hi - lo < 1e-12) {
          t = std::min(time[i], time[i + 1]);
        } else {
          const double f = (d - da) / (db - da);
          const double pd = pa + f * (pb - pa);
          t = time[i] + (d - da) / kDegPerRad * (pa + pd) / 2;
        }
        offer(static_cast<size_t>(it - distances.begin()), t);
      }
    }
  }

  // Diffraction along the core-mantle boundary beyond the ray that grazes it.
  if (b.diffracted && cmbKey_ >= 0) {
    size_t g = n;
    for (size_t i = 0; i < n && g == n; ++i)
      if (valid[i]) g = i;
    if (g == n) return;
    const int w = b.coef[kTurnP] ? kWaveP : kWaveS;
    if (rays_.Model().CmbDepth() - rays_.TurnDepth(w, g) > 1.0) return;  // not grazing
    const double p = rays_.Slowness(g);
    for (size_t k = 0; k < distances.size(); ++k) {
      const double d = distances[k];
      if (d > dist[g] && d <= kDiffractionLimit) offer(k, time[g] + (d - dist[g]) / kDegPerRad * p);
    }
  }
}

}  // namespace nuv::taup
