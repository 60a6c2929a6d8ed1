#pragma once
// The ban list of one server without any window: it sends one remote command at a time on
// the window's own client, joins the command's printed answer, and lists the entries again
// after every change from the server's own answer. The window implements the two small
// interfaces below and forwards its events here.
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/bans.h"
#include "protocol/game.h"

namespace bans {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

class BanView {
 public:
  virtual ~BanView() = default;
  virtual void ShowEntries(const std::vector<protocol::BanEntry>& entries) = 0;
  // The status line: the server's last answer, or what is under way.
  virtual void ShowAnswer(const std::string& text) = 0;
  // An error the server answered, as it came (a warning box).
  virtual void ShowError(const std::string& text) = 0;
  virtual bool Confirm(const std::string& text) = 0;
  // The server's ban file (Quake 3), or whether the list bans (true) or admits only (Quake 2).
  virtual void ShowFileName(const std::string& name) = 0;
  virtual void ShowFilterMode(bool listBans) = 0;
  // True while commands wait for their answers.
  virtual void SetBusy(bool busy) = 0;
};

class BanTransport {
 public:
  virtual ~BanTransport() = default;
  // Sends one datagram; onSent runs once it has left (later when paced).
  virtual void Send(const std::string& datagram, std::function<void()> onSent) = 0;
  virtual std::string Password() = 0;
  // Calls BanSession::TimerFired once at `deadline` (replaces an earlier one).
  virtual void ArmTimer(TimePoint deadline) = 0;
  virtual TimePoint Now() = 0;
};

class BanSession {
 public:
  // A command whose answer has not begun within this long after it left is given up.
  static constexpr std::chrono::milliseconds kAnswerTimeout{4000};
  // A datagram filled nearly to the server's print buffer may be followed by the rest of the
  // answer within this long.
  static constexpr std::chrono::milliseconds kContinuation{250};

  BanSession(const protocol::GameTraits& game, BanView& view, BanTransport& transport);
  ~BanSession();
  BanSession(const BanSession&) = delete;
  BanSession& operator=(const BanSession&) = delete;

  const protocol::BanCommands& Commands() const { return *game_->bans; }
  const std::vector<protocol::BanEntry>& Entries() const { return entries_; }
  bool Busy() const { return current_.has_value() || !queue_.empty(); }

  // Asks for the server's ban file or filter mode, then the list.
  void Open();
  // "Reload": the list again.
  void Refresh();
  // Checks the typed address; on an error shows it and returns false (nothing is sent).
  // A warning is asked about first. Then the add command and the list.
  bool Add(const std::string& typed, protocol::BanKind kind);
  // Asks, naming the entry; lists again, and deletes the entry by its number in that fresh
  // list (another administrator may have changed it), then lists again.
  void Delete(const protocol::BanEntry& entry);
  // Asks; every entry goes (one command, or one per entry where the game has none for all).
  void Flush();
  // Reads the server's saved ban file again (games whose servers may not read it at start).
  void ReloadFromFile();
  // Writes the list to the server's file (games that do not save on each change).
  void SaveToFile();
  // Whether the list bans (true) or admits only (false), where the game can say.
  void SetFilterMode(bool listBans);
  // Bans the player (by client number where the game can, else by its address) and, when the
  // server took the ban, kicks it; the refusal of a ban (a bot) is shown and nobody is kicked.
  void BanPlayer(const std::string& clientNumber, const std::string& name, const std::string& address);

  void DataArrived(const std::string& datagram);
  void TimerFired();
  // The window closes: nothing more is sent or handled.
  void Closing();

 private:
  enum class Purpose { List, Change, BanPlayer, Kick, FileVariable, FilterVariable, FindToDelete };
  struct Step {
    std::string command;  // with its leading space
    Purpose purpose;
    protocol::BanEntry entry{};  // FindToDelete: the entry to find
  };

  void Queue(std::string command, Purpose purpose, protocol::BanEntry entry = {});
  void SendNext();
  void Finish();
  void Handle(const Step& step, const std::string& text);
  void Arm();

  const protocol::GameTraits* game_;
  BanView& view_;
  BanTransport& transport_;
  std::deque<Step> queue_;
  std::optional<Step> current_;
  std::optional<TimePoint> sentAt_;         // when the current command left
  std::optional<TimePoint> continuation_;   // until when the rest of an answer may come
  std::vector<std::string> chunks_;
  std::vector<protocol::BanEntry> entries_;
  std::shared_ptr<bool> alive_;
};

}  // namespace bans
