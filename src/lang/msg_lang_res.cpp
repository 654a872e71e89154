#include "lang/msg_lang_res.h"

namespace {

struct TMsgLine {
  QString Name;
  QString Text;
};

TMsgLine Split(const QString& line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  if (eq < 0)
    return {line, {}};
  return {line.left(eq), line.mid(eq + 1)};
}

} // namespace

TsmlMsgLangRes::TsmlMsgLangRes(QObject* owner) : TsmlLangRes(owner) {}

void TsmlMsgLangRes::SetMsgList(const QStringList& lines) {
  FMsgList = lines;
  if (!FUpdating)
    Refresh();
}

QString TsmlMsgLangRes::GetMsgText(const QString& name) const {
  for (const QString& line : FMsgList) {
    const TMsgLine msg = Split(line);
    if (msg.Name.compare(name, Qt::CaseInsensitive) == 0)
      return msg.Text;
  }
  return {};
}

void TsmlMsgLangRes::ApplyLanguage() {
  FUpdating = true;
  // A write-back failure must not leave the list deaf to later changes.
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FUpdating};
  for (QString& line : FMsgList) {
    const TMsgLine msg = Split(line);
    // A line without a name has no key to look up.
    if (msg.Name.isEmpty())
      continue;
    const QString text = ReadText(msg.Name, msg.Text);
    if (!text.isEmpty())
      line = msg.Name + QLatin1Char('=') + text;
  }
}
