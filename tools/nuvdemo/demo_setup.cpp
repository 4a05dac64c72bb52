#include "demo_setup.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "archive/wfd_file.h"
#include "db/dialect.h"
#include "db/schema.h"
#include "phases/phase_types.h"
#include "platform/odbc.h"
#include "platform/settings_store.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "traveltime/dist_az.h"
#include "traveltime/taup_model.h"
#include "traveltime/taup_table.h"
#include "traveltime/travel_time.h"
#include "waveview/channel_list.h"

namespace nuv::demo {
namespace fs = std::filesystem;
namespace {

constexpr const char* kMadeBy = "nuvdemo (the NUV workstation's demo generator)";
const char* const kChannels[3] = {"BHZ", "BHN", "BHE"};
// Bytes of the text header in front of the 24-bit samples.
constexpr int kBigEndianOffset = 256;
constexpr int kBigEndian24Type = 7;

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A short-period seismometer (1 Hz, damping 0.707) behind a digitiser of
// 6e8 counts per m/s above the corner, as poles and zeros with ground
// displacement in metres in and counts out (the third zero turns the
// velocity response into the displacement one).
struct PoleZero {
  std::vector<std::complex<double>> zeros{{0, 0}, {0, 0}, {0, 0}};
  std::vector<std::complex<double>> poles{{-4.443, 4.443}, {-4.443, -4.443}};
  double constant = 6.0e8;
  double Amplitude(double f) const {
    const std::complex<double> s(0, 2 * M_PI * f);
    std::complex<double> h = constant;
    for (auto z : zeros) h *= s - z;
    for (auto p : poles) h /= s - p;
    return std::abs(h);
  }
  std::string SacText() const {
    std::string text = StrFormat("ZEROS %zu\n", zeros.size());
    for (auto z : zeros) text += StrFormat("%.4f %.4f\n", z.real(), z.imag());
    text += StrFormat("POLES %zu\n", poles.size());
    for (auto p : poles) text += StrFormat("%.4f %.4f\n", p.real(), p.imag());
    text += StrFormat("CONSTANT %.6e\n", constant);
    return text;
  }
};

std::vector<double> FapFrequencies() {
  std::vector<double> f;
  for (double x = 0.01; x <= 10.001; x *= 1.2589254) f.push_back(x);
  return f;
}

// The point `distance` degrees from (lat, lon) on the given azimuth.
std::pair<double, double> StepOnSphere(double lat, double lon, double distance, double azimuth) {
  const double lat1 = lat * M_PI / 180, lon1 = lon * M_PI / 180;
  const double d = distance * M_PI / 180, a = azimuth * M_PI / 180;
  const double lat2 =
      std::asin(std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(a));
  const double lon2 = lon1 + std::atan2(std::sin(a) * std::sin(d) * std::cos(lat1),
                                        std::cos(d) - std::sin(lat1) * std::sin(lat2));
  return {lat2 * 180 / M_PI, lon2 * 180 / M_PI};
}

double Round4(double x) {
  return std::round(x * 10000) / 10000;
}

// A station layout around the epicentre: distances from 0.5 to about 9
// degrees on azimuths a golden angle apart.
std::vector<DemoStation> LayOutStations(const DemoEvent& event, int count) {
  std::vector<DemoStation> stations;
  for (int i = 0; i < count; ++i) {
    const double distance = 0.5 + 8.5 * i / std::max(1, count - 1);
    const auto [lat, lon] =
        StepOnSphere(event.lat, event.lon, distance, std::fmod(137.508 * i + 20.0, 360.0));
    DemoStation station;
    station.code = StrFormat("DM%02d", i + 1);
    station.lat = Round4(lat);
    station.lon = Round4(lon);
    station.elevation = 0.5 + 0.1 * (i % 7);
    stations.push_back(station);
  }
  // The last station records in the 24-bit format of an older digitiser.
  stations.back().bigEndian24 = true;
  return stations;
}

// Noise plus the P and S wave trains of one channel, in counts.
std::vector<float> Synthesize(const DemoStation& station, int channel, double start, double rate,
                              size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 20.0);
  std::vector<float> samples(count);
  const double scale = 6000.0 / (1.0 + station.distance);
  const double pAmp = scale * (channel == 0 ? 1.0 : 0.35);
  const double sAmp = scale * (channel == 0 ? 0.6 : 1.8);
  for (size_t i = 0; i < count; ++i) {
    const double t = start + i / rate;
    double value = noise(random) + 8.0 * std::sin(2 * M_PI * 0.15 * t);  // microseism
    if (station.pTime > 0 && t >= station.pTime) {
      const double dt = t - station.pTime;
      value += pAmp * std::sin(2 * M_PI * 2.0 * dt) * std::exp(-dt / 2.0);
    }
    if (station.sTime > 0 && t >= station.sTime) {
      const double dt = t - station.sTime;
      value += sAmp * std::sin(2 * M_PI * 1.0 * dt) * std::exp(-dt / 4.0);
    }
    samples[i] = static_cast<float>(value);
  }
  return samples;
}

struct FileRow {
  std::string station, channel, path;
  double rate = 0, start = 0, duration = 0;
  int dataType = 0, offset = 0;
};

void InsertFileRow(odbc::Connection& db, const FileRow& row) {
  db.Execute(StrFormat(
      "insert into FILELIST (STA, SPS, GAIN, CPATH, DATATYPE, CH, CREATER, TBEGIN, TQTY, TEND, "
      "CALIB, CALPER, FOFF) values ('%s', %.6f, 1, '%s', %d, '%s', 'nuvdemo', %.3f, %.3f, %.3f, "
      "1.0, 1.0, %d)",
      SqlEscape(row.station).c_str(), row.rate, SqlEscape(row.path).c_str(), row.dataType,
      SqlEscape(row.channel).c_str(), row.start, row.duration, row.start + row.duration,
      row.offset));
}

// Two ready channel lists in the per-user store, so that the analyst sees the
// event at once ("Загрузить список каналов"): every vertical channel, and the
// three components of the nearest stations; each channel's remembered time
// window starts shortly before the origin and holds the S of the farthest station.
void WriteDemoChannelLists(const fs::path& storeFile, const DemoReport& report) {
  SettingsStore store(storeFile);
  std::vector<ChannelListEntry> vertical, threeComponent, array;
  double lastArrival = report.event.originTime;
  for (const DemoStation& station : report.stations)
    lastArrival = std::max({lastArrival, station.pTime, station.sTime});
  const double start = std::floor(report.event.originTime - 20);
  const double length = std::ceil(lastArrival + 60 - start);
  for (size_t i = 0; i < report.stations.size(); ++i) {
    const std::string& code = report.stations[i].code;
    ChannelListEntry z;
    z.sta = code;
    z.chan = kChannels[0];
    z.activeWindow = i == 0 ? "1" : "0";
    z.mainWindow = i == 0 ? "1" : "0";
    // The array's verticals form a list of their own, all active for F-K.
    if (report.stations[i].arrayElement) {
      z.activeWindow = "1";
      z.mainWindow = array.empty() ? "1" : "0";
      array.push_back(z);
    } else {
      vertical.push_back(z);
    }
    for (int c = 0; c < 3; ++c) {
      if (!SaveTimeWindow(store, code, kChannels[c], start, length))
        throw std::runtime_error("cannot write " + storeFile.string());
      if (i < 3) {
        ChannelListEntry e = z;
        e.chan = kChannels[c];
        e.mainWindow = i == 0 && c == 0 ? "1" : "0";
        e.activeWindow = e.mainWindow;
        threeComponent.push_back(e);
      }
    }
  }
  if (!SaveChannelList(store, "DEMO-Z", vertical) ||
      !SaveChannelList(store, "DEMO-3C", threeComponent) ||
      (!array.empty() && !SaveChannelList(store, "DEMO-ARRAY", array)))
    throw std::runtime_error("cannot write " + storeFile.string());
}

}  // namespace

