#pragma once
// The server board: a multiple-document child that lists every stored server with a lamp
// (answering, not answering, refused), its name, address, game, map, game type, players
// (people / bots / slots), the round trip of the status query and the time since it last
// answered, and a log of the alerts. It polls through one UDP socket for all servers.
//
// Opening one (what the frame's "Server &Board" command does):
//   auto* board = new TF_Board;                  // loads the board's settings from Corvane.ini
//   board->SetServers(LoadServerList());         // again whenever the address book changes
//   platform::Frame()->AddChild(board);
//
// The window holds no logic of its own: board::BoardSession polls and decides, this class
// supplies the socket, the clock and the timer, and shows what the session reports.
#include <QWidget>

#include <string>
#include <vector>

#include "addressbook/serverstore.h"
#include "board/boardstore.h"
#include "board/session.h"
#include "net/udpmulticlient.h"

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QSplitter;
class QTimer;
class QTreeView;
class QTreeWidget;

namespace board {
class BoardModel;
}

class TF_Board : public QWidget, private board::BoardTransport, private board::BoardListener {
  Q_OBJECT
 public:
  // The log keeps this many alerts, the newest first.
  static constexpr int kLogLimit = 1000;

  explicit TF_Board(QWidget* parent = nullptr);
  ~TF_Board() override;
  TF_Board(const TF_Board&) = delete;
  TF_Board& operator=(const TF_Board&) = delete;

  // The stored servers, in the address book's order (passwords are not needed).
  void SetServers(const std::vector<ServerEntry>& entries);

  board::BoardSession& Session() { return session_; }
  const board::BoardSettings& Settings() const { return settings_; }
  net::UdpMultiClient& Client() { return client_; }
  // The server shown in a row of the view (after sorting), or nullptr.
  const board::ServerRow* RowAt(int viewRow) const;
  // The view row that shows a server of the session (its index in Rows()).
  int ViewRow(int sessionRow) const;

  QSize sizeHint() const override;

  // Controls.
  QLabel* L_Interval;
  QSpinBox* SE_Interval;
  QPushButton* Btn_Refresh;
  QPushButton* Btn_WatchList;
  QLabel* L_Summary;
  QSplitter* SP_Board;
  QTreeView* LV_Servers;
  QTreeWidget* LV_Log;
  QTimer* PollTimer;  // the session's timer
  QTimer* AgeTimer;   // counts the ages on, once a second

  // Event handlers.
  void SE_IntervalChange();
  void Btn_RefreshClick();
  // Shows the watch list dialog; OK stores and applies the new list and alert kinds.
  void Btn_WatchListClick();
  void LV_ServersDblClick(int viewRow);
  void AgeTimerTimer();

 signals:
  // Double click on a server: its monitor window, opened or brought forward (the entry has no
  // password; the application reads it from the address book).
  void ServerWindowRequested(const ServerEntry& server);
  // An alert, also shown in the board's own log.
  void AlertRaised(const board::Alert& alert);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateTop();
  void CreateLists();
  void UpdateSummary();
  void SaveSettings();

  // board::BoardTransport
  void Resolve(const std::string& host, const std::string& port, Resolved done) override;
  void Send(const net::Endpoint& server, const std::string& datagram, bool paced, std::function<void()> onSent) override;
  board::TimePoint Now() override { return board::Clock::now(); }
  void ArmTimer(board::TimePoint when) override;
  // board::BoardListener
  void RowsReset() override;
  void RowChanged(std::size_t row) override;
  void ShowAlert(const board::Alert& alert) override;

  net::UdpMultiClient client_;
  board::BoardSettings settings_;
  board::BoardSession session_;
  board::BoardModel* model_;
  QSortFilterProxyModel* sorted_;
};
