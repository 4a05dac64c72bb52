#pragma once
// Handing the current event to an outside locator program: the defining
// phases and the origin are written as CSS 3.0 records (the arrival lines
// with the channel's coordinates appended) with a configuration file into
// the locator's directory, the program is run there with a time-out, and
// what it printed is returned for the analyst to read. Its results are not
// read back.
//
// NUV.INI section [OLK]: DIR the directory; PROGRAM the program (default
// "OLK.EXE", a relative name is taken inside the directory, a bare name
// without that file there is looked up in PATH); ARGS words put before the
// fixed arguments (for example the script an interpreter runs); TIMEOUT the
// wait in milliseconds (default 60000).

#include <atomic>
#include <string>
#include <vector>

#include "bulletins/bulletin_source.h"

namespace nuv {

class ProfileFile;
struct Config;
class UserPrompts;

inline constexpr const char* kLocatorSection = "OLK";
inline constexpr const char* kLocatorConfigName = "nuv.olk.conf";
inline constexpr int kLocatorDefaultTimeoutMs = 60000;
inline constexpr size_t kLocatorMaxNumberText = 30;
inline constexpr size_t kLocatorMaxOutput = 32000;

struct ExternalLocatorSettings {
  std::string dir;
  std::string program = "OLK.EXE";
  std::string arguments;
  int timeoutMs = kLocatorDefaultTimeoutMs;
};

// [OLK] keys; the directory defaults to "OLK" in the home directory.
ExternalLocatorSettings LoadExternalLocatorSettings(const ProfileFile& ini, const Config& config);
// Writes [OLK] DIR; false when NUV.INI cannot be written.
bool SaveExternalLocatorDir(ProfileFile& ini, const std::string& dir);

// The directory with a "/" appended when it does not end with one.
std::string LocatorDirPrefix(const std::string& dir);
// The integer value of the event number text as atoi reads it (leading
// blanks, sign, digits; 0 when there are none; clamped to the int range).
int LocatorEventNumber(const std::string& text);
// D + "%08d" of the number + extension (".sds", ".sdn").
std::string LocatorFilePath(const std::string& dir, int number, const char* extension);

// The ".sds" text: one line per defining phase in list order, arid the
// 1-based position in the whole list.
std::string FormatLocatorArrivals(const BulletinSource& source, const std::string& lddate);
// The ".sdn" text: the origin record with orid 1.
std::string FormatLocatorOrigin(const BulletinSource& source, const std::string& lddate);
// The six lines of "nuv.olk.conf".
const std::string& LocatorConfigText();

struct LocatorCommand {
  std::string program;            // the path that is started
  std::vector<std::string> args;  // ARGS words, "-O", the number words, "-r", the conf name
  std::string workingDir;         // the directory as typed
  std::string text;               // the command line as one text, for messages
};
// The number text goes in as typed, split at blanks as a command line is.
LocatorCommand BuildLocatorCommand(const ExternalLocatorSettings& settings,
                                   const std::string& numberText);

struct LocatorRunResult {
  std::vector<std::string> unwritable;  // files that could not be created
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;  // when it ended by itself
  // What the program printed (UTF-8; code page 1251 output converted) and,
  // after it, a line saying how the run ended when it did not end well.
  std::string output;
};

// Writes the arrival, origin and configuration files into `settings.dir`
// (the directory as typed); each one that cannot be created is reported with
// "Ошибка открытия файла: %s". Returns the paths not written. `now` stamps
// lddate.
std::vector<std::string> WriteLocatorFiles(const BulletinSource& source,
                                           const ExternalLocatorSettings& settings,
                                           const std::string& numberText, UserPrompts& prompts,
                                           double now);
// Runs the program in the directory and waits for it (up to the time-out,
// or until `cancel` is set); touches nothing but the child, so it may run on
// a worker thread.
LocatorRunResult RunLocatorProgram(const ExternalLocatorSettings& settings,
                                   const std::string& numberText,
                                   const std::atomic<bool>* cancel = nullptr);
// Both: the files (the run goes on when some are missing), then the program.
LocatorRunResult RunExternalLocator(const BulletinSource& source,
                                    const ExternalLocatorSettings& settings,
                                    const std::string& numberText, UserPrompts& prompts,
                                    double now);

}  // namespace nuv
