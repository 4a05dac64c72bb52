#pragma once
// Station magnitudes (Mb, Ms, MPLP, MPSP, coda magnitude, ML), the energy
// class K of local events (Rautian nomogram and the VEGIK and SKM
// formulas), and the network magnitudes of the event.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "traveltime/travel_time.h"

namespace nuv {

class NUVPhases;
class PhaseTypeTable;
class StationTable;
struct CurrentEvent;

inline constexpr const char* kMsgPeriodZero = "Период = 0";
inline constexpr const char* kMsgAmplitudeZero = "Амплитуда = 0";
inline constexpr const char* kMsgMbCalibration = "Ошибка загрузки файла калибровки для Mb";
inline constexpr const char* kMsgMplpCalibration = "Ошибка загрузки файла калибровки для MPLP";
inline constexpr const char* kMsgMpspCalibration = "Ошибка загрузки файла калибровки для MPSP";
inline constexpr const char* kMsgMlNoCalibrationData =
    "Для данного расстояния до эпицентра нет данных в калибровочном файле для магнитуды ML.";
inline constexpr const char* kMsgMlRange =
    "Гипоцентральное расстояние вне допустимого диапазона (5-800 км.)";
inline constexpr const char* kMsgDistanceRange =
    "Расстояние до эпицентра вне допустимого диапазона (0-180 град.)";
inline constexpr const char* kMsgClassOutOfRange =
    "Параметры для вычисления класса находятся вне допустимых пределов";
inline constexpr const char* kNoClassText = "???";

// Outside the calibration table of Mb, MPLP or MPSP ("%s" the magnitude name).
std::string OutsideCalibrationMessage(const std::string& magnitude);

// A magnitude or a message.
struct MagnitudeResult {
  bool ok = false;
  double value = 0;
  std::string message;

  static MagnitudeResult Value(double v) { return {true, v, {}}; }
  static MagnitudeResult Error(std::string m) { return {false, 0, std::move(m)}; }
};

// Calibration tables "mb.txt", "mplp.txt", "mpsp.txt" (layout of a
// travel-time table, "#" starts a comment): false when missing or malformed.
bool LoadCalibrationTable(const std::string& path, PHASEDATA& table);
// Q(depth, distance), -1 outside the table.
double CalibLookup(const PHASEDATA& table, double depth, double distance);

// The ML calibration: pairs (epicentral distance km, c).
struct MlCalibration {
  std::vector<std::pair<float, float>> points;  // ascending distance
  // c(x), or the largest float ("none") outside the tabulated distances.
  double Lookup(double x) const;
};
// "<dir>ML.<station>.txt", else "<dir>ML.txt"; nullopt when neither opens.
std::optional<MlCalibration> MlCalib(const std::string& dir, const std::string& station);

// A in micrometres, T in seconds, D in degrees, h in km. `table` is the
// calibration table of the magnitude (a table without data means that its
// file could not be loaded).
MagnitudeResult MagnitudeMb(double a, double t, double d, double h, const PHASEDATA& table);
MagnitudeResult MagnitudeMs(double a, double t, double d);
MagnitudeResult MagnitudeMplp(double a, double t, double d, double h, const PHASEDATA& table);
MagnitudeResult MagnitudeMpsp(double a, double t, double d, double h, const PHASEDATA& table);
// Coda magnitude: tau the coda duration (s). -1 outside 10..1000 s or
// amplitudes outside 0.002..3000.
MagnitudeResult MagnitudeCoda(double a, double tau);
double CodaMagnitudeFormula(double a, double tau);
// ML with the station's (or the common) calibration, or by the built-in
// formulas without one.
MagnitudeResult MagnitudeMl(double a, double d, double h, const MlCalibration* calibration);

// Energy class by the Rautian nomogram: -1 outside 5..3000 km or amplitudes
// outside 0.005..1000 um.
double RautianClass(double ap, double as, double distanceKm);

enum class EnergyClassVariant { Vegik, Skm };
// K by formula from the hypocentral distance; nullopt ("???") outside the
// variant's range or for a missing amplitude.
std::optional<double> EnergyClassFormula(EnergyClassVariant variant, double ap, double as,
                                         double distanceKm, double depthKm);

// The Rautian command for the channel (station, channel): the Pg amplitude
// of the channel, the first measured Sg of the station and the distance.
struct RautianOutcome {
  bool ok = false;
  double value = -1;
  std::string message;  // a refusal, or the question "Класс для станции %s = %0.3f"
  int pgIndex = -1;     // position of the Pg phase in the list
};
RautianOutcome RautianForChannel(const NUVPhases& phases, const PhaseTypeTable& types,
                                 const StationTable& stations, const CurrentEvent& event,
                                 int station, int channel);

// Inputs of the energy-class dialog for a channel, or its refusal.
struct EnergyClassInputs {
  bool ok = false;
  std::string message;
  double ap = 0, as = 0;
  double distanceKm = 5;
  double depthKm = 15;
};
EnergyClassInputs EnergyClassInputsFor(const NUVPhases& phases, const PhaseTypeTable& types,
                                       const StationTable& stations, const CurrentEvent& event,
                                       int station, int channel);

// Means of the station mb and ms (> 0) into the event values with their
// mean squared deviations; -999 when there is none (the uncertainty keeps
// its value then).
void NetworkMagnitudes(const NUVPhases& phases, CurrentEvent& event);

}  // namespace nuv
