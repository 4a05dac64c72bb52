#pragma once
// The icon set of the toolbars, the status-bar buttons and the child
// windows: one SVG picture per command, drawn on a 24x24 grid with one
// stroke width and palette, and rendered by Qt's SVG module at whatever size
// and pixel ratio the button asks for, so the icons stay sharp at any scale.

#include <QByteArray>
#include <QIcon>

namespace nuv {

// The complete SVG document of a command's icon; empty when the set has
// no picture for it.
QByteArray CommandIconSvg(int id);

// The command's icon; a command without a picture gets a neutral square so
// that no button is ever blank.
QIcon CommandIcon(int id);

}  // namespace nuv
