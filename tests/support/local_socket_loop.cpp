#include "local_socket_loop.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qsizetype MaxHeadSize = 64 * 1024 * 1024;

sockaddr_in Loopback(quint16 port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

quint16 BoundPort(int socket) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return 0;
  return ntohs(address.sin_port);
}

} // namespace

TLocalSocketLoop::TLocalSocketLoop(TServe serve) : FServe(std::move(serve)) {
  if (::pipe(FWake) != 0)
    throw std::runtime_error("pipe failed");
  FListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(0);
  if (FListener < 0 ||
      ::bind(FListener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(FListener, 64) != 0) {
    ::close(FWake[0]);
    ::close(FWake[1]);
    if (FListener >= 0)
      ::close(FListener);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  FPort = BoundPort(FListener);
  FThread = std::thread([this] { Run(); });
}

TLocalSocketLoop::~TLocalSocketLoop() {
  FStopping = true;
  const char wake = 1;
  (void)!::write(FWake[1], &wake, 1);
  FThread.join();
  ::close(FListener);
  ::close(FWake[0]);
  ::close(FWake[1]);
}

bool TLocalSocketLoop::WaitFor(int socket, short events) const {
  pollfd fds[2] = {{socket, events, 0}, {FWake[0], POLLIN, 0}};
  for (;;) {
    if (FStopping)
      return false;
    const int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0 || (fds[1].revents & POLLIN))
      return false;
    if (fds[0].revents)
      return true;
  }
}

void TLocalSocketLoop::Run() {
  while (WaitFor(FListener, POLLIN)) {
    const int client = ::accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
      continue;
    FServe(*this, client);
    ::close(client);
  }
}

std::optional<QByteArray> TLocalSocketLoop::ReadHead(int socket, QByteArray* rest) const {
  QByteArray buffer;
  char chunk[16384];
  for (;;) {
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end >= 0) {
      *rest = buffer.mid(end + 4);
      buffer.truncate(end + 4);
      return buffer;
    }
    if (buffer.size() > MaxHeadSize || !WaitFor(socket, POLLIN))
      return std::nullopt;
    const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
    if (n <= 0)
      return std::nullopt;
    buffer.append(chunk, n);
  }
}

bool TLocalSocketLoop::ReadExactly(int socket, QByteArray* buffer, qsizetype count) const {
  char chunk[16384];
  while (buffer->size() < count) {
    if (!WaitFor(socket, POLLIN))
      return false;
    const auto want =
        static_cast<std::size_t>(qMin<qsizetype>(count - buffer->size(), sizeof chunk));
    const ssize_t n = ::recv(socket, chunk, want, 0);
    if (n <= 0)
      return false;
    buffer->append(chunk, n);
  }
  return true;
}

bool TLocalSocketLoop::ReadToEnd(int socket, QByteArray* buffer) const {
  char chunk[16384];
  for (;;) {
    if (!WaitFor(socket, POLLIN))
      return false;
    const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
    if (n <= 0)
      return true;
    buffer->append(chunk, n);
  }
}

bool TLocalSocketLoop::SendAll(int socket, const QByteArray& bytes) const {
  qsizetype sent = 0;
  while (sent < bytes.size()) {
    if (!WaitFor(socket, POLLOUT))
      return false;
    // No SIGPIPE when the client has gone: the test process must live on.
    const ssize_t n =
        ::send(socket, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent),
               MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
      continue;
    if (n <= 0)
      return false;
    sent += n;
  }
  return true;
}

void TLocalSocketLoop::WaitForPeerClose(int socket) const {
  char chunk[4096];
  while (WaitFor(socket, POLLIN))
    if (::recv(socket, chunk, sizeof chunk, 0) <= 0)
      return;
}

quint16 UnusedLocalPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(0);
  quint16 port = 0;
  if (s >= 0 && ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    port = BoundPort(s);
  if (s >= 0)
    ::close(s);
  return port;
}

int ConnectLocal(quint16 port) {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0)
    return -1;
  const sockaddr_in address = Loopback(port);
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(s);
    return -1;
  }
  return s;
}
