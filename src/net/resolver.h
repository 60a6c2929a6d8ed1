#pragma once
// Host-name look-ups that never hold up the GUI thread. A resolver that does not answer (a
// dead name server can take half a minute) leaves every window responsive: the question goes
// to a thread of its own and the answer comes back through the event loop.
//
//   net::AnswerGuard guard;  // a member of whoever asks
//   net::CurrentResolver().Resolve("q3.example.org", guard.Wrap([this](const net::Resolution& r) { ... }));
//
// Whoever asks keeps an AnswerGuard: once it is reset or destroyed, answers still on their way
// are dropped, so a window may close in the middle of a look-up. Tests put a stand-in in place
// with SetResolver (one that never answers, answers late or answers what it is told).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "net/address.h"

namespace net {

// What a forward look-up found: the host's addresses in the system's order (port 0), or the
// Windows Sockets code of the failure (11001 "Host not found" for an unknown name).
struct Resolution {
  int error = 0;
  std::vector<Endpoint> addresses;
};

// The server a look-up found, with the port set: the preferred of its addresses
// (PreferredAddress); nothing, with `error` set to the failure's code (11004 when the name has
// no address), when there is none.
std::optional<Endpoint> ServerOf(const Resolution& resolution, std::uint16_t port, int& error);

class Resolver {
 public:
  using Forward = std::function<void(const Resolution&)>;
  using Reverse = std::function<void(const std::string&)>;
  virtual ~Resolver() = default;
  // Looks up the IPv4 and IPv6 addresses of a host name. `done` runs on the GUI thread from the
  // event loop, never inside this call.
  virtual void Resolve(const std::string& host, Forward done) = 0;
  // The host name of an address (IPv4 or IPv6 text, no port), or "Unknown IP"; `done` as above.
  virtual void ReverseLookup(const std::string& address, Reverse done) = 0;
};

// The resolver the program asks: the system's (getaddrinfo and getnameinfo, each look-up on a
// thread of its own), unless a stand-in has been put in place.
Resolver& CurrentResolver();
// Puts a stand-in in place (nullptr: the system's again); returns the one it replaces.
Resolver* SetResolver(Resolver* resolver);

// The system's answer for a host name, IPv4 and IPv6 addresses alike. Blocks for as long as the
// system's resolver takes: for threads other than the GUI thread.
Resolution ResolveHostName(const std::string& host);

// Lets an owner walk away from the look-ups it started: a wrapped callback runs only while its
// guard lives and has not been reset since it was wrapped.
class AnswerGuard {
 public:
  template <class F>
  auto Wrap(F callback) const {
    return [live = std::weak_ptr<int>(token_), callback = std::move(callback)](const auto&... answer) {
      if (!live.expired()) callback(answer...);
    };
  }
  // Drops the answers of every look-up wrapped so far.
  void Reset() { token_ = std::make_shared<int>(0); }

 private:
  std::shared_ptr<int> token_ = std::make_shared<int>(0);
};

}  // namespace net
