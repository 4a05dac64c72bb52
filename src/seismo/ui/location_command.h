#pragma once
// The location commands "Оценка положения гипоцентра" (the grid-plus-
// gradient search) and "*Новая эпицентрия" (the linearised inversion with
// its confidence ellipse): start point, search with a progress dialog that
// can be cancelled, and the result dialog.

#include "seismo/ui/seismo_site.h"

namespace nuv {

void RunLocationCommand(const SeismoSite& site, bool linear);

}  // namespace nuv
