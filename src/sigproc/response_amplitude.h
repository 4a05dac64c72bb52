#pragma once
// Conversion of a measured amplitude (counts, with its period in seconds) into
// ground motion in micrometres through the channel's response, for the
// amplitude and period measurement on traces.

#include <functional>
#include <optional>

#include "platform/user_prompts.h"
#include "sigproc/response_source.h"

namespace nuv {

// A * A_FAP(1/T) / gain through the channel's FAP file. A file that cannot be
// read shows "Не найден файл %s с АЧХ для канала '%s' станции '%s'" and gives
// nullopt. `gain` is asked only when the table was read.
std::optional<double> AmplitudeByFapFile(double amplitude, double period,
                                         const ResponseChannel& channel, std::string_view homeDir,
                                         ResponseLoader& loader,
                                         const std::function<double()>& gain, UserPrompts& prompts);

// A * |R(1/T)| / 1000 through the channel's poles and zeros at `dataTime`;
// without them A * A_FAP(1/T) / gain through the amplitude table of the
// database; with neither "Ошибка открытия таблицы калибровок для канала '%s'
// станции '%s'" and nullopt. A database error shows the driver's text.
std::optional<double> AmplitudeByPoleZero(double amplitude, double period,
                                          const ResponseChannel& channel, double dataTime,
                                          ResponseLoader& loader,
                                          const std::function<double()>& gain,
                                          UserPrompts& prompts);

// When the pane shows a simulation with `code` and `divideByMagnification` is
// set: the amplitude divided by M(code, 1/T) when M is positive; otherwise the
// amplitude unchanged.
double RemoveSimulationMagnification(double amplitude, int code, double period,
                                     bool divideByMagnification);

}  // namespace nuv
