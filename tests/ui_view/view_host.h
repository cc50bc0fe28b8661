// The document host of the view tests: forwards updates to the views as the main
// frame does and records everything else.
#pragma once

#include "ui/mirv_view.h"
#include "../support/recording_host.h"

namespace velmira::testing_support {

struct ViewHost : RecordingHost {
  ViewHost() {
    onUpdate = [](CMirvDoc& doc, int hint) { CMirvView::UpdateAllViews(doc, hint); };
  }
};

}  // namespace velmira::testing_support
