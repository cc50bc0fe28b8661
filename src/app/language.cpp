#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>
#include <system_error>

#include "app/settings_file.h"
#include "app/shared_folder.h"
#include "image/ui_text.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// The installed pack's own texts. Tr() asks it directly rather than through
// QCoreApplication::translate: velmira-cli has no application object, or makes one
// only for the text rasterizer, after the pack was installed.
QTranslator* g_installed = nullptr;

QString Lookup(const char* korean) {
  if (!korean || !*korean) return QString();
  if (g_installed) {
    const QString t = g_installed->translate(kTranslationContext, korean);
    if (!t.isEmpty()) return t;
  }
  return QString::fromUtf8(korean);
}

}  // namespace

QString Tr(const char* korean) { return Lookup(korean); }
QString Tr(const std::string& korean) { return Lookup(korean.c_str()); }
QString Tr(const QString& korean) { return Lookup(korean.toUtf8().constData()); }

fs::path TranslationsFolderFor(const fs::path& exeFolder) {
  std::error_code ec;
  if (const char* env = std::getenv("VELMIRA_TRANSLATIONS"); env && *env)
    if (fs::is_directory(env, ec)) return fs::path(env);
  if (exeFolder.empty()) return {};
  const fs::path installed = exeFolder.parent_path() / "share" / "velmira" / "translations";
  if (fs::exists(installed / "velmira_en.qm", ec)) return installed.lexically_normal();
  // Build tree: <build>/src/ui/velmira, <build>/tests/ui/… and <build>/translations.
  fs::path dir = exeFolder;
  for (int up = 0; up < 5 && !dir.empty(); ++up) {
    const fs::path candidate = dir / "translations";
    if (fs::exists(candidate / "velmira_en.qm", ec)) return candidate.lexically_normal();
    if (dir == dir.parent_path()) break;
    dir = dir.parent_path();
  }
  return {};
}

fs::path TranslationsFolder() { return TranslationsFolderFor(ExecutableFolder()); }

LanguagePack::LanguagePack() = default;

LanguagePack::~LanguagePack() { Uninstall(); }

bool LanguagePack::Load(const std::string& code, const fs::path& folder) {
  Uninstall();
  code_ = code;
  own_.reset();
  qt_.reset();
  const QString lang = QString::fromStdString(code);
  auto qt = std::make_unique<QTranslator>();
  if (qt->load(QStringLiteral("qtbase_") + lang, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    qt_ = std::move(qt);
  if (code == "ko") return true;
  auto own = std::make_unique<QTranslator>();
  if (folder.empty() || !own->load(QStringLiteral("velmira_") + lang, QString::fromStdString(folder.string())))
    return false;
  own_ = std::move(own);
  return true;
}

void LanguagePack::Install() {
  Uninstall();
  if (QCoreApplication::instance()) {
    if (qt_) QCoreApplication::installTranslator(qt_.get());
    if (own_) QCoreApplication::installTranslator(own_.get());
  }
  g_installed = own_.get();
  if (own_) {
    SetUiTextLookup([](const char* korean) { return Tr(korean).toStdString(); });
  } else {
    SetUiTextLookup({});
  }
  installed_ = true;
}

void LanguagePack::Uninstall() {
  if (!installed_) return;
  if (QCoreApplication::instance()) {
    if (own_) QCoreApplication::removeTranslator(own_.get());
    if (qt_) QCoreApplication::removeTranslator(qt_.get());
  }
  if (g_installed == own_.get()) {
    g_installed = nullptr;
    SetUiTextLookup({});
  }
  installed_ = false;
}

std::string StartupLanguage(const fs::path& dataFolder) {
  return ResolveLanguage(ReadLanguageFile(dataFolder / kLanguageFileName));
}

}  // namespace velmira
