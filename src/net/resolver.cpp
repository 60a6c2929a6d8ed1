#include "net/resolver.h"

#include <netdb.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>

#include "common/hostname.h"
#include "net/wsaerrors.h"

namespace net {

std::optional<Endpoint> ServerOf(const Resolution& resolution, std::uint16_t port, int& error) {
  std::optional<Endpoint> address = PreferredAddress(resolution.addresses);
  error = resolution.error != 0 ? resolution.error : address ? 0 : WSANO_DATA;
  if (error != 0) return std::nullopt;
  address->port = port;
  return address;
}

namespace {

// Where the look-up threads post their answers: an object of the GUI thread. Once the
// application object is gone nothing is delivered any more, so that a thread whose resolver
// answers during shut-down finds nobody to post to rather than a destroyed event loop.
class Mailbox {
 public:
  static Mailbox& Instance() {
    static Mailbox* const instance = new Mailbox;  // threads may outlive every static object
    return *instance;
  }

  // Runs `deliver` on the GUI thread, from its event loop.
  void Post(std::function<void()> deliver) {
    std::lock_guard lock(mutex_);
    if (!home_) return;
    QMetaObject::invokeMethod(home_, std::move(deliver), Qt::QueuedConnection);
  }

 private:
  Mailbox() : home_(new QObject) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
      QObject::connect(application, &QObject::destroyed, [this] {
        std::lock_guard lock(mutex_);
        delete home_;
        home_ = nullptr;
      });
    }
  }

  std::mutex mutex_;
  QObject* home_;
};

// Runs `work` on a thread of its own and hands its result to `done` on the GUI thread; when
// no thread can be started, `done` gets `failed` the same way. `done` travels with the answer,
// so that it is run and destroyed on the GUI thread.
template <class T>
void OffThread(std::function<T()> work, std::function<void(const T&)> done, T failed) {
  Mailbox& mailbox = Mailbox::Instance();  // made here, on the GUI thread
  const auto deliver = [&mailbox](std::function<void(const T&)> callback, T result) {
    mailbox.Post([callback = std::move(callback), result = std::move(result)] { callback(result); });
  };
  try {
    std::thread([work = std::move(work), done, deliver]() mutable { deliver(std::move(done), work()); }).detach();
  } catch (const std::system_error&) {
    deliver(std::move(done), std::move(failed));
  }
}

constexpr int kTooManyProcesses = 10067;

class SystemResolver final : public Resolver {
 public:
  void Resolve(const std::string& host, Forward done) override {
    OffThread<Resolution>([host] { return ResolveHostName(host); }, std::move(done), Resolution{kTooManyProcesses, {}});
  }
  void ReverseLookup(const std::string& address, Reverse done) override {
    OffThread<std::string>([address] { return LookupHostName(address); }, std::move(done),
                           std::string(kUnknownHostName));
  }
};

Resolver* standIn = nullptr;

}  // namespace

Resolver& CurrentResolver() {
  static SystemResolver system;
  return standIn ? *standIn : system;
}

Resolver* SetResolver(Resolver* resolver) { return std::exchange(standIn, resolver); }

Resolution ResolveHostName(const std::string& host) {
  Resolution resolution;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  errno = 0;
  const int result = host.find('\0') != std::string::npos ? EAI_NONAME : ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0) {
    resolution.error = WinsockErrorFromAddrInfo(result, errno);
    return resolution;
  }
  for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
    const std::optional<Endpoint> address = Endpoint::FromSockaddr(entry->ai_addr, entry->ai_addrlen);
    if (address && std::find(resolution.addresses.begin(), resolution.addresses.end(), *address) ==
                       resolution.addresses.end())
      resolution.addresses.push_back(*address);
  }
  ::freeaddrinfo(found);
  if (resolution.addresses.empty()) resolution.error = WSANO_DATA;
  return resolution;
}

}  // namespace net
