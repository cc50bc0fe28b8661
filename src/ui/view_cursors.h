// The view's cursors, drawn in code so that they scale with the screen and need no
// image files.
#pragma once

#include <QCursor>

#include "tools/tool_router.h"

namespace velmira {

QCursor ViewCursor(CursorShape shape);

}  // namespace velmira
