#include "map/coastline.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/error_text.h"
#include "platform/file_read.h"

namespace nuv::map {

size_t Coastline::pointCount() const {
  size_t n = 0;
  for (const auto& line : polylines) n += line.size();
  return n;
}

namespace {

uint16_t Le16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void PutLe16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>(v >> 8));
}

// Appends whole records of `data` to `coastline`; `open` tells whether the
// last polyline may be continued.
void AddRecords(const unsigned char* data, size_t records, Coastline& coastline, bool& open) {
  for (size_t i = 0; i < records; ++i, data += kPntRecordSize) {
    const int code = Le16(data);
    const float lat = static_cast<int16_t>(Le16(data + 2)) / 60.0f;
    const float lon = static_cast<int16_t>(Le16(data + 4)) / 60.0f;
    if (std::fabs(lat) > 90 || std::fabs(lon) > 180) {
      open = false;
      continue;
    }
    if (code >= kNewPolylineCode || !open) {
      coastline.polylines.emplace_back();
      open = true;
    }
    coastline.polylines.back().push_back({lat, lon});
  }
}

std::string PartialRecordMessage(const std::string& name, size_t bytes) {
  return "Файл " + name + " повреждён: последняя запись неполная (" + std::to_string(bytes) +
         " байт)";
}

}  // namespace

CoastlineLoad ParseCoastline(const std::string& bytes, const std::string& name) {
  CoastlineLoad load;
  bool open = false;
  const size_t records = bytes.size() / kPntRecordSize;
  AddRecords(reinterpret_cast<const unsigned char*>(bytes.data()), records, load.coastline, open);
  if (const size_t rest = bytes.size() % kPntRecordSize)
    load.problem = PartialRecordMessage(name, rest);
  return load;
}

CoastlineLoad ReadCoastline(const std::string& path, const std::string& name) {
  CoastlineLoad load;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    load.problem = "Ошибка открытия файла " + path + ": " + SystemErrorText(errno);
    return load;
  }
  // Blocks of whole records; a record is never split between two blocks.
  std::vector<unsigned char> block(kPntReadBlock);
  bool open = false;
  long long offset = 0;
  try {
    for (;;) {
      const size_t got = ReadFileAt(fd, path, block.data(), block.size(), offset);
      const size_t whole = got / kPntRecordSize;
      AddRecords(block.data(), whole, load.coastline, open);
      offset += static_cast<long long>(whole * kPntRecordSize);
      if (got < block.size()) {
        if (const size_t rest = got % kPntRecordSize)
          load.problem = PartialRecordMessage(name, rest);
        break;
      }
    }
  } catch (const FileReadError& e) {
    // A read error leaves the layer empty rather than half drawn.
    load.coastline.polylines.clear();
    load.problem = e.what();
  }
  ::close(fd);
  return load;
}

std::string EncodeCoastline(const Coastline& coastline) {
  std::string out;
  out.reserve(coastline.pointCount() * kPntRecordSize);
  for (const auto& line : coastline.polylines) {
    for (size_t i = 0; i < line.size(); ++i) {
      PutLe16(out, static_cast<uint16_t>(i == 0 ? kNewPolylineCode : 1));
      PutLe16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(line[i].lat * 60))));
      PutLe16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(line[i].lon * 60))));
    }
  }
  return out;
}

}  // namespace nuv::map
