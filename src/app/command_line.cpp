#include "app/command_line.h"

#include "core/product_info.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

struct TParser {
  QCommandLineParser Parser;
  QCommandLineOption Help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Shows this help and ends.")};
  QCommandLineOption Version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("Shows the version and ends.")};

  TParser() {
    Parser.setApplicationDescription(
        ProductInfo::Title +
        QStringLiteral(": English to Chinese (Simplified or Traditional) and back."));
    Parser.addOption(Help);
    Parser.addOption(Version);
    Parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A text or HTML file to open in the source pane."),
                                 QStringLiteral("[file]"));
  }
};

QString VersionText() {
  return ProductInfo::Title + QLatin1Char(' ') + ProductInfo::VersionNumber;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
  TParser parser;
  const QString program = arguments.value(0, ProductInfo::ProgramName);
  const QString name = QFileInfo(program).fileName();
  if (!parser.Parser.parse(arguments)) {
    err << name << ": " << parser.Parser.errorText() << '\n'
        << "Try '" << name << " --help' for more information.\n";
    return {1, {}};
  }
  if (parser.Parser.isSet(parser.Help)) {
    out << parser.Parser.helpText();
    return {0, {}};
  }
  if (parser.Parser.isSet(parser.Version)) {
    out << VersionText() << '\n';
    return {0, {}};
  }
  const QStringList files = parser.Parser.positionalArguments();
  if (files.size() > 1) {
    err << name << ": one file at a time, not " << files.size() << '\n';
    return {1, {}};
  }
  if (files.isEmpty() || files.front().isEmpty())
    return {};
  const QFileInfo file(files.front());
  // The window opens all the same and the open command has its say; this
  // note is for whoever started the program from a shell.
  if (!file.isFile() || !file.isReadable())
    err << name << ": cannot read " << files.front() << '\n';
  return {std::nullopt, file.absoluteFilePath()};
}

std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments.append(QString::fromLocal8Bit(argv[i]));
  TParser parser;
  if (!parser.Parser.parse(arguments) ||
      (!parser.Parser.isSet(parser.Help) && !parser.Parser.isSet(parser.Version)))
    return std::nullopt;
  // The help names the program as it was started, which the parser takes
  // from the application object; no display is needed for that one.
  const QCoreApplication core(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  return ParseCommandLine(arguments, out, err).ExitCode;
}
