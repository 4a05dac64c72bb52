#include "seismo/tt_calculator.h"

#include "phases/phase_types.h"
#include "platform/strformat.h"
#include "traveltime/travel_time.h"

namespace nuv {

CalculatorAnswer TravelTimeCalculator(const PhaseTypeTable& types, const std::string& name,
                                      double depth, double distance) {
  CalculatorAnswer answer;
  const int type = types.IndexOf(name);
  if (type < 0) {
    answer.text = StrFormat("В системе отсутствует годограф %s", name.c_str());
    return answer;
  }
  if (!types.HasTravelTimes(type)) {
    answer.text = StrFormat("Ошибка загрузки файла годографа %s", name.c_str());
    return answer;
  }
  answer.ok = true;
  answer.text = TravelTimeText(TravelTime(types.Data(type), depth, distance));
  return answer;
}

}  // namespace nuv
