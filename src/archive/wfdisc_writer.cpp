#include "archive/wfdisc_writer.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "archive/archive_error.h"
#include "archive/archive_paths.h"
#include "archive/wfdisc_format.h"
#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

constexpr const char* kWriteError = "Ошибка записи файла wfdisc";

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File OpenForWriting(const std::string& name) {
  File file(std::fopen(name.c_str(), "wb"));
  if (!file) throw ArchiveError(kWriteError);
  return file;
}

void Write(FILE* file, const void* data, size_t size) {
  if (size > 0 && std::fwrite(data, 1, size, file) != size) throw ArchiveError(kWriteError);
}

// fclose reports the errors of buffered writes that only reach the disk now.
void Close(File& file) {
  if (std::fclose(file.release()) != 0) throw ArchiveError(kWriteError);
}

void WriteDataFile(const std::string& name, const NUVDataBlock& block, WfdiscOutputFormat format) {
  File file = OpenForWriting(name);
  // Encoded in slices so a long block needs no second copy of its samples.
  constexpr size_t kSlice = 65536;
  std::vector<uint8_t> bytes(4 * std::min(kSlice, block.samples.size()));
  const size_t count = std::min(block.samples.size(), static_cast<size_t>(block.count));
  for (size_t done = 0; done < count; done += kSlice) {
    const size_t n = std::min(kSlice, count - done);
    EncodeSamples(format, block.samples.data() + done, n, bytes.data());
    Write(file.get(), bytes.data(), 4 * n);
  }
  Close(file);
}

}  // namespace

WfdiscRecord WfdiscRecordOfBlock(const NUVDataBlock& block, std::string_view station,
                                 std::string_view channel, int number, WfdiscOutputFormat format) {
  WfdiscRecord r;
  r.sta = station;
  r.chan = ToLowerAscii(channel);
  r.time = block.start;
  r.wfid = -1;
  r.chanid = -1;
  r.jdate = JulianDateOfEpoch(block.start);
  r.endtime = block.End();
  r.nsamp = block.count;
  r.samprate = block.rate;
  r.calib = block.calib;
  r.calper = block.calper;
  r.instype = "-";
  r.segtype = '-';
  r.datatype = DatatypeOfOutputFormat(format);
  r.clip = '-';
  r.dir = ".";
  r.dfile = WfdiscDataFileName(number, station, channel, block.start);
  r.foff = 0;
  r.commid = -1;
  r.lddate = WfdiscLddate(block.start);
  return r;
}

void SaveWfdisc(const std::string& wfdiscPath, const XNUVDataBlockArrays& arrays,
                WfdiscOutputFormat format) {
  File wfdisc = OpenForWriting(wfdiscPath);
  const std::string directory = DirectoryOf(wfdiscPath);
  int number = 0;
  for (int a = 0; a < arrays.size(); ++a) {
    const NUVDataBlockArray& array = arrays[a];
    for (const NUVDataBlock& block : array) {
      const WfdiscRecord record =
          WfdiscRecordOfBlock(block, array.station, array.channel, number++, format);
      std::string line;
      try {
        line = FormatWfdiscLine(record);
      } catch (const std::length_error&) {
        throw ArchiveError(kWriteError);
      }
      Write(wfdisc.get(), line.data(), line.size());
      // The line reaches the file before its data file is made, so a failure
      // below leaves every written line readable.
      if (std::fflush(wfdisc.get()) != 0) throw ArchiveError(kWriteError);
      WriteDataFile(directory + record.dfile, block, format);
    }
  }
  Close(wfdisc);
}

}  // namespace nuv
