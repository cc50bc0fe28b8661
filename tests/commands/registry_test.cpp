// The command registry: the surfaces it builds are the ones the editor had before
// the registry existed (command_surfaces.txt was written from the old tables), and
// the invariants every registration must keep.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/doc_services.h"
#include "commands/brushes.h"
#include "commands/registry.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\t' ? std::string("\\t") : std::string(1, c);
  return out;
}

void Render(const std::vector<SurfaceNode>& nodes, int depth, std::ostringstream& out) {
  const std::string indent(size_t(depth) * 2, ' ');
  for (const SurfaceNode& n : nodes) {
    if (n.kind == SurfaceNode::Separator) {
      out << indent << "---\n";
    } else if (n.kind == SurfaceNode::Submenu) {
      out << indent << "> " << Escaped(n.label) << "\n";
      Render(n.items, depth + 1, out);
    } else {
      out << indent << n.id << " " << Escaped(n.label) << "\n";
    }
  }
}

// The captured file split into its sections.
std::map<std::string, std::string> Sections(std::istream& in) {
  std::map<std::string, std::string> out;
  std::string line, current;
  while (std::getline(in, line)) {
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      out[current];
    } else {
      out[current] += line + "\n";
    }
  }
  return out;
}

class SurfacesBeforeAndAfter : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(fs::path(VELMIRA_SOURCE_DIR) / "tests/commands/command_surfaces.txt");
    ASSERT_TRUE(in) << "the captured surfaces are missing";
    before = Sections(in);
  }
  std::string Now(const std::string& key) {
    std::ostringstream out;
    Render(Commands().Surface(key), 0, out);
    return out.str();
  }
  std::map<std::string, std::string> before;
};

TEST_F(SurfacesBeforeAndAfter, MenusBarAndContextMenusAreUnchanged) {
  EXPECT_EQ(Now("menu"), before["menu"]);
  EXPECT_EQ(Now("bar"), before["bar"]);
  EXPECT_EQ(Now("quick"), before["quick"]);
  EXPECT_EQ(Now("context/view"), before["view-context"]);
  EXPECT_EQ(Now("context/layer"), before["layer-context"]);
}

TEST_F(SurfacesBeforeAndAfter, BrushesAndKeysAreUnchanged) {
  std::ostringstream brushes;
  for (const BrushButton& b : BrushPalette()) brushes << b.id << " " << b.size << " " << (b.soft ? "soft" : "hard") << "\n";
  EXPECT_EQ(brushes.str(), before["brushes"]);
  // The palette's commands stand on its surface in the palette's order.
  std::vector<int> placed, listed;
  for (const SurfaceNode& n : Commands().Surface("brushes")) placed.push_back(n.id);
  for (const BrushButton& b : BrushPalette()) listed.push_back(b.id);
  EXPECT_EQ(placed, listed);

  // Keys were one list; now each command carries its own, so compare as sets.
  std::multiset<std::string> was, is;
  std::istringstream lines(before["keys"]);
  for (std::string line; std::getline(lines, line);) was.insert(line);
  for (const auto& c : Commands().All())
    for (const std::string& k : c->keys) is.insert(std::to_string(c->id) + " " + k);
  EXPECT_EQ(is, was);
}

TEST(CommandRegistry, IdsNamesAndSurfacesAreUniqueAndResolve) {
  const CommandRegistry& r = Commands();
  EXPECT_TRUE(r.Clashes().empty()) << "first clash: " << (r.Clashes().empty() ? "" : r.Clashes().front());
  std::set<std::string> surfaces = {"menu"};
  for (const SurfaceDef& s : r.Surfaces()) surfaces.insert(s.key);
  for (const SurfaceDef& s : r.Surfaces())
    EXPECT_TRUE(s.parent.empty() || surfaces.count(s.parent)) << s.key << " hangs under nothing";
  for (const auto& c : r.All()) {
    EXPECT_TRUE(c->id != 0 || !c->name.empty()) << "a command needs an id or a name";
    if (c->id != 0) {
      EXPECT_EQ(r.Find(c->id), c.get());
    }
    if (!c->name.empty()) {
      EXPECT_EQ(r.FindByName(c->name), c.get());
      EXPECT_FALSE(c->help.empty()) << c->name << " has no help line";
      EXPECT_TRUE(c->run) << c->name << " is scriptable but cannot run";
    }
    for (const Placement& p : c->places) {
      EXPECT_TRUE(surfaces.count(p.surface)) << c->id << " is placed on an unknown surface " << p.surface;
      EXPECT_FALSE(r.LabelOn(c->id, p.surface).empty()) << c->id << " shows no text on " << p.surface;
    }
    if (c->tool) {
      EXPECT_TRUE(c->needs & kNeedDocument) << c->id << ": a tool works on a document";
    }
  }
}

TEST(CommandRegistry, ParametersAndUsageAgree) {
  for (const CommandDef* c : Commands().Scriptable()) {
    bool optionalSeen = false;
    for (const CommandParam& p : c->params) {
      // A required parameter after an optional one could never be given alone.
      EXPECT_FALSE(optionalSeen && !p.optional) << c->name << ": " << p.name;
      optionalSeen = optionalSeen || p.optional;
      if (p.min < p.max && p.optional) {
        EXPECT_TRUE(p.def >= p.min && p.def <= p.max) << c->name << ": default of " << p.name << " out of range";
      }
    }
    // The argument counts Validate accepts are exactly those the parameters allow.
    CommandArgs words{c->name};
    for (int n = 0; n <= c->MaxArgs() + 1; ++n) {
      const bool fits = n >= c->MinArgs() && n <= c->MaxArgs();
      EXPECT_EQ(Commands().Validate(words).empty(), fits) << c->name << " with " << n << " arguments";
      words.push_back("1");
    }
    EXPECT_NE(Commands().HelpText().find("  " + c->name + " "), std::string::npos) << c->name;
  }
  EXPECT_EQ(Commands().Validate({"layer-offset", "1"}), "layer-offset: expects 2 arguments (DX DY), got 1");
  EXPECT_EQ(Commands().Validate({"edge-emphasis", "1", "2", "3"}),
            "edge-emphasis: expects 0 to 2 arguments ([A [B]]), got 3");
  EXPECT_EQ(Commands().Validate({}), "empty command");
}

