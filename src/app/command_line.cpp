#include "app/command_line.h"

#include "core/product_info.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <QUrl>
#include <algorithm>
#include <array>

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
    // "-dash.txt" is one unknown word, not seven unknown letters.
    Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    Parser.addOption(Help);
    Parser.addOption(Version);
    Parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A text or HTML file (or a file: URL) to open in the source pane."),
        QStringLiteral("[file]"));
  }
};

// The options Qt's application object takes for itself; the value-taking
// ones also as -name=value.
constexpr std::array QtOptionsWithValue{"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "geometry",
                                        "qwindowtitle",
                                        "title",
                                        "qwindowicon",
                                        "icon",
                                        "display",
                                        "style",
                                        "stylesheet",
                                        "session",
                                        "name",
                                        "qmljsdebugger"};
constexpr std::array QtFlags{"reverse", "testability", "widgetcount", "nograb", "dograb", "sync"};

// The arguments without Qt's own options, up to a "--", after which every
// word is a file name.
QStringList WithoutQtOptions(const QStringList& arguments) {
  QStringList kept;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments.at(i);
    if (argument == QLatin1String("--")) {
      kept += arguments.mid(i);
      break;
    }
    const QString word = argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                         : argument.startsWith(QLatin1Char('-'))  ? argument.mid(1)
                                                                  : QString();
    if (i == 0 || word.isEmpty()) {
      kept.append(argument);
      continue;
    }
    const QString name = word.section(QLatin1Char('='), 0, 0);
    const bool hasValue = word.contains(QLatin1Char('='));
    const auto named = [&name](const char* option) { return name == QLatin1String(option); };
    if (std::any_of(QtOptionsWithValue.begin(), QtOptionsWithValue.end(), named)) {
      if (!hasValue)
        ++i; // its value
      continue;
    }
    if (!hasValue && std::any_of(QtFlags.begin(), QtFlags.end(), named))
      continue;
    kept.append(argument);
  }
  return kept;
}

QString VersionText() {
  return ProductInfo::Title + QLatin1Char(' ') + ProductInfo::VersionNumber;
}

// The first argument the parser took for an option it does not know.
QString FirstUnknownOption(const QStringList& arguments, const QStringList& unknownNames) {
  for (const QString& argument : arguments.mid(1)) {
    if (argument == QLatin1String("--"))
      break;
    for (const QString& unknown : unknownNames)
      if (argument == QLatin1Char('-') + unknown || argument == QStringLiteral("--") + unknown ||
          argument.startsWith(QLatin1Char('-') + unknown + QLatin1Char('=')) ||
          argument.startsWith(QStringLiteral("--") + unknown + QLatin1Char('=')))
        return argument;
  }
  return unknownNames.value(0);
}

// A word that names something other than a local file, and why it cannot be
// opened; empty when it is a file name (existing or not).
struct TFileWord {
  QString Path;
  QString Refusal;
};
TFileWord ReadFileWord(const QString& word) {
  if (word == QLatin1String("-"))
    return {{},
            QStringLiteral(
                "the program does not read standard input; for a file named '-', write ./-")};
  // A file of that very name wins over any reading as a URL.
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
  if (QFileInfo(word).exists() || !scheme.match(word).hasMatch())
    return {QFileInfo(word).absoluteFilePath(), {}};
  const QUrl url(word);
  if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0)
    return {{}, QStringLiteral("only local files and file: URLs can be opened")};
  if (!url.isValid() || (!url.host().isEmpty() && url.host() != QLatin1String("localhost")))
    return {{}, QStringLiteral("the URL does not name a file on this computer")};
  return {QFileInfo(url.toLocalFile()).absoluteFilePath(), {}};
}

void PrintHelp(const TParser& parser, const QString& program, QTextStream& out) {
  // The help's usage line names the program through the application object,
  // which needs no display.
  int argc = 1;
  QByteArray name = QFile::encodeName(QFileInfo(program).fileName());
  char* argv[] = {name.data(), nullptr};
  std::optional<QCoreApplication> core;
  if (!QCoreApplication::instance())
    core.emplace(argc, argv);
  out << parser.Parser.helpText();
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& rawArguments, QTextStream& out, QTextStream& err) {
  TParser parser;
  const QStringList arguments = WithoutQtOptions(rawArguments);
  const QString program = arguments.value(0, ProductInfo::ProgramName);
  const QString name = QFileInfo(program).fileName();
  if (!parser.Parser.parse(arguments)) {
    err << name << ": " << parser.Parser.errorText() << '\n';
    const QStringList unknown = parser.Parser.unknownOptionNames();
    if (!unknown.isEmpty())
      err << "To open a file whose name begins with '-', put '--' before it: " << name << " -- "
          << FirstUnknownOption(arguments, unknown) << '\n';
    err << "Try '" << name << " --help' for more information.\n";
    return {1, {}};
  }
  if (parser.Parser.isSet(parser.Help)) {
    PrintHelp(parser, program, out);
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
  const TFileWord file = ReadFileWord(files.front());
  if (!file.Refusal.isEmpty()) {
    err << name << ": cannot open " << files.front() << ": " << file.Refusal << '\n';
    return {1, {}};
  }
  // The window opens all the same and says why in a box; this note is for
  // whoever started the program from a shell.
  const QFileInfo info(file.Path);
  if (!info.isFile() || !info.isReadable())
    err << name << ": cannot read " << files.front() << '\n';
  return {std::nullopt, file.Path};
}

TCommandLine ReadCommandLine(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments.append(QString::fromLocal8Bit(argv[i]));
  QTextStream out(stdout);
  QTextStream err(stderr);
  return ParseCommandLine(arguments, out, err);
}
