#include "sigproc/filter_page.h"

#include <cmath>
#include <optional>

#include "platform/number_field.h"
#include "platform/strformat.h"

namespace nuv {

FilterPageCheck CheckFilterPage(const std::string& lowText, const std::string& highText,
                                const std::string& orderText, int type, bool zeroPhase,
                                double sampleRate, ChannelFilter& filter) {
  const std::optional<double> order = ParseNumberField(orderText);
  if (!order || *order != std::floor(*order) || *order < 1 || *order > kMaxButterworthOrder)
    return {FilterPageCheck::kOrder, "Please enter an integer between 1 and 10."};
  const std::optional<double> low = ParseNumberField(lowText);
  if (lowText.size() > 7 || !low || *low < 0) return {FilterPageCheck::kLow, ""};
  const std::optional<double> high = ParseNumberField(highText);
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
  filter.lowText = NumberFieldText(lowText);
  filter.highText = NumberFieldText(highText);
  filter.type = type;
  filter.order = static_cast<int>(*order);
  filter.zeroPhase = zeroPhase ? 1 : 0;
  return {};
}

}  // namespace nuv
