// Import of one day of miniSEED, 24 channels at 100 samples/s, into the
// archive: decoding (Steim-2, 4096-byte records, as data centres deliver
// it), WFD files written below the data directory and their FILELIST rows
// in a SQLite main database. The files are made with libmseed before timing.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/mseed_import.h"
#include "db/dialect.h"
#include "db/schema.h"
#include "db/station_table.h"
#include "platform/odbc.h"
#include "platform/scripted_prompts.h"
#include "platform/strformat.h"
#include "support/mseed_writer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kChannels = 24;
constexpr double kRate = 100;
constexpr int kSamples = 86400 * 100;
constexpr double kStart = 1609459200;  // 2021-01-01 00:00:00

class DayOfMseed {
 public:
  DayOfMseed() {
    std::string pattern = (fs::temp_directory_path() / "nuvbench-mseed-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    fs::create_directories(dir_ / "in");
    CScreenFieldsFill();
    // A random walk with a daily swing: differences of a few counts to a few
    // thousand, as broadband records have.
    std::vector<int32_t> samples(kSamples);
    for (int c = 0; c < kChannels; ++c) {
      uint32_t state = 12345u + static_cast<uint32_t>(c);
      double level = 0;
      for (int i = 0; i < kSamples; ++i) {
        state = state * 1664525u + 1013904223u;
        level += static_cast<double>(static_cast<int>(state >> 20) - 2048);
        level *= 0.999;
        samples[static_cast<size_t>(i)] =
            static_cast<int32_t>(level + 5000 * std::sin(i * 2e-4 + c));
      }
      nuv::test::MseedChannel channel;
      channel.network = "XX";
      channel.station = "BNC";
      channel.channel = nuv::StrFormat("C%02d", c);
      channel.start = kStart;
      channel.rate = kRate;
      channel.encoding = 11;
      channel.recordLength = 4096;
      std::ofstream(dir_ / "in" / (channel.channel + ".mseed"), std::ios::binary)
          << nuv::test::PackMseed(channel, samples);
    }
    connection_.Open("Driver=SQLite3;Database=" + (dir_ / "nuv.db").string() + ";");
    nuv::CreateMainSchema(connection_, nuv::kDialectSqlite);
  }
  ~DayOfMseed() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  nuv::ImportTarget Target() {
    return {connection_, stations_, (dir_ / "data").string(), true, prompts_};
  }
  std::string folder() const { return (dir_ / "in").string(); }
  // Every run imports into an empty archive: a second import of the same
  // day would compare with the files already there instead of writing.
  void EmptyArchive() {
    std::error_code ec;
    fs::remove_all(dir_ / "data", ec);
    connection_.Execute("delete from FILELIST");
  }
  uintmax_t mseedBytes() const {
    uintmax_t total = 0;
    for (const auto& entry : fs::directory_iterator(dir_ / "in")) total += entry.file_size();
    return total;
  }

 private:
  void CScreenFieldsFill() {
    nuv::CScreenFields station;
    station.code = "BNC";
    for (int c = 0; c < kChannels; ++c)
      station.channels[static_cast<size_t>(c)].name = nuv::StrFormat("C%02d", c);
    stations_.records().push_back(station);
  }

  fs::path dir_;
  nuv::odbc::Connection connection_;
  nuv::StationTable stations_;
  nuv::ScriptedPrompts prompts_;
};

void BM_ImportDayOf24ChannelsSteim2(benchmark::State& state) {
  static DayOfMseed day;
  const nuv::ImportTarget target = day.Target();
  for (auto _ : state) {
    state.PauseTiming();
    day.EmptyArchive();
    state.ResumeTiming();
    nuv::CXChanArray spans;
    nuv::MseedImportReport report;
    nuv::ImportMseedFolder(target, day.folder(), spans, report);
    // Two files per channel: the day is cut at noon.
    if (report.samples != static_cast<long long>(kChannels) * kSamples ||
        report.wfdFiles.size() != 2 * kChannels)
      state.SkipWithError("the import did not store the whole day");
  }
  state.counters["samples"] = static_cast<double>(kChannels) * kSamples;
  state.counters["mseed_MB"] = static_cast<double>(day.mseedBytes()) / 1e6;
  state.SetItemsProcessed(state.iterations() * kChannels * static_cast<int64_t>(kSamples));
}

BENCHMARK(BM_ImportDayOf24ChannelsSteim2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

}  // namespace
