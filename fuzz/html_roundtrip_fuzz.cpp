// Arbitrary HTML through the pane: read and write three times. Beside "never
// crashes", the shown text must survive each cycle and the written source
// must settle: the third writing equals the second. The first may differ
// from the second only for markup the parser nests in ways no source
// reproduces (an item inside a formatting element inside an item, left
// behind by its error recovery); a second read gives the structure any
// source of it gives, and from there the source is a fixpoint. Documents
// in the pane's vocabulary are held to the first cycle by the unit tests.
#include "ui/pane/prof_dhtml_edit.h"

#include <QApplication>
#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Inputs beyond this only make each run slower, not different.
constexpr std::size_t MaxInputBytes = 64 * 1024;

QApplication* App = nullptr;
TProfDHTMLEdit2* PaneInstance = nullptr;

// Both live until the fuzzer ends the process (a QApplication torn down
// among the exit handlers crashes); the replay tears them down itself.
TProfDHTMLEdit2& Pane() {
  if (!PaneInstance) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_html_roundtrip";
    static char* argv[] = {name, nullptr};
    App = new QApplication(argc, argv);
    PaneInstance = new TProfDHTMLEdit2;
    PaneInstance->SetUseBrOnCarriageReturn(true);
    PaneInstance->SetUseDivOnCarriageReturn(true);
    PaneInstance->SetSourceCodeOptions(
        AllSourceCodeOptions &
        ~TProfDHTMLEditSourceCodeOptions(TProfDHTMLEditSourceCodeOption::AddNbsp));
    while (PaneInstance->Busy())
      QCoreApplication::processEvents();
  }
  return *PaneInstance;
}

void Check(bool condition, const char* law, const QString& first, const QString& second) {
  if (condition)
    return;
  std::fprintf(stderr, "%s\n--- first ---\n%s\n--- second ---\n%s\n", law, qPrintable(first),
               qPrintable(second));
  std::abort();
}

} // namespace

// The first font lookup leaves 288 bytes in libfontconfig's caches, which it
// keeps for the life of the process and frees with no call Qt makes; as a
// leak it would stop the fuzzer at its first input. Only that library's
// allocations are left out of the report.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" void TralvescoFuzzTeardown() {
  delete PaneInstance;
  PaneInstance = nullptr;
  delete App;
  App = nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > MaxInputBytes)
    return 0;
  TProfDHTMLEdit2& pane = Pane();
  pane.SetDocumentHTML(
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  const QString shown = pane.BodyText();
  const QString first = pane.DocumentHTML();
  if (first == TProfDHTMLEdit2::ErrorMarker)
    return 0;
  pane.SetDocumentHTML(first);
  Check(pane.BodyText() == shown, "the shown text changed", shown, pane.BodyText());
  const QString second = pane.DocumentHTML();
  pane.SetDocumentHTML(second);
  Check(pane.BodyText() == shown, "the shown text changed", shown, pane.BodyText());
  const QString third = pane.DocumentHTML();
  Check(third == second, "the written source does not settle", second, third);
  return 0;
}
