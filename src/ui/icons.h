// Velmira's own icon set, drawn with QPainter at start-up: one family of shapes in
// one palette, so the command bar, the menus and the brush palette match.
#pragma once

#include <QColor>
#include <QIcon>

namespace velmira {

// The icon of a command id; a plain outlined square for ids without a drawing.
QIcon CommandIcon(int id);
// A colour swatch for the foreground and background buttons.
QIcon SwatchIcon(const QColor& colour);
// A brush tip of the given size (1…8), soft or hard.
QIcon BrushIcon(int size, bool soft);

}  // namespace velmira
