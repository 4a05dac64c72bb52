#pragma once
// The two forms of a channel response. A pole-zero response (constant,
// zeros, poles) comes from the SAC column of CALIBRATION; an amplitude table
// (FAP: frequency, amplitude) from a file under the RESPONSE directory of the
// home directory or from the FAP column of CALIBRATION.

#include <complex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuv {

// H(f) = C * prod(s - z) / prod(s - p), s = i*2*pi*f.
struct PoleZeroResponse {
  double constant = 1.0;
  std::vector<std::complex<double>> zeros;
  std::vector<std::complex<double>> poles;

  std::complex<double> Evaluate(double frequency) const;
  // The inverse used for deconvolution, counts to nanometres: 1e9 / H(f); the
  // marker -1 where |H(f)| is 0.
  std::complex<double> Inverse(double frequency) const;
};

// The outcome of reading a response text: `ok`, or the reason it was refused.
struct ResponseParseError {
  std::string reason;
};

// Reads a SAC pole-zero text. "|" and ";" count as line breaks (the form kept
// in the database). A line whose first word contains ZEROS or POLES (any case)
// gives the count and starts that list; CONSTANT gives C (1 when absent);
// other lines hold real and imaginary parts filling the current list in
// order. Roots not listed stay 0; pairs beyond the count are ignored; blank
// lines and comment lines beginning with "*" are skipped. A text without a
// ZEROS or POLES line, a bad count, or a data line that is not a pair of
// numbers is refused (the error says where), so no wrong response is used.
bool ParseSacPoleZero(std::string_view text, PoleZeroResponse& response,
                      ResponseParseError* error = nullptr);

// The amplitude table (real class name kept): n pairs (frequency in Hz,
// amplitude) in single precision, in ascending frequency order.
class CAPResponse {
 public:
  CAPResponse() = default;
  explicit CAPResponse(std::vector<std::pair<float, float>> table) : table_(std::move(table)) {}

  bool empty() const { return table_.empty(); }
  std::size_t size() const { return table_.size(); }
  const std::vector<std::pair<float, float>>& table() const { return table_; }

  // A(f): 0 below the first and above the last frequency, the tabulated value
  // at a tabulated frequency, else linear interpolation between the neighbours.
  double Amplitude(double frequency) const;

 private:
  std::vector<std::pair<float, float>> table_;
};

// The FAP file text: the count n, then n pairs "frequency amplitude". Refused
// when the count is missing or not positive, fewer than n pairs follow, or the
// frequencies are not in ascending order.
bool ParseFapFileText(std::string_view text, CAPResponse& response,
                      ResponseParseError* error = nullptr);

// The FAP column text: lines split at CR, LF, "|" or ";"; lines beginning with
// "FAP" or "CAL" are headers; every other non-empty line holds "frequency
// amplitude phase" (the phase is not used). Refused when a line does not
// start with two numbers, when no pair is found, or when the frequencies are
// not ascending.
bool ParseFapDatabaseText(std::string_view text, CAPResponse& response,
                          ResponseParseError* error = nullptr);

// The path of a channel's FAP file: home directory + "RESPONSE/" + name
// ("\" in the name read as "/").
std::string FapFilePath(std::string_view homeDir, std::string_view fileName);

// Reads the FAP file of a channel: -1 for an empty name, 0 when the file cannot
// be opened or read (unreadable text included), 1 on success.
int ReadFapFile(std::string_view homeDir, std::string_view fileName, CAPResponse& response,
                ResponseParseError* error = nullptr);

}  // namespace nuv
