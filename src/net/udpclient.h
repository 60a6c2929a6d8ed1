#pragma once
// The UDP client through which every window talks to one game server: set Host and Port,
// Open, SendText any number of times, read each reply with ReceiveText inside OnData, Close.
// One string is one datagram in both directions. Arrivals are reported on the GUI thread.
//
// Open never waits for a resolver. An address (IPv4 or IPv6) opens the socket at once; a host
// name is looked up through net::CurrentResolver while the client is ssResolving, and the
// datagrams sent meanwhile wait, in order, until the address is known. The first IPv4 address
// of the name is taken where it has one, else its first IPv6 address. When the look-up fails,
// the failure goes through the error path (11001 "Host not found") and the waiting datagrams
// are lost as every datagram sent through a closed client is.
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "net/address.h"
#include "net/customwsocket.h"
#include "net/requestpacer.h"
#include "net/resolver.h"

class TUDPClient : public TCustomWSocket, public net::PacedSender {
 public:
  TUDPClient();
  ~TUDPClient() override;

  std::string Host;  // host name, IPv4 address, or IPv6 address (bare or in brackets)
  std::string Port;  // decimal number or UDP service name
  // Called on the GUI thread once per readiness notification while the client is open;
  // the handler reads exactly one datagram with ReceiveText. It runs from the event loop
  // only (never inside Open or SendText), so it must not raise: wrap it in
  // platform::Guarded. It may close or destroy the client.
  std::function<void(TUDPClient& sender, int socket)> OnData;
  // Called from the event loop when the look-up of a host name that Open started has ended and
  // the datagrams that waited for it have been sent (or lost): error 0 when the client is open,
  // else the code of the failure that kept it closed (the look-up's, or the socket's), which
  // OnError has been told too. Not called when the client closes during the look-up, nor for an
  // address, which opens (or fails) inside Open. It may close or destroy the client.
  std::function<void(TUDPClient& sender, int error)> OnLookupDone;

  // When true, every datagram goes through the program-wide pacer of the server's address,
  // which keeps all clients of the program within the server's request rate limit (queued,
  // never dropped). Quake 3 servers need it; set before Open.
  bool Paced = false;

  // Does nothing unless the client is closed. A port text that is neither a service name nor a
  // number raises (before any look-up); see above for the host.
  void Open();
  // Closes the socket, or abandons a look-up under way with the datagrams waiting for it.
  void Close();
  // Sends the text as one datagram (queued by the pacer when Paced).
  void SendText(const std::string& text);
  // As SendText; onSent runs on the GUI thread when the datagram has actually been handed to
  // the socket (at once when not paced). It does not run when the client closes first.
  // It runs inside SendText when the datagram can leave at once, later from a timer when it
  // had to wait (for the pacer or the look-up); a send that failed (reported through OnError)
  // still counts as handed over. An empty text sends nothing; its onSent runs in its turn.
  void SendText(const std::string& text, std::function<void()> onSent);
  // As SendText, but a paced datagram goes before those other clients have queued for the
  // server (after any sent ahead before it): for a one-off request a person waits for, such as
  // the settings dialog's reading of all values, which would otherwise wait behind a polling
  // window's next request.
  void SendTextAhead(const std::string& text, std::function<void()> onSent);
  // The next waiting datagram, whole; empty when there is none or on failure.
  std::string ReceiveText();

  // The server's address (meaningful while open).
  net::Endpoint Peer() const { return peer_; }

 private:
  struct Waiting {
    std::string text;
    std::function<void()> onSent;
    bool ahead = false;
  };

  // Makes the socket and fixes its peer; failures are reported and leave the client closed.
  void OpenSocket(const net::Endpoint& address);
  void LookupDone(const net::Resolution& resolution, std::uint16_t port);
  // SendText or SendTextAhead, waiting for the look-up.
  void Send(const std::string& text, std::function<void()> onSent, bool ahead);
  // Send without the wait for a look-up.
  void Dispatch(const std::string& text, std::function<void()> onSent, bool ahead);
  // Hands the text to the socket now.
  void SendNow(const std::string& text);
  // net::PacedSender: the pacer's turn for a datagram to this client's server.
  void SendPaced(const net::Endpoint& server, const std::string& text) override;
  void HandleReadiness(QSocketNotifier* notifier);
  void Rearm();
  void ReleaseNotifier();

  // Watches the socket for readability on the GUI thread. It is switched off when it fires
  // and on again by the next receive (and after OnData returns), so OnData comes once per
  // readiness and again while datagrams remain, and a client whose OnData is unassigned does
  // not spin on a datagram nobody reads.
  QSocketNotifier* notifier_ = nullptr;
  int dispatching_ = 0;  // OnData calls in progress (the handler may close or destroy us)
  std::shared_ptr<bool> alive_;
  net::Endpoint peer_{};
  // Datagrams sent while the host is looked up, in order; flushing_ while they leave, so that
  // one sent meanwhile (from an onSent) keeps its place behind them.
  std::deque<Waiting> waiting_;
  bool flushing_ = false;
  net::AnswerGuard lookup_;
};
