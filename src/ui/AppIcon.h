#pragma once
// The program's icon: a clock face with a timer's step line across it, the
// same drawing as packaging/com.kestrane.ZentoraTiming.svg. Drawn in code so
// the windows need no SVG support at run time.

#include <QIcon>

class QPainter;

namespace ui {

// Draws the icon into a size x size square at the painter's origin.
void paintApplicationIcon(QPainter& painter, int size);

// The icon at the usual sizes, for windows and the taskbar.
QIcon applicationIcon();

}  // namespace ui
