#pragma once
// The controlled regions as the region editor changes them: each change goes
// to CONTREG at once and to the workstation's list as the editor's rules say.

#include <optional>
#include <string>
#include <vector>

#include "db/inventory.h"

namespace nuv {

namespace odbc {
class Connection;
}
class UserPrompts;

inline constexpr const char* kRegionExists = "Регион уже существует! Выберите другое имя.";
inline constexpr const char* kRegionWriteFailed =
    "Ошибка записи информации в БД. \nИзменения в списке контролируемых регионов запомнены не "
    "будут.";

// The region with its smaller latitude and longitude first (as the list
// shows it when the editor opens).
ControlledRegion NormalisedRegion(const ControlledRegion& region);
// "%.3f".
std::string RegionValueText(double value);
// A coordinate typed in a field, read as "%f" reads it; nullopt for a text
// that does not begin with a number and for infinities and NaN.
std::optional<double> ParseRegionValue(const std::string& text);

// Whether another region than `except` already has `name`.
bool RegionNameTaken(const std::vector<ControlledRegion>& regions, const std::string& name,
                     std::optional<size_t> except = std::nullopt);

// "insert into CONTREG (name, lat1, lon1, lat2, lon2) values ('%s', %f, %f,
// %f, %f)"; the region joins `regions` only when the statement succeeds.
bool AddRegion(odbc::Connection& connection, std::vector<ControlledRegion>& regions,
               const ControlledRegion& region, UserPrompts& prompts);
// "update CONTREG set name='%s', lat1=%f, lon1=%f, lat2=%f, lon2=%f where
// name='%s'" with the name before the edit; the region takes its new values
// in `regions` in any case.
bool UpdateRegion(odbc::Connection& connection, std::vector<ControlledRegion>& regions,
                  size_t index, const ControlledRegion& region, UserPrompts& prompts);
// "delete from CONTREG where name='%s'"; the region leaves `regions` only
// when the statement succeeds.
bool DeleteRegion(odbc::Connection& connection, std::vector<ControlledRegion>& regions,
                  size_t index, UserPrompts& prompts);
// A failing statement of the three shows kRegionWriteFailed (error icon) and
// gives false.

}  // namespace nuv
