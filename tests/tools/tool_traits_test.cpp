// Which tools may follow while a mode's panel is open: exactly the listed ones, so
// that a range written one off cannot let a painting tool slip past a mode.
#include <gtest/gtest.h>

#include <set>

#include "tools/tool_traits.h"

namespace velmira {
namespace {

std::set<int> Allowed(tool::ModePanel panel) {
  std::set<int> out;
  for (int id = 1000; id < 7000; ++id)
    if (tool::MayFollow(panel, id)) out.insert(id);
  return out;
}

TEST(ToolTraits, OnlyTheModesOwnToolsFollowAnOpenPanel) {
  EXPECT_EQ(Allowed(tool::ModePanel::Rotation), (std::set<int>{4250, 4251, 4252}));
  EXPECT_EQ(Allowed(tool::ModePanel::GuidePath), (std::set<int>{1345, 1420, 1421, 5615, 5616, 5620, 5621, 5622}));
}

}  // namespace
}  // namespace velmira
