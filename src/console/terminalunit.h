#pragma once
// TTerminalForm, the remote console: a child window of the frame in which the administrator
// types any server command and reads what the server prints back. Each console has its own
// UDP client, password and command history; it does not poll and does not interpret replies,
// it shows every datagram that arrives on its socket.
//
// Consoles are opened with OpenTerminal, which the frame's open commands and the monitor
// windows call.
#include <QWidget>

#include <string>
#include <vector>

#include "net/udpclient.h"
#include "platform/mdi.h"

class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

class TTerminalForm : public QWidget, public platform::MergedMenuOwner {
  Q_OBJECT
 public:
  // FormCreate: an empty console with the shared look, not yet connected, not yet shown.
  explicit TTerminalForm(QWidget* parent = nullptr);
  ~TTerminalForm() override;
  TTerminalForm(const TTerminalForm&) = delete;
  TTerminalForm& operator=(const TTerminalForm&) = delete;

  QMenu* MergedMenu() override { return MainMenu1; }

  // The log as it holds the server's text: one 8-bit string per log line. Memo1 shows the
  // same lines, one paragraph each (carriage returns are kept here but not shown there).
  const std::vector<std::string>& LogLines() const { return FLog; }

  // Look changes made from any console reach every open console through these.
  void SetLogFont(const QFont& font, const QColor& color);
  void SetLogBackground(const QColor& color);

  // Controls
  QPlainTextEdit* Memo1;
  QFrame* Panel1;
  QFrame* P_Command;
  QLineEdit* E_Command;
  QFrame* Panel3;
  QPushButton* Btn_Close;
  QPushButton* Btn_Save;
  // The menu merged into the frame's menu bar while the console is active: "&Q3A Terminal".
  QMenu* MainMenu1;
  QAction* Save;
  QMenu* Settings1;
  QAction* Font1;
  QAction* Background1;
  // "Show Colour &Codes": lines with colour codes as they came, instead of in colour.
  QAction* ShowCodes1;

  TUDPClient Q3A_Client;

  // Commands sent from this console, oldest first, duplicates kept.
  std::vector<std::string> FHistory;
  // The entry the arrow keys show; the number of entries after each send.
  int FHistoryIndex = 0;
  // The remote-administration password put into every command.
  std::string FPassword;

  // Event handlers. The key handlers return whether they took the key.
  bool FormKeyPress(int key);  // key: the character typed (13 for Enter)
  bool E_CommandKeyDown(int keyCode);  // Windows key codes: 38 Up, 40 Down
  void Q3A_ClientData(TUDPClient& sender, int socket);
  // Adds one reply datagram to the log and shows it.
  void ShowReply(const std::string& datagram);
  void Memo1Enter();
  void P_CommandResize();
  void Btn_CloseClick();
  void Btn_SaveClick();
  void SaveClick() { Btn_SaveClick(); }
  void Font1Click();
  void Background1Click();
  void ShowCodes1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // FormClose: the socket closes with the window ("&Close", Close All, Exit), not later when
  // the window is deleted.
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void CreateMenu();
  // Appends log lines to Memo1 (from index `from` of FLog on) and shows the newest.
  void ShowLinesFrom(size_t from);
  // Shows the whole log again (its colours depend on the background and the codes option).
  void ShowAllLines();

  std::vector<std::string> FLog;
};

// Opens a remote console as a child window of the frame and greets the server:
//  1. creates the console and sets its caption;
//  2. sets its password, then Port and Host of its client, and opens the client;
//  3. adds it to the frame (platform::Frame()->AddChild; shown on its own when there is no
//     frame);
//  4. sends the opening command: the marker, "rcon ", the password and " status" (not echoed,
//     not in the history). Its reply is the first text in the log.
// A host that does not resolve or a server that does not answer simply shows no reply.
// A port text that is neither a number nor a UDP service name raises the client's
// platform::EConvertError "'<port>' is not a valid integer value"; the console is then
// destroyed before it was ever shown, so the caller's error handler shows the error and no
// empty window is left behind.
TTerminalForm* OpenTerminal(const std::string& caption, const std::string& password, const std::string& host,
                            const std::string& port);
