#include "app/skin.h"

#include "app/application.h"
#include "app/frm_Root.h"
#include "settings/program_dir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStyleFactory>

namespace {
// A skin is a page of rules; anything far larger is not one.
constexpr qint64 MaxSkinSize = 1024 * 1024;
} // namespace

bool SkinH_AttachEx(const QString& skinFile, const QString& second) {
  Q_UNUSED(second);
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app || skinFile.isEmpty())
    return false;
  const QString path = QDir::isAbsolutePath(skinFile) ? skinFile : ProgramDataPath(skinFile);
  QFile file(path);
  if (file.size() > MaxSkinSize || !file.open(QIODevice::ReadOnly))
    return false;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFile::NoError)
    return false;
  // A style sheet normally stops a window's font from reaching the controls
  // already on it, so a language file's font would stop at the window. In
  // propagation mode fonts and colours flow as without a sheet, except that
  // a control made afterwards starts from the application font: make that
  // the windows' own.
  QCoreApplication::setAttribute(Qt::AA_UseStyleSheetPropagationInWidgetStyles, true);
  QApplication::setFont(TfrmRoot::DefaultFont());
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  app->setStyleSheet(QString::fromUtf8(bytes));
  TApplication::SeedStylePictures();
  return true;
}
