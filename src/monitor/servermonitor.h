#pragma once
// The monitor window of one game server, for both games: a multiple-document child that
// polls its server, shows map, rules and players, and offers the player, map, game type and
// rule actions. TF_Q3Server and TF_Q2Server are this window with their game's traits.
//
// Opening one (what the frame's open commands do):
//   auto* window = new TF_Q3Server;                  // sized; host "", port "27960", password ""
//   window->setWindowTitle(...);                     // the caption
//   window->E_Password->setText(...); window->E_Port->setText(...); window->E_Hostname->setText(...);
//   window->Client().Host = host; window->Client().Port = port; window->Client().Open();
//   platform::Frame()->AddChild(window);
//   window->Connect();                               // " status" goes out, polling starts
//
// A host name is looked up off the GUI thread: the window opens at once, says "Resolving
// HOST..." in its status bar, and its first " status" leaves once the address is known.
//
// The window holds no logic of its own: events go to its monitor::MonitorSession, which
// answers through the view and transport interfaces this class implements.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/session.h"
#include "monitor/traits.h"
#include "net/udpclient.h"
#include "platform/mdi.h"
#include "settings/settingshost.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class QTreeWidget;
class TPlayerInfoForm;

namespace monitor {
class PictureBox;
class UpDown;
}
namespace platform {
class ColourTextDelegate;
}

