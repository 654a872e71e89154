#include "settings/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& OverrideDir() {
  static QString dir;
  return dir;
}
} // namespace

QString ProgramDir() {
  QString dir = OverrideDir();
  if (dir.isEmpty())
    dir = QCoreApplication::applicationDirPath();
  if (!dir.endsWith(QLatin1Char('/')))
    dir += QLatin1Char('/');
  return dir;
}

QString ProgramDataPath(const QString& relative) {
  const QString beside = QDir::cleanPath(ProgramDir() + relative);
  if (QFileInfo::exists(beside))
    return beside;
  const QString shared =
      QDir::cleanPath(ProgramDir() + QStringLiteral("../share/tralvesco/") + relative);
  return QFileInfo::exists(shared) ? shared : beside;
}

bool IsInstalledCopy() {
  const QString languages = QStringLiteral("Languages");
  return !QFileInfo(ProgramDir() + languages).isDir() &&
         QFileInfo(ProgramDir() + QStringLiteral("../share/tralvesco/") + languages).isDir();
}

void SetProgramDirForTesting(const QString& dir) {
  OverrideDir() = dir;
}
