#pragma once
// "F-K Анализ": the search parameters, the built-in search and the external
// program, the power map with its legend, the result fields (which the
// analyst may also type into), the beam of the result and its association
// with a phase of the main pane's channel.

#include <QDialog>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "fk/fk_beam.h"
#include "fk/fk_search.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace nuv {

class FkPicture;
class Workstation;

// What the dialog works on: the panes of the list, the main pane's channel
// and window, and where a beam goes.
struct FkDialogInput {
  std::vector<FkPane> panes;
  int mainStation = -1, mainChannel = -1;
  FkBeamReference reference;
  // Puts a beam into the window's beam pane of the main channel.
  std::function<void(const FkBeam&)> showBeam;
};

// The search parameters, kept for the run (never written to a file).
FkGrid& FkSessionGrid();

class CFKResultsDlg : public QDialog {
  Q_OBJECT

 public:
  CFKResultsDlg(Workstation& ws, FkDialogInput input, QWidget* parent = nullptr);
  ~CFKResultsDlg() override;

  // "Рассчитать" (1204) and "Рассч. с пом. ВП" (1208): false when nothing
  // was computed (fields out of range, no answer).
  bool Compute();
  bool ComputeExternal();
  // "Построить луч" (1212).
  bool BuildBeam();
  // OK: the result written into the chosen phase; the dialog stays when that
  // cannot be done.
  void accept() override;

  const FkSearchResult* searchResult() const { return result_.get(); }

  QLineEdit* minEdit;
  QLineEdit* maxEdit;
  QLineEdit* intervalsEdit;
  QLineEdit* azimuthEdit;
  QLineEdit* slownessEdit;
  QLineEdit* distanceEdit;
  QComboBox* phaseCombo;
  FkPicture* map;
  FkPicture* legend;

 private:
  // Takes the three fields; false (message shown, field focused) when one
  // is out of its range.
  bool TakeParameters();
  void ShowDistance();
  void DrawPictures();

  Workstation& ws_;
  FkDialogInput input_;
  std::unique_ptr<FkSearchResult> result_;
  std::mutex picturesLock_;
};

}  // namespace nuv
