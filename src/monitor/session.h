#pragma once
// The monitor of one game server without any window: the connection state FState, the
// refresh timer's rules, the three-request refresh chain, the player, rule and map-list
// models and the player, map, game type and rule actions. The window implements the two
// small interfaces below and forwards its events here; everything the session decides it
// applies through them.
//
// One refresh while polling is a chain: the query, then " status" once the status response
// has come, then " serverinfo" once the status table has come. The timer starts no new
// chain while the previous one still waits for a reply, so that a chain queued behind the
// server's rate limit is never overtaken by the next one; a chain whose request has been
// on its way for longer than LostAfter() counts as lost. When it was the query that went
// unanswered (a Quake 3 server in single-player mode never answers it) while the remote
// commands are answered, the next tick carries on with " status", so the lists still
// refresh from the status table and the server info. When it was the remote status that
// went unanswered after the query was answered (some servers never answer it), later chains
// go from the status response straight on to " serverinfo": the player list then shows the
// names the status response gives. Either is tried again every few chains.
//
// While connecting, the timer asks for " status" and " serverinfo" in turn: an answer to
// either proves the password and starts the polling.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/lookuplist.h"
#include "monitor/selection.h"
#include "monitor/traits.h"
#include "platform/modalresult.h"
#include "protocol/assembler.h"
#include "protocol/classify.h"
#include "protocol/monitor_state.h"
#include "protocol/rows.h"

namespace monitor {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using protocol::PlayerRow;
using protocol::RuleRow;
using protocol::UserInfoRow;

enum class Lamp { Gray, Yellow, Red, Green };

// What the session shows. Modal calls (warnings, confirmations, the two dialogs) run a
// nested event loop in the window, during which replies keep arriving.
class MonitorView {
 public:
  virtual ~MonitorView() = default;
  virtual void ShowLamp(Lamp lamp) = 0;
  virtual void ShowWarning(const std::string& text) = 0;        // caption "Warning", OK
  virtual bool Confirm(const std::string& text) = 0;            // caption "Confirm", Yes/No
  virtual void ShowMessage(const std::string& text) = 0;        // plain box, one OK button
  virtual void SetStatusText(const std::string& text) = 0;      // status bar panel 0
  virtual std::string StatusText() const = 0;                   // what it shows now
  virtual void SetRefreshHint(const std::string& hint) = 0;     // the track bar's hint
  // The player rows in display order; the rules in reply order.
  virtual void ShowPlayers(const std::vector<PlayerRow>& rows) = 0;
  virtual void ShowRules(const std::vector<RuleRow>& rows) = 0;
  // Map box items, the map box text (from a reply: sends no command), the description
  // (label and picture hint), the game type box (-1: no selection).
  virtual void SetMapItems(const std::vector<std::string>& names) = 0;
  virtual void SetMapText(const std::string& text) = 0;
  virtual void SetMapDescription(const std::string& text) = 0;
  virtual void SetGameTypeIndex(int index) = 0;
  // Loads a picture by its Windows-style path into the level box or the player info
  // dialog; false when it cannot be loaded. A transparent picture is drawn without its
  // bottom-left pixel's colour.
  virtual bool ShowLevelPicture(const std::string& path, bool transparent) = 0;
  virtual bool ShowPlayerPicture(const std::string& path, bool transparent) = 0;
  // Runs the player info dialog modally and returns its modal result. While it is open,
  // ShowUserInfo fills it; after it closed ShowUserInfo must do nothing.
  virtual int RunPlayerInfo() = 0;
  virtual void ShowUserInfo(const std::vector<UserInfoRow>& rows) = 0;
  // Runs the change-setting dialog; true on OK, with the new value in `value`.
  virtual bool RunChangeSetting(const std::string& cvar, const std::string& oldValue, std::string& value) = 0;
};

// The client, the timers and the services the session uses.
class MonitorTransport {
 public:
  virtual ~MonitorTransport() = default;
  // Opens the client (no effect when it is open or opening). For a host name it returns at
  // once, Resolving() while the address is looked up; datagrams sent meanwhile wait for it, and
  // the window tells the session with LookupDone when it is known.
  virtual void Open() = 0;
  virtual bool Resolving() = 0;
  virtual void Close() = 0;
  // Sends one datagram; onSent runs once it has left (at once, or later when paced). It
  // does not run when the client closes first.
  virtual void Send(const std::string& datagram, std::function<void()> onSent) = 0;
  virtual std::string Password() = 0;  // the password box, now
  virtual std::string Host() = 0;      // the host the client was given
  virtual void StartRefreshTimer(int intervalMs) = 0;
  virtual void StopRefreshTimer() = 0;
  // Calls MonitorSession::PollReplies once at `deadline` (replaces an earlier one).
  virtual void ArmReplyTimer(TimePoint deadline) = 0;
  virtual TimePoint Now() = 0;
  virtual void Pause(unsigned milliseconds) = 0;
  // The reverse look-up of an address (no port): `done` gets the host name, or "Unknown IP",
  // later from the event loop.
  virtual void LookupHost(const std::string& address, std::function<void(const std::string&)> done) = 0;
};

class MonitorSession {
 public:
  // The refresh timer ticks this often until Connect applies the chosen interval.
  static constexpr int kIdleIntervalMs = 50;
  static constexpr int kDefaultPosition = 10;  // seconds
  // A chain request unanswered for this many poll intervals (at most kLostCap) is lost.
  static constexpr int kLostIntervals = 3;
  static constexpr std::chrono::milliseconds kLostCap{10000};
  static constexpr unsigned kKickPauseMs = 100;

