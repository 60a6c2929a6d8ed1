#include "board/session.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "net/wsaerrors.h"
#include "platform/convert.h"
#include "protocol/packets.h"

namespace board {

namespace {

std::string Number(long long value) { return platform::IntToStr(value); }

std::string MissedText(int missed) {
  return missed == 1 ? std::string("No answer to the last query")
                     : "No answer to the last " + Number(missed) + " queries";
}

// Sorted `a` less sorted `b`, as multisets (a name twice on a server counts twice).
std::vector<std::string> Less(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> rest;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(rest));
  return rest;
}

}  // namespace

std::string ServerRow::Label() const {
  if (!server.description.empty()) return server.description;
  const std::string own = CleanPlayerName(name);
  return own.empty() ? Address() : own;
}

std::string AlertLine(const Alert& alert) { return alert.server + ": " + alert.event; }

std::string AgeText(std::chrono::seconds age) {
  const long long s = std::max<long long>(0, age.count());
  if (s < 60) return Number(s) + " s";
  if (s < 3600) return Number(s / 60) + " min";
  if (s < 86400) return Number(s / 3600) + " h " + Number(s % 3600 / 60) + " min";
  return Number(s / 86400) + " d";
}

std::string RefusalText(int code) {
  switch (code) {
    case net::WSAECONNREFUSED: return "Refused: no server listens on this port";
    case net::WSAEHOSTUNREACH: return "Refused: the host cannot be reached";
    case net::WSAENETUNREACH: return "Refused: the network cannot be reached";
    default: return "Refused: " + net::WinsockErrorText(code);
  }
}

BoardSession::BoardSession(BoardTransport& transport, BoardListener& listener)
    : transport_(transport), listener_(listener), alive_(std::make_shared<bool>(true)) {}

BoardSession::~BoardSession() { *alive_ = false; }

void BoardSession::SetServers(const std::vector<BoardServer>& servers) {
  const TimePoint now = transport_.Now();
  std::vector<ServerRow> rows;
  std::vector<Poll> polls;
  std::vector<bool> taken(rows_.size(), false);
  int fresh = 0;
  for (const BoardServer& server : servers) {
    std::size_t old = 0;
    for (; old < rows_.size(); ++old) {
      const BoardServer& was = rows_[old].server;
      if (!taken[old] && was.host == server.host && was.port == server.port && was.gameType == server.gameType) break;
    }
    if (old < rows_.size()) {
      taken[old] = true;
      rows.push_back(std::move(rows_[old]));
      polls.push_back(std::move(polls_[old]));
      rows.back().server = server;
      continue;
    }
    ServerRow row;
    row.server = server;
    Poll poll;
    poll.id = nextId_++;
    if (server.wire) {
      row.lampText = "Waiting for the first answer";
      poll.nextPoll = now + fresh++ * kSpacing;
    } else {
      row.lamp = Lamp::NotPolled;
      row.lampText = "Not polled: the board has no status query for " + server.gameName;
    }
    rows.push_back(std::move(row));
    polls.push_back(std::move(poll));
  }
  rows_ = std::move(rows);
  polls_ = std::move(polls);
  listener_.RowsReset();
  ScheduleTimer();
}

void BoardSession::SetInterval(int seconds) {
  interval_ = std::chrono::seconds(std::clamp(seconds, kMinIntervalSeconds, kMaxIntervalSeconds));
  const TimePoint latest = transport_.Now() + interval_;
  for (Poll& poll : polls_) poll.nextPoll = std::min(poll.nextPoll, latest);
  ScheduleTimer();
}

void BoardSession::SetWatchList(WatchList list) {
  watch_ = std::move(list);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!polls_[i].answered) continue;
    std::vector<std::string> watched = WatchedAmong(polls_[i].players);
    if (watched == rows_[i].watched) continue;
    rows_[i].watched = std::move(watched);
    listener_.RowChanged(i);
  }
}

void BoardSession::PollAll() {
  const TimePoint now = transport_.Now();
  int k = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].server.wire) polls_[i].nextPoll = now + k++ * kSpacing;
  ScheduleTimer();
}

void BoardSession::TimerFired() {
  const TimePoint now = transport_.Now();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!rows_[i].server.wire) continue;
    Poll& poll = polls_[i];
    if (poll.sentAt && now >= *poll.sentAt + kAnswerWait) Missed(i, Lamp::NotAnswering, MissedText(poll.missed + 1));
    if (now < poll.nextPoll) continue;
    poll.nextPoll += interval_;
    if (poll.nextPoll <= now) poll.nextPoll = now + interval_;
    // A query still queued behind the server's rate limit, or still unanswered, is not
    // followed by another.
    if (!poll.queued && !poll.sentAt) Ask(i, now);
  }
  ScheduleTimer();
}

void BoardSession::Ask(std::size_t index, TimePoint now) {
  Poll& poll = polls_[index];
  const BoardServer& server = rows_[index].server;
  if (!poll.endpoint) {
    if (now < poll.nextResolve) {
      Missed(index, rows_[index].lamp, rows_[index].lampText);
      return;
    }
    // The look-up answers later (or at once for an address); the query follows its answer.
    if (poll.resolving) return;
    poll.resolving = true;
    transport_.Resolve(server.host, server.port,
                       [this, id = poll.id, alive = alive_](std::optional<net::Endpoint> found, const std::string& reason) {
                         if (*alive) Resolved(id, std::move(found), reason);
                       });
    return;
  }
  poll.queued = true;
  const std::uint64_t id = poll.id;
  transport_.Send(*poll.endpoint, protocol::QueryDatagram(server.wire->queryText), server.wire->rateLimited,
                  [this, id, alive = alive_] {
                    if (*alive) Left(id);
                  });
}

