#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The texts the program shows beyond its windows' captions and hints: file
// errors, their reasons, the proxy check and the parts of accessible names and
// hints. Each has a key in the main window's section of the language file and
// an English default used when the file lacks the key (or gives it empty).
// A new message is one entry here, one row in the table of program_messages.cpp
// and one line in each shipped language file; the language-file check then
// insists on that line.
enum class TMessage {
  CannotOpen,       // "Cannot open "%1": %2", %1 the file, %2 a reason
  NotRegularFile,   // a reason: a folder, pipe or device
  CannotRead,       // a reason
  FileTooLarge,     // a reason, %1 the limit in MB
  CannotSave,       // "Cannot save "%1": %2"
  DocumentNotSaved, // the pane could not write its document out
  InvalidProxy,     // %1 the address as given
  InvalidProxyPort, // %1 the port as given
  UnableToRead,     // %1 the settings file
  NotAFolder,       // %1 the settings file, %2 what stands where its folder should
  ReasonNotFound,
  ReasonAccessDenied,
  ReasonIsFolder,
  ReasonDiskFull,
  ReasonReadOnly,
  HintWithShortcut, // %1 a command's hint, %2 its key
  PaneName,         // %1 a pane's caption, %2 its language
};

// The key in the language file ("strCannotOpen").
QString MessageKey(TMessage message);
// The text in code, used when the language file has none.
QString EnglishMessage(TMessage message);
// Every key, in table order; the shipped files must hold each one.
QStringList MessageKeys();

// The text in the interface language: what the installed source finds for the
// key, else the English default.
QString MessageText(TMessage message);

// Where MessageText looks a key up: the interface language installs one that
// reads the current language file. Empty: English everywhere.
using TMessageSource = std::function<QString(const QString& key)>;
void SetMessageSource(TMessageSource source);