std::vector<DemoStation> LayOutArray(const DemoEvent& event, int elements) {
  constexpr double kSpacingKm = 2.0, kKmPerDegree = 111.195;
  const auto [centreLat, centreLon] = StepOnSphere(event.lat, event.lon, 3.0, 60.0);
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(elements))));
  std::vector<DemoStation> stations;
  for (int i = 0; i < elements; ++i) {
    DemoStation station;
    station.code = StrFormat("AR%02d", i + 1);
    station.arrayElement = true;
    station.dNorth = (i / side - (side - 1) / 2.0) * kSpacingKm;
    station.dEast = (i % side - (side - 1) / 2.0) * kSpacingKm;
    station.lat = Round4(centreLat + station.dNorth / kKmPerDegree);
    station.lon =
        Round4(centreLon + station.dEast / (kKmPerDegree * std::cos(centreLat * M_PI / 180)));
    station.elevation = 0.8;
    stations.push_back(station);
  }
  return stations;
}

DemoReport BuildDemo(const DemoOptions& options) {
  const fs::path root = fs::absolute(options.outDir);
  const fs::path settings = root / "settings";
  const fs::path home = root / "home";
  const fs::path data = root / "data";
  const fs::path ttDir = home / "phases" / "iasp91";
  const fs::path database = root / "nuv.sqlite";
  fs::create_directories(settings);
  fs::create_directories(data);
  fs::create_directories(home / "RESPONSE");

  DemoReport report;
  // 15 March 2024, 06:10:00 UTC; the event ten minutes later (earlier in a
  // short recording, so that every S wave still falls inside it).
  report.recordStart = CalendarToEpoch(2024, 3, 15, 6, 10, 0.0);
  const double recordLength = options.minutes * 60;
  report.event.originTime =
      report.recordStart + std::clamp(0.15 * recordLength, 10.0, 600.0) + 0.37;

  // The IASP91 travel-time set, and the P and S times of every station from it.
  taup::GenerateTravelTimeSet(taup::EarthModel::Iasp91(), ttDir.string());
  PhaseTypeTable types;
  types.Load(ttDir.string());
  const int p = types.IndexOf("P"), s = types.IndexOf("S");
  if (!types.HasTravelTimes(p) || !types.HasTravelTimes(s))
    throw std::runtime_error("the generated travel-time set has no P or S table");

  report.stations = LayOutStations(report.event, options.stations);
  for (const DemoStation& element : LayOutArray(report.event, options.arrayElements))
    report.stations.push_back(element);
  for (DemoStation& station : report.stations) {
    DistAzResult where;
    DistAz(static_cast<float>(report.event.lat), static_cast<float>(report.event.lon),
           static_cast<float>(station.lat), static_cast<float>(station.lon), where);
    station.distance = where.distance;
    const double tp = TravelTime(types.Data(p), report.event.depth, where.distance);
    const double ts = TravelTime(types.Data(s), report.event.depth, where.distance);
    station.pTime = tp > 0 ? report.event.originTime + tp : -1;
    station.sTime = ts > 0 ? report.event.originTime + ts : -1;
  }

  // Calibration tables beside the program.
  if (!options.calibrationDir.empty()) {
    for (const char* name : {"mb.txt", "mplp.txt", "mpsp.txt", "ML.txt"}) {
      const fs::path from = fs::path(options.calibrationDir) / name;
      if (fs::exists(from)) fs::copy_file(from, home / name, fs::copy_options::overwrite_existing);
    }
  }

  // The database through its ODBC data source "NUV".
  fs::remove(database);
  WriteText(root / "odbc.ini", StrFormat("; ODBC data source of the NUV demo, written by %s\n"
                                         "[NUV]\nDescription=NUV demo database\nDriver=SQLite3\n"
                                         "Database=%s\n",
                                         kMadeBy, database.c_str()));
  setenv("ODBCINI", (root / "odbc.ini").c_str(), 1);
  odbc::Connection db;
  db.Open("DSN=NUV;UID=nuv;PWD=nuv;");
  CreateMainSchema(db, RecogniseDialect(db.DbmsName()));

  std::string netList, arrayList;
  const PoleZero response;
  std::string fap;
  const std::vector<double> freqs = FapFrequencies();
  std::string fapFile = StrFormat("%zu\n", freqs.size());
  for (double f : freqs) {
    // The amplitude table converts counts to micrometres of displacement.
    const double micrometresPerCount = 1e6 / response.Amplitude(f);
    fapFile += StrFormat("%g %g\n", f, micrometresPerCount);
    fap += StrFormat("%g %g 0.0|", f, micrometresPerCount);
  }

  const size_t count = static_cast<size_t>(options.minutes * 60 * options.rate);
  const double duration = count / options.rate;
  unsigned seed = 1;
  for (size_t k = 0; k < report.stations.size(); ++k) {
    const DemoStation& station = report.stations[k];
    (station.arrayElement ? arrayList : netList) += station.code + ";";
    db.Execute(StrFormat(
        "insert into SITE (STA, NGROUPS, ELEV, LAT, LON, DESCR, NINDEX, STANAME, STATYPE, DNORTH, "
        "DEAST) values ('%s', 1, %.3f, %.4f, %.4f, 'synthetic station of the demo network', %zu, "
        "'Demo %s', '%s', %.3f, %.3f)",
        station.code.c_str(), station.elevation, station.lat, station.lon, k + 1,
        station.code.c_str(), station.arrayElement ? "AR" : "3C", station.dNorth, station.dEast));
    for (int c = 0; c < 3; ++c) {
      const std::string chan = kChannels[c];
      const std::string fapName = station.code + "." + chan + ".fap";
      db.Execute(StrFormat(
          "insert into SITECHAN (STA, SPS, NGROUP, LAT, LON, CALIBFILE, CHAN, CHANINDEX, DESCR, "
          "EDEPH, HANG, VANG) values ('%s', %.6f, 1, %.4f, %.4f, '%s', '%s', %d, "
          "'short-period seismometer', 0, %d, %d)",
          station.code.c_str(), options.rate, station.lat, station.lon, fapName.c_str(),
          chan.c_str(), c, c == 2 ? 90 : 0, c == 0 ? 0 : 90));
      db.Execute(StrFormat(
          "insert into CALIBRATION (STA, CHAN, NETWORK, STARTDATE, FAP, SAC) values ('%s', '%s', "
          "'DM', '2020-01-01 00:00:00', '%s', '%s')",
          station.code.c_str(), chan.c_str(), SqlEscape("FAP|" + fap).c_str(),
          SqlEscape(response.SacText()).c_str()));
      WriteText(home / "RESPONSE" / fapName, fapFile);

      const std::vector<float> samples =
          Synthesize(station, c, report.recordStart, options.rate, count, seed++);
      FileRow row{station.code,       chan,     "", options.rate,
                  report.recordStart, duration, 3,  kWfdHeaderSize};
      std::string bytes;
      if (!station.bigEndian24) {
        row.path = WfdFileName(station.code, chan, report.recordStart);
        bytes = BuildWfdHeader(station.code, chan, report.recordStart, duration, options.rate);
        for (float v : samples) {
          uint32_t bits;
          std::memcpy(&bits, &v, 4);
          for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<char>((bits >> (8 * b)) & 0xff));
        }
      } else {
        row.path = station.code + "/" + station.code + "." + chan + ".s3";
        row.dataType = kBigEndian24Type;
        row.offset = kBigEndianOffset;
        bytes = StrFormat(
            "%s\nstation %s channel %s, %.3f samples/s, first sample %.3f (epoch s)\n"
            "samples: signed 24-bit big-endian from byte %d\n",
            kMadeBy, station.code.c_str(), chan.c_str(), options.rate, report.recordStart,
            kBigEndianOffset);
        bytes.resize(kBigEndianOffset, ' ');
        for (float v : samples) {
          const long n = std::lround(std::clamp(static_cast<double>(v), -8388608.0, 8388607.0));
          const uint32_t u = static_cast<uint32_t>(n) & 0xffffff;
          bytes.push_back(static_cast<char>(u >> 16));
          bytes.push_back(static_cast<char>((u >> 8) & 0xff));
          bytes.push_back(static_cast<char>(u & 0xff));
        }
      }
      WriteText(data / row.path, bytes);
      InsertFileRow(db, row);
      ++report.files;
    }
  }
  db.Execute(
      StrFormat("insert into NETWORKS (NETNAME, NETTYPE, NETLIST) values ('DEMO', "
                "'synthetic', '%s')",
                netList.c_str()));
  if (!arrayList.empty())
    db.Execute(
        StrFormat("insert into NETWORKS (NETNAME, NETTYPE, NETLIST) values ('DEMO-AR', "
                  "'synthetic array', '%s')",
                  arrayList.c_str()));
  db.Close();

  // NUV.INI: home, data and output directories, the data source and the travel-time set.
  WriteText(
      settings / "NUV.INI",
      StrFormat("; NUV.INI of the NUV demo, written by %s\n"
                "[NUV]\nDIR=%s/\n[DATABASE]\nODBC=NUV\nUSER=nuv\nPASSWORD=nuv\nLOCALLASTID=1\n"
                "SAVETOCSSDB=0\n[DATA]\nDIR=%s/\n[OUT]\nDIR=%s/\n"
                "[GODOGRAPH]\nTotal#=1\nN#=0\nNAME0=IASP91\nDIR0=%s\n"
                "[PRESELECTED PHASES]\nSelection=Regional\nRegional=Pn;Pg;Sn;Sg;P;S;\n"
                "Teleseismic=P;pP;PcP;S;ScS;PKP;\nLocal=Pg;Sg;\n",
                kMadeBy, home.c_str(), data.c_str(), (root / "out").c_str(), ttDir.c_str()));
  fs::create_directories(root / "out");

  // The true event and the theoretical arrivals, for checking the analysis.
  std::string truth = StrFormat(
      "# The demo event, written by %s\n# origin (UTC epoch s)  lat  lon  depth (km)\n"
      "%.3f %.4f %.4f %.1f\n# station  lat  lon  distance (deg)  P time  S time (epoch s, -1 "
      "none)\n",
      kMadeBy, report.event.originTime, report.event.lat, report.event.lon, report.event.depth);
  for (const DemoStation& station : report.stations)
    truth += StrFormat("%s %.4f %.4f %.4f %.3f %.3f\n", station.code.c_str(), station.lat,
                       station.lon, station.distance, station.pTime, station.sTime);
  WriteText(root / "EVENT.txt", truth);
  WriteDemoChannelLists(settings / "registry.txt", report);
  return report;
}

}  // namespace nuv::demo
