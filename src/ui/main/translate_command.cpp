// The translate command behind "&Translate".
#include "ui/main/translate_command.h"

#include "core/worker_wait.h"
#include "settings/settings.h"
#include "translate/reply_parser.h"
#include "translate/translation_request.h"
#include "ui/main/frm_Main.h"
#include "ui/main/loading_animation.h"
#include "ui/main/pane_html.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QLabel>
#include <QScopeGuard>

namespace {

// Marks the window busy for as long as a run lasts, however it ends.
class TRunningFlag {
public:
  explicit TRunningFlag(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TRunningFlag() { FFlag = false; }
  TRunningFlag(const TRunningFlag&) = delete;
  TRunningFlag& operator=(const TRunningFlag&) = delete;

private:
  bool& FFlag;
};

} // namespace

std::optional<TLanguagePair> LanguagePairFor(qint32 direction, qint32 chineseLanguage) {
  QString chinese;
  if (chineseLanguage == 0)
    chinese = LanguageSimplifiedChinese;
  else if (chineseLanguage == 1)
    chinese = LanguageTraditionalChinese;
  else
    return std::nullopt;
  if (direction == 0)
    return TLanguagePair{LanguageEnglish, chinese};
  return TLanguagePair{chinese, LanguageEnglish};
}

QString TrimControlCharacters(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text.at(begin).unicode() <= 0x20)
    ++begin;
  while (end > begin && text.at(end - 1).unicode() <= 0x20)
    --end;
  return text.mid(begin, end - begin);
}

const std::array<TEscapeSequence, 6>& EscapeSequences() {
  static const std::array<TEscapeSequence, 6> sequences{{
      {QStringLiteral("\\u0026lt;"), QStringLiteral("<")},
      {QStringLiteral("\\u0026gt;"), QStringLiteral(">")},
      {QStringLiteral("\\u0026quot;"), QStringLiteral("\"")},
      {QStringLiteral("\\u0026amp;"), QStringLiteral("&")},
      {QStringLiteral("\\u003d"), QStringLiteral("=")},
      {QStringLiteral("\\u0026#39;"), QStringLiteral("'")},
  }};
  return sequences;
}

void TfrmMain::btnTranslateClick(QObject* sender) {
  Q_UNUSED(sender);
  // Input is held off while a run waits for the service; this catches a
  // click made by code.
  if (FTranslating)
    return;
  TranslateSource();
}

void TfrmMain::TranslateSource() {
  FSourceText = TrimControlCharacters(E1->BodyText());
  if (FSourceText.isEmpty()) {
    e2->setFocus();
    return;
  }
  const TRunningFlag running(FTranslating);
  FClosedDuringRun = false;
  e2->SetDocumentHTML(QString());
  SetRequestHeaders(*HTTP);
  ShowLoadingAnimation(ImgLoad, QStringLiteral("bar"));
  const auto hideAnimation = qScopeGuard([this] { HideLoadingAnimation(ImgLoad); });

  TParsedTranslation result;
  if (const std::optional<TLanguagePair> pair =
          LanguagePairFor(Params.Direction, Params.ChineseLanguage)) {
    // Everything the request needs is settled here, on the GUI thread; the
    // worker gets it by value and shares the client, never the window.
    const TTranslationRequest request =
        PrepareTranslation(*HTTP, Params.Server, FSourceText, pair->Source, pair->Target);
    HTTP->ClearAbort();
    TTranslationReply reply;
    RunOnWorkerThread([http = HTTP, request, &reply] { reply = TranslateText(*http, request); });
    // Read (and a failure logged) before anything else: a run cut short by
    // a close still leaves its reason in the log.
    result = ReadTranslation(reply);
    if (FClosedDuringRun)
      return;
  }

  e2->BeginUpdate();
  const bool succeeded = result.Error.isEmpty();
  if (succeeded)
    e2->SetFontName(TranslationFontName);
  e2->SetDocumentHTML(Utf8MetaHeader);
  const QString head = e2->DocumentHTML();
  // Escaped but for its line-break tags: a translation about "<i>" or "&amp;"
  // shows those characters instead of turning into markup.
  e2->SetDocumentHTML(head + TranslationBlock(succeeded ? result.Text : result.Error));
  if (succeeded)
    UnescapeTarget();
  e2->EndUpdate();

  if (Params.AutoCopy) {
    FResultText = result.Text;
    FCopyBuffer = result.Text;
  }
}

void TfrmMain::UnescapeTarget() {
  for (const TEscapeSequence& escape : EscapeSequences()) {
    if (!e2->FindText(escape.Sequence, false, false))
      continue;
    do
      e2->SetSelText(escape.Replacement);
    while (e2->FindNext());
  }
}
