// The interface language: which one the locale and the stored choice give, and the
// file the choice is kept in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/settings_file.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using C = LanguageChoice;

TEST(LanguageChoice, LocaleVariablesFollowTheCLibrarysOrder) {
  // LC_ALL over LC_MESSAGES over LANG; an empty variable counts as unset.
  EXPECT_EQ(ResolveLanguage(C::System, "ja_JP.UTF-8", "en_US.UTF-8", "ko_KR.UTF-8"), "ja");
  EXPECT_EQ(ResolveLanguage(C::System, "", "en_US.UTF-8", "ja_JP.UTF-8"), "en");
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, "ja_JP.UTF-8"), "ja");
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, "", "en_GB@euro"), "en");
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, "ko"), "ko");
}

TEST(LanguageChoice, NoLocaleKeepsKoreanAndAnUnknownLanguageGetsEnglish) {
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, nullptr), "ko");
  EXPECT_EQ(ResolveLanguage(C::System, "C", nullptr, "ja_JP.UTF-8"), "ko");  // LC_ALL=C wins
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, "C.UTF-8"), "ko");
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, "POSIX"), "ko");
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, "de_DE.UTF-8"), "en");
  EXPECT_EQ(ResolveLanguage(C::System, nullptr, nullptr, "jav_ID"), "en");  // not Japanese
}

TEST(LanguageChoice, AStoredChoiceOverridesTheLocale) {
  EXPECT_EQ(ResolveLanguage(C::Korean, "ja_JP.UTF-8", nullptr, nullptr), "ko");
  EXPECT_EQ(ResolveLanguage(C::English, nullptr, nullptr, "ko_KR.UTF-8"), "en");
  EXPECT_EQ(ResolveLanguage(C::Japanese, "C", nullptr, nullptr), "ja");
}

TEST(LanguageChoice, FileRoundTripsAndDamageMeansSystem) {
  const fs::path dir = fs::temp_directory_path() / ("velmira-language-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / kLanguageFileName;
  EXPECT_EQ(ReadLanguageFile(file), C::System);  // no file
  for (C c : {C::Korean, C::English, C::Japanese, C::System}) {
    ASSERT_TRUE(WriteLanguageFile(file, c));
    EXPECT_EQ(ReadLanguageFile(file), c);
  }
  EXPECT_FALSE(fs::exists(dir / "Language.ini.new"));
  std::ofstream(file, std::ios::binary) << "  ja \r\n";
  EXPECT_EQ(ReadLanguageFile(file), C::Japanese);
  std::ofstream(file, std::ios::binary) << "japanese";
  EXPECT_EQ(ReadLanguageFile(file), C::System);
  std::ofstream(file, std::ios::binary) << std::string(4096, 'e');
  EXPECT_EQ(ReadLanguageFile(file), C::System);  // not one of ours
  fs::remove_all(dir);
}

}  // namespace
}  // namespace velmira
