#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

// A listening TCP socket on 127.0.0.1 (a free port chosen by the system) with
// a thread of its own that takes one connection at a time and hands it to the
// serving function. Every wait in the helpers below also ends when the loop
// stops, so a stalled or half-read connection never keeps the destructor
// waiting. The serving function runs on the loop's thread.
class TLocalSocketLoop {
public:
  using TServe = std::function<void(const TLocalSocketLoop& loop, int socket)>;

  explicit TLocalSocketLoop(TServe serve);
  ~TLocalSocketLoop(); // stops the thread and closes every socket
  TLocalSocketLoop(const TLocalSocketLoop&) = delete;
  TLocalSocketLoop& operator=(const TLocalSocketLoop&) = delete;

  quint16 Port() const { return FPort; }

  // Reads a request or answer head through its blank line. Bytes read past
  // it are left in *rest. Nothing on a closed connection or a stop.
  std::optional<QByteArray> ReadHead(int socket, QByteArray* rest) const;
  // Reads until the buffer holds count bytes; false on close or stop.
  bool ReadExactly(int socket, QByteArray* buffer, qsizetype count) const;
  // Reads whatever arrives until the peer closes; false on a stop.
  bool ReadToEnd(int socket, QByteArray* buffer) const;
  bool SendAll(int socket, const QByteArray& bytes) const;
  // Holds the connection open, reading and dropping whatever arrives, until
  // the peer closes it or the loop stops.
  void WaitForPeerClose(int socket) const;
  bool Stopping() const { return FStopping.load(); }

private:
  void Run();
  // Waits until the socket is ready for the given poll events; false on a stop.
  bool WaitFor(int socket, short events) const;

  TServe FServe;
  int FListener = -1;
  int FWake[2] = {-1, -1}; // written once to wake every wait on Stop
  quint16 FPort = 0;
  std::atomic<bool> FStopping{false};
  std::thread FThread;
};

// A port on 127.0.0.1 that nothing listens on (it was free a moment ago), for
// tests of a refused connection.
quint16 UnusedLocalPort();

// Opens a connection to 127.0.0.1:port; -1 on failure.
int ConnectLocal(quint16 port);
