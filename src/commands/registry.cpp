#include "commands/registry.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace velmira {

// ---------------------------------------------------------------- definitions

int CommandDef::MinArgs() const {
  int n = 0;
  for (const CommandParam& p : params)
    if (!p.optional) ++n;
  return n;
}

int CommandDef::MaxArgs() const { return int(params.size()); }

std::string CommandDef::Usage() const {
  if (!usage.empty()) return usage;
  // Optional parameters nest: "[A [B]]" — a later one needs the earlier ones.
  std::string text, closing;
  for (const CommandParam& p : params) {
    if (!text.empty()) text += ' ';
    if (p.optional) {
      text += '[';
      closing += ']';
    }
    text += p.name;
  }
  return text + closing;
}

CommandDef& CommandRegistry::Add(CommandDef def) {
  if (def.id != 0 && byId_.count(def.id)) clashes_.push_back("id " + std::to_string(def.id));
  if (!def.name.empty() && byName_.count(def.name)) clashes_.push_back("name " + def.name);
  auto owned = std::make_unique<CommandDef>(std::move(def));
  CommandDef* d = owned.get();
  commands_.push_back(std::move(owned));
  if (d->id != 0) byId_.emplace(d->id, d);
  if (!d->name.empty()) byName_.emplace(d->name, d);
  return *d;
}

void CommandRegistry::AddSurface(SurfaceDef s) {
  for (const SurfaceDef& existing : surfaces_)
    if (existing.key == s.key) clashes_.push_back("surface " + s.key);
  surfaces_.push_back(std::move(s));
}

const CommandDef* CommandRegistry::Find(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

const CommandDef* CommandRegistry::FindByName(std::string_view name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

std::vector<SurfaceNode> CommandRegistry::Surface(const std::string& key) const {
  struct Entry {
    int order;
    bool separatorBefore;
    SurfaceNode node;
  };
  std::vector<Entry> entries;
  for (const auto& c : commands_)
    for (const Placement& p : c->places)
      if (p.surface == key)
        entries.push_back({p.order, p.separatorBefore,
                           SurfaceNode{SurfaceNode::Command, c->id, p.label.empty() ? c->label : p.label, {}}});
  for (const SurfaceDef& s : surfaces_)
    if (s.parent == key)
      entries.push_back({s.order, s.separatorBefore, SurfaceNode{SurfaceNode::Submenu, 0, s.label, Surface(s.key)}});
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.order < b.order; });
  std::vector<SurfaceNode> out;
  for (Entry& e : entries) {
    if (e.separatorBefore) out.push_back(SurfaceNode{SurfaceNode::Separator, 0, {}, {}});
    out.push_back(std::move(e.node));
  }
  return out;
}

std::string CommandRegistry::LabelOn(int id, const std::string& surface) const {
  const CommandDef* d = Find(id);
  if (!d) return {};
  for (const Placement& p : d->places)
    if (p.surface == surface && !p.label.empty()) return p.label;
  return d->label;
}

std::vector<const CommandDef*> CommandRegistry::Scriptable() const {
  std::vector<const CommandDef*> out;
  for (const auto& c : commands_)
    if (!c->name.empty()) out.push_back(c.get());
  return out;
}

std::string CommandRegistry::Validate(const CommandArgs& words) const {
  if (words.empty()) return "empty command";
  const CommandDef* c = FindByName(words[0]);
  if (!c) return "unknown command: " + words[0];
  const int n = int(words.size()) - 1;
  const int lo = c->MinArgs(), hi = c->MaxArgs();
  if (n < lo || n > hi) {
    const std::string want = lo == hi ? std::to_string(lo) : std::to_string(lo) + " to " + std::to_string(hi);
    std::string text = c->name + ": expects " + want + (hi == 1 ? " argument" : " arguments");
    if (const std::string u = c->Usage(); !u.empty()) text += " (" + u + ")";
    return text + ", got " + std::to_string(n);
  }
  return {};
}

