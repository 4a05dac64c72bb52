#pragma once
// Ray integrals of a spherically symmetric model in the slowness domain (tau-p).
//
// The model is cut into thin shells; inside a shell the slowness eta = r / v follows a
// power law of the radius, eta = c r^k (the Bullen law), so the delay time tau and the
// distance delta of a ray of slowness p have closed forms:
//   delta = [acos(p / eta)] / k,  tau = [sqrt(eta^2 - p^2) - p acos(p / eta)] / k
// between the shell's top and bottom (or the turning point, where eta = p). The shells
// are at most a few kilometres thick, so the power law follows the model's polynomials
// to far better than a millisecond of travel time.
//
// For every ray of a dense slowness grid, and for P and S, the sums from the surface down
// to a set of key depths (the source depths of the tables, the core boundaries) and down
// to the turning point are kept. Every phase is a signed sum of these pieces (see
// taup_phase.h). Rays that meet a boundary below which eta < p are reflected there; their
// turning depth is that boundary (wide-angle reflections belong to the branch above).
// The grid holds the slowness of every shell boundary (rays turning exactly there) and
// is refined until neighbouring rays lie close together in distance.

#include <cstddef>
#include <vector>

#include "traveltime/taup_model.h"

namespace nuv::taup {

enum Wave : int { kWaveP = 0, kWaveS = 1 };

struct RayOptions {
  int uniformRays = 3000;     // evenly spaced slownesses before refinement
  double maxTurnStep = 0.05;  // degrees of one-way distance between neighbours
  int refinePasses = 6;
  double shellLimitUpper = 2.0;   // km, shell thickness above 210 km
  double shellLimitMiddle = 5.0;  // km, 210 .. 800 km
  double shellLimitDeep = 10.0;   // km, below 800 km
};

struct LegSum {
  double tau = 0;    // s
  double delta = 0;  // radians
};

// The S wave travels as P in fluid layers (the outer core), so "S" rays give SKS-type paths.
class RaySet {
 public:
  // `keyDepths` are made shell boundaries; the core boundaries are added to them.
  RaySet(const EarthModel& model, std::vector<double> keyDepths, const RayOptions& options = {});

  const EarthModel& Model() const { return model_; }
  size_t Count() const { return rays_.size(); }
  double Slowness(size_t ray) const { return rays_[ray].p; }  // s/rad, ascending with ray

  // Index of a key depth (within 1e-6 km); -1 when it is not a key.
  int KeyIndex(double depth) const;
  double KeyDepth(size_t key) const { return keyDepths_[key]; }

  // Whether the ray started down at the surface as wave w reaches the key depth (passes
  // through it or turns exactly there). Only then ToKey is meaningful.
  bool Reaches(int w, size_t ray, size_t key) const {
    return rays_[ray].wave[w].turnDepth >= keyDepths_[key] - 1e-9;
  }
  const LegSum& ToKey(int w, size_t ray, size_t key) const { return rays_[ray].wave[w].keys[key]; }
  const LegSum& ToTurn(int w, size_t ray) const { return rays_[ray].wave[w].turn; }
  double TurnDepth(int w, size_t ray) const { return rays_[ray].wave[w].turnDepth; }

  // Slowness (s/rad) of wave w at a depth, on the upper or lower side of a boundary.
  double EtaAt(int w, double depth, bool below) const;

  size_t ShellCount() const { return shells_.size(); }

 private:
  struct Shell {
    double depthTop, rTop, rBottom;
    double etaTop[2], etaBottom[2], k[2];
    bool centre;
  };
  struct WaveRay {
    LegSum turn;
    double turnDepth = 0;
    std::vector<LegSum> keys;
  };
  struct Ray {
    double p = 0;
    WaveRay wave[2];
  };

  void BuildShells(const RayOptions& options);
  void Trace(Ray& ray) const;
  void BuildGrid(const RayOptions& options);
  double MaxDeltaGap(const Ray& a, const Ray& b) const;

  EarthModel model_;
  std::vector<double> keyDepths_;
  std::vector<Shell> shells_;
  std::vector<Ray> rays_;
};

}  // namespace nuv::taup
