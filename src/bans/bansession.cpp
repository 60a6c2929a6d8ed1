#include "bans/bansession.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "protocol/assembler.h"
#include "protocol/classify.h"
#include "protocol/cvars.h"
#include "protocol/packets.h"
#include "protocol/rows.h"

namespace bans {

using protocol::BanEntry;
using protocol::BanKind;

namespace {

// The answer without the lines a developer-mode server adds about its files, trimmed.
std::string Shown(const std::string& text) {
  std::string shown;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t feed = rest.find('\n');
    const std::string_view line = rest.substr(0, feed);
    rest = feed == std::string_view::npos ? std::string_view() : rest.substr(feed + 1);
    if (line.empty() || line.substr(0, 12) == "writing to: ") continue;
    if (!shown.empty()) shown += ' ';
    shown += line;
  }
  return shown;
}

std::string KindName(BanKind kind) { return kind == BanKind::Exception ? "exception" : "ban"; }

}  // namespace

BanSession::BanSession(const protocol::GameTraits& game, BanView& view, BanTransport& transport)
    : game_(&game), view_(view), transport_(transport), alive_(std::make_shared<bool>(true)) {}

BanSession::~BanSession() { *alive_ = false; }

void BanSession::Closing() {
  *alive_ = false;
  alive_ = std::make_shared<bool>(true);
  queue_.clear();
  current_.reset();
}

void BanSession::Queue(std::string command, Purpose purpose, BanEntry entry) {
  queue_.push_back(Step{std::move(command), purpose, std::move(entry)});
  if (!current_) SendNext();
}

void BanSession::SendNext() {
  view_.SetBusy(Busy());
  if (current_ || queue_.empty()) return;
  current_ = std::move(queue_.front());
  queue_.pop_front();
  chunks_.clear();
  sentAt_.reset();
  continuation_.reset();
  view_.SetBusy(true);
  std::weak_ptr<bool> alive = alive_;
  transport_.Send(protocol::RconDatagram(transport_.Password(), current_->command), [this, alive] {
    if (alive.expired() || !current_ || sentAt_) return;
    sentAt_ = transport_.Now();
    Arm();
  });
}

void BanSession::Arm() {
  if (continuation_) {
    transport_.ArmTimer(*continuation_);
  } else if (sentAt_ && chunks_.empty()) {
    transport_.ArmTimer(*sentAt_ + kAnswerTimeout);
  }
}

void BanSession::DataArrived(const std::string& datagram) {
  if (!current_) return;  // nothing asked: a late answer
  chunks_.push_back(datagram);
  // A datagram cut by a full print buffer is followed by the rest of the answer.
  const std::size_t text = protocol::PrintedText({datagram}).size();
  if (text + protocol::ReplyAssembler::kPieceSlack >= game_->MaxChunkText()) {
    continuation_ = transport_.Now() + kContinuation;
    Arm();
    return;
  }
  Finish();
}

void BanSession::TimerFired() {
  if (!current_) return;
  const TimePoint now = transport_.Now();
  if (continuation_) {
    if (now >= *continuation_) Finish();
    return;
  }
  if (sentAt_ && chunks_.empty() && now >= *sentAt_ + kAnswerTimeout) {
    const std::string command(common::TrimSpacesView(current_->command));
    current_.reset();
    queue_.clear();
    view_.SetBusy(false);
    view_.ShowAnswer("The server did not answer \"" + command + "\".");
  }
}

void BanSession::Finish() {
  const Step step = std::move(*current_);
  current_.reset();
  continuation_.reset();
  const std::string joined = [this] {
    std::string whole;
    for (const std::string& chunk : chunks_) whole += chunk;
    return whole;
  }();
  const std::string text = protocol::PrintedText(chunks_);
  chunks_.clear();
  // A refusal is the whole first line; a player's name in a kick's echo is none.
  if (protocol::IsRefusal(*game_, joined)) {
    queue_.clear();
    view_.SetBusy(false);
    view_.ShowError(common::TrimSpacesView(text).empty() ? std::string(protocol::DatagramText(joined)) : Shown(text));
    return;
  }
  Handle(step, text);
  SendNext();
}

