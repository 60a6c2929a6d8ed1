#include "net/udpclient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <utility>

TUDPClient::TUDPClient() : alive_(std::make_shared<bool>(true)) {
  Protocol = IPPROTO_UDP;
  SocketType = SOCK_DGRAM;
}

TUDPClient::~TUDPClient() {
  Close();
  net::RequestPacer::Instance().Remove(*this);
  ReleaseNotifier();
  *alive_ = false;
}

void TUDPClient::Open() {
  if (State != ssClosed) return;
  std::uint16_t port = 0;
  if (!ResolvePort(Port, port)) return;  // the port first: a bad one fails before any look-up
  if (std::optional<net::Endpoint> address = net::NumericHost(Host)) {
    address->port = port;
    OpenSocket(*address);
    return;
  }
  State = ssResolving;
  lookup_.Reset();
  net::CurrentResolver().Resolve(
      Host, lookup_.Wrap([this, port](const net::Resolution& resolution) { LookupDone(resolution, port); }));
}

void TUDPClient::LookupDone(const net::Resolution& resolution, std::uint16_t port) {
  if (State != ssResolving) return;
  State = ssClosed;
  int failure = 0;
  if (const std::optional<net::Endpoint> peer = net::ServerOf(resolution, port, failure))
    OpenSocket(*peer);
  else
    ReportError(failure);
  const int error = State == ssOpen ? 0 : LastError;

  // What waited goes out in order, or is lost as through any closed client. A callback may
  // send more (kept behind the rest by flushing_), close the client or destroy it.
  const std::shared_ptr<bool> alive = alive_;
  flushing_ = true;
  while (!waiting_.empty() && State != ssResolving) {
    Waiting next = std::move(waiting_.front());
    waiting_.pop_front();
    Dispatch(next.text, std::move(next.onSent), next.ahead);
    if (!*alive) return;
  }
  flushing_ = false;
  if (OnLookupDone) OnLookupDone(*this, error);
}

void TUDPClient::OpenSocket(const net::Endpoint& address) {
  const TSocket handle = ::socket(address.SocketFamily(), SocketType | SOCK_CLOEXEC, 0);
  if (handle < 0) {
    ReportError(net::WinsockErrorFromErrno(errno));
    return;
  }
  SocketHandle = handle;
  const auto fail = [this](int code) {
    ReportError(code);
    ReleaseNotifier();
    ::close(SocketHandle);
    SocketHandle = net::InvalidSocket;
  };

  // Readiness notifications: the socket becomes non-blocking and the notifier reports it
  // readable on the GUI thread.
  const int flags = ::fcntl(handle, F_GETFL);
  if (flags < 0 || ::fcntl(handle, F_SETFL, flags | O_NONBLOCK) < 0) {
    fail(net::WinsockErrorFromErrno(errno));
    return;
  }
  QSocketNotifier* notifier = new QSocketNotifier(handle, QSocketNotifier::Read);
  notifier_ = notifier;
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, notifier] { HandleReadiness(notifier); });

  // For a datagram socket connect only fixes the peer: sends go to it and only its
  // datagrams are delivered. A connect still in progress counts as done.
  sockaddr_storage peer{};
  const socklen_t length = address.ToSockaddr(peer);
  if (::connect(handle, reinterpret_cast<const sockaddr*>(&peer), length) != 0) {
    const int code = net::WinsockErrorFromErrno(errno);
    if (code != net::WSAEWOULDBLOCK && errno != EINPROGRESS) {
      fail(code);
      return;
    }
  }
  peer_ = address;
  State = ssOpen;
}

void TUDPClient::Close() {
  waiting_.clear();  // their onSent callbacks are not called
  if (State == ssResolving) {
    lookup_.Reset();  // its answer is dropped
    State = ssClosed;
    return;
  }
  if (State == ssNotStarted || State == ssClosed) return;
  net::RequestPacer::Instance().Remove(*this);
  ShutdownSocket(SocketHandle, notifier_);
  if (SocketHandle == net::InvalidSocket) {
    ReleaseNotifier();
    State = ssClosed;
  }
}

void TUDPClient::SendText(const std::string& text) { SendText(text, {}); }

void TUDPClient::SendText(const std::string& text, std::function<void()> onSent) { Send(text, std::move(onSent), false); }

void TUDPClient::SendTextAhead(const std::string& text, std::function<void()> onSent) {
  Send(text, std::move(onSent), true);
}

void TUDPClient::Send(const std::string& text, std::function<void()> onSent, bool ahead) {
  if (State == ssResolving || flushing_) {
    waiting_.push_back(Waiting{text, std::move(onSent), ahead});
    return;
  }
  Dispatch(text, std::move(onSent), ahead);
}

void TUDPClient::Dispatch(const std::string& text, std::function<void()> onSent, bool ahead) {
  if (Paced && State == ssOpen) {
    net::RequestPacer::Instance().Send(*this, text, std::move(onSent), ahead);
    return;
  }
  SendNow(text);
  if (State == ssOpen && !text.empty()) net::RequestPacer::Instance().NoteSent(Peer());
  if (onSent) onSent();
}

void TUDPClient::SendNow(const std::string& text) { SendData(SocketHandle, 0, text); }

void TUDPClient::SendPaced(const net::Endpoint&, const std::string& text) { SendNow(text); }

std::string TUDPClient::ReceiveText() {
  std::string text = ReceiveData(SocketHandle, 0);
  Rearm();
  return text;
}

void TUDPClient::HandleReadiness(QSocketNotifier* notifier) {
  if (notifier != notifier_ || State != ssOpen) return;  // stale: closed since it was due
  notifier->setEnabled(false);
  if (!OnData) return;  // quiet until someone reads, instead of firing for ever

  const std::shared_ptr<bool> alive = alive_;
  ++dispatching_;
  struct Done {
    TUDPClient& client;
    const std::shared_ptr<bool>& alive;
    ~Done() {
      if (!*alive) return;  // the handler destroyed the client
      --client.dispatching_;
      client.Rearm();
    }
  } done{*this, alive};
  OnData(*this, SocketHandle);
}

void TUDPClient::Rearm() {
  if (notifier_ && State == ssOpen) notifier_->setEnabled(true);
}

void TUDPClient::ReleaseNotifier() {
  QSocketNotifier* notifier = std::exchange(notifier_, nullptr);
  if (!notifier) return;
  notifier->setEnabled(false);
  QObject::disconnect(notifier, nullptr, nullptr, nullptr);
  // Inside OnData the notifier is still emitting its signal: delete it afterwards.
  if (dispatching_ > 0) {
    notifier->deleteLater();
  } else {
    delete notifier;
  }
}
