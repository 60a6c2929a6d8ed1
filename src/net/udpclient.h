#pragma once
// The UDP client through which every window talks to one game server: set Host and Port,
// Open, SendText any number of times, read each reply with ReceiveText inside OnData, Close.
// One string is one datagram in both directions. Arrivals are reported on the GUI thread.
#include <netinet/in.h>

#include <functional>
#include <memory>
#include <string>

#include "net/customwsocket.h"
#include "net/requestpacer.h"

class TUDPClient : public TCustomWSocket {
 public:
  TUDPClient();
  ~TUDPClient() override;

  std::string Host;  // host name or dotted IPv4 address
  std::string Port;  // decimal number or UDP service name
  // Called on the GUI thread once per readiness notification while the client is open;
  // the handler reads exactly one datagram with ReceiveText. It runs from the event loop
  // only (never inside Open or SendText), so it must not raise: wrap it in
  // platform::Guarded. It may close or destroy the client.
  std::function<void(TUDPClient& sender, int socket)> OnData;

  // When true, every datagram goes through the program-wide pacer of the server's address,
  // which keeps all clients of the program within the server's request rate limit (queued,
  // never dropped). Quake 3 servers need it; set before Open.
  bool Paced = false;

  void Open();
  void Close();
  // Sends the text as one datagram (queued by the pacer when Paced).
  void SendText(const std::string& text);
  // As SendText; onSent runs on the GUI thread when the datagram has actually been handed to
  // the socket (at once when not paced). It does not run when the client closes first.
  // It runs inside SendText when the datagram can leave at once, later from a timer when it
  // had to wait; a send that failed (reported through OnError) still counts as handed over.
  // An empty text sends nothing; its onSent runs in its turn.
  void SendText(const std::string& text, std::function<void()> onSent);
  // As SendText, but a paced datagram goes before those other clients have queued for the
  // server (after any sent ahead before it): for a one-off request a person waits for, such as
  // the settings dialog's reading of all values, which would otherwise wait behind a polling
  // window's next request.
  void SendTextAhead(const std::string& text, std::function<void()> onSent);
  // The next waiting datagram, whole; empty when there is none or on failure.
  std::string ReceiveText();

  // The server's resolved address (meaningful while open).
  net::Endpoint Peer() const;

 private:
  friend class net::RequestPacer;
  void Send(const std::string& text, std::function<void()> onSent, bool ahead);
  // Hands the text to the socket now (the pacer calls this when the datagram's turn comes).
  void SendNow(const std::string& text);
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
  sockaddr_in peer_{};
};
