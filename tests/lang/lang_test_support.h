#pragma once

#include "settings/program_dir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Each test gets a program folder of its own, with an empty Languages/.
class TLangTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FProgramDir.isValid());
    SetProgramDirForTesting(FProgramDir.path());
    ASSERT_TRUE(QDir(FProgramDir.path()).mkpath(QStringLiteral("Languages")));
  }
  void TearDown() override { SetProgramDirForTesting({}); }

  QString ProgramPath(const QString& relative) const {
    return FProgramDir.path() + QLatin1Char('/') + relative;
  }

  // Writes Languages/<name> beside the "executable".
  void WriteLang(const QString& name, const QByteArray& text) {
    QFile file(ProgramPath(QStringLiteral("Languages/") + name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }

  QByteArray ReadLang(const QString& name) const {
    QFile file(ProgramPath(QStringLiteral("Languages/") + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir FProgramDir;
};

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
