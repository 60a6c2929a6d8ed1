#pragma once
// A window stand-in for the monitor session: records what the session shows and sends, and
// answers its dialogs and boxes from a script.
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "monitor/session.h"

namespace test {

class FakeMonitor : public monitor::MonitorView, public monitor::MonitorTransport {
 public:
  // Datagrams handed to Send, in order.
  std::vector<std::string> sent;
  // When true, onSent callbacks are kept in `queued` (a pacer holding them) until Release.
  bool holdSends = false;
  std::deque<std::function<void()>> queued;
  std::string password = "pw";
  std::string host = "game.example.org";
  monitor::TimePoint now = monitor::TimePoint{} + std::chrono::hours(1);
  int opened = 0;
  int closed = 0;
  int timerInterval = -1;
  bool timerRunning = false;
  std::vector<unsigned> pauses;
  // Reverse look-ups asked for, and their answers, which AnswerLookups gives in order.
  std::vector<std::string> lookups;
  std::deque<std::function<void(const std::string&)>> pendingLookups;
  // The client's host-name look-up: Open starts one while `resolving` is set.
  bool resolving = false;

  std::vector<monitor::Lamp> lamps;
  std::vector<std::string> warnings, confirms, messages, statusTexts;
  std::deque<bool> confirmAnswers;  // empty: No
  std::string hint;
  std::vector<monitor::PlayerRow> players;
  std::vector<monitor::RuleRow> rules;
  std::vector<std::string> mapItems;
  int mapItemsCalls = 0;
  std::string mapText;
  std::string description;
  int gameTypeIndex = -2;
  // Pictures that load; every other path fails.
  std::set<std::string> pictures;
  std::vector<std::pair<std::string, bool>> levelPictures, playerPictures;
  // The player info dialog: runs while "open", returns the modal result.
  std::function<int()> playerInfo;
  bool dialogOpen = false;
  std::vector<monitor::UserInfoRow> userInfo;
  int userInfoOutsideDialog = 0;
  // The change-setting dialog: {OK?, new value}; records what it was shown.
  std::deque<std::pair<bool, std::string>> changeAnswers;
  std::vector<std::pair<std::string, std::string>> changeShown;

  void Release() {
    while (!queued.empty()) {
      auto f = std::move(queued.front());
      queued.pop_front();
      f();
    }
  }
  std::string Last() const { return sent.empty() ? std::string() : sent.back(); }
  void AnswerLookups(const std::string& name) {
    while (!pendingLookups.empty()) {
      auto done = std::move(pendingLookups.front());
      pendingLookups.pop_front();
      done(name);
    }
  }

  // MonitorView
  void ShowLamp(monitor::Lamp lamp) override { lamps.push_back(lamp); }
  void ShowWarning(const std::string& text) override { warnings.push_back(text); }
  bool Confirm(const std::string& text) override {
    confirms.push_back(text);
    if (confirmAnswers.empty()) return false;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  std::string StatusText() const override { return statusTexts.empty() ? std::string() : statusTexts.back(); }
  void SetRefreshHint(const std::string& text) override { hint = text; }
  void ShowPlayers(const std::vector<monitor::PlayerRow>& rows) override { players = rows; }
  void ShowRules(const std::vector<monitor::RuleRow>& rows) override { rules = rows; }
  void SetMapItems(const std::vector<std::string>& names) override {
    mapItems = names;
    ++mapItemsCalls;
  }
  void SetMapText(const std::string& text) override { mapText = text; }
  void SetMapDescription(const std::string& text) override { description = text; }
  void SetGameTypeIndex(int index) override { gameTypeIndex = index; }
  bool ShowLevelPicture(const std::string& path, bool transparent) override {
    levelPictures.emplace_back(path, transparent);
    return pictures.count(path) > 0;
  }
  bool ShowPlayerPicture(const std::string& path, bool transparent) override {
    playerPictures.emplace_back(path, transparent);
    return pictures.count(path) > 0;
  }
  int RunPlayerInfo() override {
    dialogOpen = true;
    const int result = playerInfo ? playerInfo() : 1;
    dialogOpen = false;
    return result;
  }
  void ShowUserInfo(const std::vector<monitor::UserInfoRow>& rows) override {
    if (!dialogOpen) ++userInfoOutsideDialog;
    userInfo = rows;
  }
  bool RunChangeSetting(const std::string& cvar, const std::string& oldValue, std::string& value) override {
    changeShown.emplace_back(cvar, oldValue);
    if (changeAnswers.empty()) return false;
    auto [ok, text] = changeAnswers.front();
    changeAnswers.pop_front();
    if (ok) value = text;
    return ok;
  }

  // MonitorTransport
  void Open() override { ++opened; }
  bool Resolving() override { return resolving; }
  void Close() override {
    ++closed;
    queued.clear();
  }
  void Send(const std::string& datagram, std::function<void()> onSent) override {
    sent.push_back(datagram);
    if (holdSends) {
      queued.push_back(std::move(onSent));
    } else if (onSent) {
      onSent();
    }
  }
  std::string Password() override { return password; }
  std::string Host() override { return host; }
  void StartRefreshTimer(int intervalMs) override {
    timerInterval = intervalMs;
    timerRunning = true;
  }
  void StopRefreshTimer() override { timerRunning = false; }
  void ArmReplyTimer(monitor::TimePoint) override {}
  monitor::TimePoint Now() override { return now; }
  void Pause(unsigned ms) override { pauses.push_back(ms); }
  void LookupHost(const std::string& address, std::function<void(const std::string&)> done) override {
    lookups.push_back(address);
    pendingLookups.push_back(std::move(done));
  }
};

}  // namespace test
