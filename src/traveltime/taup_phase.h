#pragma once
// Seismic phases as sums of ray pieces, and their travel times.
//
// Every phase is built from the surface-to-depth sums of a RaySet at one slowness p:
//   SrcP/SrcS   surface down to the source depth (P or S)
//   TurnP/TurnS surface down to the turning point
//   CmbP/CmbS   surface down to the core-mantle boundary
//   IcbP        surface down to the inner-core boundary
// e.g. P = 2 TurnP - SrcP (down from the source, turning, up to the surface),
// pP = SrcP + 2 TurnP (up to the surface, reflected, then a whole P), PcP = 2 CmbP - SrcP,
// PKKP = 4 TurnP - 2 CmbP - SrcP (two core legs, reflected under the core-mantle boundary).
// The same signed sum gives tau and distance; T = tau + p * distance.
//
// A phase has one or more branches; each branch restricts where its rays turn (zones of
// the model) and, for the ab/bc branches of core phases, on which side of the caustic
// (the distance extremum of the outer-core rays) its slownesses lie. A table holds one
// time per node: the first arrival over all branches of the phase.
//
// Naming (one time per node, first arrival of the named phase):
// - P, S: every direct P (S) that stays above the core: up-going from the source, turning
//   or reflected in the crust or mantle, so P is the first-arriving P wave at every distance
//   (Pg, Pb or Pn at short distances), continued beyond the core shadow as the wave
//   diffracted along the core-mantle boundary up to kDiffractionLimit degrees.
// - Pg, Pb, Pn (Sg, Sb, Sn): the same waves classified by their deepest point, as the IASPEI
//   standard phase list does: in the upper crust (above the Conrad), in the lower crust
//   (Conrad to Moho), in the uppermost mantle (Moho to kUppermostMantleBottom). An
//   up-going ray's deepest point is its source. Without a Conrad, Pg covers the whole
//   crust and Pb does not exist.
// - Depth phases pP, sP, pS, sS: up-going from the source, reflected at the surface, then a
//   whole P or S turning anywhere above the core.
// - Core phases: PcP, ScS, PcS, ScP reflect at the core-mantle boundary; PKiKP at the
//   inner-core boundary; PKPab/PKPbc turn in the outer core above/below the caustic B;
//   PKPdf (and every "df") turns in the inner core; SKSac/SKKSac turn in the outer core;
//   PKP, SKS, SKKS are the first arrival of their branches.
// - Surface multiples PP, SS, PPP, SSS, PS, SP, PPS, SPP: each leg turns above the core.

#include <string>
#include <vector>

#include "traveltime/taup_ray.h"

namespace nuv::taup {

// P and S beyond the core shadow are tabulated as diffracted waves up to this distance.
inline constexpr double kDiffractionLimit = 120.0;  // degrees
// Deepest turning point of Pn and Sn: the top of the transition zone.
inline constexpr double kUppermostMantleBottom = 410.0;  // km

enum Term : int { kSrcP, kSrcS, kTurnP, kTurnS, kCmbP, kCmbS, kIcbP, kTermCount };

enum class Zone {
  kNone,             // no restriction
  kUpperCrust,       // surface .. Conrad
  kLowerCrust,       // below the Conrad .. Moho
  kUppermostMantle,  // below the Moho .. kUppermostMantleBottom
  kAboveCore,        // surface .. above the core-mantle boundary
  kOuterCore,        // below the core-mantle boundary .. above the inner-core boundary
  kInnerCore,        // below the inner-core boundary
};

enum class Split { kNone, kAb, kBc };

struct Branch {
  int coef[kTermCount] = {};
  Zone turnP = Zone::kNone;   // where TurnP rays must turn
  Zone turnS = Zone::kNone;   // where TurnS rays must turn
  Zone source = Zone::kNone;  // where the source must lie (up-going branches)
  Split split = Split::kNone;
  bool diffracted = false;
};

struct PhaseDef {
  std::string name;
  std::string file;              // table file name in the travel-time directory
  std::vector<Branch> branches;  // empty: listed by name only, no table is computed
};

// The phase vocabulary of a travel-time set in "phaselist" order: the workstation's
// built-in names and file names (BuiltInPhaseTypes, P first), followed by SKS. Surface waves (LQ,
// LR, LRM, Lg, Rg) have no branches: they are listed so that they can be picked, but get no table.
const std::vector<PhaseDef>& StandardPhases();
const PhaseDef* FindPhase(const std::string& name);

// First-arrival travel times of phases from the rays of one model.
class PhaseSolver {
 public:
  explicit PhaseSolver(const RaySet& rays);

  // Travel times (s) at the given distances (degrees, ascending) for a source at `depth`,
  // which must be a key depth of the ray set; -1 where the phase does not exist.
  // Throws std::invalid_argument for a depth that is not a key depth.
  std::vector<double> Times(const PhaseDef& phase, double depth,
                            const std::vector<double>& distances) const;

  // One travel time (s), or -1. Convenience for checks; slower per value.
  double Time(const std::string& phase, double depth, double distance) const;

 private:
  struct ZoneRange {
    double above, below;  // a turning depth d belongs when above < d <= below
    bool Contains(double d) const { return d > above && d <= below; }
  };
  ZoneRange Range(Zone zone) const;
  void SolveBranch(const Branch& branch, size_t srcKey, double depth,
                   const std::vector<double>& distances, std::vector<double>& best) const;

  const RaySet& rays_;
  int cmbKey_ = -1, icbKey_ = -1;
  double pSurface_[2] = {0, 0};
};

}  // namespace nuv::taup