// Every command the menus could run on a document, run from a fresh document in
// which it is enabled: it must run and leave a usable document.
class EveryCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() / ("velmira-registry-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    host.frame = &frame;
    host.formats = &services;
  }
  void TearDown() override {
    doc.reset();
    host.created.clear();
    fs::remove_all(tmp);
  }
  // Two layers with a selection on the upper one, and something on the clipboard.
  void Fresh() {
    doc.reset();
    host.created.clear();
    frame.newWidth = 24;
    frame.newHeight = 16;
    frame.newBitsPerPixel = 24;
    frame.newTitle = "그림";
    doc = std::make_unique<CMirvDoc>(frame, host, &services);
    ASSERT_TRUE(doc->NewDocument());
    Layer& bottom = *doc->Layers().Active();
    for (size_t i = 0; i < bottom.pixels.size(); ++i) bottom.pixels[i] = uint8_t(i * 7);
    doc->RecordStep("Opening....", kStepPixels, doc->Layers().active);
    ASSERT_TRUE(doc->AddLayer());
    LayerStack& L = doc->Layers();
    Layer& top = *L.Active();
    for (size_t i = 0; i < top.pixels.size(); ++i) top.pixels[i] = uint8_t(i * 13 + 40);
    doc->CommitLayer(L.active);
    ASSERT_TRUE(doc->CopyToClipboard());
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(0));
    for (int y = 2; y < 6; ++y)
      for (int x = 2; x < 6; ++x) L.mask[size_t(y) * size_t(top.width) + size_t(x)] = 1;
    L.selectionExists = true;
    host.renameTo = "새 이름";
  }

  fs::path tmp;
  FrameState frame;
  DocServices services;
  testing_support::RecordingHost host;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(EveryCommand, EnabledMenuCommandsRunWithoutArguments) {
  int ran = 0;
  for (const auto& c : Commands().All()) {
    if (c->id == 0 || !c->run || c->MinArgs() > 0) continue;
    Fresh();
    if (!CommandState{doc.get(), true}.Allows(*c)) continue;
    CommandContext ctx{doc.get(), frame, host, &services};
    std::string error;
    host.messages.clear();
    const bool done = c->run(ctx, {}, error);
    EXPECT_TRUE(done) << c->id << " '" << c->label << "' was enabled but did not run: " << error
                      << (host.messages.empty() ? "" : " / " + host.messages.front());
    EXPECT_FALSE(doc->IsBusy()) << c->id << " left the document busy";
    EXPECT_NE(doc->Layers().Active(), nullptr) << c->id << " left no active layer";
    ++ran;
  }
  EXPECT_GT(ran, 30);
}

TEST_F(EveryCommand, NeedsKeepCommandsAwayFromDocumentsThatCannotTakeThem) {
  Fresh();
  const CommandDef& undo = *Commands().Find(cmd::kUndo);
  const CommandDef& mergeUp = *Commands().Find(cmd::kMergeUp);
  const CommandDef& cutToNew = *Commands().Find(cmd::kCutToNew);
  const CommandDef& zoom = *Commands().Find(1420);
  EXPECT_FALSE((CommandState{}.Allows(undo))) << "no document";
  EXPECT_TRUE((CommandState{doc.get(), true}.Allows(mergeUp)));
  EXPECT_FALSE((CommandState{doc.get(), false}.Allows(zoom))) << "zoom needs a window";
  doc->SetBusy(true);
  EXPECT_FALSE((CommandState{doc.get(), true}.Allows(mergeUp))) << "a busy document takes no command";
  EXPECT_TRUE((CommandState{doc.get(), true, true}.Allows(mergeUp))) << "unless the panel asks as if idle";
  doc->SetBusy(false);
  doc->Layers().selectionExists = false;
  EXPECT_FALSE((CommandState{doc.get(), true}.Allows(cutToNew)));
  ASSERT_TRUE(doc->SetActiveLayer(doc->Layers().bottom));
  EXPECT_FALSE((CommandState{doc.get(), true}.Allows(mergeUp))) << "nothing below the bottom layer";
}

TEST_F(EveryCommand, TheCommandLineIsToldWhichNeedFailed) {
  Fresh();
  doc->Layers().selectionExists = false;
  CommandContext ctx{doc.get(), frame, host, &services};
  std::string error;
  EXPECT_FALSE(RunCommand(*Commands().Find(cmd::kCutToNew), ctx, {}, error));
  EXPECT_EQ(error, "nothing is selected");
  CommandContext none{nullptr, frame, host, &services};
  EXPECT_FALSE(RunCommand(*Commands().FindByName("flatten"), none, {}, error));
  EXPECT_EQ(error, "no document");
  // A command that is not built says so instead of pretending to run.
  EXPECT_FALSE(RunCommand(*Commands().Find(4201), ctx, {}, error));
  EXPECT_NE(error.find("not available"), std::string::npos);
}

}  // namespace
}  // namespace velmira
