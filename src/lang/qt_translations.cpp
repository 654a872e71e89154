#include "lang/qt_translations.h"

#include "lang/font_charset.h"
#include "lang/lang_file.h"
#include "lang/lang_res.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

// The translator in force; the application owns it, so it goes with it.
QPointer<QTranslator>& Installed() {
  static QPointer<QTranslator> translator;
  return translator;
}

} // namespace

QString QtLocaleOfLanguageFile(const QString& langFilePath) {
  if (langFilePath.isEmpty())
    return {};
  const QString path = ProgramRelativePath(langFilePath);
  // The main window's section decides; a file made for the dialogs alone
  // still says its character set in theirs.
  const char* const forms[][2] = {
      {"TfrmMain", "frmMain"}, {"TfrmOptions", "frmOptions"}, {"TfrmAbout", "frmAbout"}};
  for (const auto& form : forms) {
    const qint32 charset = LangFile::ReadInteger(
        path, QLatin1String(form[0]), QLatin1String(form[1]) + QStringLiteral("_FontCharset"), -1);
    if (charset == FontCharset::Gb2312)
      return QStringLiteral("zh_CN");
    if (charset == FontCharset::ChineseBig5)
      return QStringLiteral("zh_TW");
    if (charset != -1)
      return {};
  }
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
