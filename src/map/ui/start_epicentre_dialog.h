#pragma once
// "Введите параметры  гипоцентра": the starting epicentre of the location,
// prefilled with the point the map's context menu was opened at.

#include <QDialog>

#include "map/map_state.h"

class QDateTimeEdit;
class QLineEdit;

namespace nuv {
class UserPrompts;
}

namespace nuv::map {

class CStartEpicentreDlg : public QDialog {
  Q_OBJECT
 public:
  // `previous` gives the comment (kept between dialogs), depth and time.
  CStartEpicentreDlg(double lat, double lon, const StartEpicentre& previous, UserPrompts& prompts,
                     QWidget* parent = nullptr);

  // The epicentre of the accepted dialog.
  const StartEpicentre& result() const { return result_; }

  QLineEdit* latEdit() const { return lat_; }
  QLineEdit* lonEdit() const { return lon_; }
  QLineEdit* depthEdit() const { return depth_; }
  QLineEdit* commentEdit() const { return comment_; }
  QDateTimeEdit* timeEdit() const { return time_; }
  // "Очистить".
  void Clear();
  void accept() override;

 private:
  UserPrompts& prompts_;
  QLineEdit *lat_, *lon_, *depth_, *comment_;
  QDateTimeEdit* time_;
  StartEpicentre result_;
};

}  // namespace nuv::map
