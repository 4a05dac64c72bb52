#pragma once
// The dialogs of the hypocentre location: the start point "Введите
// стартовую точку для расчета" and the result "Параметры гипоцентра".

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "phases/current_event.h"
#include "seismo/hypocentre_report.h"
#include "seismo/location.h"
#include "seismo/region.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace nuv {

class UserPrompts;

class CStartPointDialog : public QDialog {
  Q_OBJECT

 public:
  // Preset from the current origin and its remembered fix-depth choice.
  CStartPointDialog(const CurrentEvent& event, UserPrompts& prompts, QWidget* parent = nullptr);

  LocationStart start() const { return start_; }
  LocateOptions options() const { return options_; }

  QLineEdit* latEdit() const { return lat_; }
  QLineEdit* lonEdit() const { return lon_; }
  QLineEdit* depthEdit() const { return depth_; }
  QLineEdit* timeEdit() const { return time_; }
  QCheckBox* fixDepthBox() const { return fixDepth_; }
  QCheckBox* gridBox() const { return grid_; }
  QCheckBox* fixCoordsBox() const { return fixCoords_; }

  void accept() override;

 private:
  UserPrompts& prompts_;
  QLineEdit *lat_, *lon_, *depth_, *time_;
  QCheckBox *fixDepth_, *grid_, *fixCoords_;
  LocationStart start_;
  LocateOptions options_;
};

// "ДД.ММ.ГГГГ ЧЧ:ММ:СС.ССС" of an epoch time and back (nullopt for a bad text).
std::string StartTimeText(double t);
std::optional<double> ParseStartTime(const std::string& text);

class CHypocentreDialog : public QDialog {
  Q_OBJECT

 public:
  CHypocentreDialog(const HypocentreValues& values, const std::vector<std::string>& residualLines,
                    const ConfidenceEllipse& ellipse, const RegionInfo& region,
                    QWidget* parent = nullptr);

  // The shown values with the comment as edited.
  HypocentreValues values() const;
  // "Запомнить в БД" (the dialog stays open).
  std::function<void(const HypocentreValues&)> saveToDatabase;

  QLineEdit* commentEdit() const { return comment_; }
  QListWidget* residualList() const { return residuals_; }

 private:
  HypocentreValues values_;
  QLineEdit* comment_;
  QListWidget* residuals_;
};

}  // namespace nuv
