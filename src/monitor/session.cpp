#include "monitor/session.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "common/text.h"
#include "platform/convert.h"
#include "protocol/bans.h"
#include "protocol/lines.h"
#include "protocol/packets.h"
#include "protocol/parsers.h"

namespace monitor {

namespace {

// While the query or the remote status goes unanswered, every this many chains try it again.
constexpr int kRetryChains = 5;

}  // namespace

MonitorSession::MonitorSession(const MonitorTraits& traits, MonitorView& view, MonitorTransport& transport)
    : traits_(&traits),
      view_(view),
      transport_(transport),
      assembler_(*traits.wire),
      alive_(std::make_shared<bool>(true)) {}

MonitorSession::~MonitorSession() { *alive_ = false; }

void MonitorSession::Create() {
  FState = msIdle;
  FGameType = -1;
  LoadLookupList(FMapList, std::string(traits_->allMapsFile));
  std::vector<std::string> items;
  if (traits_->stockMaps.empty()) {
    for (const TLookupEntry& entry : FMapList) items.push_back(entry.Key);
  } else {
    for (std::string_view name : traits_->stockMaps) items.emplace_back(name);
  }
  view_.SetMapItems(items);
  view_.SetMapDescription({});
  intervalMs_ = kIdleIntervalMs;
  transport_.StartRefreshTimer(intervalMs_);
}

// ---------------------------------------------------------------------------------------------
// Sending

void MonitorSession::SetLamp(Lamp lamp) {
  lamp_ = lampHeld_ ? Lamp::Green : lamp;
  view_.ShowLamp(lamp_);
}

void MonitorSession::HoldLampGreen(bool held) {
  lampHeld_ = held;
  if (held) SetLamp(Lamp::Green);
}

void MonitorSession::Send(const std::string& datagram, Step step, std::function<void()> onSent) {
  SetLamp(Lamp::Yellow);
  if (step != Step::None) {
    step_ = step;
    stepSentAt_.reset();
  }
  ++queued_;
  std::weak_ptr<bool> alive = alive_;
  transport_.Send(datagram, [this, alive, step, onSent = std::move(onSent)] {
    if (alive.expired()) return;
    --queued_;
    const TimePoint now = transport_.Now();
    assembler_.NoteSent(now);
    if (step != Step::None && step_ == step && !stepSentAt_) stepSentAt_ = now;
    if (onSent) onSent();
  });
}

void MonitorSession::SendQuery(const std::string& text) { Send(protocol::QueryDatagram(text), Step::None); }

void MonitorSession::SendRcon(const std::string& command) {
  Send(protocol::RconDatagram(transport_.Password(), command), Step::None);
}

void MonitorSession::SendRcon(const std::string& command, std::function<void()> onSent) {
  Send(protocol::RconDatagram(transport_.Password(), command), Step::None, std::move(onSent));
}

// ---------------------------------------------------------------------------------------------
// Connecting, the timer and the refresh chain

void MonitorSession::Connect() {
  TB_RefreshChange(position_);
  FState = msConnecting;
  connectTries_ = 0;
  transport_.Open();
  if (transport_.Resolving()) {
    resolving_ = "Resolving " + transport_.Host() + "...";
    view_.SetStatusText(resolving_);
  }
  SendRcon(std::string(protocol::kStatusCommand));
}

void MonitorSession::LookupDone(const std::string& failure) {
  if (!failure.empty()) {
    view_.SetStatusText(transport_.Host() + ": " + failure);
  } else if (!resolving_.empty()) {
    EndProgress(resolving_);
  }
  resolving_.clear();
}

void MonitorSession::EndProgress(const std::string& text) {
  if (view_.StatusText() == text) view_.SetStatusText({});
}

void MonitorSession::TB_RefreshChange(int position) {
  position_ = std::clamp(position, 1, 60);
  transport_.StopRefreshTimer();
  intervalMs_ = position_ * 1000;
  view_.SetRefreshHint(std::to_string(position_) + " seconds");
  transport_.StartRefreshTimer(intervalMs_);
}

std::chrono::milliseconds MonitorSession::LostAfter() const {
  return std::min(std::chrono::milliseconds(kLostIntervals * intervalMs_), kLostCap);
}

bool MonitorSession::ChainWaiting() const {
  if (step_ == Step::None) return false;
  if (!stepSentAt_) return true;  // still queued behind the rate limit
  return transport_.Now() - *stepSentAt_ <= LostAfter();
}

void MonitorSession::RefreshTimerTimer() {
  switch (FState) {
    case msConnecting:
      // A request still queued for the server is not queued again: the queue would grow for
      // as long as the server does not answer.
      if (queued_ > 0) return;
      // Some servers never answer the remote status (Yamagi's with a long name among its
      // players); their answer to " serverinfo" proves the password as well, so every other
      // try asks for that.
      SendRcon(std::string(++connectTries_ % 2 == 0 ? protocol::kStatusCommand : protocol::kServerInfoCommand));
      return;
    case msPolling: {
      if (ChainWaiting()) return;
      // The last chain died at its query (a Quake 3 server in single-player mode never
      // answers it), or at the remote status after its query was answered (a server that
      // never answers that). When a chain of " status" alone died there, neither answers:
      // start again with the query.
      if (step_ == Step::Query) queryUnanswered_ = true;
      if (step_ == Step::Status) {
        if (chainAskedQuery_) {
          statusUnanswered_ = true;
        } else {
          queryUnanswered_ = false;
        }
      }
      chainAskedQuery_ = !queryUnanswered_ || ++chainsWithoutQuery_ % kRetryChains == 0;
      if (chainAskedQuery_) {
        Send(protocol::QueryDatagram(traits_->wire->queryText), Step::Query);
      } else {
        tableReplacesList_ = true;
        Send(protocol::RconDatagram(transport_.Password(), protocol::kStatusCommand), Step::Status);
      }
      return;
    }
    case msIdle:
    case msRefused:
    case msAwaitingUserInfo:
      return;
  }
}

void MonitorSession::Refresh() {
  transport_.StopRefreshTimer();
  chainAskedQuery_ = true;
  Send(protocol::QueryDatagram(traits_->wire->queryText), Step::Query);
  transport_.StartRefreshTimer(intervalMs_);
}

void MonitorSession::Closing() {
  *alive_ = false;
  alive_ = std::make_shared<bool>(true);
  queued_ = 0;
  transport_.StopRefreshTimer();
  transport_.Close();
}

// ---------------------------------------------------------------------------------------------
// Replies

void MonitorSession::DataArrived(const std::string& datagram) {
  SetLamp(Lamp::Red);
  for (const std::string& reply : assembler_.Feed(datagram, transport_.Now())) HandleReply(reply);
  ArmReplyTimer();
}

void MonitorSession::PollReplies() {
  for (const std::string& reply : assembler_.Poll(transport_.Now())) HandleReply(reply);
  ArmReplyTimer();
}

void MonitorSession::ArmReplyTimer() {
  if (const auto deadline = assembler_.Deadline()) transport_.ArmReplyTimer(*deadline);
}

void MonitorSession::HandleReply(const std::string& reply) {
  // The server's echo of a message the administrator sent confirms it in the status bar.
  if (const std::optional<std::string> echo = protocol::ChatEcho(reply)) view_.SetStatusText(*echo);
  Apply(protocol::ClassifyReply(*traits_->wire, FState, reply), reply);
}

void MonitorSession::Apply(const protocol::ReplyDecision& decision, const std::string& reply) {
  // Polling reached by the server info: the remote status went unanswered while connecting.
  if (FState == msConnecting && decision.state == msPolling && decision.parser == protocol::ReplyParser::ServerInfo) {
    statusUnanswered_ = true;
    chainsWithoutStatus_ = 0;
  }
  FState = decision.state;
  if (decision.closeClient) {
    step_ = Step::None;
    transport_.Close();
  }
  switch (decision.parser) {
    case protocol::ReplyParser::None:
      break;
    case protocol::ReplyParser::StatusResponse:
      queryUnanswered_ = false;
      chainsWithoutQuery_ = 0;
      protocol::ParseStatusResponse(*traits_->wire, reply, rows_);
      ShowPlayers();
      break;
    case protocol::ReplyParser::StatusTable:
      statusUnanswered_ = false;
      SetLamp(Lamp::Red);
      ParseTable(reply);
      break;
    case protocol::ReplyParser::ServerInfo:
      ParseInfo(reply);
      break;
    case protocol::ReplyParser::UserInfo:
      ParseUser(reply);
      break;
  }
  if (!decision.send.empty()) {
    std::string command = decision.send;
    Step next = decision.parser == protocol::ReplyParser::StatusResponse ? Step::Status : Step::ServerInfo;
    // The remote status does not answer: the list stays as the status response has it, and
    // the chain goes on with the server info; every few chains the status is tried again.
    if (next == Step::Status && statusUnanswered_ && ++chainsWithoutStatus_ % kRetryChains != 0) {
      command = protocol::kServerInfoCommand;
      next = Step::ServerInfo;
    }
    Send(protocol::RconDatagram(transport_.Password(), command), next);
  } else if (decision.parser == protocol::ReplyParser::ServerInfo) {
    step_ = Step::None;  // the chain is complete
  }
  if (decision.setStatusText) {
    try {
      view_.SetStatusText(decision.statusText);
    } catch (const std::exception&) {
      // a notice that cannot be shown is dropped
    }
  }
  if (!decision.warning.empty()) view_.ShowWarning(decision.warning);
}

void MonitorSession::ParseTable(const std::string& reply) {
  // A table that answers a chain without the query is the whole player list.
  if (std::exchange(tableReplacesList_, false)) rows_.clear();
  protocol::ParseStatusTable(*traits_->wire, reply, rows_);
  ShowPlayers();
}

void MonitorSession::ShowPlayers() {
  players_ = rows_;
  if (traits_->sortedPlayers)
    std::stable_sort(players_.begin(), players_.end(),
                     [](const PlayerRow& a, const PlayerRow& b) { return a.num < b.num; });
  view_.ShowPlayers(players_);
}

void MonitorSession::ParseInfo(const std::string& reply) {
  protocol::ServerInfoHooks hooks;
  if (!traits_->gameTypeNames.empty()) hooks.onGameType = [this](const std::string& value) { GameTypeEffect(value); };
  hooks.onMapName = [this](const std::string& value) { MapNameEffect(value); };
  protocol::ParseServerInfo(*traits_->wire, reply, rules_, hooks);
  view_.ShowRules(rules_);
}

void MonitorSession::ShowQuestionPicture() {
  view_.ShowLevelPicture(std::string(protocol::kQuestionPicture), true);
}

void MonitorSession::GameTypeEffect(const std::string& value) {
  view_.SetGameTypeIndex(-1);
  int type = 0;
  if (!platform::TryStrToInt(value, type)) {
    ShowQuestionPicture();
    return;
  }
  const int index = type >= 0 && type < static_cast<int>(traits_->gameTypeNames.size()) ? type : -1;
  view_.SetGameTypeIndex(index);
  SelectMapList(index);
}

void MonitorSession::MapNameEffect(const std::string& value) {
  const std::string description = FindLookupValue(FMapList, value);
  view_.SetMapDescription(description);
  view_.SetMapText(value);
  if (!view_.ShowLevelPicture(protocol::LevelPicturePath(*traits_->wire, value), false)) ShowQuestionPicture();
}

void MonitorSession::SelectMapList(int gameType) {
  if (gameType == FGameType) return;
  FGameType = gameType;
  FreeLookupList(FMapList);
  const auto& files = traits_->gameTypeMapFiles;
  if (gameType >= 0 && gameType < static_cast<int>(files.size()) && !files[static_cast<std::size_t>(gameType)].empty())
    LoadLookupList(FMapList, std::string(files[static_cast<std::size_t>(gameType)]));
  std::vector<std::string> names;
  for (const TLookupEntry& entry : FMapList) names.push_back(entry.Key);
  view_.SetMapItems(names);
}

void MonitorSession::ParseUser(const std::string& reply) {
  protocol::ParseUserInfo(*traits_->wire, reply, userInfo_, [this](const std::string& value) {
    if (!view_.ShowPlayerPicture(protocol::PlayerPicturePath(*traits_->wire, value), false))
      view_.ShowPlayerPicture(std::string(protocol::kQuestionPicture), true);
  });
  view_.ShowUserInfo(userInfo_);
}

// ---------------------------------------------------------------------------------------------
// Player actions

void MonitorSession::PlayerInfo(const PlayerRow* row) {
  if (row) ShowPlayerInfo(PlayerKey{row->num, row->name});
}

void MonitorSession::ShowPlayerInfo(const std::string& num) {
  std::string name;
  for (const PlayerRow& row : players_)
    if (row.num == num) name = row.name;
  ShowPlayerInfo(PlayerKey{num, name});
}

bool MonitorSession::StillThere(const PlayerKey& player) {
  const int index = FindPlayer(player, players_);
  if (index >= 0 && players_[static_cast<std::size_t>(index)].name == player.name) return true;
  view_.ShowMessage("Player " + player.num + (player.name.empty() ? "" : " (" + player.name + ")") +
                    " is no longer on the server: nobody was kicked.");
  return false;
}

void MonitorSession::ShowPlayerInfo(PlayerKey player) {
  const std::string& num = player.num;
  FState = msAwaitingUserInfo;
  userInfo_.clear();
  SendRcon(protocol::DumpUserCommand(num));
  const int result = view_.RunPlayerInfo();
  // No user info came while the dialog was open: stop waiting for it, so that the timer
  // polls again. A reply that comes later is dropped as any unexpected one.
  if (FState == msAwaitingUserInfo) FState = msPolling;
  // The replies of a refresh under way were dropped while the dialog was open: that refresh
  // is over, and the next tick starts a new one at once rather than wait for it to count as
  // lost (or take it for a query the server does not answer).
  if (stepSentAt_) step_ = Step::None;
  if (result != platform::mrKickPlayer || !StillThere(player)) return;
  if (!view_.Confirm("Are you sure you want to kick player " + num + "?") || !StillThere(player)) return;
  SendRcon(protocol::KickCommand(num));
  transport_.Pause(kKickPauseMs);
  SendRcon(std::string(protocol::kStatusCommand));
}

void MonitorSession::KickPlayer(const PlayerRow* selected) {
  if (!selected) return;
  const PlayerRow row = *selected;  // the list may change while the box is open
  if (protocol::IsHostPlayer(row.address)) {
    view_.ShowWarning(std::string(kKickHostWarning));
    return;
  }
  if (!view_.Confirm("Are you sure you want to kick " + row.name + "?")) return;
  if (!StillThere(PlayerKey{row.num, row.name})) return;
  SendRcon(protocol::KickCommand(row.num));
  SendRcon(std::string(protocol::kStatusCommand));
}

void MonitorSession::NameLookup(const PlayerRow* selected) {
  if (!selected) return;
  const std::string address = selected->address;
  if (!protocol::HasNetworkAddress(address)) {
    view_.ShowMessage(address + " => " + transport_.Host());
    return;
  }
  const std::string host(protocol::AddressHost(address));
  const std::string progress = "Looking up " + host + "...";
  view_.SetStatusText(progress);
  // Answers that come after the window closed are dropped.
  transport_.LookupHost(host, [this, alive = std::weak_ptr<bool>(alive_), address, progress](const std::string& name) {
    if (alive.expired()) return;
    EndProgress(progress);
    view_.ShowMessage(address + " => " + name);
  });
}

// ---------------------------------------------------------------------------------------------
// Messages and bans

bool MonitorSession::MessageMayGo(const std::string& text) {
  if (text.empty()) return false;
  const std::vector<std::string> warnings = protocol::ChatWarnings(*traits_->wire, text);
  if (warnings.empty()) return true;
  std::string question;
  for (const std::string& warning : warnings) question += warning + "\r";
  return view_.Confirm(question + "Send the message anyway?");
}

void MonitorSession::Say(const std::string& text) {
  if (MessageMayGo(text)) SendRcon(protocol::SayCommand(text));
}

void MonitorSession::Tell(const PlayerRow* selected, const std::string& text) {
  if (!selected || traits_->wire->tellCommand.empty()) return;
  const PlayerKey player{selected->num, selected->name};
  if (!MessageMayGo(text)) return;
  const int index = FindPlayer(player, players_);
  if (index < 0 || player.num.empty()) {
    view_.ShowMessage("Player " + player.name + " is no longer on the server: the message was not sent.");
    return;
  }
  SendRcon(protocol::TellCommand(*traits_->wire, player.num, text));
}

std::optional<PlayerRow> MonitorSession::ConfirmBan(const PlayerRow* selected) {
  if (!selected) return std::nullopt;
  const PlayerRow row = *selected;
  const protocol::BanCommands& bans = *traits_->wire->bans;
  // A game that bans by client number lets the server judge the address (it refuses bots).
  if (!bans.banByClientNumber && !protocol::HasNetworkAddress(row.address)) {
    view_.ShowMessage(row.name + " has no network address to ban (" + row.address + ").");
    return std::nullopt;
  }
  std::string question = "Ban " + row.name + " (" + row.address + ") and kick " + row.name + " from the server?";
  if (!bans.banByClientNumber) {
    const protocol::BanAddress checked = protocol::CheckBanAddress(bans, protocol::AddressHost(row.address));
    if (!checked.ok) {
      view_.ShowMessage(checked.error);
      return std::nullopt;
    }
    if (!checked.warning.empty()) question += "\r" + checked.warning;
  }
  if (!view_.Confirm(question)) return std::nullopt;
  const int index = FindPlayer(PlayerKey{row.num, row.name}, players_);
  if (index < 0 || row.num.empty() || players_[static_cast<std::size_t>(index)].name != row.name) {
    view_.ShowMessage("Player " + row.name + " is no longer on the server: nobody was banned.");
    return std::nullopt;
  }
  return players_[static_cast<std::size_t>(index)];
}

// ---------------------------------------------------------------------------------------------
// Map, game type and rules

void MonitorSession::MapChosen(const std::string& text) { SendRcon(protocol::MapCommand(text)); }

void MonitorSession::GameTypeChosen(int index) {
  if (index >= 0) SendRcon(protocol::GameTypeCommand(index));
}

std::string MonitorSession::RuleCommand(const std::string& rule, const std::string& value) const {
  return protocol::RuleChangeCommand(*traits_->wire, rule, value);
}

void MonitorSession::ChangeRule(const RuleRow* selected) {
  if (!selected) return;
  const RuleRow row = *selected;
  std::string value = row.value;
  if (view_.RunChangeSetting(protocol::ChangeSettingName(row.key), row.value, value))
    SendRcon(RuleCommand(row.key, value));
  SendRcon(std::string(protocol::kStatusCommand));
}

}  // namespace monitor
