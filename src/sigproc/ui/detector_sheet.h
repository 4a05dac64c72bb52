#pragma once
// "Параметры детектора": two pages on one form, "LTA/STA детектор" and
// "Вендрел+ LTA/STA детектор", with the window lengths, the threshold, the
// filter switch (first page only) and "Очистить список срабатываний".
// Applying acts with the page that is shown.

#include <QDialog>
#include <array>

#include "sigproc/ui/sigproc_dialogs.h"

class QCheckBox;
class QDoubleSpinBox;
class QTabWidget;

namespace nuv {

class CDetectorSheet : public QDialog {
  Q_OBJECT

 public:
  CDetectorSheet(const DetectorParams& nuv, const DetectorParams& vendrel,
                 QWidget* parent = nullptr);

  // The page shown and its values.
  DetectorChoice Choice() const;
  QTabWidget* tabs() const { return tabs_; }
  void Fill(int page, const DetectorParams& params);

 private:
  struct Page {
    QDoubleSpinBox* lta = nullptr;
    QDoubleSpinBox* sta = nullptr;
    QDoubleSpinBox* k = nullptr;
    QCheckBox* filter = nullptr;
  };
  QTabWidget* tabs_ = nullptr;
  std::array<Page, 2> pages_;
  bool clear_ = false;
};

}  // namespace nuv
