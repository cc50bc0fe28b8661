// velmira-cli speaks the interface language: the locale chooses it unless the
// settings hold a choice, and Korean stays when there is no locale.
#include <cstdio>
#include <fstream>
#include <string>

#include "cli/cli_run.h"

namespace velmira {
namespace {

bool HasHangul(const std::string& utf8) {
  // U+AC00…U+D7A3 start with the bytes EA B0 … ED 9E in UTF-8.
  for (size_t i = 0; i + 2 < utf8.size(); ++i) {
    const unsigned char a = utf8[i], b = utf8[i + 1];
    if ((a == 0xEA && b >= 0xB0) || a == 0xEB || a == 0xEC || (a == 0xED && b <= 0x9E)) return true;
  }
  return false;
}

class CliLanguage : public CliFixture {
 protected:
  // Opens a damaged picture under the given locale variables: the document core
  // says it cannot open it.
  std::string RunWith(const std::string& locale) {
    std::ofstream(P("bad.bmp"), std::ios::binary) << "not a picture";
    const std::string cmd = "env -u LC_ALL -u LC_MESSAGES -u LANGUAGE " + locale + " " + VELMIRA_CLI + " info " +
                            P("bad.bmp") + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
  }
};

TEST_F(CliLanguage, MessagesFollowTheLocale) {
  std::filesystem::remove(dir / "home" / "Language.ini");  // no choice: the locale decides
  const std::string english = RunWith("LANG=en_US.UTF-8");
  EXPECT_NE(english.find("velmira-cli: The file"), std::string::npos) << english;
  EXPECT_FALSE(HasHangul(english)) << english;

  const std::string japanese = RunWith("LANG=ja_JP.UTF-8");
  EXPECT_NE(japanese.find("velmira-cli: このファイル"), std::string::npos) << japanese;
  EXPECT_FALSE(HasHangul(japanese)) << japanese;

  // LC_ALL outranks LANG; no locale at all keeps the source language.
  EXPECT_FALSE(HasHangul(RunWith("LANG=ko_KR.UTF-8 LC_ALL=en_US.UTF-8")));
  EXPECT_TRUE(HasHangul(RunWith("LANG=C.UTF-8")));
  EXPECT_TRUE(HasHangul(RunWith("LANG=ko_KR.UTF-8")));
}

TEST_F(CliLanguage, TheStoredChoiceOverridesTheLocale) {
  std::ofstream(dir / "home" / "Language.ini") << "en\r\n";
  const std::string out = RunWith("LANG=ko_KR.UTF-8");
  EXPECT_NE(out.find("velmira-cli: The file"), std::string::npos) << out;
  std::ofstream(dir / "home" / "Language.ini") << "system\r\n";
  EXPECT_TRUE(HasHangul(RunWith("LANG=ko_KR.UTF-8")));
}

}  // namespace
}  // namespace velmira
