#pragma once
// Reading IMS1.0/REB bulletins (and the whitespace-separated ТРЕЗОН variant):
// the list of events in a file, and one event parsed into its origin and
// arrival records. Parsing never touches the workstation; applying the
// parsed event (bulletin_apply.h) does, and only when the parse succeeded.
//
// Agency bulletins carry more than this system writes: BEGIN/STOP and
// DATA_TYPE lines, comment lines in parentheses, several origins per event
// (the one followed by "(#PRIME)" is taken, else the first), magnitude
// blocks of several authors, blank columns. They are read without failing;
// what is left out is listed with its line number.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuv {

// The comment keyword that carries this system's event identifier in a
// standard bulletin whose 8-column event number cannot hold it: a line
// " (NUV EVENTID <identifier>)" right after the event line.
inline constexpr const char* kImsIdentifierComment = "NUV EVENTID";

// One arrival line of a bulletin, with the values a new record gets.
struct IMSPhaseBlock {
  std::string sta;
  float dist = -1;
  float evAz = -9999;
  std::string phase;
  int hour = 0, minute = 0;
  float second = 0;
  float tres = -9999;
  float azim = -1;
  float azRes = 0;
  float slow = -9999;
  float sRes = 0;
  std::string def;
  float snr = -1;
  float amp = -1;
  float per = -1;
  char onset = ' ';
  char fm = ' ';
  std::string magType;
  float magnitude = -9999;
  int arid = -1;
  int line = 0;  // line number in the file
  // What formats other than the fixed-column ones carry: the whole arrival
  // time (else the origin's date and the hour, minute and second above),
  // its uncertainty, the channel it was picked on, the pick weight 0..4
  // and further station magnitudes (type, value).
  std::optional<double> time;
  double deltim = -1;
  std::string channel;
  int weight = -1;
  std::vector<std::pair<std::string, float>> magnitudes;
};

// Network magnitudes of an event (kNoMagnitude when the bulletin has none).
struct BulletinMagnitudes {
  float mb = -999.0f, mbUnc = 0;
  float ms = -999.0f, msUnc = 0;
};

struct ImsOrigin {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0;
  float second = 0;
  float lat = 0, lon = 0;
  float major = -1, minor = -1, direction = -1;
  float depth = 0, depthError = -1;
  bool fixedDepth = false;
  int origId = -1;
  int line = 0;
};

struct SkippedLine {
  int line = 0;
  std::string reason;  // Russian, shown to the analyst
};

struct ImsEventEntry {
  std::string identifier;  // the whole first word after "EVENT"
  std::string comment;
  int line = 0;
  size_t offset = 0;  // byte offset of the event line in the text
  // The origin, for formats whose event list knows it (QuakeML).
  std::optional<ImsOrigin> origin;
};

// What was read of one event.
struct ImsEventText {
  bool found = false;  // the event line was there
  // The identifier the event is stored under (the event line's, or the one
  // of an identifier comment), and the comment.
  std::string identifier, comment;
  bool hasOrigin = false;
  ImsOrigin origin;
  bool hasArrivalHeader = false;
  std::vector<IMSPhaseBlock> arrivals;
  BulletinMagnitudes magnitudes;
  std::vector<SkippedLine> skipped;
  std::string failure;  // why the event cannot be applied ("" when it can)
};

enum class BulletinLayout { Ims, Trezon };

// Identifier and comment of an event line, whose first five characters are
// "EVENT": the identifier is the whole word after it (agencies write up to
// 8 characters, this system up to 20), the comment the rest of the line.
void ParseEventLine(std::string_view line, std::string& identifier, std::string& comment);

// The events of a bulletin text in file order ("FINISH" and the EVENT
// WEIGHT= / EVENT QUALITY= lines left out).
std::vector<ImsEventEntry> ListImsEvents(std::string_view text);

// The event `identifier` of a bulletin text; the search for its event line
// starts at `from` (an entry of ListImsEvents), else at the beginning.
ImsEventText ParseBulletinEvent(std::string_view text, const std::string& identifier,
                                BulletinLayout layout, const ImsEventEntry* from = nullptr);

// Fixed-column and whitespace forms of the two record kinds; false when the
// line does not hold the record (the reason in `why`).
bool ParseImsOriginLine(std::string_view line, ImsOrigin& origin, std::string& why);
bool ParseImsArrivalLine(std::string_view line, size_t offset, IMSPhaseBlock& arrival,
                         std::string& why);
bool ParseTrezonOriginLine(std::string_view line, ImsOrigin& origin, std::string& why);
bool ParseTrezonArrivalLine(std::string_view line, IMSPhaseBlock& arrival, std::string& why);

}  // namespace nuv
