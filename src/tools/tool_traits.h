// What a tool carries about itself that the frame asks before changing tools: which
// tools may follow while a mode's panel is open. Kept beside the tool ids so that a
// new tool states it here instead of in the frame's consent code.
#pragma once

#include "tools/tool_ids.h"

namespace velmira::tool {

// The panels that hold a mode and restrict the next tool while they are shown.
enum class ModePanel { GuidePath, Rotation };

// True when `next` may become current while `panel` is shown: the guide-path panel
// lets its own path tools, the polygon selection and zooming follow; the rotation
// panel only the free transforms, which end the rotation.
inline bool MayFollow(ModePanel panel, int next) {
  switch (panel) {
    case ModePanel::GuidePath:
      return next == kPolygonSelect || next == kZoomIn || next == kZoomOut || next == kGuideFirst ||
             next == kGuideEdit || (next >= kGuideMove - 1 && next <= kGuideLast);
    case ModePanel::Rotation: return IsFreeTransform(next);
  }
  return false;
}

}  // namespace velmira::tool