std::string CommandRegistry::HelpText() const {
  std::string out;
  char line[512];
  for (const CommandDef* c : Scriptable()) {
    std::snprintf(line, sizeof line, "  %-20s %-8s %s\n", c->name.c_str(), c->Usage().c_str(), c->help.c_str());
    out += line;
  }
  return out;
}

const CommandRegistry& Commands() {
  static const CommandRegistry registry = [] {
    CommandRegistry r;
    RegisterSurfaces(r);
    RegisterFileCommands(r);
    RegisterEditCommands(r);
    RegisterPaintCommands(r);
    RegisterImageCommands(r);
    RegisterFilterCommands(r);
    RegisterLayerCommands(r);
    RegisterSelectionCommands(r);
    RegisterTransformCommands(r);
    RegisterViewCommands(r);
    RegisterMeasureCommands(r);
    return r;
  }();
  return registry;
}

// ---------------------------------------------------------------- enabling and running

bool CommandState::Allows(const CommandDef& def) const {
  const unsigned n = def.needs;
  const bool needsDoc = n & (kNeedDocument | kNeedIdle | kNeedLayer | kNeedRasterLayer | kNeedSelection);
  if (needsDoc && !doc) return false;
  if ((n & kNeedView) && !hasView) return false;
  if ((n & kNeedIdle) && !ignoreBusy && doc->IsBusy()) return false;
  if (n & (kNeedLayer | kNeedRasterLayer)) {
    const Layer* a = doc->Layers().Active();
    if (!a) return false;
    if ((n & kNeedRasterLayer) && a->kind == kLayerText) return false;
  }
  if ((n & kNeedSelection) && !doc->Layers().selectionExists) return false;
  if (def.enabled) {
    if (!doc) return false;
    if (!def.enabled(*doc)) return false;
  }
  return true;
}

bool RunCommand(const CommandDef& def, CommandContext& ctx, const CommandArgs& args, std::string& error) {
  if (!def.run) return args::Fail(error, (def.name.empty() ? def.label : def.name) + ": not available");
  // The command line has no menu to grey out, so the shared needs are said in words.
  // A text layer and the command's own predicate are left to the run function: it
  // refuses through the document's routine, with the message the editor shows.
  const unsigned n = def.needs;
  if ((n & (kNeedDocument | kNeedIdle | kNeedLayer | kNeedRasterLayer | kNeedSelection)) && !ctx.doc)
    return args::Fail(error, "no document");
  if ((n & kNeedIdle) && ctx.doc->IsBusy()) return args::Fail(error, "the document is busy");
  if ((n & (kNeedLayer | kNeedRasterLayer)) && !ctx.doc->Layers().Active())
    return args::Fail(error, "the document has no active layer");
  if ((n & kNeedSelection) && !ctx.doc->Layers().selectionExists) return args::Fail(error, "nothing is selected");
  return def.run(ctx, args, error);
}

// ---------------------------------------------------------------- arguments

namespace args {

bool ParseInt(const std::string& s, int& out) {
  const char* b = s.data();
  const char* e = s.data() + s.size();
  if (b != e && *b == '+') ++b;
  auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e && b != e;
}

bool ParseDouble(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end && *end == '\0';
}

bool ParseColour(const std::string& s, Rgbq& out) {
  if (s.size() != 7 || s[0] != '#') return false;
  unsigned v = 0;
  auto r = std::from_chars(s.data() + 1, s.data() + 7, v, 16);
  if (r.ec != std::errc() || r.ptr != s.data() + 7) return false;
  out = MakeRgbq(int(v >> 16), int((v >> 8) & 0xFF), int(v & 0xFF));
  return true;
}

bool IntIn(const std::string& s, int lo, int hi, int& out) { return ParseInt(s, out) && out >= lo && out <= hi; }

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

bool Refused(const CommandContext& c, std::string& error, const char* why) {
  return c.MessageShown() ? false : Fail(error, why);
}

}  // namespace args

bool PictureToLayer(const CMirvDoc& doc, int x, int y, int& lx, int& ly) {
  const Layer* l = doc.Layers().Active();
  if (!l) return false;
  lx = x - l->x;
  ly = l->y + doc.Layers().header.canvasHeight - 1 - y;
  return true;
}

}  // namespace velmira
