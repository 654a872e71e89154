#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

// What the command line asks of the program.
struct TCommandLine {
  // Set when it is answered without a window (help, version, a mistake):
  // the program ends with this code.
  std::optional<int> ExitCode;
  // The file to open in the source pane, as an absolute path; empty for none.
  QString FileName;
};

// Reads the arguments as the program received them (its own path first),
// before any application object exists, so that every answer works without
// a display. Qt's own options (-platform, -style, ...) are passed over for
// the application object. Help and version go to out; mistakes go to err
// with exit code 1. A file name is taken from the working directory, as a
// shell user means it; a file: URL names the local file it points to.
TCommandLine ParseCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

// ParseCommandLine on main()'s arguments, answering on stdout and stderr.
TCommandLine ReadCommandLine(int argc, char** argv);