void BanSession::Handle(const Step& step, const std::string& text) {
  const protocol::BanCommands& commands = Commands();
  switch (step.purpose) {
    case Purpose::List:
      entries_ = protocol::ParseBanList(commands, text);
      view_.ShowEntries(entries_);
      return;
    case Purpose::FindToDelete: {
      entries_ = protocol::ParseBanList(commands, text);
      view_.ShowEntries(entries_);
      const auto found = std::find_if(entries_.begin(), entries_.end(), [&step](const BanEntry& e) {
        return e.kind == step.entry.kind && e.address == step.entry.address && e.mask == step.entry.mask;
      });
      if (found == entries_.end()) {
        view_.ShowAnswer("The " + KindName(step.entry.kind) + " " + protocol::BanEntryText(step.entry) +
                         " is no longer on the list.");
        return;
      }
      queue_.push_front(Step{protocol::BanListCommand(commands), Purpose::List, {}});
      queue_.push_front(Step{protocol::RemoveBanCommand(commands, *found), Purpose::Change, {}});
      return;
    }
    case Purpose::Change:
    case Purpose::BanPlayer: {
      const std::string errors = protocol::BanErrors(commands, text);
      if (!errors.empty()) {
        // A refused ban kicks nobody.
        if (step.purpose == Purpose::BanPlayer)
          std::erase_if(queue_, [](const Step& s) { return s.purpose == Purpose::Kick; });
        view_.ShowAnswer(Shown(text));
        view_.ShowError(errors);
        return;
      }
      const std::string shown = Shown(text);
      if (!shown.empty()) view_.ShowAnswer(shown);
      return;
    }
    case Purpose::Kick:
      return;
    case Purpose::FileVariable:
      view_.ShowFileName(protocol::ParseCvarReply(std::string(protocol::kPrintHeader) + text, *game_).value);
      return;
    case Purpose::FilterVariable:
      view_.ShowFilterMode(protocol::ParseCvarReply(std::string(protocol::kPrintHeader) + text, *game_).value != "0");
      return;
  }
}

void BanSession::Open() {
  const protocol::BanCommands& commands = Commands();
  if (!commands.fileVariable.empty()) Queue(protocol::BanCommandText(commands.fileVariable), Purpose::FileVariable);
  if (!commands.filterVariable.empty())
    Queue(protocol::BanCommandText(commands.filterVariable), Purpose::FilterVariable);
  Refresh();
}

void BanSession::Refresh() { Queue(protocol::BanListCommand(Commands()), Purpose::List); }

bool BanSession::Add(const std::string& typed, BanKind kind) {
  const protocol::BanCommands& commands = Commands();
  if (kind == BanKind::Exception && commands.addException.empty()) return false;
  const protocol::BanAddress checked = protocol::CheckBanAddress(commands, typed);
  if (!checked.ok) {
    view_.ShowError(checked.error);
    return false;
  }
  if (!checked.warning.empty() && !view_.Confirm(checked.warning + "\rAdd it all the same?")) return true;
  Queue(protocol::AddBanCommand(commands, kind, checked.argument), Purpose::Change);
  Refresh();
  return true;
}

void BanSession::Delete(const BanEntry& entry) {
  std::string question = "Delete the " + KindName(entry.kind) + " " + protocol::BanEntryText(entry) + "?";
  if (entry.suspect) question += "\rThe server lists it oddly: it may stand for an entry of its file it could not read.";
  if (!view_.Confirm(question)) return;
  if (Commands().form == protocol::BanListForm::FilterList) {
    // Removed by its address, which names it exactly.
    Queue(protocol::RemoveBanCommand(Commands(), entry), Purpose::Change);
    Refresh();
    return;
  }
  Queue(protocol::BanListCommand(Commands()), Purpose::FindToDelete, entry);
}

void BanSession::Flush() {
  const protocol::BanCommands& commands = Commands();
  const std::string what = commands.addException.empty() ? "every entry of the list" : "every ban and every exception";
  if (!view_.Confirm("Delete " + what + " on the server?")) return;
  if (!commands.flush.empty()) {
    Queue(protocol::BanCommandText(commands.flush), Purpose::Change);
  } else {
    for (const BanEntry& entry : entries_) Queue(protocol::RemoveBanCommand(commands, entry), Purpose::Change);
  }
  Refresh();
}

void BanSession::ReloadFromFile() {
  if (Commands().reloadFile.empty()) return;
  Queue(protocol::BanCommandText(Commands().reloadFile), Purpose::Change);
  Refresh();
}

void BanSession::SaveToFile() {
  if (Commands().saveFile.empty()) return;
  Queue(protocol::BanCommandText(Commands().saveFile), Purpose::Change);
}

void BanSession::SetFilterMode(bool listBans) {
  const std::string_view variable = Commands().filterVariable;
  if (variable.empty()) return;
  Queue(" " + protocol::CheckCommand(variable, listBans), Purpose::Change);
  Queue(protocol::BanCommandText(variable), Purpose::FilterVariable);
}

void BanSession::BanPlayer(const std::string& clientNumber, const std::string& name, const std::string& address) {
  const protocol::BanCommands& commands = Commands();
  std::string command;
  if (commands.banByClientNumber) {
    command = protocol::BanClientCommand(commands, clientNumber);
  } else {
    const protocol::BanAddress checked = protocol::CheckBanAddress(commands, protocol::AddressHost(address));
    if (!checked.ok) {
      view_.ShowError(name + ": " + checked.error);
      return;
    }
    command = protocol::AddBanCommand(commands, BanKind::Ban, checked.argument);
  }
  view_.ShowAnswer("Banning " + name + " (" + address + ")...");
  Queue(command, Purpose::BanPlayer);
  Queue(protocol::KickCommand(clientNumber), Purpose::Kick);
  Refresh();
}

}  // namespace bans
