#pragma once
// Spherically symmetric Earth models for the travel-time generator.
//
// A model is a stack of regions from the surface to the centre; inside a
// region each velocity is a cubic polynomial in the normalised radius
// x = r / radius (the form in which IASP91 is published). A velocity jump
// between two regions is a first-order discontinuity. The published IASP91
// model is built in; a network can describe its own model in a small text
// file (see EarthModel::Parse).

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::taup {

// A model file that cannot be used; the text names the line and the fault.
class ModelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ModelRegion {
  double topDepth = 0;          // km
  double bottomDepth = 0;       // km, > topDepth
  double vp[4] = {0, 0, 0, 0};  // km/s: a0 + a1 x + a2 x^2 + a3 x^3
  double vs[4] = {0, 0, 0, 0};  // km/s; 0 in a fluid
};

class EarthModel {
 public:
  // IASP91 (Kennett and Engdahl, 1991), coefficients as published.
  static EarthModel Iasp91();

  // A model from text. Lines (anything after "#" is a comment, blank lines skipped):
  //   depth vp vs          velocities in km/s at a depth in km, depths ascending from 0;
  //                        linear between consecutive lines; a depth given twice is a
  //                        discontinuity (first line: above it, second line: below it)
  //   name TEXT            a name for file headers (default: none)
  //   radius R             Earth radius in km (default 6371)
  //   conrad D / moho D    depths of the crustal boundaries (see ConradDepth, MohoDepth)
  // Below the last depth line the model continues with IASP91, so a regional file may
  // describe the crust and upper mantle only. Throws ModelError.
  static EarthModel Parse(std::string_view text);
  // Parse() on the contents of a file; the error text names the file. Throws ModelError.
  static EarthModel Load(const std::string& path);

  const std::string& Name() const { return name_; }
  double Radius() const { return radius_; }
  const std::vector<ModelRegion>& Regions() const { return regions_; }

  // Velocity at a depth; at a region boundary `below` selects the lower region.
  double Vp(double depth, bool below = false) const;
  double Vs(double depth, bool below = false) const;

  // Depths of the velocity jumps (either wave), ascending.
  std::vector<double> DiscontinuityDepths() const;

  // Base of the upper crust (Pg/Sg above it, Pb/Sb below); equals MohoDepth() when the
  // model has no such boundary. Model files may set it with "conrad"; otherwise it is the
  // deepest discontinuity above the Moho, if any.
  double ConradDepth() const { return conrad_; }
  // Crust-mantle boundary: "moho" of the file, else the shallowest discontinuity with
  // Vp >= 7.6 km/s below it. 0 when none is found.
  double MohoDepth() const { return moho_; }
  // Top and bottom of the fluid outer core (the deepest zone with Vs = 0); -1 when the
  // model has none, in which case no core phase exists.
  double CmbDepth() const { return cmb_; }
  double IcbDepth() const { return icb_; }

 private:
  const ModelRegion& RegionAt(double depth, bool below) const;
  double Evaluate(const double* c, double depth) const;
  void FindBoundaries(double conradHint, double mohoHint);

  std::string name_;
  double radius_ = 6371.0;
  std::vector<ModelRegion> regions_;
  double conrad_ = 0, moho_ = 0, cmb_ = -1, icb_ = -1;
};

}  // namespace nuv::taup
