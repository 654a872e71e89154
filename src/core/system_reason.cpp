#include "core/system_reason.h"

#include "core/program_messages.h"

#include <cerrno>
#include <cstring>

QString SystemReason(int errorNumber) {
  switch (errorNumber) {
  case ENOENT:
  case ENOTDIR:
    return MessageText(TMessage::ReasonNotFound);
  case EACCES:
  case EPERM:
    return MessageText(TMessage::ReasonAccessDenied);
  case EISDIR:
    return MessageText(TMessage::ReasonIsFolder);
  case ENOSPC:
  case EDQUOT:
    return MessageText(TMessage::ReasonDiskFull);
  case EROFS:
    return MessageText(TMessage::ReasonReadOnly);
  default:
    return QString::fromLocal8Bit(std::strerror(errorNumber));
  }
}
