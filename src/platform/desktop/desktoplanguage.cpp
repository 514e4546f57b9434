#include "platform/desktop/desktoplanguage.h"

#include <QLocale>
#include <QStringList>

namespace ks {

std::string desktopLanguageCode() {
  // LANGUAGE, LC_ALL, LC_MESSAGES and LANG, in the order the desktop's own programs read them.
  const QStringList languages = QLocale::system().uiLanguages();
  const QLocale locale = languages.isEmpty() ? QLocale::system() : QLocale(languages.first());
  if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) return {};
  return QLocale::languageToCode(locale.language(), QLocale::ISO639Part2T).toUpper().toStdString();
}

}  // namespace ks