  MonitorSession(const MonitorTraits& traits, MonitorView& view, MonitorTransport& transport);
  ~MonitorSession();
  MonitorSession(const MonitorSession&) = delete;
  MonitorSession& operator=(const MonitorSession&) = delete;

  // Creation: map list, map items, the idle timer. Called once the view can take calls.
  void Create();

  // Starts polling: applies the refresh interval, opens the client, sends " status". While
  // the client looks up the server's host name, the status bar says "Resolving HOST...".
  void Connect();
  // The client's look-up of the host name has ended: `failure` is empty when the client is open,
  // else the text of the error that keeps it closed (shown as "HOST: TEXT"; the window then
  // goes on as with any server that does not answer).
  void LookupDone(const std::string& failure);
  // Lamp yellow, then marker + " " + text.
  void SendQuery(const std::string& text);
  // Lamp yellow, then marker + "rcon " + the password box now + " " + command.
  void SendRcon(const std::string& command);
  // As SendRcon; onSent runs when the datagram has left (never after the session is gone).
  void SendRcon(const std::string& command, std::function<void()> onSent);

  // The track bar moved to `position` seconds (1..60).
  void TB_RefreshChange(int position);
  void RefreshTimerTimer();
  // "R&efresh" / "&Refresh": timer off, the query, timer on; in every state.
  void Refresh();
  // One datagram read from the client.
  void DataArrived(const std::string& datagram);
  // The reply timer armed through ArmReplyTimer has fired.
  void PollReplies();
  // The window closes: the client is closed.
  void Closing();

  // Player actions on the selected row (nullptr: none selected, nothing happens). Each acts on
  // the player the row showed when it was chosen: the list may change under the dialogs and
  // boxes they open, and a kick is not sent once that player has left.
  void PlayerInfo(const PlayerRow* row);
  // The player info dialog of the player with this client number (and the name its row shows).
  void ShowPlayerInfo(const std::string& num);
  void ShowPlayerInfo(PlayerKey player);
  void KickPlayer(const PlayerRow* row);
  // Shows "ADDRESS => HOST" once the reverse look-up has answered (the status bar says
  // "Looking up ADDRESS..." meanwhile); the window goes on polling while it waits.
  void NameLookup(const PlayerRow* row);
  // "Say to all": the message to every player. "Tell player": to the player of the row, on
  // a game that has such a command. Each first says what the server would change in the text
  // and asks; an empty text sends nothing.
  void Say(const std::string& text);
  void Tell(const PlayerRow* row, const std::string& text);
  // "Ban player": asks, naming the player and the address. The player as the list shows it
  // once the administrator agreed, or nothing (declined, no address to ban, gone meanwhile).
  std::optional<PlayerRow> ConfirmBan(const PlayerRow* row);
  // The user chose a map (picked from the list or confirmed with Enter): " map " + text.
  void MapChosen(const std::string& text);
  // The user picked a game type: " g_gametype " + index.
  void GameTypeChosen(int index);
  // Double click on the rules list.
  void ChangeRule(const RuleRow* row);
  // Loads the map list of a game type into FMapList and the map box (Quake 3).
  void SelectMapList(int gameType);
  // The command a rule change sends for `rule` as listed and the new value.
  std::string RuleCommand(const std::string& rule, const std::string& value) const;

