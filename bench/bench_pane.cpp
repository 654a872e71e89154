// The pane's document engine beside the plainest version of the same work:
// reading and writing a 1 MiB document beside gumbo parsing it alone, and a
// translation's un-escaping pass beside QString::replace of the same
// sequences on the same text. The closing summary prints the ratios.
#include "ratio_reporter.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <gumbo.h>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

// 10,000 paragraphs with inline formatting, padded with words to 1 MiB.
const QString& Document() {
  static const QString html = [] {
    const int paragraphs = 10000;
    const qsizetype target = 1 << 20;
    QString text = QStringLiteral("<html><head><title>Benchmark</title></head><body>");
    const qsizetype perParagraph = (target - text.size()) / paragraphs;
    for (int i = 0; i < paragraphs; ++i) {
      QString paragraph = QStringLiteral("<p>Paragraph %1 with <b>bold</b>, <i>italic</i> and "
                                         "<font color=\"#c00\">red</font> text")
                              .arg(i);
      while (paragraph.size() + 5 < perParagraph - 5)
        paragraph += QStringLiteral(" word");
      text += paragraph + QStringLiteral(".</p>");
    }
    return text + QStringLiteral("</body></html>");
  }();
  return html;
}

TProfDHTMLEdit2& Pane() {
  static TProfDHTMLEdit2* pane = [] {
    auto* created = new TProfDHTMLEdit2;
    created->SetUseBrOnCarriageReturn(true);
    created->SetUseDivOnCarriageReturn(true);
    created->SetSourceCodeOptions(
        AllSourceCodeOptions &
        ~TProfDHTMLEditSourceCodeOptions(TProfDHTMLEditSourceCodeOption::AddNbsp));
    while (created->Busy())
      QCoreApplication::processEvents();
    return created;
  }();
  return *pane;
}

void PaneWriteRead_1MiB(benchmark::State& state) {
  TProfDHTMLEdit2& pane = Pane();
  const QString& html = Document();
  qsizetype read = 0;
  for (auto _ : state) {
    pane.SetDocumentHTML(html);
    read = pane.DocumentHTML().size();
    benchmark::DoNotOptimize(read);
  }
  state.SetBytesProcessed(state.iterations() * html.size() * 2);
  if (!pane.BodyText().contains(QStringLiteral("Paragraph 9999 with bold, italic and red text")))
    state.SkipWithError("the document did not survive the cycle");
  state.counters["source_chars"] = static_cast<double>(read);
}

void GumboParse_1MiB(benchmark::State& state) {
  const QByteArray utf8 = Document().toUtf8();
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;
  for (auto _ : state) {
    GumboOutput* output =
        gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(&options, output);
  }
  state.SetBytesProcessed(state.iterations() * utf8.size());
}

struct TSequence {
  const char16_t* Escaped;
  const char16_t* Plain;
};

// The un-escaping pass's sequences, in its order.
constexpr TSequence Sequences[] = {{u"\\u0026lt;", u"<"},    {u"\\u0026gt;", u">"},
                                   {u"\\u0026quot;", u"\""}, {u"\\u0026amp;", u"&"},
                                   {u"\\u003d", u"="},       {u"\\u0026#39;", u"'"}};

// A translation as the service returns it: one div, sentences separated by
// line breaks, with `occurrences` escape sequences spread through it.
QString Translation(int occurrences) {
  QString text;
  text.reserve(occurrences * 40);
  for (int i = 0; i < occurrences; ++i) {
    text += QStringLiteral("Some words ");
    text += QString::fromUtf16(Sequences[i % 6].Escaped);
    text += QStringLiteral(" more text");
    text += i % 10 == 9 ? QStringLiteral(".<br>") : QStringLiteral(", ");
  }
  return text;
}

// The same text as the pane shows it (line breaks as line separators).
QString DisplayedTranslation(int occurrences) {
  QString text = Translation(occurrences);
  text.replace(QStringLiteral("<br>"), QString(QChar::LineSeparator));
  return text;
}

const QString MetaLine =
    QStringLiteral("<meta content=\"text/html; charset=UTF-8\" http-equiv=\"content-type\" />");

void Unescape(benchmark::State& state) {
  const int occurrences = static_cast<int>(state.range(0));
  TProfDHTMLEdit2& pane = Pane();
  const QString translation = Translation(occurrences);
  for (auto _ : state) {
    state.PauseTiming();
    pane.BeginUpdate();
    pane.SetDocumentHTML(MetaLine);
    pane.SetDocumentHTML(pane.DocumentHTML() + QStringLiteral("<div>") + translation +
                         QStringLiteral("</div>"));
    state.ResumeTiming();
    int replaced = 0;
    for (const TSequence& sequence : Sequences) {
      if (!pane.FindText(QString::fromUtf16(sequence.Escaped), false, false))
        continue;
      do {
        pane.SetSelText(QString::fromUtf16(sequence.Plain));
        ++replaced;
      } while (pane.FindNext());
    }
    state.PauseTiming();
    if (replaced != occurrences)
      state.SkipWithError("not every occurrence was replaced");
    pane.EndUpdate();
    state.ResumeTiming();
  }
  state.counters["occurrences"] = occurrences;
}

void QStringReplace(benchmark::State& state) {
  const QString shown = DisplayedTranslation(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    QString text = shown;
    for (const TSequence& sequence : Sequences)
      text.replace(QString::fromUtf16(sequence.Escaped), QString::fromUtf16(sequence.Plain),
                   Qt::CaseInsensitive);
    benchmark::DoNotOptimize(text.data());
  }
}

// Showing the result: EndUpdate installs the document and lays it out once.
void ShowTranslation(benchmark::State& state) {
  const int occurrences = static_cast<int>(state.range(0));
  TProfDHTMLEdit2& pane = Pane();
  const QString html =
      MetaLine + QStringLiteral("<div>") + Translation(occurrences) + QStringLiteral("</div>");
  for (auto _ : state) {
    pane.BeginUpdate();
    pane.SetDocumentHTML(html);
    pane.EndUpdate();
  }
}

BENCHMARK(PaneWriteRead_1MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(GumboParse_1MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(Unescape)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(QStringReplace)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ShowTranslation)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios against the baseline of the same run:\n");
  reporter.PrintRatio("DocumentHTML write+read / gumbo parse (1 MiB)",
                      reporter.CpuTime("PaneWriteRead_1MiB"), reporter.CpuTime("GumboParse_1MiB"),
                      0);
  reporter.PrintRatio("Un-escaping 100,000 / 10,000 occurrences",
                      reporter.CpuTime("Unescape/100000"), reporter.CpuTime("Unescape/10000"),
                      15.0);
  reporter.PrintRatio("Un-escaping / QString::replace (10,000)", reporter.CpuTime("Unescape/10000"),
                      reporter.CpuTime("QStringReplace/10000"), 5.0);
  reporter.PrintRatio("Un-escaping / QString::replace (100,000)",
                      reporter.CpuTime("Unescape/100000"),
                      reporter.CpuTime("QStringReplace/100000"), 5.0);
  reporter.PrintRatio("QString::replace 100,000 / 10,000 (reference)",
                      reporter.CpuTime("QStringReplace/100000"),
                      reporter.CpuTime("QStringReplace/10000"), 0);
  benchmark::Shutdown();
  return 0;
}
