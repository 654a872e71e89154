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

// Reads the arguments (the program's own path first, Qt's options already
// taken out by the application object). Help and version go to out,
// mistakes and a file that cannot be read to err. Relative file names are
// taken from the working directory, as a shell user means them.
TCommandLine ParseCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Answers --help and --version before the application object exists, so
// that they work without a display. Empty when the arguments ask for the
// window (or hold Qt's own options, which only the application object
// knows): then ParseCommandLine decides.
std::optional<int> AnswerWithoutWindow(int argc, char** argv);
