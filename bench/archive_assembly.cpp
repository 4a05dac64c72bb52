// Assembly of 24 channels x 1 hour x 100 samples/s from the archive's data
// files: WFD files (float after a 512-byte header) and 24-bit big-endian
// files. Each iteration reads every channel's hour into a block array, as a
// waveform window does when it loads a full station set.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/block_reader.h"
#include "archive/data_block.h"
#include "archive/segment_assembly.h"
#include "archive/wfd_file.h"
#include "db/dialect.h"
#include "db/schema.h"
#include "platform/odbc.h"
#include "platform/strformat.h"

namespace {

namespace odbc = nuv::odbc;
namespace fs = std::filesystem;

constexpr int kChannels = 24;
constexpr double kRate = 100;
constexpr double kSeconds = 3600;
constexpr int kSamples = static_cast<int>(kRate * kSeconds);
constexpr double kStart = 1249495001.0;

// The files live in one temporary folder for the whole run.
class ArchiveFiles {
 public:
  ArchiveFiles() {
    std::string pattern = (fs::temp_directory_path() / "nuvbench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    std::vector<float> floats(kSamples);
    std::vector<unsigned char> s3(3 * static_cast<size_t>(kSamples));
    for (int c = 0; c < kChannels; ++c) {
      for (int i = 0; i < kSamples; ++i) {
        const int value = static_cast<int>((i * 7919LL + c * 104729LL) % 2000001) - 1000000;
        floats[static_cast<size_t>(i)] = static_cast<float>(value);
        s3[3 * static_cast<size_t>(i)] = static_cast<unsigned char>(value >> 16);
        s3[3 * static_cast<size_t>(i) + 1] = static_cast<unsigned char>(value >> 8);
        s3[3 * static_cast<size_t>(i) + 2] = static_cast<unsigned char>(value);
      }
      const std::string header = nuv::BuildWfdHeader("BNC", "BHZ", kStart, kSeconds, kRate);
      Write(Name("wfd", c), header.data(), header.size(), floats.data(), 4 * floats.size());
      Write(Name("s3", c), nullptr, 0, s3.data(), s3.size());
    }
  }
  ~ArchiveFiles() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Name(const char* kind, int channel) const {
    return (dir_ / (std::string(kind) + std::to_string(channel))).string();
  }
  std::string dir() const { return dir_.string(); }

  // A SQLite main database whose FILELIST indexes the WFD files, one row per
  // channel (CH00 .. CH23), among rows of other stations and days.
  odbc::Connection& Index() {
    if (!index_.IsOpen()) {
      index_.Open("Driver=SQLite3;Database=" + (dir_ / "nuv.db").string() + ";");
      nuv::CreateMainSchema(index_, nuv::kDialectSqlite);
      index_.BeginTransaction();
      for (int day = -30; day <= 30; ++day) {
        for (int c = 0; c < kChannels; ++c) {
          const bool ours = day == 0;
          index_.Execute(nuv::StrFormat(
              "insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, DATATYPE, FOFF, GAIN) "
              "values ('%s', 'CH%02d', 'wfd%d', %.3f, %.3f, %.1f, 3, 512, 1)",
              ours ? "BNC" : "OTH", c, c, kStart + day * 86400.0, kSeconds, kRate));
        }
      }
      index_.Commit();
    }
    return index_;
  }

 private:
  static void Write(const std::string& name, const void* head, size_t headSize, const void* body,
                    size_t bodySize) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) std::abort();
    if (headSize) std::fwrite(head, 1, headSize, file);
    std::fwrite(body, 1, bodySize, file);
    // On disk before timing starts: writeback must not run during the reads.
    std::fflush(file);
    fsync(fileno(file));
    std::fclose(file);
  }
  fs::path dir_;
  odbc::Connection index_;
};

ArchiveFiles& Files() {
  static ArchiveFiles files;
  return files;
}

void Assemble(benchmark::State& state, const char* kind, int code, long long offset,
              int bytesPerSample) {
  ArchiveFiles& files = Files();
  std::vector<nuv::NUVDataBlockArray> arrays(kChannels);
  bool warm = false;  // the first pass fills the page cache and is not timed
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      for (int c = 0; c < kChannels; ++c) {
        nuv::BlockFile file{files.Name(kind, c), offset, kStart, kSeconds, kRate, code};
        benchmark::DoNotOptimize(nuv::ReadBlock(file, kStart, kStart + kSeconds));
      }
      warm = true;
      state.ResumeTiming();
    }
    for (int c = 0; c < kChannels; ++c) {
      nuv::BlockFile file;
      file.fileName = files.Name(kind, c);
      file.offset = offset;
      file.begin = kStart;
      file.duration = kSeconds;
      file.rate = kRate;
      file.code = code;
      arrays[static_cast<size_t>(c)].Clear();
      auto block = nuv::ReadBlock(file, kStart, kStart + kSeconds);
      if (!block || block->count != kSamples) state.SkipWithError("short block");
      arrays[static_cast<size_t>(c)].Append(std::move(*block));
    }
    benchmark::DoNotOptimize(arrays.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kChannels * static_cast<int64_t>(kSamples) *
                          bytesPerSample);
  state.counters["samples"] = kChannels * static_cast<double>(kSamples);
}

void BM_Assemble24ChannelsHourWfdFloat(benchmark::State& state) {
  Assemble(state, "wfd", 3, nuv::kWfdHeaderSize, 4);
}
void BM_Assemble24ChannelsHourInt24BigEndian(benchmark::State& state) {
  Assemble(state, "s3", 7, 0, 3);
}

// The same WFD files found through FILELIST of a SQLite database: the 24
// index queries and the reads, as a waveform window loads its panes.
void BM_Assemble24ChannelsHourThroughFileList(benchmark::State& state) {
  ArchiveFiles& files = Files();
  odbc::Connection& index = files.Index();
  std::vector<nuv::NUVDataBlockArray> arrays(kChannels);
  for (auto _ : state) {
    for (int c = 0; c < kChannels; ++c) {
      nuv::AssembleFromFileList(index, nuv::kDialectSqlite, files.dir(), false, "BNC",
                                nuv::StrFormat("CH%02d", c), "??", kStart, kStart + kSeconds,
                                arrays[static_cast<size_t>(c)]);
      if (arrays[static_cast<size_t>(c)].size() != 1) state.SkipWithError("no block");
    }
    benchmark::DoNotOptimize(arrays.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kChannels * static_cast<int64_t>(kSamples) * 4);
}

BENCHMARK(BM_Assemble24ChannelsHourWfdFloat)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Assemble24ChannelsHourInt24BigEndian)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Assemble24ChannelsHourThroughFileList)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
