#pragma once
// One UDP socket through which the program talks to many game servers at once: every datagram
// is sent to the server it names, and every datagram that arrives is reported with the address
// and port it came from, by which the caller matches a reply to its server. A view of two
// hundred servers needs one socket instead of two hundred.
//
// Datagrams to rate-limited servers go through the program-wide pacer of the server's address,
// sharing each server's allowance with every other client of the program (requestpacer.h).
//
// When the network refuses a datagram (nothing listens on the server's port, or the host or
// its network cannot be reached), the refusal comes back to the socket as an error naming the
// datagram's destination; it is reported through OnRefused. Other socket failures go through
// the error path of TCustomWSocket (OnError); none raises. Everything runs on the GUI thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/customwsocket.h"
#include "net/requestpacer.h"
#include "net/resolver.h"

namespace net {

class UdpMultiClient : public TCustomWSocket, public PacedSender {
 public:
  UdpMultiClient();
  ~UdpMultiClient() override;

  // Called for every datagram that arrives, with its source. It may close or destroy the
  // client.
  std::function<void(const Endpoint& from, const std::string& datagram)> OnDatagram;
  // Called when the datagram sent to `to` was refused; code is WSAECONNREFUSED (no server on
  // that port), WSAEHOSTUNREACH or WSAENETUNREACH (or the code of another network error).
  std::function<void(const Endpoint& to, int code)> OnRefused;

  // Creates the socket (on any local address and port). No effect when open.
  void Open();
  // Closes the socket; datagrams still queued in the pacer are forgotten.
  void Close();
  bool IsOpen() const { return State == ssOpen; }

  // The server's address for a host text and a port text, found as TUDPClient finds it: an
  // IPv4 or IPv6 address at once, a host name in the background (IPv4 preferred). `done` gets
  // the address, or nothing and the Windows Sockets code of the failure (11001 for an unknown
  // host); it runs inside this call for an address, from the event loop for a host name, and
  // not at all once the client is destroyed. A port text that is not a number raises
  // platform::EConvertError.
  using ResolveDone = std::function<void(std::optional<Endpoint> server, int error)>;
  void Resolve(const std::string& host, const std::string& port, ResolveDone done);

  // Sends the text to the server as one datagram: queued by the pacer when `paced`, else at
  // once (and counted in the server's bucket). onSent runs once it has been handed to the
  // socket, as with TUDPClient::SendText; it does not run when the client closes first.
  void SendTo(const Endpoint& server, const std::string& text, bool paced, std::function<void()> onSent = {});

  // How many datagrams one readiness notification reads at most before the event loop runs
  // again (the rest are read at the next notification).
  static constexpr int kReadsPerNotification = 64;

 private:
  void SendPaced(const Endpoint& server, const std::string& text) override;
  // Sends now; a refusal left over from an earlier datagram is taken first and the send tried
  // once more.
  void SendNow(const Endpoint& server, const std::string& text);
  void HandleReadiness();
  // Reports the refusals waiting on the socket; false when it was closed meanwhile.
  bool ReadRefusals(const std::shared_ptr<bool>& alive);
  void ReleaseNotifier();

  QSocketNotifier* notifier_ = nullptr;
  int dispatching_ = 0;  // inside HandleReadiness (a handler may close or destroy us)
  std::shared_ptr<bool> alive_;
  bool dualStack_ = false;  // an IPv6 socket that reaches IPv4 servers too
  AnswerGuard lookups_;     // host names being looked up
};

}  // namespace net