void BoardSession::Resolved(std::uint64_t id, std::optional<net::Endpoint> server, const std::string& reason) {
  for (std::size_t i = 0; i < polls_.size(); ++i) {
    Poll& poll = polls_[i];
    if (poll.id != id || !poll.resolving) continue;
    poll.resolving = false;
    const TimePoint now = transport_.Now();
    if (!server) {
      poll.nextResolve = now + kResolveRetry;
      Missed(i, Lamp::Refused, reason);
      return;
    }
    poll.endpoint = server;
    Ask(i, now);
    return;
  }
}

void BoardSession::Left(std::uint64_t id) {
  for (Poll& poll : polls_) {
    if (poll.id != id || !poll.queued) continue;
    poll.queued = false;
    poll.sentAt = poll.lastSentAt = transport_.Now();
    ScheduleTimer();
    return;
  }
}

void BoardSession::DatagramArrived(const net::Endpoint& from, std::string_view datagram) {
  // The server whose query this answers: the one of that address that has waited longest; an
  // answer that comes after its query was given up still counts, for a server asked before.
  std::optional<std::size_t> pending;
  std::optional<std::size_t> late;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Poll& poll = polls_[i];
    if (poll.endpoint != from || !rows_[i].server.wire || !protocol::IsStatusResponse(*rows_[i].server.wire, datagram))
      continue;
    if (poll.sentAt && (!pending || *poll.sentAt < *polls_[*pending].sentAt)) pending = i;
    if (!late && poll.lastSentAt) late = i;
  }
  const std::optional<std::size_t> index = pending ? pending : late;
  if (!index) return;
  Answered(*index, protocol::ParseServerStatus(datagram), transport_.Now());
}

void BoardSession::Refused(const net::Endpoint& to, int code) {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (polls_[i].endpoint == to && polls_[i].sentAt) Missed(i, Lamp::Refused, RefusalText(code));
}

void BoardSession::Answered(std::size_t index, const protocol::ServerStatus& status, TimePoint now) {
  Poll& poll = polls_[index];
  ServerRow& row = rows_[index];
  const protocol::GameTraits& wire = *row.server.wire;
  const TimePoint sent = poll.sentAt ? *poll.sentAt : *poll.lastSentAt;
  poll.sentAt.reset();
  poll.missed = 0;
  if (poll.down) {
    poll.down = false;
    Raise(AlertKind::ServerUp, row, "answers again");
  }
  row.lamp = Lamp::Answering;
  row.lampText = "Answering";
  row.roundTripMs = static_cast<int>(std::chrono::round<std::chrono::milliseconds>(now - sent).count());
  row.lastAnswer = now;
  row.name = protocol::ServerName(wire, status.info);
  row.gameType = protocol::GameTypeName(wire, status.info);
  row.maxPlayers = protocol::MaxPlayers(wire, status.info).value_or(-1);

  const std::string map(protocol::InfoValue(status.info, "mapname").value_or(std::string_view()));
  if (poll.answered && map != row.map)
    Raise(AlertKind::MapChanged, row, "map changed from " + row.map + " to " + map);
  row.map = map;

  row.humans = row.bots = 0;
  poll.players.clear();
  for (const protocol::StatusPlayer& player : status.players) {
    ++(wire.zeroPingIsBot && player.ping == 0 ? row.bots : row.humans);
    poll.players.push_back(CleanPlayerName(player.name));
  }
  CompareWatched(index, WatchedAmong(poll.players));
  poll.answered = true;
  listener_.RowChanged(index);
}

void BoardSession::CompareWatched(std::size_t index, std::vector<std::string> watched) {
  ServerRow& row = rows_[index];
  if (polls_[index].answered) {
    for (const std::string& name : Less(watched, row.watched)) Raise(AlertKind::PlayerJoined, row, name + " joined");
    for (const std::string& name : Less(row.watched, watched)) Raise(AlertKind::PlayerLeft, row, name + " left");
  }
  row.watched = std::move(watched);
}

std::vector<std::string> BoardSession::WatchedAmong(const std::vector<std::string>& players) const {
  std::vector<std::string> watched;
  for (const std::string& name : players)
    if (watch_.Matches(name)) watched.push_back(name);
  std::sort(watched.begin(), watched.end());
  return watched;
}

void BoardSession::Missed(std::size_t index, Lamp lamp, const std::string& why) {
  Poll& poll = polls_[index];
  ServerRow& row = rows_[index];
  poll.sentAt.reset();
  ++poll.missed;
  row.lamp = lamp;
  row.lampText = why;
  if (poll.missed >= kMissesForDown && poll.answered && !poll.down) {
    poll.down = true;
    Raise(AlertKind::ServerDown, row, "stopped answering");
  }
  listener_.RowChanged(index);
}

void BoardSession::Raise(AlertKind kind, const ServerRow& row, std::string event) {
  if (kinds_.On(kind)) listener_.ShowAlert(Alert{kind, row.Label(), std::move(event)});
}

void BoardSession::ScheduleTimer() {
  std::optional<TimePoint> next;
  const auto consider = [&next](TimePoint when) {
    if (!next || when < *next) next = when;
  };
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!rows_[i].server.wire) continue;
    consider(polls_[i].nextPoll);
    if (polls_[i].sentAt) consider(*polls_[i].sentAt + kAnswerWait);
  }
  if (next) transport_.ArmTimer(*next);
}

}  // namespace board
