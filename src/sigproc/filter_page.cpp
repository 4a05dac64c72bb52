#include "sigproc/filter_page.h"

#include <cmath>
#include <optional>

#include "platform/strformat.h"
#include "sigproc/decimal_text.h"

namespace nuv {

namespace {

// The whole text as a decimal number; nullopt when anything else follows.
std::optional<double> WholeNumber(const std::string& text) {
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) return std::nullopt;
  std::size_t used = 0;
  const double value = DecimalPrefix(trimmed, &used);
  if (used != trimmed.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

FilterPageCheck CheckFilterPage(const std::string& lowText, const std::string& highText,
                                const std::string& orderText, int type, bool zeroPhase,
                                double sampleRate, ChannelFilter& filter) {
  const std::optional<double> order = WholeNumber(orderText);
  if (!order || *order != std::floor(*order) || *order < 1 || *order > kMaxButterworthOrder)
    return {FilterPageCheck::kOrder, "Please enter an integer between 1 and 10."};
  const std::optional<double> low = WholeNumber(lowText);
  if (lowText.size() > 7 || !low || *low < 0) return {FilterPageCheck::kLow, ""};
  const std::optional<double> high = WholeNumber(highText);
  if (highText.size() > 7 || !high || *high < 0 || *low > *high)
    return {FilterPageCheck::kHigh, ""};
  if (sampleRate > 0) {
    const std::string refusal = PaneFilterError(sampleRate, type, *low, *high);
    if (!refusal.empty()) {
      // The focus goes to the field the refusal is about.
      const bool lowField =
          type == kHighPass || refusal.rfind("Нижняя", 0) == 0 || refusal.rfind("Полоса", 0) == 0;
      return {lowField ? FilterPageCheck::kLow : FilterPageCheck::kHigh, refusal};
    }
  }
  filter.lowCut = static_cast<float>(*low);
  filter.highCut = static_cast<float>(*high);
  filter.lowText = std::string(Trim(lowText));
  filter.highText = std::string(Trim(highText));
  filter.type = type;
  filter.order = static_cast<int>(*order);
  filter.zeroPhase = zeroPhase ? 1 : 0;
  return {};
}

}  // namespace nuv
