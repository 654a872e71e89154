#include "lang/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

struct TQtLocale {
  const char* LanguageFile;
  const char* Locale;
};

// The shipped Chinese files; their names are what a user picks in the
// options, so a match ignores letter case as the file lookup does.
const TQtLocale QtLocales[] = {
    {"Chinese-Simp", "zh_CN"},
    {"Chinese-Trad", "zh_TW"},
};

// The translator in force; the application owns it, so it goes with it.
QPointer<QTranslator>& Installed() {
  static QPointer<QTranslator> translator;
  return translator;
}

} // namespace

QString QtLocaleOfLanguageFile(const QString& langFilePath) {
  QString name = langFilePath.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1);
  if (name.endsWith(QLatin1String(".lng"), Qt::CaseInsensitive))
    name.chop(4);
  for (const TQtLocale& entry : QtLocales)
    if (name.compare(QLatin1String(entry.LanguageFile), Qt::CaseInsensitive) == 0)
      return QLatin1String(entry.Locale);
  return {};
}

bool UseQtTranslations(const QString& langFilePath) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app)
    return false;
  const QString locale = QtLocaleOfLanguageFile(langFilePath);
  QPointer<QTranslator>& installed = Installed();
  if (installed && !locale.isEmpty() && installed->objectName() == locale)
    return true;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
  }
  if (locale.isEmpty())
    return false;
  auto* translator = new QTranslator(app);
  translator->setObjectName(locale);
  if (!translator->load(QStringLiteral("qtbase_") + locale,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}
