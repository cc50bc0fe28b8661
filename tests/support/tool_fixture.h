// A document with a router and a recording view, for tests that drive the tools
// with pointer events as the editor's view would. The picture is a W × H 24-bit
// white canvas at zoom 1 with history in a private temporary folder; points are
// given in canvas pixels, x from the left and y from the top, as the user sees them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "../support/recording_host.h"
#include "tools/tool_router.h"

namespace velmira::testing_support {

struct RecordingView : ToolView {
  bool timer = false;
  int starts = 0, stops = 0, invalidations = 0, focus = 0;
  std::vector<CursorShape> cursors;
  ViewInput input;
  void StartSelectionTimer() override {
    timer = true;
    ++starts;
  }
  void StopSelectionTimer() override {
    timer = false;
    ++stops;
  }
  bool SelectionTimerRunning() const override { return timer; }
  void Invalidate(bool) override { ++invalidations; }
  void SetCursorShape(CursorShape s) override { cursors.push_back(s); }
  void SetWaitCursor(bool) override {}
  void TakeFocus() override { ++focus; }
  ViewInput& Input() override { return input; }
};

inline PointerEvent PointerAt(int x, int y, bool leftOnly = true) { return {{x, y}, {x, y}, {x, y}, leftOnly}; }

class ToolFixture : public ::testing::Test {
 protected:
  // Canvas size of the next SetUp; a test class may change these in its constructor.
  int width = 40, height = 30;

  void SetUp() override {
    static int counter = 0;
    tmp = std::filesystem::temp_directory_path() /
          ("velmira-tool-fixture-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(tmp);
    frame.tempFolder = tmp;
    frame.newWidth = width;
    frame.newHeight = height;
    host.frame = &frame;
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    ASSERT_TRUE(doc->NewDocument());
    router = std::make_unique<ToolRouter>(*doc, frame);
  }
  void TearDown() override {
    router.reset();
    doc.reset();
    std::filesystem::remove_all(tmp);
  }

  LayerStack& L() { return doc->Layers(); }
  Layer& Active() { return *doc->Layers().Active(); }
  std::string LastLabel() { return doc->History().Label(doc->History().Step()); }

  // Layer pixel of a canvas point (the active layer at its current offset).
  int LayerX(int x) { return x - Active().x; }
  int LayerY(int yTop) { return Active().y + L().header.canvasHeight - 1 - yTop; }
  Rgbq Colour(int x, int yTop) { return L().ReadLayerColor(L().active, LayerX(x), LayerY(yTop), nullptr); }
  int Alpha(int x, int yTop) { return L().LayerAlpha(L().active, LayerX(x), LayerY(yTop)); }
  int Mask(int x, int yTop) { return L().InSelection(LayerX(x), LayerY(yTop)); }
  void SetColour(int x, int yTop, Rgbq c) {
    L().WriteLayerColor(L().active, LayerX(x), LayerY(yTop), c);
    doc->CommitLayer(L().active);
  }

  void Use(int toolId) { frame.currentTool = toolId; }
  void Press(int x, int y) { router->Press(view, PointerAt(x, y)); }
  void MoveTo(int x, int y) { router->Move(view, PointerAt(x, y)); }
  void Release(int x, int y) { router->Release(view, PointerAt(x, y)); }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
  }
  // Press at the first point, move through the rest, release at the last.
  void Drag(std::initializer_list<Point> pts) {
    auto it = pts.begin();
    Press(it->x, it->y);
    for (++it; it != pts.end(); ++it) MoveTo(it->x, it->y);
    Release((pts.end() - 1)->x, (pts.end() - 1)->y);
  }

  std::filesystem::path tmp;
  FrameState frame;
  RecordingHost host;
  RecordingView view;
  std::unique_ptr<CMirvDoc> doc;
  std::unique_ptr<ToolRouter> router;
};

}  // namespace velmira::testing_support
