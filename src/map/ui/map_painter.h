#pragma once
// Paints a map scene with QPainter: the window's redraw and its grabs.

class QPainter;

namespace nuv::map {

struct MapScene;

void PaintMapScene(QPainter& painter, const MapScene& scene);

}  // namespace nuv::map
