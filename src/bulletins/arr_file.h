#pragma once
// The system's own phase-list file (".arr"): one CSS 3.0 arrival record per
// phase at fixed columns, 223 characters a line.

#include <string>
#include <vector>

#include "bulletins/bulletin_apply.h"
#include "bulletins/bulletin_source.h"

namespace nuv {

inline constexpr int kArrLineWidth = 223;
inline constexpr const char* kArrAuthor = "NUV 5.2";

// One line (without its newline); `writtenAt` gives the local date of writing.
std::string FormatArrLine(const BulletinSource& source, const SEISMIC_PHASE& phase,
                          double writtenAt);
std::string FormatArrFile(const BulletinSource& source, double writtenAt);
// Writes the list; false after showing "Ошибка открытия файла  '%s'".
bool WriteArrFile(const BulletinSource& source, const std::string& path, UserPrompts& prompts,
                  double writtenAt);

// The phases of an ".arr" text. A line whose time or names cannot be read
// fails the whole reading (`failure` names the line); lines of unknown
// stations, channels or phase types are listed in `skipped`.
std::vector<SEISMIC_PHASE> ParseArrText(std::string_view text, const StationTable& stations,
                                        const PhaseTypeTable& types,
                                        std::vector<SkippedLine>& skipped, std::string& failure);
// Reads the file into the phase list, emptying it first with `replace`; the
// list is changed only when the whole file was read.
BulletinReadResult ReadArrFile(Workstation& ws, const std::string& path, bool replace);

}  // namespace nuv
