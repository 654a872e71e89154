#pragma once

#include "application_test_support.h"
#include "lang/display_language.h"
#include "settings/ini_file.h"
#include "settings/program_dir.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

// Each test gets a program folder of its own holding the shipped language
// files, a settings file path there (no file yet), and fresh settings.
class TDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FProgramDir.isValid());
    SetProgramDirForTesting(FProgramDir.path());
    ASSERT_TRUE(QDir(FProgramDir.path()).mkpath(QStringLiteral("Languages")));
    for (const char* name : {"English", "Chinese-Simp", "Chinese-Trad"})
      ShipLanguage(QLatin1String(name));
    SettingsFileName = ProgramPath(QStringLiteral("Tralvesco.ini"));
    Params = TParams();
    LangFilePath.clear();
    ShownBoxes().clear();
  }
  void TearDown() override {
    SetProgramDirForTesting({});
    SettingsFileName.clear();
    Params = TParams();
    LangFilePath.clear();
  }

  QString ProgramPath(const QString& relative) const {
    return FProgramDir.path() + QLatin1Char('/') + relative;
  }

  void ShipLanguage(const QString& name) {
    const QString target = ProgramPath(QStringLiteral("Languages/") + name + ".lng");
    ASSERT_TRUE(QFile::copy(DataDir() + QStringLiteral("/Languages/") + name + ".lng", target));
  }

  // What the settings file holds for a key; nothing when the key is absent.
  static std::optional<QString> Stored(const QString& section, const QString& key) {
    return IniFile::Read(SettingsFileName, section, key);
  }
  static void Store(const QString& section, const QString& key, const QString& value) {
    ASSERT_TRUE(IniFile::Write(SettingsFileName, section, key, value));
  }
  static bool SettingsFileExists() { return QFile::exists(SettingsFileName); }

  static QString DataDir() { return QStringLiteral(TRALVESCO_DATA_DIR); }

  QTemporaryDir FProgramDir;
};

// The named child of a window, failing the test when there is none.
template <class T> T* Child(const QWidget* form, const char* name) {
  T* child = form->findChild<T*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
