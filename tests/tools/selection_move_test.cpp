// Moving a selection with the move tool, driven through the router as a user drags.
#include <gtest/gtest.h>

#include "../support/tool_fixture.h"
#include "tools/selection_tools.h"

namespace velmira {
namespace {

using testing_support::ToolFixture;

constexpr int kSelectionTools[] = {tool::kRectSelect, tool::kFreeSelect, tool::kAutoSelect, tool::kPolygonSelect,
                                   tool::kColourRange};

class SelectionMoveTest : public ToolFixture {
 protected:
  void SetUp() override {
    RegisterSelectionTools();
    ToolFixture::SetUp();
    // A red 5 × 5 block at columns and rows 5…9 of the white picture.
    for (int y = 5; y <= 9; ++y)
      for (int x = 5; x <= 9; ++x) L().WriteLayerColor(L().active, LayerX(x), LayerY(y), kRed);
    doc->CommitLayer(L().active);
    doc->RecordStep("setup", kStepPixels, L().active);
    source = L().active;
  }
  void TearDown() override {
    ToolFixture::TearDown();
    for (int id : kSelectionTools) UnregisterTool(id);
  }
  // Selects columns and rows 4…10 with the rectangle tool.
  void SelectBlock() {
    Use(tool::kRectSelect);
    frame.selectionKind = 0;
    // Through a point of its own first: a move to the point seen last is no move.
    Drag({{4, 4}, {11, 11}, {10, 10}});
    ASSERT_TRUE(router->State().selectionActive);
    ASSERT_EQ(Mask(10, 10), 1);
    ASSERT_EQ(Mask(11, 11), 0);
  }
  // Colour and coverage of a canvas pixel in the bottom layer as the user sees it.
  Rgbq Seen(int x, int yTop) { return Colour(x, yTop); }
  int Labels() { return doc->History().Step(); }

