#pragma once
// The bulletin commands of the menu "Список фаз": writing the current event
// in CSS 3.0, the REB layout and the standard IMS1.0 bulletin, QuakeML, the
// own ".arr" file, HYPO71, КЕДРО and ODR2, the CSS export of a period from
// the database, and reading IMS, QuakeML, ТРЕЗОН and ".arr" files into the
// phase list. Files are chosen through the prompts; the
// dialogs of the commands stand behind an interface so tests answer them.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bulletins/ims_reader.h"

class QWidget;

namespace nuv {

class CommandRegistry;
class Workstation;

struct CssTarget {
  std::string dir;
  long orid = 1;
};
struct CssPeriod {
  std::string dir;
  double from = 0, to = 0;
};
struct ChosenBulletinEvent {
  std::string identifier;
  bool phasesOnly = false;
};

class BulletinDialogs {
 public:
  virtual ~BulletinDialogs() = default;
  virtual std::optional<CssTarget> AskCssTarget(QWidget* parent, const CssTarget& previous) = 0;
  virtual std::optional<CssPeriod> AskCssPeriod(QWidget* parent, const std::string& dir,
                                                double now) = 0;
  virtual std::optional<ChosenBulletinEvent> ChooseEvent(
      QWidget* parent, const std::vector<ImsEventEntry>& events) = 0;
};
std::unique_ptr<BulletinDialogs> MakeQtBulletinDialogs(Workstation& ws);

// Registers the commands into the phase-list window's registry. `refresh`
// runs after a reading changed the event (waveform marks, map); `now`, when
// given, replaces the clock (tests).
struct BulletinCommandHooks {
  std::function<void()> refresh;
  std::function<double()> now;
};
void RegisterBulletinCommands(CommandRegistry& commands, Workstation& ws, QWidget* parent,
                              std::shared_ptr<BulletinDialogs> dialogs,
                              BulletinCommandHooks hooks = {});

// Command ids.
namespace cmd {
inline constexpr int kWriteArr = 32715;
inline constexpr int kReadArrReplace = 32719;
inline constexpr int kReadArrAdd = 32729;
inline constexpr int kWriteHypo71 = 33055;
inline constexpr int kWriteKedro = 33161;
inline constexpr int kWriteOdr2 = 33125;
inline constexpr int kWriteCssEvent = 33153;
inline constexpr int kWriteCssPeriod = 33181;
inline constexpr int kWriteReb = 33218;
inline constexpr int kReadIms = 33194;
inline constexpr int kReadTrezon = 33223;
inline constexpr int kWriteIms1 = 33253;
inline constexpr int kWriteQuakeMl = 33252;
inline constexpr int kReadQuakeMl = 33251;
}  // namespace cmd

}  // namespace nuv
