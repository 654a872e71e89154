#pragma once

#include <QString>
#include <optional>

// Whether the proxy settings can be used, decided in one place for the
// options dialog's close check, the start-up, the dialog's aftermath and the
// request itself. With a proxy chosen, a request goes through it or is not
// sent at all: a setting that cannot be used never turns into a direct
// connection.

enum class TProxyFault {
  None,
  NoAddress,     // the address text is empty
  NoPort,        // the port text is empty
  BadAddress,    // not a bare host name or IP address
  BadPort,       // not an integer
  PortOutOfRange // an integer outside 1..65535
};

struct TProxyRoute {
  bool Direct = false; // no proxy chosen: requests go straight to the service
  // The address as the HTTP client takes it (IPv6 in brackets), when it is
  // one; the port, when its text is an integer. Either may be set while the
  // route is still unusable because of the other.
  std::optional<QString> Host;
  std::optional<int> Port;
  TProxyFault Fault = TProxyFault::None;
  QString Message; // what the user is told about the fault

  bool Usable() const { return Fault == TProxyFault::None; }
};

// The route for the settings as the user gave them. Empty fields come first
// (the dialog points at the empty one), then the address, then the port.
TProxyRoute ProxyRoute(bool noProxy, const QString& address, const QString& port);

// The proxy address as the client takes it: a host name (an absolute one may
// end in a dot) or an IP address (IPv6 in brackets, with an optional zone
// id), blanks around it dropped. Nothing for anything else, an empty text
// included: a scheme, a port or user:password@ would override the kind of
// proxy, the Port setting and the user name.
std::optional<QString> ProxyHost(const QString& address);
