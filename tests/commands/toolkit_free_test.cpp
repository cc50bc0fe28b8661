// The core builds and tests with no display: no file outside src/ui and src/app may
// include a Qt header, or the command-line tool and the core tests would need Qt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// `#include <QFoo>`, `<QtCore/…>`, `"qfoo.h"`-style Qt headers.
bool IncludesQt(const std::string& line) {
  static const std::regex qt(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/[^>"]+|q[a-z]+\.h)[>"])");
  return std::regex_search(line, qt);
}

TEST(ToolkitFree, TheRuleRecognisesQtIncludes) {
  EXPECT_TRUE(IncludesQt("#include <QWidget>"));
  EXPECT_TRUE(IncludesQt("  #  include <QtCore/QString>"));
  EXPECT_TRUE(IncludesQt("#include <qglobal.h>"));
  EXPECT_FALSE(IncludesQt("#include <queue>"));
  EXPECT_FALSE(IncludesQt("#include \"image/doc.h\""));
  EXPECT_FALSE(IncludesQt("// #include <QWidget> was here"));
}

TEST(ToolkitFree, NoCoreFileIncludesQt) {
  const fs::path src = fs::path(VELMIRA_SOURCE_DIR) / "src";
  ASSERT_TRUE(fs::is_directory(src));
  std::vector<std::string> offenders;
  int scanned = 0;
  for (const auto& e : fs::recursive_directory_iterator(src)) {
    if (!e.is_regular_file()) continue;
    const fs::path rel = fs::relative(e.path(), src);
    const std::string top = rel.begin()->string();
    if (top == "ui" || top == "app") continue;
    const std::string ext = e.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    ++scanned;
    std::ifstream in(e.path());
    std::string line;
    for (int n = 1; std::getline(in, line); ++n)
      if (IncludesQt(line)) offenders.push_back(rel.string() + ":" + std::to_string(n) + ": " + line);
  }
  EXPECT_GT(scanned, 50);
  for (const std::string& o : offenders) ADD_FAILURE() << o;
}

}  // namespace
