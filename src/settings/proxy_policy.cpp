#include "settings/proxy_policy.h"

#include "core/program_messages.h"
#include "settings/settings.h"

#include <QStringList>
#include <algorithm>
#include <arpa/inet.h>

namespace {

bool IsZoneCharacter(QChar c) {
  return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == u'-' || c == u'.' || c == u'_' ||
         c == u'~';
}

// "fe80::1%lo" or "[fe80::1%25lo]"; the zone goes to the client in its
// escaped form, which it reads in a URL.
std::optional<QString> Ipv6Host(const QString& host) {
  QString inner = host;
  if (inner.startsWith(QLatin1Char('[')) && inner.endsWith(QLatin1Char(']')))
    inner = inner.mid(1, inner.size() - 2);
  QString zone;
  if (const qsizetype percent = inner.indexOf(QLatin1Char('%')); percent >= 0) {
    zone = inner.mid(percent + 1);
    inner.truncate(percent);
    if (zone.startsWith(QLatin1String("25")) && zone.size() > 2)
      zone = zone.mid(2);
    if (zone.isEmpty() || !std::all_of(zone.cbegin(), zone.cend(), IsZoneCharacter))
      return std::nullopt;
  }
  in6_addr parsed{};
  if (inet_pton(AF_INET6, inner.toLatin1().constData(), &parsed) != 1)
    return std::nullopt;
  return QLatin1Char('[') + inner.toLower() +
         (zone.isEmpty() ? QString() : QStringLiteral("%25") + zone) + QLatin1Char(']');
}

bool IsHostName(QString host) {
  // An absolute name ends in the root's empty label.
  if (host.endsWith(QLatin1Char('.')))
    host.chop(1);
  if (host.isEmpty() || host.size() > 253)
    return false;
  for (const QString& label : host.split(QLatin1Char('.'))) {
    if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
        label.endsWith(QLatin1Char('-')))
      return false;
    for (const QChar c : label)
      if (!(c.isLetterOrNumber() || c == u'-' || c == u'_'))
        return false;
  }
  return true;
}

} // namespace

std::optional<QString> ProxyHost(const QString& address) {
  const QString host = address.trimmed();
  if (host.isEmpty())
    return std::nullopt;
  // Only an IPv6 address holds colons.
  if (host.contains(QLatin1Char(':')))
    return Ipv6Host(host);
  if (!IsHostName(host))
    return std::nullopt;
  return host;
}

TProxyRoute ProxyRoute(bool noProxy, const QString& address, const QString& port) {
  TProxyRoute route;
  if (noProxy) {
    route.Direct = true;
    return route;
  }
  route.Host = ProxyHost(address);
  const std::optional<qint32> number = ParseIniInteger(port);
  if (number)
    route.Port = *number;
  const QString badAddress = MessageText(TMessage::InvalidProxy).arg(address);
  const QString badInteger = QStringLiteral("'%1' is not a valid integer value").arg(port);
  if (address.isEmpty()) {
    route.Fault = TProxyFault::NoAddress;
    route.Message = badAddress;
  } else if (port.isEmpty()) {
    route.Fault = TProxyFault::NoPort;
    route.Message = badInteger;
  } else if (!route.Host) {
    route.Fault = TProxyFault::BadAddress;
    route.Message = badAddress;
  } else if (!number) {
    route.Fault = TProxyFault::BadPort;
    route.Message = badInteger;
  } else if (*number < 1 || *number > 65535) {
    route.Fault = TProxyFault::PortOutOfRange;
    route.Message = MessageText(TMessage::InvalidProxyPort).arg(port);
  }
  return route;
}
