#pragma once
// Base of the socket components. Each instance holds its own counted socket session, turns a
// port text into a port number, and offers the primitives that send a string, receive one
// datagram into a string and shut a socket down gracefully. Every socket
// failure goes through one error path that stores the Windows Sockets code in LastError and
// calls OnError with the code's fixed English text; socket failures never raise.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "net/wsaerrors.h"

class QSocketNotifier;

// The socket handle type; InvalidSocket (all bits set) when there is none.
using TSocket = int;

enum TSocketState : std::uint8_t {
  ssNotStarted = 0,  // the socket session could not be started; the component does nothing
  ssClosed = 1,
  ssResolving = 2,  // opening: the host name is being looked up (TUDPClient)
  ssOpen = 4,
};

namespace net {

constexpr TSocket InvalidSocket = -1;

// The socket session of the program, counted like the Windows Sockets start-up/clean-up pair:
// every component starts one when it is created and ends it when it is destroyed; socket
// calls are refused with 10093 "Winsock not initialized" while no session is running.
// StartupSession returns 0 or the start-up error; CleanupSession returns 0 or -1 (with 10093
// in lastError) when no session was running.
int StartupSession();
int CleanupSession(int& lastError);
int SessionCount();
// Makes the next StartupSession fail once with the code given (for tests of the failed
// start-up path, e.g. 10091 "Network subsystem is unusable"); 0 cancels it.
void SimulateStartupFailure(int code);

}  // namespace net

class TCustomWSocket {
 public:
  using TOnError = std::function<void(TCustomWSocket& sender, int error, const std::string& msg)>;

  // Large enough for the largest UDP datagram, so every datagram arrives whole.
  static constexpr std::size_t ReceiveBufferSize = 65536;

  TCustomWSocket();
  virtual ~TCustomWSocket();
  TCustomWSocket(const TCustomWSocket&) = delete;
  TCustomWSocket& operator=(const TCustomWSocket&) = delete;

  int Protocol = 0;    // IP protocol whose service names a port text may use (17: UDP)
  int SocketType = 3;  // type passed to socket() (2: datagram, 3: raw)
  TSocket SocketHandle = net::InvalidSocket;
  TSocketState State = ssNotStarted;
  int LastError = 0;  // code of the last failure reported, or the start-up result
  TOnError OnError;   // unassigned by default; called by ReportError

  // The text for LastError.
  std::string GetErrorText() const;

 protected:
  // The port number of a port text: a service name of Protocol, else a whole number of which
  // the low 16 bits are used. A text that is neither raises platform::EConvertError "'%s' is
  // not a valid integer value"; an unknown Protocol is reported (11004), result false.
  bool ResolvePort(const std::string& port, std::uint16_t& number);
  // Graceful close: stops the notifications (notifier may be null), shuts down sending
  // (10057 for an unconnected socket is fine), discards what is waiting, closes the socket
  // and sets the handle to InvalidSocket.
  void ShutdownSocket(TSocket& socket, QSocketNotifier* notifier);
  // Sends all bytes of the text; an empty text sends nothing. A refusal with 10035 is
  // retried at once; the 101st refusal gives up silently; other failures are reported.
  void SendData(TSocket socket, int flags, const std::string& text);
  // One receive: the next datagram whole, or empty when nothing is waiting (no report) or on
  // failure (reported). A datagram larger than ReceiveBuffer is lost with 10040.
  std::string ReceiveData(TSocket socket, int flags);
  // Stores the code in LastError and calls OnError when assigned.
  void ReportError(int code);

  // Scratch area for every receive and for draining at shutdown.
  std::array<char, ReceiveBufferSize> ReceiveBuffer{};
};
