#include "admin/region_list.h"

#include <algorithm>
#include <cmath>

#include "platform/number_field.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

bool Run(odbc::Connection& connection, const std::string& sql, UserPrompts& prompts) {
  try {
    connection.Execute(sql);
    return true;
  } catch (const odbc::Error&) {
    prompts.ShowError(kRegionWriteFailed);
    return false;
  }
}

}  // namespace

ControlledRegion NormalisedRegion(const ControlledRegion& region) {
  ControlledRegion shown = region;
  shown.lat1 = std::min(region.lat1, region.lat2);
  shown.lat2 = std::max(region.lat1, region.lat2);
  shown.lon1 = std::min(region.lon1, region.lon2);
  shown.lon2 = std::max(region.lon1, region.lon2);
  return shown;
}

std::string RegionValueText(double value) {
  return StrFormat("%.3f", value);
}

std::optional<double> ParseRegionValue(const std::string& text) {
  // A whole field with the decimal point or comma; otherwise, as before,
  // leading blanks are skipped and the number ends at the first character
  // that cannot continue it.
  if (const std::optional<double> whole = ParseNumberField(text)) return whole;
  char* end = nullptr;
  const double value = StrToDouble(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool RegionNameTaken(const std::vector<ControlledRegion>& regions, const std::string& name,
                     std::optional<size_t> except) {
  for (size_t i = 0; i < regions.size(); ++i)
    if (regions[i].name == name && (!except || *except != i)) return true;
  return false;
}

bool AddRegion(odbc::Connection& connection, std::vector<ControlledRegion>& regions,
               const ControlledRegion& region, UserPrompts& prompts) {
  const std::string sql =
      StrFormat("insert into CONTREG (name, lat1, lon1, lat2, lon2) values ('%s', %f, %f, %f, %f)",
                SqlEscape(region.name).c_str(), region.lat1, region.lon1, region.lat2, region.lon2);
  if (!Run(connection, sql, prompts)) return false;
  regions.push_back(region);
  return true;
}

bool UpdateRegion(odbc::Connection& connection, std::vector<ControlledRegion>& regions,
                  size_t index, const ControlledRegion& region, UserPrompts& prompts) {
  if (index >= regions.size()) return false;
  const std::string sql =
      StrFormat("update CONTREG set name='%s', lat1=%f, lon1=%f, lat2=%f, lon2=%f where name='%s'",
                SqlEscape(region.name).c_str(), region.lat1, region.lon1, region.lat2, region.lon2,
                SqlEscape(regions[index].name).c_str());
  regions[index] = region;
  return Run(connection, sql, prompts);
}

bool DeleteRegion(odbc::Connection& connection, std::vector<ControlledRegion>& regions,
                  size_t index, UserPrompts& prompts) {
  if (index >= regions.size()) return false;
  const std::string sql =
      StrFormat("delete from CONTREG where name='%s'", SqlEscape(regions[index].name).c_str());
  if (!Run(connection, sql, prompts)) return false;
  regions.erase(regions.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

}  // namespace nuv
