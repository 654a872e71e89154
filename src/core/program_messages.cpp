#include "core/program_messages.h"

#include <iterator>

namespace {

struct TMessageRow {
  TMessage Message;
  const char* Key;
  const char* English;
};

// One row per TMessage, in its order.
constexpr TMessageRow Messages[] = {
    {TMessage::CannotOpen, "strCannotOpen", "Cannot open \"%1\": %2"},
    {TMessage::NotRegularFile, "strNotRegularFile",
     "it is not a regular file (a folder, pipe or device)"},
    {TMessage::CannotRead, "strCannotRead", "it cannot be read"},
    {TMessage::FileTooLarge, "strFileTooLarge", "the file is larger than %1 MB"},
    {TMessage::CannotSave, "strCannotSave", "Cannot save \"%1\": %2"},
    {TMessage::DocumentNotSaved, "strDocumentNotSaved", "The document could not be saved."},
    {TMessage::InvalidProxy, "strInvalidProxy",
     "'%1' is not a valid proxy address: give a host name or an IP address only"},
    {TMessage::InvalidProxyPort, "strInvalidProxyPort", "'%1' is not a valid proxy port"},
    {TMessage::UnableToRead, "strUnableToRead", "Unable to read %1"},
    {TMessage::NotAFolder, "strNotAFolder", "Unable to write to %1: %2 is not a folder"},
    {TMessage::ReasonNotFound, "strReasonNotFound", "no such file or folder"},
    {TMessage::ReasonAccessDenied, "strReasonAccessDenied", "permission denied"},
    {TMessage::ReasonIsFolder, "strReasonIsFolder", "it is a folder"},
    {TMessage::ReasonDiskFull, "strReasonDiskFull", "the disk is full"},
    {TMessage::ReasonReadOnly, "strReasonReadOnly", "the file system is read-only"},
    {TMessage::HintWithShortcut, "strHintWithShortcut", "%1 (%2)"},
    {TMessage::PaneName, "strPaneName", "%1 %2"},
};

constexpr bool EveryRowInOrder() {
  for (std::size_t i = 0; i < std::size(Messages); ++i)
    if (static_cast<std::size_t>(Messages[i].Message) != i)
      return false;
  return std::size(Messages) == static_cast<std::size_t>(TMessage::PaneName) + 1;
}
static_assert(EveryRowInOrder(), "one row per message, in the order of TMessage");

const TMessageRow& RowOf(TMessage message) {
  return Messages[static_cast<std::size_t>(message)];
}

TMessageSource& Source() {
  static TMessageSource source;
  return source;
}

} // namespace

QString MessageKey(TMessage message) {
  return QLatin1String(RowOf(message).Key);
}

QString EnglishMessage(TMessage message) {
  return QString::fromUtf8(RowOf(message).English);
}

QStringList MessageKeys() {
  QStringList keys;
  for (const TMessageRow& row : Messages)
    keys.append(QLatin1String(row.Key));
  return keys;
}

QString MessageText(TMessage message) {
  if (Source()) {
    const QString text = Source()(MessageKey(message));
    if (!text.isEmpty())
      return text;
  }
  return EnglishMessage(message);
}

void SetMessageSource(TMessageSource source) {
  Source() = std::move(source);
}
