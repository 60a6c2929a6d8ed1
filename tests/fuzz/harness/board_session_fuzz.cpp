// The server board's session fed a server's answers: a Quake 3 and a Quake 2 server at two
// addresses, a watch list with wildcards, the input as their answer, then the input without
// its last line (someone leaves), three silent polls (an outage) and the input again (the
// server comes back). The rows stay consistent whatever the answers say.
#include <algorithm>
#include <optional>
#include <vector>

#include "board/session.h"
#include "fuzz_support.h"

namespace {

using board::TimePoint;

class Net : public board::BoardTransport, public board::BoardListener {
 public:
  void Resolve(const std::string&, const std::string& port, Resolved done) override {
    done(net::Endpoint::IPv4(0x7F000001, static_cast<std::uint16_t>(std::stoi(port))), "");
  }
  void Send(const net::Endpoint&, const std::string&, bool, std::function<void()> onSent) override { onSent(); }
  TimePoint Now() override { return now; }
  void ArmTimer(TimePoint when) override { timer = when; }
  void RowsReset() override {}
  void RowChanged(std::size_t) override {}
  void ShowAlert(const board::Alert& alert) override {
    FUZZ_CHECK(!alert.server.empty() && !alert.event.empty());
    ++alerts;
  }

  TimePoint now = TimePoint{} + std::chrono::hours(1000);
  std::optional<TimePoint> timer;
  int alerts = 0;
};

void Advance(Net& net, board::BoardSession& session, std::chrono::milliseconds step) {
  const TimePoint until = net.now + step;
  while (net.timer && *net.timer <= until) {
    net.now = std::max(net.now, *net.timer);
    net.timer.reset();
    session.TimerFired();
  }
  net.now = until;
}

void Check(const board::BoardSession& session) {
  FUZZ_CHECK(session.Rows().size() == 2);
  for (const board::ServerRow& row : session.Rows()) {
    FUZZ_CHECK(row.humans >= -1 && row.bots >= -1 && (row.humans < 0) == (row.bots < 0));
    FUZZ_CHECK(std::is_sorted(row.watched.begin(), row.watched.end()));
    FUZZ_CHECK(row.humans < 0 || row.watched.size() <= static_cast<std::size_t>(row.humans + row.bots));
    FUZZ_CHECK(row.lamp != board::Lamp::Answering || row.lastAnswer.has_value());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string answer(fuzz::Bytes(data, size));
  const std::string fewer = answer.substr(0, answer.find_last_of('\n', answer.size() >= 2 ? answer.size() - 2 : 0));
  Net net;
  board::BoardSession session(net, net);
  session.SetWatchList(board::WatchList({"*a*?b*", "sarge", "?", "*"}));
  session.SetServers({{"127.0.0.1", "27960", "Arena", 0, "Quake 3 Arena", &protocol::kQuake3},
                      {"127.0.0.1", "27910", "", 2, "Quake 2", &protocol::kQuake2}});
  const net::Endpoint arena = net::Endpoint::IPv4(0x7F000001, 27960);
  const net::Endpoint base = net::Endpoint::IPv4(0x7F000001, 27910);
  const std::string* rounds[] = {&answer, &fewer, nullptr, nullptr, nullptr, &answer};
  Advance(net, session, std::chrono::seconds(1));
  for (const std::string* round : rounds) {
    if (round) {
      session.DatagramArrived(arena, *round);
      session.DatagramArrived(base, *round);
    }
    Check(session);
    Advance(net, session, std::chrono::seconds(30));
  }
  FUZZ_CHECK(net.alerts <= 2 * (4 + 2 * static_cast<int>(size)));
  return 0;
}
