#pragma once

#include "lang/lang_res.h"

#include <QStringList>

// Named messages that code asks for at run time: MsgList lines of the form
// name=text. A language file replaces a line's text when it has a non-empty
// value for the name; otherwise the line keeps the text it has, whichever
// language that came from.
class TsmlMsgLangRes : public TsmlLangRes {
  Q_OBJECT

public:
  explicit TsmlMsgLangRes(QObject* owner);

  const QStringList& MsgList() const { return FMsgList; }
  // Copies the lines and applies the file to them.
  void SetMsgList(const QStringList& lines);

  // The text of the first line whose name matches without regard to case;
  // empty when none does. Reads the list, never the file.
  QString GetMsgText(const QString& name) const;

protected:
  void ApplyLanguage() override;

private:
  QStringList FMsgList;
  bool FUpdating = false;
};
