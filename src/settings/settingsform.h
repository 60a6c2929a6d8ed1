#pragma once
// The server settings dialog: a grid of inputs built from the game's description file, each
// filled by the server's answer to a query of its variable. On "&Update server" the caller
// sends the inputs back through the monitor window (OpenServerSettings).
//
// An input whose value has not arrived, or arrived in a form the input cannot show, is
// "unknown": greyed, with a note in its tooltip, and it is sent back only once the
// administrator has edited it, so a lost reply never writes a blank, a 0 or an unchecked box
// over the server's value.
#include <QDialog>
#include <QTimer>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/udpclient.h"
#include "protocol/game.h"
#include "settings/fields.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace settings {
class SendSequence;
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
  void SetGame(const protocol::GameTraits& game) { game_ = &game; }
  const protocol::GameTraits& Game() const { return *game_; }

  void FormCreate();
  // Builds the grid from the description file (a native path) and queries every field's value.
  void BuildFields(const std::string& fileName);
  // OnData of Q3A_Client: one reply, put into the input it names.
  void Q3A_ClientData(TUDPClient& sender, int socket);
  void FormClose();

  // One reply datagram, as Q3A_ClientData handles it.
  void ApplyReply(const std::string& datagram);
  // The commands the update sends, in the order the inputs were built: every input the
  // administrator edited, and every input whose value arrived, unless sending that value back
  // unchanged would alter it on the server.
  std::vector<std::string> UpdateCommands() const;

  // The grid (the widget inside ScrollBox1 holding labels and inputs).
  QWidget* Grid() const { return grid_; }
  int InputCount() const { return static_cast<int>(inputs_.size()); }
  // Inputs that show the server's value (or were edited).
  int KnownCount() const;
  // Inputs that got any reply.
  int AnsweredCount() const;
  // Queries handed to the socket so far, and in all.
  int QueriesSent() const;
  int QueriesTotal() const;

  // How long after the last query the dialog stops saying it is still reading.
  static constexpr int kAnswerWaitMs = 5000;

 public slots:
  void done(int result) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  enum class ValueState { Unknown, Known, Edited };
  struct Input {
    std::string name;
    settings::InputKind kind = settings::InputKind::None;
    QWidget* widget = nullptr;
    QLabel* label = nullptr;
    std::string tooltip;     // from the description file
    ValueState state = ValueState::Unknown;
    bool answered = false;
    std::string unusable;    // a value that arrived but cannot be shown
  };

  void BuildInput(const settings::FieldPlan& plan, QLabel* label);
  void HandleEdited(size_t index);
  void ApplyValue(Input& input, const std::string& value);
  void ShowState(Input& input);
  void UpdateValuesLabel();
  void StartQueries(const std::vector<std::string>& queries);

  const protocol::GameTraits* game_ = &protocol::kQuake3;
  QWidget* grid_;
  std::vector<Input> inputs_;
  // The inputs of each name (settings::NameKey), so that a reply finds its input at once.
  std::unordered_map<std::string, std::vector<size_t>> inputsByName_;
  std::shared_ptr<settings::SendSequence> queries_;
  QTimer answerWait_;
  bool waitOver_ = false;
  bool closed_ = false;
};