  static constexpr Rgbq kRed = MakeRgbq(255, 0, 0);
  static constexpr Rgbq kWhite = MakeRgbq(255, 255, 255);
  int source = -1;
};

TEST_F(SelectionMoveTest, DraggingInsideTheSelectionMovesThePixelsAndAClickOutsidePutsThemDown) {
  SelectBlock();
  const int steps = Labels();
  Use(tool::kMove);
  Drag({{6, 6}, {11, 7}, {16, 8}});  // 10 right, 2 down

  // The pixels float above their layer while the drag goes on, and nothing is recorded yet.
  ASSERT_TRUE(doc->SelectionMove());
  EXPECT_EQ(Active().kind, kLayerFloating);
  EXPECT_EQ(Active().partner, source);
  EXPECT_EQ(L().slots[source].above, L().active);
  EXPECT_EQ(L().LayerCount(), 2);
  EXPECT_EQ(Labels(), steps);
  EXPECT_TRUE(router->State().selectionActive);
  // The selection travels with the pixels.
  EXPECT_EQ(L().maskX, Active().x);

  // A second drag inside the moved selection keeps moving the same floating pixels.
  Drag({{16, 8}, {17, 8}});
  EXPECT_EQ(L().LayerCount(), 2);
  Drag({{17, 8}, {16, 8}});

  // A click outside puts them down: one layer again, two steps recorded.
  Click(30, 25);
  EXPECT_FALSE(doc->SelectionMove());
  EXPECT_FALSE(router->State().selectionActive);
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(Labels(), steps + 2);
  EXPECT_EQ(doc->History().Label(steps + 1), "선택영역 위치이동");
  EXPECT_EQ(LastLabel(), "레이어병합");
  // The click only put the selection down; the layer did not move.
  EXPECT_EQ(Active().x, 0);

  // The block is at its new place; the place it left is empty; the rest is untouched.
  EXPECT_EQ(Seen(15, 7), kRed);
  EXPECT_EQ(Seen(19, 11), kRed);
  EXPECT_EQ(Alpha(17, 9), 255);
  EXPECT_EQ(Seen(14, 6), kWhite);  // the white margin of the selection moved too
  EXPECT_EQ(Alpha(14, 6), 255);
  EXPECT_EQ(Alpha(7, 7), 0);
  EXPECT_EQ(Alpha(4, 4), 0);
  EXPECT_EQ(Alpha(3, 3), 255);
  EXPECT_EQ(Seen(3, 3), kWhite);
  EXPECT_EQ(Alpha(11, 4), 255);

  // Undo brings the picture back as it was before the move.
  while (Labels() > steps) ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(Seen(7, 7), kRed);
  EXPECT_EQ(Alpha(7, 7), 255);
  EXPECT_EQ(Seen(17, 9), kWhite);
}

TEST_F(SelectionMoveTest, EnterAnotherToolOrUndoPutTheFloatingPixelsDown) {
  const std::vector<uint8_t> pixels = Active().pixels, alpha = Active().alpha;

  // Enter, unmoved: the picture comes back byte for byte.
  SelectBlock();
  Use(tool::kMove);
  Click(7, 7);
  ASSERT_TRUE(doc->SelectionMove());
  router->KeyDown(view, Key::Enter, false);
  EXPECT_FALSE(doc->SelectionMove());
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(LastLabel(), "레이어병합");
  EXPECT_EQ(Active().pixels, pixels);
  EXPECT_EQ(Active().alpha, alpha);

  // Another tool's first click puts the lifted pixels down before it works.
  SelectBlock();
  Use(tool::kMove);
  Drag({{7, 7}, {7, 12}});
  ASSERT_TRUE(doc->SelectionMove());
  Use(tool::kRectSelect);
  Drag({{20, 20}, {25, 25}});
  EXPECT_FALSE(doc->SelectionMove());
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(Seen(7, 14), kRed);
  EXPECT_EQ(router->State().selectionActive, true);  // the new rectangle stands

  // Undo while afloat first puts the pixels down, so nothing lifted is lost.
  SelectBlock();
  Use(tool::kMove);
  Drag({{7, 10}, {27, 10}});
  ASSERT_TRUE(doc->SelectionMove());
  EXPECT_TRUE(doc->Undo());
  EXPECT_FALSE(doc->SelectionMove());
  EXPECT_EQ(L().LayerCount(), 1);
  for (const int s : L().Chain()) EXPECT_NE(L().slots[s].kind, kLayerFloating);
}

TEST_F(SelectionMoveTest, ChoosingAnotherLayerPutsTheSelectionDownBeforeAnythingMoves) {
  SelectBlock();
  Use(tool::kMove);
  Drag({{7, 7}, {17, 7}});
  ASSERT_TRUE(doc->SelectionMove());
  const int steps = Labels();
  // The user picks the layer underneath in the layer panel.
  ASSERT_TRUE(doc->SetActiveLayer(source));
  EXPECT_FALSE(doc->SelectionMove());
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(Labels(), steps + 2);
  EXPECT_EQ(Seen(17, 7), kRed);
  // The outline of the selection that went down goes with it at the next tick.
  router->TimerTick(view);
  EXPECT_FALSE(router->State().selectionActive);
  EXPECT_TRUE(router->State().outline.edges.empty());
  // A later drag moves the layer as a whole, recorded as such.
  Drag({{30, 25}, {31, 25}});
  EXPECT_EQ(LastLabel(), "전체영상 위치이동");
}

TEST_F(SelectionMoveTest, DraggingOutsideTheSelectionOrWithoutOneMovesTheWholeLayer) {
  SelectBlock();
  Use(tool::kMove);
  Drag({{20, 20}, {22, 20}});
  EXPECT_FALSE(doc->SelectionMove());
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(Active().x, 2);
  EXPECT_EQ(LastLabel(), "전체영상 위치이동");
}

}  // namespace
}  // namespace velmira