class TF_ServerMonitor : public QWidget,
                         public platform::MergedMenuOwner,
                         public TSettingsHost,
                         private monitor::MonitorView,
                         private monitor::MonitorTransport {
 Q_OBJECT

 public:
  explicit TF_ServerMonitor(const monitor::MonitorTraits& traits, QWidget* parent = nullptr);
  ~TF_ServerMonitor() override;
  TF_ServerMonitor(const TF_ServerMonitor&) = delete;
  TF_ServerMonitor& operator=(const TF_ServerMonitor&) = delete;

  // Applies the refresh interval, opens the client (no effect when open) and sends " status".
  void Connect();
  // The window's two ways of sending; both turn the lamp yellow. SendRcon reads the
  // password box at each call.
  void SendQuery(const std::string& text);
  void SendRcon(const std::string& command);

  // The window's UDP client (Q3A_Client / Q2_Client): Host and Port are set by the opener.
  TUDPClient& Client() { return client_; }
  monitor::MonitorSession& Session() { return session_; }
  const monitor::MonitorTraits& Traits() const { return *traits_; }
  TMonitorState State() const { return session_.FState; }

  // The connection lamp P_Connection: gray, yellow on a send, red on an arrival, green while
  // the settings editor sends its updates.
  void SetLamp(monitor::Lamp lamp) { session_.SetLamp(lamp); }
  monitor::Lamp LampState() const { return session_.LampColour(); }
  QColor LampColor() const;
  // Panel 0 of StatusBar1: the text as given (StatusPanel0 shows it on one line).
  void SetStatusText(const std::string& text) override;
  std::string StatusText() const override;

  // TSettingsHost: what the settings editor opened from this window uses.
  const protocol::GameTraits& Game() const override { return *traits_->wire; }
  std::string ClientHost() const override { return client_.Host; }
  std::string ClientPort() const override { return client_.Port; }
  std::string PasswordText() const override;
  void HoldUpdateLamp(bool updating) override { session_.HoldLampGreen(updating); }
  void SendRcon(const std::string& command, std::function<void()> onSent) override;
  QWidget* HostWindow() override { return this; }

  QMenu* MergedMenu() override { return MenuItem; }
  // The creation size, so that a frame shows the window at it.
  QSize sizeHint() const override;

  // Controls, named as the window's resource names them.
  QFrame* P_Main;
  QFrame* P_Connection;
  QLabel* Label1;  // "Hostname:"
  QLabel* Label2;  // "Port:"
  QLabel* Label3;  // "Rcon Password:"
  QLabel* Label4;  // "Refresh Interval:"
  QLabel* Label5;  // "Map:"
  QLabel* Label6 = nullptr;  // "Gametype:" (Quake 3)
  QLineEdit* E_Hostname;
  QLineEdit* E_Port;
  monitor::UpDown* UP_Port;
  QLineEdit* E_Password;
  QSlider* TB_Refresh;
  QComboBox* CB_Map;
  QComboBox* CB_GameType = nullptr;  // Quake 3
  QLabel* L_MapName;
  QFrame* P_Level;
  monitor::PictureBox* Image_Level;
  QWidget* P_Details;
  QTreeWidget* LV_Players;
  QTreeWidget* LV_Settings;
  // The message line: a text for the players, "Say to &All" and "&Tell Player" (the selected
  // player; on games that can).
  QFrame* P_Message;
  QLineEdit* E_Message;
  QPushButton* Btn_Say;
  QPushButton* Btn_Tell = nullptr;
  QStatusBar* StatusBar1;
  QLabel* StatusPanel0;
  QMenu* PM_Players;
  QAction* Refresh2;
  QAction* N3 = nullptr;  // separator (Quake 3)
  QAction* PlayerInfo1;
  QAction* Kickplayer1;
  QAction* NameLookup1;
  QAction* TellPlayer1 = nullptr;  // "&Tell Player..." (games that can)
  QAction* BanPlayer1;             // "&Ban Player"
  QAction* Bans2;                  // "&Bans"
  QMenu* MenuItem;  // "&Q3  Arena Server" / "&Q2 Server", merged into the frame (group 100)
  QAction* Save1;
  QAction* SaveAs1;
  QAction* PrintPreview1;
  QAction* PrinterSetup1;
  QAction* Refresh1;
  QAction* RemoteConsole1;
  QAction* Settings1 = nullptr;
  QAction* Bans1;       // "&Bans": the server's ban list window
  QAction* SayToAll1;   // "Sa&y to All..."
  QAction* ShowCodes1;  // "Show Colour &Codes": names and values with their codes, uncoloured
  QTimer* RefreshTimer;
  // The player info dialog of the current request, while it is open.
  QPointer<TPlayerInfoForm> FPlayerInfo;

  // Event handlers.
  void FormShow();
  void RefreshTimerTimer() { session_.RefreshTimerTimer(); }
  void TB_RefreshChange();
  void Refresh1Click() { session_.Refresh(); }
  void Refresh2Click() { session_.Refresh(); }
  void P_DetailsResize();
  void RemoteConsole1Click();
  void Settings1Click();
  void PlayerInfo1Click();
  void LV_PlayersDblClick() { PlayerInfo1Click(); }
  void Kickplayer1Click();
  void NameLookup1Click();
  void LV_SettingsDblClick();
  void CB_GameTypeChange(int index);
  void Btn_SayClick();
  void Btn_TellClick();
  void SayToAll1Click();
  void TellPlayer1Click();
  void BanPlayer1Click();
  void Bans1Click();
  void ShowCodes1Click();
  // The data handler of the client (Q3A_ClientData / Q2_ClientData): reads one datagram.
  void ClientData();

  // The selected player row as the session holds it, or nullptr (the list may be sorted by a
  // heading: each item knows the row it shows).
  const monitor::PlayerRow* SelectedPlayer() const;

 signals:
  // The window asks for what other parts of the program serve; the application connects
  // them when it opens the window. "&Remote Console": a console with this caption on the
  // server the boxes name now.
  void RemoteConsoleRequested(const std::string& caption, const std::string& password, const std::string& host,
                              const std::string& port);
  // "&Settings": the settings editor on this window's server. The item shows only while
  // something is connected to this request.
  void SettingsRequested(TF_ServerMonitor* window);
  // "&Bans": the ban list window of this window's server. "&Ban Player": that window bans the
  // player (by client number where the game can, else by address) and kicks it. The items
  // show only while something is connected to the requests.
  void BanListRequested(TF_ServerMonitor* window);
  void BanPlayerRequested(TF_ServerMonitor* window, const std::string& clientNumber, const std::string& name,
                          const std::string& address);

 protected:
  void connectNotify(const QMetaMethod& signal) override;
  void disconnectNotify(const QMetaMethod& signal) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTopPanel();
  void CreateDetails();
  void CreateMenus();
  void UpdateSettingsItem();
  void CreateMessageLine();
  // Runs the message dialog; false when cancelled.
  bool AskMessage(const std::string& caption, std::string& text);

  // monitor::MonitorView
  void ShowLamp(monitor::Lamp lamp) override;
  void ShowWarning(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  void SetRefreshHint(const std::string& hint) override;
  void ShowPlayers(const std::vector<monitor::PlayerRow>& rows) override;
  void ShowRules(const std::vector<monitor::RuleRow>& rows) override;
  void SetMapItems(const std::vector<std::string>& names) override;
  void SetMapText(const std::string& text) override;
  void SetMapDescription(const std::string& text) override;
  void SetGameTypeIndex(int index) override;
  bool ShowLevelPicture(const std::string& path, bool transparent) override;
  bool ShowPlayerPicture(const std::string& path, bool transparent) override;
  int RunPlayerInfo() override;
  void ShowUserInfo(const std::vector<monitor::UserInfoRow>& rows) override;
  bool RunChangeSetting(const std::string& cvar, const std::string& oldValue, std::string& value) override;

  // monitor::MonitorTransport
  void Open() override { client_.Open(); }
  bool Resolving() override { return client_.State == ssResolving; }
  void Close() override { client_.Close(); }
  void Send(const std::string& datagram, std::function<void()> onSent) override;
  std::string Password() override;
  std::string Host() override { return client_.Host; }
  void StartRefreshTimer(int intervalMs) override;
  void StopRefreshTimer() override;
  void ArmReplyTimer(monitor::TimePoint deadline) override;
  monitor::TimePoint Now() override { return monitor::Clock::now(); }
  void Pause(unsigned milliseconds) override;
  void LookupHost(const std::string& address, std::function<void(const std::string&)> done) override;

  const monitor::MonitorTraits* traits_;
  TUDPClient client_;
  QTimer* replyTimer_;
  monitor::MonitorSession session_;
  bool finishingMapEdit_ = false;  // inside the map box's editingFinished
  int settingsReceivers_ = 0;      // connections to SettingsRequested
  int banReceivers_ = 0;           // connections to BanListRequested and BanPlayerRequested
  platform::ColourTextDelegate* playerColours_;
  platform::ColourTextDelegate* ruleColours_;
  std::string statusText_;
};
