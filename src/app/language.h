// The interface language of the editor and velmira-cli. Korean is the source
// language: every text is written in Korean and is its own translation key, in one
// translation context, so that a text reads the same wherever it is shown. The
// translations are velmira_<lang>.qm files made from translations/*.ts at build time.
//
// Lookups for a menu label, in order: the KrStr2JpStr.txt string table (keyed by the
// Korean label, the user's own replacement wins), then the translation, then the
// Korean label itself.
#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <string>

class QTranslator;

namespace velmira {

inline constexpr const char* kTranslationContext = "velmira";

// The interface text for a Korean source text (the text itself when there is no
// translation or none is loaded). lupdate collects the literal arguments.
QString Tr(const char* korean);
QString Tr(const std::string& korean);
QString Tr(const QString& korean);

// Where velmira_<lang>.qm are found for an executable in `exeFolder`:
// $VELMIRA_TRANSLATIONS, an installed <prefix>/share/velmira/translations, else the
// build tree's translations folder a few levels up. Empty when none is found.
std::filesystem::path TranslationsFolderFor(const std::filesystem::path& exeFolder);
std::filesystem::path TranslationsFolder();

// The loaded translations of one language: Velmira's own and Qt's (qtbase_<lang>,
// the file dialogs' and standard buttons' texts). Installing them routes every Tr()
// and the core's UiText through them; destroying them removes them again.
class LanguagePack {
 public:
  LanguagePack();
  ~LanguagePack();
  LanguagePack(const LanguagePack&) = delete;
  LanguagePack& operator=(const LanguagePack&) = delete;

  // Loads `code` ("ko", "en", "ja"); Korean needs no file of Velmira's. False when
  // Velmira's file for a translated language is missing (the texts stay Korean).
  bool Load(const std::string& code, const std::filesystem::path& folder);
  // Makes the loaded texts current: into the application when there is one (Qt's
  // own dialogs follow), and for the core's UiText in any case.
  void Install();
  const std::string& Code() const { return code_; }

 private:
  void Uninstall();
  std::string code_ = "ko";
  std::unique_ptr<QTranslator> own_;
  std::unique_ptr<QTranslator> qt_;
  bool installed_ = false;
};

// The language velmira and velmira-cli speak: the choice in the data folder's
// Language.ini, else the system locale.
std::string StartupLanguage(const std::filesystem::path& dataFolder);

}  // namespace velmira
