#pragma once
// The pictures of the F-K dialog: the beam power over the slowness plane
// with its axes and the result vector, and the ten-colour legend. Each is
// drawn off screen into an image of the control's size and copied to the
// control when it paints; one lock guards both images.

#include <QImage>
#include <QWidget>
#include <mutex>

#include "fk/fk_search.h"

namespace nuv {

// Draws the map of `result` (axes only when it is null) into `image`; both
// axes span -max..max.
void DrawFkPowerMap(QImage& image, const FkSearchResult* result, float max);
// Ten bands from the bottom, band i in colour i, labelled with
// lowest + (highest - lowest) i / 9.
void DrawFkLegend(QImage& image, double lowest, double highest);

// An owner-drawn control showing an image drawn elsewhere.
class FkPicture : public QWidget {
  Q_OBJECT

 public:
  FkPicture(std::mutex& lock, QSize size, QWidget* parent = nullptr);
  // Redraws the image under the lock with `draw` and repaints.
  template <typename Draw>
  void Redraw(Draw&& draw) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      image_ = QImage(size(), QImage::Format_RGB32);
      draw(image_);
    }
    update();
  }
  QImage image() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::mutex& lock_;
  QImage image_;
};

}  // namespace nuv
