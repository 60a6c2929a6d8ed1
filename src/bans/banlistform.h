#pragma once
// TF_BanList, the ban list window of one server: a child window of the frame that lists the
// server's bans (and exceptions) and adds, deletes and flushes them, one window class for
// both games (their commands differ by the game's traits). It has its own UDP client, which
// shares the program's pacer with the server's other windows.
#include <QWidget>

#include <string>
#include <vector>

#include "bans/bansession.h"
#include "net/udpclient.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace platform {
class ColourTextDelegate;
}

class TF_BanList : public QWidget, private bans::BanView, private bans::BanTransport {
  Q_OBJECT
 public:
  explicit TF_BanList(const protocol::GameTraits& game, QWidget* parent = nullptr);
  ~TF_BanList() override;
  TF_BanList(const TF_BanList&) = delete;
  TF_BanList& operator=(const TF_BanList&) = delete;

  // The server: its address for the client, the password for every command.
  void SetServer(const std::string& host, const std::string& port, const std::string& password);
  // Opens the client (raises for a port that is not a number) and reads the list.
  void Open();
  bool IsServer(const std::string& host, const std::string& port) const;

  bans::BanSession& Session() { return session_; }
  TUDPClient& Client() { return client_; }
  // Bans a player from the monitor window's popup (the administrator has agreed already).
  void BanPlayer(const std::string& clientNumber, const std::string& name, const std::string& address);

  QLabel* L_Note;
  QLabel* L_File;              // the server's ban file (Quake 3)
  QCheckBox* CB_FilterBan = nullptr;  // filterban (Quake 2)
  QTreeWidget* LV_Bans;
  QPushButton* Btn_Add;
  QPushButton* Btn_AddException = nullptr;
  QPushButton* Btn_Delete;
  QPushButton* Btn_Flush;
  QPushButton* Btn_Reload;
  QPushButton* Btn_ReloadFile = nullptr;  // "Reload from the server's file"
  QPushButton* Btn_SaveFile = nullptr;    // "Save to the server's file"
  QPushButton* Btn_Close;
  QLabel* L_Answer;

  void Btn_AddClick();
  void Btn_AddExceptionClick();
  void Btn_DeleteClick();
  void Btn_FlushClick();

  // bans::BanView, public for tests that look at what the window shows.
  void ShowEntries(const std::vector<protocol::BanEntry>& entries) override;
  void ShowAnswer(const std::string& text) override;

 private:
  void AddEntry(protocol::BanKind kind);
  void ShowError(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ShowFileName(const std::string& name) override;
  void ShowFilterMode(bool listBans) override;
  void SetBusy(bool busy) override;
  void Send(const std::string& datagram, std::function<void()> onSent) override;
  std::string Password() override { return password_; }
  void ArmTimer(bans::TimePoint deadline) override;
  bans::TimePoint Now() override { return bans::Clock::now(); }

  const protocol::GameTraits* game_;
  TUDPClient client_;
  QTimer* timer_;
  std::string password_;
  bool listBans_ = true;
  bans::BanSession session_;
};

// Opens the ban list window of a server as a child of the frame, or brings forward the one
// open on that host and port, and returns it.
TF_BanList* OpenBanList(const protocol::GameTraits& game, const std::string& caption, const std::string& host,
                        const std::string& port, const std::string& password);
