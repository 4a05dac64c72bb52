#pragma once
// The frame's two small image lists for tree and check-list controls: 16x16
// images cut from one strip, pure red being transparent.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <vector>

namespace nuv {

class ImageList {
 public:
  // Cuts `strip` into size x size images from the left; a partial image at the
  // right end is dropped. Pixels of `mask` become transparent.
  static ImageList FromStrip(const QImage& strip, int size, QColor mask);

  int count() const { return static_cast<int>(images_.size()); }
  const QPixmap& pixmap(int i) const { return images_.at(static_cast<size_t>(i)); }
  QIcon icon(int i) const { return QIcon(pixmap(i)); }

 private:
  std::vector<QPixmap> images_;
};

inline constexpr int kImageListSize = 16;
inline const QColor kImageListMask(255, 0, 0);

// Tree images, in order: closed folder, open folder, leaf item.
enum TreeImage { kTreeFolderClosed, kTreeFolderOpen, kTreeItem };
// Check-list images, in order: not checked, checked.
enum CheckImage { kCheckUnchecked, kCheckChecked };

// The strips drawn on the mask colour (3 and 2 images of 16x16).
QImage TreeImagesStrip();
QImage CheckUncheckStrip();

}  // namespace nuv
