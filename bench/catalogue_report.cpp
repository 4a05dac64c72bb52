// The HTML report of 1,000 events, each with its table of 20 arrivals:
// formatting the page and converting it to code page 1251 for the file.

#include <benchmark/benchmark.h>

#include "catalogue/event_report.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"

namespace {

using namespace nuv;

std::vector<ReportRecord> Records() {
  std::vector<ReportRecord> records(1000);
  for (size_t i = 0; i < records.size(); ++i) {
    ReportRecord& r = records[i];
    r.eventId = StrFormat("2024031506%04zu", i);
    r.comment = "Северный Тянь-Шань <граница>";
    r.lat = "42.700";
    r.lon = "74.600";
    r.depth = "15.000";
    r.time = "15/03/2024 06:19:00";
    r.arrivals.resize(20);
    for (ReportArrival& a : r.arrivals) {
      a = {"DM01", "SHZ",         "-",           "-0.3",  "c",    "I",  "P",   "1.5",
           "45.0", "06:19:30.25", "06:19:31.00", "1.250", "0.80", "Ml", "3.1", "проверка"};
    }
  }
  return records;
}

void BM_EventReport(benchmark::State& state) {
  const std::vector<ReportRecord> records = Records();
  ReportOptions options;
  options.withPhases = true;
  options.fromText = "01.03.2024 00:00:00";
  options.toText = "31.03.2024 23:59:59";
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string page = Utf8ToCp1251(FormatEventReport(records, options));
    bytes = page.size();
    benchmark::DoNotOptimize(page.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EventReport)->Unit(benchmark::kMillisecond);

}  // namespace
