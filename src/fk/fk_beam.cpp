#include "fk/fk_beam.h"

#include <algorithm>
#include <cmath>

namespace nuv {

std::string FormFkBeam(const std::vector<FkPane>& panes, const FkBeamReference& reference,
                       double azimuthDegrees, double slownessSecPerKm, FkBeam& beam) {
  if (panes.empty()) return "Список отобраных каналов пуст.";
  if (!std::isfinite(azimuthDegrees) || !std::isfinite(slownessSecPerKm))
    return "Азимут и медленность должны быть числами.";
  const double t0 = reference.start;
  const double te = t0 + std::trunc(reference.windowLength);
  const double slots = std::trunc((te - t0) * reference.rate + 0.5);
  if (!(te > t0) || !(slots >= 1) || !(panes.front().rate > 0))
    return "Окно главного канала короче одного отсчета.";
  const size_t n = static_cast<size_t>(slots);
  std::vector<float> b(n, 0.0f);
  const double a = azimuthDegrees * 2 * M_PI / 360.0;
  for (const FkPane& p : panes) {
    if (!(p.rate > 0)) continue;
    const double shift =
        ((p.deast - reference.deast) * std::sin(a) + (p.dnorth - reference.dnorth) * std::cos(a)) *
        slownessSecPerKm;
    FkAddDelayed(p, shift, t0, te, b.data(), n);
  }
  const float count = static_cast<float>(panes.size());
  for (float& v : b) v /= count;
  beam.samples = std::move(b);
  beam.start = t0;
  beam.rate = panes.front().rate;
  return "";
}

int FkColourIndex(double value, double lowest, double highest) {
  if (!(highest > lowest) || !std::isfinite(value)) return 0;
  const double index = std::trunc((value - lowest) * 9.0 / (highest - lowest));
  return static_cast<int>(std::clamp(index, 0.0, 9.0));
}

}  // namespace nuv