  // State, for the window and for tests.
  TMonitorState FState = msIdle;
  int FGameType = -1;
  TLookupList FMapList;
  const std::vector<PlayerRow>& Players() const { return players_; }  // display order
  const std::vector<RuleRow>& Rules() const { return rules_; }
  const std::vector<UserInfoRow>& UserInfo() const { return userInfo_; }
  int IntervalMs() const { return intervalMs_; }
  int Position() const { return position_; }
  Lamp LampColour() const { return lamp_; }
  // True while a refresh chain waits for a reply that is not yet lost.
  bool ChainWaiting() const;
  std::chrono::milliseconds LostAfter() const;
  const MonitorTraits& Traits() const { return *traits_; }
  // Sets the lamp.
  void SetLamp(Lamp lamp);
  // While held the lamp shows green whatever is sent or arrives (the settings editor's update
  // runs for many seconds while the window goes on polling); released, it stays green until
  // the next send or arrival.
  void HoldLampGreen(bool held);

 private:
  enum class Step { None, Query, Status, ServerInfo };

  void Send(const std::string& datagram, Step step, std::function<void()> onSent = {});
  void HandleReply(const std::string& reply);
  void Apply(const protocol::ReplyDecision& decision, const std::string& reply);
  void ParseTable(const std::string& reply);
  void ParseInfo(const std::string& reply);
  void ParseUser(const std::string& reply);
  void GameTypeEffect(const std::string& value);
  void MapNameEffect(const std::string& value);
  void ShowQuestionPicture();
  // Whether the player is still in the list; when not, says so and returns false.
  bool StillThere(const PlayerKey& player);
  // Asks about the changes the server makes to a message; true when it may go.
  bool MessageMayGo(const std::string& text);
  void ShowPlayers();
  void ArmReplyTimer();
  // Empties the status bar if it still shows this progress text.
  void EndProgress(const std::string& text);

  const MonitorTraits* traits_;
  MonitorView& view_;
  MonitorTransport& transport_;
  protocol::ReplyAssembler assembler_;
  std::vector<PlayerRow> rows_;     // in the order rows were added (the parsers' list order)
  std::vector<PlayerRow> players_;  // as shown
  std::vector<RuleRow> rules_;
  std::vector<UserInfoRow> userInfo_;
  Lamp lamp_ = Lamp::Gray;
  bool lampHeld_ = false;
  int position_ = kDefaultPosition;
  int intervalMs_ = kIdleIntervalMs;

  // The refresh chain: the step whose reply is awaited, when its request left (none while
  // it is still queued), and whether the last chain was lost waiting for the query.
  Step step_ = Step::None;
  std::optional<TimePoint> stepSentAt_;
  bool queryUnanswered_ = false;
  bool statusUnanswered_ = false;
  bool chainAskedQuery_ = false;    // the chain under way began with the query
  bool tableReplacesList_ = false;  // the table answers a chain that skipped the query
  int chainsWithoutQuery_ = 0;
  int chainsWithoutStatus_ = 0;
  int connectTries_ = 0;            // requests sent while connecting
  int queued_ = 0;                  // datagrams handed to the client that have not left yet
  std::string resolving_;           // the status text shown while the host name is looked up
  std::shared_ptr<bool> alive_;     // guards the onSent callbacks
};

}  // namespace monitor
