#include "program_dir.h"

#include <QCoreApplication>
#include <QDir>

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

void SetProgramDirForTesting(const QString& dir) {
  OverrideDir() = dir;
}
