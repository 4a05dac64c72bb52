#pragma once
// The sliding-window polarization commands "Прямолинейность колебаний...",
// "Планарность колебаний..." and "Азимут колебаний...": a parameter sheet,
// the analysis over three named traces, and the red dotted curve drawn over
// the main pane.

#include <QDialog>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "seismo/polarization.h"
#include "seismo/ui/seismo_site.h"

class QLineEdit;

namespace nuv {

class CZoomWindow;

// The curve over a pane: values at times, drawn within lo..hi.
class CPolarizationCurve : public QWidget {
  Q_OBJECT

 public:
  explicit CPolarizationCurve(CZoomWindow& pane);
  void SetCurve(std::vector<double> times, std::vector<float> values, double lo, double hi);
  const std::vector<float>& values() const { return values_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CZoomWindow& pane_;
  std::vector<double> times_;
  std::vector<float> values_;
  double lo_ = 0, hi_ = 1;
};

// Window length and shift in samples, kept per station for the run.
struct SlidingParameters {
  std::map<int, std::pair<int, int>> byStation;
  std::pair<int, int> For(int station) const;
};

class CSlidingWindowSheet : public QDialog {
  Q_OBJECT

 public:
  CSlidingWindowSheet(const std::string& caption, const std::vector<std::string>& names,
                      std::pair<int, int> lengthShift, QWidget* parent = nullptr);

  // "Применить" with valid fields: names (Z, X, Y), length and shift.
  std::function<void(const std::vector<std::string>& names, int length, int shift)> apply;
  QLineEdit* field(const std::string& name) const;
  void Apply();

 private:
  QLineEdit *z_, *x_, *y_, *length_, *shift_;
};

void RunSlidingPolarization(const SeismoSite& site, PolarizationMeasure measure,
                            SlidingParameters& parameters);

}  // namespace nuv
