// Colours across the seam: the core keeps blue, green, red in an Rgbq; Qt wants a
// QColor.
#pragma once

#include <QColor>

#include "image/image_buffer.h"

namespace velmira {

inline QColor ToQColor(Rgbq c) { return QColor(RgbqR(c), RgbqG(c), RgbqB(c)); }
inline Rgbq ToRgbq(const QColor& c) { return MakeRgbq(c.red(), c.green(), c.blue()); }

}  // namespace velmira
