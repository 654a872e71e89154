#pragma once

#include "application_test_support.h"
#include "qt_test_printers.h"
#include "test_http_server.h"
#include "ui/main/frm_Main.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// A program folder as the build leaves it: the language files, the skin and
// the resource module beside a settings file the test writes.
class TProgramFolder {
public:
  TProgramFolder();
  QString Path(const QString& name = {}) const;
  QString SettingsFile() const { return Path(QStringLiteral("Tralvesco.ini")); }
  void WriteSettings(const QByteArray& text) const;
  // The raw value as the file holds it; empty when the key is absent.
  std::optional<QString> Setting(const QString& section, const QString& key) const;
  void RemoveResourceModule() const;
  void InstallResourceModule() const;
  void WriteLanguage(const QString& name, const QByteArray& text) const;

private:
  QTemporaryDir FDir;
};

// A main window over a program folder, pointed at a local test server. The
// test writes the settings (SetUp writes a default that names the server)
// and then calls Start, which creates and shows the window.
class TMainWindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Settings text with the test server's address added.
  QByteArray WithServer(const QByteArray& settings) const;
  void Start();

  template <class T> T* Find(const char* name) const;
  TProfDHTMLEdit2* Source() const;
  TProfDHTMLEdit2* Target() const;
  // Types into the source pane as a user would; "\n" presses Enter and
  // non-ASCII lines come as an input method commits them.
  void TypeSource(const QString& text) const;
  void ClickTranslate() const;
  // The text query item of each request so far, still percent-encoded.
  QList<QByteArray> SentTexts() const;

  TTestHttpServer FServer; // outlives the window
  std::unique_ptr<TProgramFolder> FFolder;
  std::unique_ptr<TfrmMain> FWindow;
};

template <class T> T* TMainWindowTest::Find(const char* name) const {
  T* found = FWindow->findChild<T*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// A reply of the service with one sentence per piece; the pieces go into
// the JSON text as they are (escape what JSON needs yourself).
QByteArray ServiceReply(const QList<QByteArray>& pieces);
