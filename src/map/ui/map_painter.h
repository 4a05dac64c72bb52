#pragma once
// Paints a map scene with QPainter: the window's redraw and its grabs.

#include <QImage>
#include <array>

#include "map/relief.h"

class QPainter;

namespace nuv::map {

struct MapScene;

// The relief bitmaps by band; a null image leaves its band empty.
using ReliefImages = std::array<QImage, kReliefBands>;

void PaintMapScene(QPainter& painter, const MapScene& scene, const ReliefImages* relief = nullptr);

}  // namespace nuv::map
