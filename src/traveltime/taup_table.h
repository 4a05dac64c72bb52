#pragma once
// Travel-time set files: one table per phase and the "phaselist" that names them.
//
// A table file is text: a title line; the number of depths; the depths in km; the number
// of distances; the distances in degrees; then the times in seconds, depth-major (all
// distances of the first depth, then of the second, ...), -1 where the phase does not
// exist. Numbers run over as many lines as needed, ten to a line, so no line of numbers
// is longer than the 127 characters the workstation reads.

#include <ostream>
#include <string>
#include <vector>

#include "traveltime/taup_model.h"
#include "traveltime/taup_phase.h"

namespace nuv::taup {

struct TableGrid {
  std::vector<double> depths;     // km, ascending
  std::vector<double> distances;  // degrees, ascending
};

// 0 .. 800 km (finer in the crust) by 0 .. 180 degrees: 0.1 degree to 5 degrees, where
// crustal branches cross, 0.25 degree to 30 degrees, 0.5 degree beyond.
TableGrid StandardGrid();

// Writes a table; `values` holds depths.size() x distances.size() times, depth-major.
void WriteTable(std::ostream& out, const std::string& title, const TableGrid& grid,
                const std::vector<double>& values);

// "name file" lines in the given order, for the phases that have a table and those listed
// by name only.
void WritePhaseList(std::ostream& out, const std::vector<PhaseDef>& phases);

// The title line of a table: phase, model and how it was made (at most 127 characters).
std::string TableTitle(const PhaseDef& phase, const EarthModel& model);

struct GenerationReport {
  std::vector<std::string> files;   // written, relative to the directory
  size_t rays = 0;                  // rays traced
  size_t shells = 0;                // shells of the model
  std::vector<std::string> absent;  // phases without any arrival: no table written
};

// Computes every table of StandardPhases() on `grid` and writes the tables, "phaselist"
// and "README" into `dir` (created when missing). Each table keeps the depths of `grid`
// and the distances from the first to the last where its phase exists at some depth; a
// phase that exists nowhere gets no table. Throws std::runtime_error when a file
// cannot be written.
GenerationReport GenerateTravelTimeSet(const EarthModel& model, const std::string& dir,
                                       const TableGrid& grid = StandardGrid(),
                                       const RayOptions& options = {});

}  // namespace nuv::taup
