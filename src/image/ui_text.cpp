#include "image/ui_text.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace velmira {

namespace {

struct Catalogue {
  std::mutex mutex;
  std::function<std::string(const char*)> lookup;
  // Answers by key, each in its own allocation so that its pointer stays put. A
  // lookup replaced at run time leaves the old answers alive: a caller may still
  // hold one.
  std::unordered_map<std::string, std::unique_ptr<std::string>> answers;
  std::vector<std::unique_ptr<std::string>> retired;
};

Catalogue& Shared() {
  static Catalogue* c = new Catalogue;  // never destroyed: texts outlive static teardown
  return *c;
}

}  // namespace

const char* UiText(const char* korean) {
  if (!korean) return "";
  Catalogue& c = Shared();
  std::lock_guard lock(c.mutex);
  if (!c.lookup) return korean;
  auto it = c.answers.find(korean);
  if (it == c.answers.end()) {
    std::string text = c.lookup(korean);
    if (text.empty()) text = korean;
    it = c.answers.emplace(korean, std::make_unique<std::string>(std::move(text))).first;
  }
  return it->second->c_str();
}

void SetUiTextLookup(std::function<std::string(const char*)> lookup) {
  Catalogue& c = Shared();
  std::lock_guard lock(c.mutex);
  for (auto& [key, text] : c.answers) c.retired.push_back(std::move(text));
  c.answers.clear();
  c.lookup = std::move(lookup);
}

}  // namespace velmira
