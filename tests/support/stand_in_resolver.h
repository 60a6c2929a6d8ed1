#pragma once
// A resolver for tests, in place of the system's for its lifetime: it knows the names it is
// told (any other is "Host not found"), and answers after a delay, or never until the test
// says so, always from the event loop. Link corvane_net.
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/hostname.h"
#include "net/resolver.h"
#include "net/wsaerrors.h"

namespace test {

class StandInResolver : public net::Resolver {
 public:
  static constexpr int kNever = -1;

  StandInResolver() : previous_(net::SetResolver(this)) {}
  ~StandInResolver() override { net::SetResolver(previous_); }
  StandInResolver(const StandInResolver&) = delete;
  StandInResolver& operator=(const StandInResolver&) = delete;

  // Forward: a name's addresses. Reverse: an address text's name (others: "Unknown IP").
  std::map<std::string, std::vector<net::Endpoint>> names;
  std::map<std::string, std::string> hostNames;
  // How long each answer takes, in milliseconds; kNever holds it until AnswerHeld.
  int delayMs = 0;
  // What was asked, in order.
  std::vector<std::string> asked;

  void Resolve(const std::string& host, Forward done) override {
    asked.push_back(host);
    net::Resolution answer;
    const auto known = names.find(host);
    if (known == names.end()) {
      answer.error = net::WSAHOST_NOT_FOUND;
    } else {
      answer.addresses = known->second;
    }
    Answer([done = std::move(done), answer] { done(answer); });
  }
  void ReverseLookup(const std::string& address, Reverse done) override {
    asked.push_back(address);
    const auto known = hostNames.find(address);
    const std::string name = known == hostNames.end() ? std::string(kUnknownHostName) : known->second;
    Answer([done = std::move(done), name] { done(name); });
  }

  int Held() const { return static_cast<int>(held_.size()); }
  // Gives the answers held so far, each from the event loop.
  void AnswerHeld() {
    for (auto& answer : held_) QTimer::singleShot(0, context_.get(), std::move(answer));
    held_.clear();
  }

 private:
  void Answer(std::function<void()> answer) {
    if (delayMs == kNever) {
      held_.push_back(std::move(answer));
    } else {
      QTimer::singleShot(delayMs, context_.get(), std::move(answer));
    }
  }

  net::Resolver* previous_;
  std::unique_ptr<QObject> context_ = std::make_unique<QObject>();  // answers not given die with it
  std::vector<std::function<void()>> held_;
};

}  // namespace test
