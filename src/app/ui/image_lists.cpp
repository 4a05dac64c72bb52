#include "app/ui/image_lists.h"

#include <QBitmap>
#include <QPainter>

namespace nuv {

ImageList ImageList::FromStrip(const QImage& strip, int size, QColor mask) {
  ImageList list;
  if (size <= 0 || strip.height() < size) return list;
  for (int x = 0; x + size <= strip.width(); x += size) {
    QPixmap image = QPixmap::fromImage(strip.copy(x, 0, size, size));
    image.setMask(image.createMaskFromColor(mask, Qt::MaskInColor));
    list.images_.push_back(image);
  }
  return list;
}

namespace {

QImage BlankStrip(int images) {
  QImage strip(images * kImageListSize, kImageListSize, QImage::Format_RGB32);
  strip.fill(kImageListMask);
  return strip;
}

void DrawFolder(QPainter& p, int x, bool open) {
  const QColor edge(128, 96, 0), face(255, 214, 90), front(255, 232, 150);
  p.setPen(edge);
  p.setBrush(face);
  p.drawRect(x + 1, 3, 5, 2);    // tab
  p.drawRect(x + 1, 4, 13, 10);  // body
  if (open) {
    p.setBrush(front);
    p.drawPolygon(
        QPolygon({QPoint(x + 3, 7), QPoint(x + 15, 7), QPoint(x + 13, 14), QPoint(x + 1, 14)}));
  }
}

void DrawItem(QPainter& p, int x) {
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawRect(x + 3, 1, 10, 13);
  p.setPen(QColor(0, 0, 128));
  // A small trace on the page.
  p.drawPolyline(QPolygon({QPoint(x + 4, 8), QPoint(x + 6, 8), QPoint(x + 7, 4), QPoint(x + 8, 11),
                           QPoint(x + 9, 6), QPoint(x + 10, 8), QPoint(x + 12, 8)}));
}

void DrawCheckBox(QPainter& p, int x, bool checked) {
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawRect(x + 2, 2, 11, 11);
  if (!checked) return;
  QPen tick(Qt::black);
  tick.setWidth(2);
  p.setPen(tick);
  p.drawPolyline(QPolygon({QPoint(x + 4, 7), QPoint(x + 7, 10), QPoint(x + 11, 4)}));
}

}  // namespace

QImage TreeImagesStrip() {
  QImage strip = BlankStrip(3);
  QPainter p(&strip);
  DrawFolder(p, kTreeFolderClosed * kImageListSize, false);
  DrawFolder(p, kTreeFolderOpen * kImageListSize, true);
  DrawItem(p, kTreeItem * kImageListSize);
  return strip;
}

QImage CheckUncheckStrip() {
  QImage strip = BlankStrip(2);
  QPainter p(&strip);
  DrawCheckBox(p, kCheckUnchecked * kImageListSize, false);
  DrawCheckBox(p, kCheckChecked * kImageListSize, true);
  return strip;
}

}  // namespace nuv
