#include "archive/import_report.h"

#include <algorithm>

#include "platform/strformat.h"

namespace nuv {

void ImportReport::Refuse(const std::string& what, const std::string& reason) {
  const bool known = std::any_of(refused.begin(), refused.end(),
                                 [&](const ImportRefusal& r) { return r.what == what; });
  if (!known) refused.push_back({what, reason});
}

std::string ImportSummary(const ImportReport& report, const std::string& sourceLines) {
  std::string text = report.NothingImported() ? std::string(kNothingImported) + "\n" : "";
  text += sourceLines;
  text += StrFormat("\nЗаписано файлов архива: %d", static_cast<int>(report.wfdFiles.size()));
  if (!report.keptBeside.empty()) {
    text +=
        "\nЗаписаны рядом с файлом того же имени (станция, канал, секунда начала) с другими "
        "данными:";
    for (const KeptBeside& kept : report.keptBeside)
      text += "\n  " + kept.file + " (рядом с " + kept.existing + ")";
  }
  if (!report.refused.empty()) {
    text += "\nНе импортировано:";
    for (const ImportRefusal& refusal : report.refused)
      text += "\n  " + refusal.what + ": " + refusal.reason;
  }
  return text;
}

}  // namespace nuv
