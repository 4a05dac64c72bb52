#pragma once
// The travel-time calculator: the time of one phase at a depth and a
// distance as the calculator shows it, or the refusal it shows instead.

#include <string>

namespace nuv {

class PhaseTypeTable;

struct CalculatorAnswer {
  bool ok = false;
  std::string text;  // "Время пробега=..." or the refusal
};

// "В системе отсутствует годограф %s" for a name the table lacks, "Ошибка
// загрузки файла годографа %s" for a phase without a table; a point outside
// the table gives the time -1 as the calculator has always shown it.
CalculatorAnswer TravelTimeCalculator(const PhaseTypeTable& types, const std::string& name,
                                      double depth, double distance);

}  // namespace nuv
