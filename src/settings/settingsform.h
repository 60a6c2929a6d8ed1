#pragma once
// The server settings dialog: a grid of inputs built from the game's description file, filled
// from the server's listing of all its variables ("cvarlist", one request however many fields
// there are). A field the whole listing does not hold is then asked for with a query of its
// own; when the listing does not come whole within kListingWaitMs of its request (a datagram
// lost), or a datagram of it is missing, every field is asked for that way. On "&Update
// server" the caller sends the inputs back through the monitor window (OpenServerSettings).
// What the dialog knows of each value (unknown, known, edited; answered or not) and what an
// update sends is its settings::ValueModel; the dialog shows it.
#include <QDialog>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "net/udpclient.h"
#include "protocol/cvarlist.h"
#include "protocol/game.h"
#include "settings/fields.h"
#include "settings/valuemodel.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace settings {
class SendSequence;
class SettingInput;
}

class TF_Settings : public QDialog {
  Q_OBJECT

 public:
  explicit TF_Settings(QWidget* parent = nullptr);
  ~TF_Settings() override;

  QTabWidget* PageControl1;
  QWidget* TS_Q3AServerSettings;
  QScrollArea* ScrollBox1;
  QPushButton* Btn_Ok;
  QPushButton* Btn_Cancel;
  QLabel* L_Values;  // how many of the server's values have arrived
  QWidget* TS_Settings;
  QFrame* Panel1;
  QLabel* Label1;
  QLineEdit* E_CustomSettingsFile;
  QToolButton* SpeedButton1;
  QLabel* Label2;

  TUDPClient Q3A_Client;
  int FFieldSlot = 0;
  std::string FRconPassword;

  // The game of the window the dialog was opened from (command forms, reply form). Quake 3
  // unless set before BuildFields.
  void SetGame(const protocol::GameTraits& game) {
    game_ = &game;
    model_ = settings::ValueModel(game);
  }
  const protocol::GameTraits& Game() const { return *game_; }

  void FormCreate();
  // Builds the grid from the description file (a native path) and asks for the values.
  void BuildFields(const std::string& fileName);
  // OnData of Q3A_Client: one datagram, handled by HandleReply.
  void Q3A_ClientData(TUDPClient& sender, int socket);
  void FormClose();

  // One datagram that arrived: a piece of the listing while it is awaited, else the answer to
  // a query of one variable.
  void HandleReply(std::string datagram);
  // The answer to a query of one variable, put into the inputs it names.
  void ApplyReply(const std::string& datagram);
  // The commands the update sends, in the order the inputs were built: every input the
  // administrator edited, and every input whose value arrived, unless sending that value back
  // unchanged would alter it on the server.
  std::vector<std::string> UpdateCommands() const;

  // The grid (the widget inside ScrollBox1 holding labels and inputs).
  QWidget* Grid() const { return grid_; }
  int InputCount() const { return static_cast<int>(inputs_.size()); }
  // Inputs that show the server's value (or were edited).
  int KnownCount() const { return model_.KnownCount(); }
  // Inputs that got any reply.
  int AnsweredCount() const { return model_.AnsweredCount(); }
  // Requests for values (the listing, queries of one variable) handed to the socket so far, and
  // in all.
  int QueriesSent() const;
  int QueriesTotal() const;
  // Whether the dialog still waits for the listing.
  bool ReadingListing() const { return listing_ != nullptr; }

  // How long after the listing's request the dialog waits for the whole listing.
  static constexpr int kListingWaitMs = 3000;
  // How long after the last query the dialog stops saying it is still reading.
  static constexpr int kAnswerWaitMs = 5000;

 public slots:
  void done(int result) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildInput(const settings::FieldPlan& plan, QLabel* label);
  void HandleEdited(size_t index);
  void ShowState(size_t index);
  void UpdateValuesLabel();
  void StartListing();
  void ReadListing(const std::string& datagram);
  // The listing is over: asks for these variables one by one.
  void EndListing(const std::vector<std::string>& names);
  void StartQueries(const std::vector<std::string>& names);

  const protocol::GameTraits* game_ = &protocol::kQuake3;
  settings::ValueModel model_{protocol::kQuake3};
  QWidget* grid_;
  // Input i of the model, and its caption.
  std::vector<settings::SettingInput*> inputs_;
  std::vector<QLabel*> labels_;
  // The names of the fields whose values are asked for, in grid order.
  std::vector<std::string> queryNames_;
  std::unique_ptr<protocol::CvarListReader> listing_;  // while the listing is awaited
  int listingsSent_ = 0;
  int listingsTotal_ = 0;
  QTimer listingWait_;
  bool refused_ = false;
  std::shared_ptr<settings::SendSequence> queries_;
  QTimer answerWait_;
  bool waitOver_ = false;
  bool closed_ = false;
};
