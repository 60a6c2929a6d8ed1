#include "monitor/servermonitor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <utility>

#include "monitor/changesetting.h"
#include "monitor/listview.h"
#include "monitor/messageform.h"
#include "monitor/picturebox.h"
#include "monitor/playerinfoform.h"
#include "monitor/updown.h"
#include "platform/colourtext.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/sleep.h"
#include "platform/text.h"

namespace {

constexpr int kWindowMargin = 25;
constexpr int kLevelLeft = 417;
constexpr int kLevelWidth = 133;

QColor ColourOf(monitor::Lamp lamp) {
  switch (lamp) {
    case monitor::Lamp::Gray:
      return {128, 128, 128};
    case monitor::Lamp::Yellow:
      return {255, 255, 0};
    case monitor::Lamp::Red:
      return {255, 0, 0};
    case monitor::Lamp::Green:
      return {0, 255, 0};
  }
  return {128, 128, 128};
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace

TF_ServerMonitor::TF_ServerMonitor(const monitor::MonitorTraits& traits, QWidget* parent)
    : QWidget(parent), traits_(&traits), session_(traits, *this, *this) {
  setObjectName(QString::fromLatin1(traits.formName.data(), static_cast<int>(traits.formName.size())));
  setWindowTitle(objectName());
  setAttribute(Qt::WA_DeleteOnClose);

  client_.Paced = traits.wire->rateLimited;
  client_.OnData = [this](TUDPClient&, int) { platform::Guarded([this] { ClientData(); }); };
  client_.OnLookupDone = [this](TUDPClient&, int error) {
    platform::Guarded([this, error] { session_.LookupDone(error == 0 ? std::string() : net::WinsockErrorText(error)); });
  };

  RefreshTimer = new QTimer(this);
  RefreshTimer->setObjectName("RefreshTimer");
  connect(RefreshTimer, &QTimer::timeout, this, platform::Handler([this] { RefreshTimerTimer(); }));
  replyTimer_ = new QTimer(this);
  replyTimer_->setObjectName("ReplyTimer");
  replyTimer_->setSingleShot(true);
  connect(replyTimer_, &QTimer::timeout, this, platform::Handler([this] { session_.PollReplies(); }));

  CreateTopPanel();
  CreateDetails();
  CreateMenus();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(P_Main);
  layout->addWidget(P_Details, 1);

  // FormCreate: the size, the map list, the idle timer.
  resize(sizeHint());
  L_MapName->clear();
  session_.Create();
  ShowLamp(monitor::Lamp::Gray);
  FormShow();
}

TF_ServerMonitor::~TF_ServerMonitor() {
  // The client goes first, so that no paced datagram can call back into the session.
  session_.Closing();
  delete FPlayerInfo.data();
}

void TF_ServerMonitor::CreateTopPanel() {
  P_Main = new QFrame(this);
  P_Main->setObjectName("P_Main");
  P_Main->setFrameShape(QFrame::Panel);
  P_Main->setFrameShadow(QFrame::Sunken);
  P_Main->setFixedHeight(traits_->mainHeight);

  P_Connection = new QFrame(P_Main);
  P_Connection->setObjectName("P_Connection");
  P_Connection->setFrameShape(QFrame::Panel);
  P_Connection->setFrameShadow(QFrame::Sunken);
  P_Connection->setGeometry(8, 6, 67, 12);
  P_Connection->setAutoFillBackground(true);

  const auto& top = traits_->labelTops;
  const auto& box = traits_->boxTops;
  Label1 = MakeLabel(P_Main, "Label1", "Hostname:", 8, top[0]);
  Label2 = MakeLabel(P_Main, "Label2", "Port:", 8, top[1]);
  Label3 = MakeLabel(P_Main, "Label3", "Rcon Password:", 8, top[2]);
  Label4 = MakeLabel(P_Main, "Label4", "Refresh Interval:", 8, top[3]);
  Label5 = MakeLabel(P_Main, "Label5", "Map:", 255, top[4]);

  E_Hostname = new QLineEdit(P_Main);
  E_Hostname->setObjectName("E_Hostname");
  E_Hostname->setGeometry(112, box[0], 135, 21);
  E_Port = new QLineEdit(P_Main);
  E_Port->setObjectName("E_Port");
  E_Port->setGeometry(112, box[1], 57, 21);
  UP_Port = new monitor::UpDown("UP_Port", E_Port, 0, 65535, P_Main);
  UP_Port->setGeometry(169, box[1], 16, 21);
  E_Password = new QLineEdit(P_Main);
  E_Password->setObjectName("E_Password");
  E_Password->setEchoMode(QLineEdit::Password);
  E_Password->setGeometry(112, box[2], 135, 21);

  TB_Refresh = new QSlider(Qt::Horizontal, P_Main);
  TB_Refresh->setObjectName("TB_Refresh");
  TB_Refresh->setRange(1, 60);
  TB_Refresh->setValue(monitor::MonitorSession::kDefaultPosition);
  TB_Refresh->setTickInterval(10);
  TB_Refresh->setTickPosition(QSlider::TicksBelow);
  TB_Refresh->setPageStep(10);
  TB_Refresh->setGeometry(112, traits_->trackBarTop, 135, 30);
  connect(TB_Refresh, &QSlider::valueChanged, this, platform::Handler([this] { TB_RefreshChange(); }));

  CB_Map = new QComboBox(P_Main);
  CB_Map->setObjectName("CB_Map");
  CB_Map->setEditable(true);
  // The combo box reports a typed name that matches an item as "activated" when the box
  // loses the focus: that is no choice of the user's, so it is told apart by the line
  // edit's editingFinished, whose handlers run in the order connected around the box's own.
  auto* mapEdit = new QLineEdit(CB_Map);
  connect(mapEdit, &QLineEdit::editingFinished, this, [this] { finishingMapEdit_ = true; });
  CB_Map->setLineEdit(mapEdit);
  connect(mapEdit, &QLineEdit::editingFinished, this, [this] { finishingMapEdit_ = false; });
  // Enter in the box sends the map command; it must not add the text to the items.
  CB_Map->setInsertPolicy(QComboBox::NoInsert);
  CB_Map->setCompleter(nullptr);
  CB_Map->setMaxVisibleItems(16);
  CB_Map->setGeometry(295, box[3], 115, 21);
  CB_Map->installEventFilter(this);
  CB_Map->lineEdit()->installEventFilter(this);
  connect(CB_Map, &QComboBox::activated, this, platform::Handler([this](int index) {
            if (!finishingMapEdit_) session_.MapChosen(platform::ToAnsi(CB_Map->itemText(index)));
          }));

  if (!traits_->gameTypeNames.empty()) {
    Label6 = MakeLabel(P_Main, "Label6", "Gametype:", 255, top[4] + 28);
    CB_GameType = new QComboBox(P_Main);
    CB_GameType->setObjectName("CB_GameType");
    for (std::string_view name : traits_->gameTypeNames) CB_GameType->addItem(platform::ToUnicode(name));
    CB_GameType->setCurrentIndex(-1);
    CB_GameType->setGeometry(255, box[3] + 46, 155, 21);
    connect(CB_GameType, &QComboBox::activated, this, platform::Handler([this](int index) { CB_GameTypeChange(index); }));
  }

  L_MapName = new QLabel(P_Main);
  L_MapName->setObjectName("L_MapName");
  L_MapName->setAlignment(Qt::AlignCenter);
  L_MapName->setTextFormat(Qt::PlainText);
  L_MapName->setGeometry(kLevelLeft - 10, 4, kLevelWidth + 20, 16);

  P_Level = new QFrame(P_Main);
  P_Level->setObjectName("P_Level");
  P_Level->setFrameShape(QFrame::Panel);
  P_Level->setFrameShadow(QFrame::Sunken);
  P_Level->setGeometry(kLevelLeft, 22, kLevelWidth, traits_->levelHeight);
  Image_Level = new monitor::PictureBox("Image_Level", 128, 128, P_Level);
  Image_Level->move((kLevelWidth - 128) / 2, (traits_->levelHeight - 128) / 2);
}

void TF_ServerMonitor::CreateDetails() {
  P_Details = new QWidget(this);
  P_Details->setObjectName("P_Details");
  if (traits_->wire->hasRateColumn) {
    LV_Players = monitor::MakeListView(P_Details, "LV_Players",
                                       {{"Num", 50}, {"Player Name", 175}, {"Frags", 50}, {"Ping", 50}, {"IP Address", 125}, {"Rate", 80}});
  } else {
    LV_Players = monitor::MakeListView(P_Details, "LV_Players",
                                       {{"Num", 50}, {"Player Name", 175}, {"Frags", 50}, {"Ping", 50}, {"IP Address", 125}});
  }
  LV_Players->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(LV_Players, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PM_Players->popup(LV_Players->viewport()->mapToGlobal(at)); });
  connect(LV_Players, &QTreeWidget::itemDoubleClicked, this, platform::Handler([this] { LV_PlayersDblClick(); }));

  LV_Settings = monitor::MakeListView(P_Details, "LV_Settings", {{"Rule", 200}, {"Value", 200}});
  connect(LV_Settings, &QTreeWidget::itemDoubleClicked, this, platform::Handler([this] { LV_SettingsDblClick(); }));

  // Names and values in the game's colours; clicking a heading sorts by it.
  playerColours_ = new platform::ColourTextDelegate(traits_->wire->colorCodes, LV_Players);
  LV_Players->setItemDelegate(playerColours_);
  ruleColours_ = new platform::ColourTextDelegate(traits_->wire->colorCodes, LV_Settings);
  LV_Settings->setItemDelegate(ruleColours_);
  monitor::SortByHeadings(LV_Players);
  monitor::SortByHeadings(LV_Settings);
  CreateMessageLine();

  StatusBar1 = new QStatusBar(P_Details);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusPanel0 = new QLabel(StatusBar1);
  StatusPanel0->setObjectName("StatusPanel0");
  StatusPanel0->setTextFormat(Qt::PlainText);
  StatusBar1->addWidget(StatusPanel0, 1);
  P_Details->installEventFilter(this);
}

void TF_ServerMonitor::CreateMessageLine() {
  P_Message = new QFrame(P_Details);
  P_Message->setObjectName("P_Message");
  auto* row = new QHBoxLayout(P_Message);
  row->setContentsMargins(4, 3, 4, 3);
  auto* label = new QLabel("&Message:", P_Message);
  E_Message = new QLineEdit(P_Message);
  E_Message->setObjectName("E_Message");
  label->setBuddy(E_Message);
  Btn_Say = new QPushButton("Say to &All", P_Message);
  Btn_Say->setObjectName("Btn_Say");
  Btn_Say->setAutoDefault(false);
  row->addWidget(label);
  row->addWidget(E_Message, 1);
  row->addWidget(Btn_Say);
  connect(Btn_Say, &QPushButton::clicked, this, platform::Handler([this] { Btn_SayClick(); }));
  connect(E_Message, &QLineEdit::returnPressed, this, platform::Handler([this] { Btn_SayClick(); }));
  if (!traits_->wire->tellCommand.empty()) {
    Btn_Tell = new QPushButton("&Tell Player", P_Message);
    Btn_Tell->setObjectName("Btn_Tell");
    Btn_Tell->setAutoDefault(false);
    Btn_Tell->setToolTip("Sends the message to the player selected in the list");
    row->addWidget(Btn_Tell);
    connect(Btn_Tell, &QPushButton::clicked, this, platform::Handler([this] { Btn_TellClick(); }));
  }
}

void TF_ServerMonitor::CreateMenus() {
  PM_Players = new QMenu(this);
  PM_Players->setObjectName("PM_Players");
  const auto item = [this](QMenu* menu, const char* name, const char* caption, void (TF_ServerMonitor::*click)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, platform::Handler([this, click] { (this->*click)(); }));
    return action;
  };
  Refresh2 = item(PM_Players, "Refresh2", "&Refresh", &TF_ServerMonitor::Refresh2Click);
  if (traits_->popupSeparator) {
    N3 = PM_Players->addSeparator();
    N3->setObjectName("N3");
  }
  PlayerInfo1 = item(PM_Players, "PlayerInfo1", "&Player Info", &TF_ServerMonitor::PlayerInfo1Click);
  Kickplayer1 = item(PM_Players, "Kickplayer1", "&Kick player", &TF_ServerMonitor::Kickplayer1Click);
  NameLookup1 = item(PM_Players, "NameLookup1", "&Name Lookup", &TF_ServerMonitor::NameLookup1Click);
  PM_Players->addSeparator();
  if (!traits_->wire->tellCommand.empty())
    TellPlayer1 = item(PM_Players, "TellPlayer1", "&Tell Player...", &TF_ServerMonitor::TellPlayer1Click);
  BanPlayer1 = item(PM_Players, "BanPlayer1", "&Ban Player", &TF_ServerMonitor::BanPlayer1Click);
  Bans2 = item(PM_Players, "Bans2", "B&ans", &TF_ServerMonitor::Bans1Click);

  MenuItem = new QMenu(platform::ToUnicode(traits_->menuCaption), this);
  MenuItem->setObjectName(QString::fromLatin1(traits_->menuName.data(), static_cast<int>(traits_->menuName.size())));
  const auto inert = [this](const char* name, const char* caption) {
    QAction* action = MenuItem->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(false);
    return action;
  };
  Save1 = inert("Save1", "&Save");
  SaveAs1 = inert("SaveAs1", "Save &As");
  MenuItem->addSeparator();
  PrintPreview1 = inert("PrintPreview1", "&Print Preview");
  PrinterSetup1 = inert("PrinterSetup1", "Printer Setup");
  MenuItem->addSeparator();
  Refresh1 = item(MenuItem, "Refresh1", "R&efresh", &TF_ServerMonitor::Refresh1Click);
  RemoteConsole1 = item(MenuItem, "RemoteConsole1", "&Remote Console", &TF_ServerMonitor::RemoteConsole1Click);
  Settings1 = item(MenuItem, "Settings1", "&Settings", &TF_ServerMonitor::Settings1Click);
  Bans1 = item(MenuItem, "Bans1", "&Bans", &TF_ServerMonitor::Bans1Click);
  SayToAll1 = item(MenuItem, "SayToAll1", "Sa&y to All...", &TF_ServerMonitor::SayToAll1Click);
  MenuItem->addSeparator();
  ShowCodes1 = item(MenuItem, "ShowCodes1", "Show Colour &Codes", &TF_ServerMonitor::ShowCodes1Click);
  ShowCodes1->setCheckable(true);
  ShowCodes1->setEnabled(traits_->wire->colorCodes != common::ColorCodes::None);
  UpdateSettingsItem();
}

QSize TF_ServerMonitor::sizeHint() const {
  return {kLevelLeft + kLevelWidth + kWindowMargin, 3 * traits_->mainHeight};
}

void TF_ServerMonitor::UpdateSettingsItem() {
  Settings1->setVisible(settingsReceivers_ > 0);
  for (QAction* action : {Bans1, Bans2, BanPlayer1}) action->setVisible(banReceivers_ > 0);
}

// Counted here rather than asked of Qt: a disconnection is reported while the object's
// connection lists are locked.
namespace {

bool IsBanRequest(const QMetaMethod& signal) {
  return signal == QMetaMethod::fromSignal(&TF_ServerMonitor::BanListRequested) ||
         signal == QMetaMethod::fromSignal(&TF_ServerMonitor::BanPlayerRequested);
}

}  // namespace

void TF_ServerMonitor::connectNotify(const QMetaMethod& signal) {
  QWidget::connectNotify(signal);
  if (signal == QMetaMethod::fromSignal(&TF_ServerMonitor::SettingsRequested)) ++settingsReceivers_;
  else if (IsBanRequest(signal)) ++banReceivers_;
  else return;
  UpdateSettingsItem();
}

void TF_ServerMonitor::disconnectNotify(const QMetaMethod& signal) {
  QWidget::disconnectNotify(signal);
  // An invalid method: every connection of the window went at once.
  if (!signal.isValid()) {
    settingsReceivers_ = 0;
    banReceivers_ = 0;
  } else if (signal == QMetaMethod::fromSignal(&TF_ServerMonitor::SettingsRequested)) {
    settingsReceivers_ = std::max(0, settingsReceivers_ - 1);
  } else if (IsBanRequest(signal)) {
    banReceivers_ = std::max(0, banReceivers_ - 1);
  } else {
    return;
  }
  UpdateSettingsItem();
}

// ---------------------------------------------------------------------------------------------
// Operations

void TF_ServerMonitor::Connect() { session_.Connect(); }
void TF_ServerMonitor::SendQuery(const std::string& text) { session_.SendQuery(text); }
void TF_ServerMonitor::SendRcon(const std::string& command) { session_.SendRcon(command); }

void TF_ServerMonitor::SendRcon(const std::string& command, std::function<void()> onSent) {
  session_.SendRcon(command, std::move(onSent));
}

std::string TF_ServerMonitor::PasswordText() const { return platform::ToAnsi(E_Password->text()); }

QColor TF_ServerMonitor::LampColor() const { return P_Connection->palette().color(QPalette::Window); }

void TF_ServerMonitor::ShowLamp(monitor::Lamp lamp) {
  QPalette palette = P_Connection->palette();
  palette.setColor(QPalette::Window, ColourOf(lamp));
  P_Connection->setPalette(palette);
}

void TF_ServerMonitor::SetStatusText(const std::string& text) {
  statusText_ = text;
  // The panel is one line high. A server's notice ends with a line feed, which would make
  // the label two lines tall and push its text out of the bar: line ends are not shown, and
  // a break inside a notice shows as a space.
  QString shown = platform::ToUnicode(text);
  while (shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r'))) shown.chop(1);
  shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
  shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
  shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
  StatusPanel0->setText(shown);
}

std::string TF_ServerMonitor::StatusText() const { return statusText_; }

// ---------------------------------------------------------------------------------------------
// Event handlers

void TF_ServerMonitor::FormShow() {
  E_Hostname->clear();
  E_Port->setText("27960");
  E_Password->clear();
}

void TF_ServerMonitor::TB_RefreshChange() { session_.TB_RefreshChange(TB_Refresh->value()); }

void TF_ServerMonitor::P_DetailsResize() {
  const int width = P_Details->width();
  const int height = P_Details->height();
  const int players = std::max(0, static_cast<int>(height * 0.5) - 15);
  const int bar = StatusBar1->sizeHint().height();
  const int message = P_Message->sizeHint().height();
  const int rules = std::max(0, height - players - message - bar);
  LV_Players->setGeometry(0, 0, width, players);
  LV_Settings->setGeometry(0, players, width, rules);
  P_Message->setGeometry(0, players + rules, width, message);
  StatusBar1->setGeometry(0, height - bar, width, bar);
}

void TF_ServerMonitor::RemoteConsole1Click() {
  // With the boxes as they stand now, edited or not.
  const std::string host = platform::ToAnsi(E_Hostname->text());
  const std::string port = platform::ToAnsi(E_Port->text());
  emit RemoteConsoleRequested("Remote Console - " + host + ":" + port, platform::ToAnsi(E_Password->text()), host, port);
}

void TF_ServerMonitor::Settings1Click() { emit SettingsRequested(this); }

const monitor::PlayerRow* TF_ServerMonitor::SelectedPlayer() const {
  const int index = monitor::SelectedIndex(LV_Players);
  const auto& players = session_.Players();
  if (index < 0 || index >= static_cast<int>(players.size())) return nullptr;
  return &players[static_cast<std::size_t>(index)];
}

void TF_ServerMonitor::PlayerInfo1Click() { session_.PlayerInfo(SelectedPlayer()); }
void TF_ServerMonitor::Kickplayer1Click() { session_.KickPlayer(SelectedPlayer()); }
void TF_ServerMonitor::NameLookup1Click() { session_.NameLookup(SelectedPlayer()); }

void TF_ServerMonitor::LV_SettingsDblClick() {
  const int index = monitor::SelectedIndex(LV_Settings);
  const auto& rules = session_.Rules();
  if (index < 0 || index >= static_cast<int>(rules.size())) return;
  session_.ChangeRule(&rules[static_cast<std::size_t>(index)]);
}

void TF_ServerMonitor::CB_GameTypeChange(int index) { session_.GameTypeChosen(index); }

bool TF_ServerMonitor::AskMessage(const std::string& caption, std::string& text) {
  TF_Message dialog(platform::ToUnicode(caption), this);
  if (platform::ExecModal(dialog) != platform::mrOk) return false;
  text = platform::ToAnsi(dialog.E_Message->text());
  return true;
}

void TF_ServerMonitor::Btn_SayClick() {
  const std::string text = platform::ToAnsi(E_Message->text());
  if (text.empty()) return;
  session_.Say(text);
  E_Message->clear();
}

void TF_ServerMonitor::Btn_TellClick() {
  const std::string text = platform::ToAnsi(E_Message->text());
  const monitor::PlayerRow* player = SelectedPlayer();
  if (text.empty()) return;
  if (!player) {
    ShowMessage("Select the player to tell in the player list.");
    return;
  }
  session_.Tell(player, text);
  E_Message->clear();
}

void TF_ServerMonitor::SayToAll1Click() {
  std::string text;
  if (AskMessage("Say to all", text)) session_.Say(text);
}

void TF_ServerMonitor::TellPlayer1Click() {
  const monitor::PlayerRow* player = SelectedPlayer();
  if (!player) return;
  const monitor::PlayerRow shown = *player;  // the list may refresh while the dialog is open
  std::string text;
  if (!AskMessage("Tell " + shown.name, text)) return;
  session_.Tell(&shown, text);
}

void TF_ServerMonitor::BanPlayer1Click() {
  if (const std::optional<monitor::PlayerRow> player = session_.ConfirmBan(SelectedPlayer()))
    emit BanPlayerRequested(this, player->num, player->name, player->address);
}

void TF_ServerMonitor::Bans1Click() { emit BanListRequested(this); }

void TF_ServerMonitor::ShowCodes1Click() {
  const bool show = ShowCodes1->isChecked();
  for (platform::ColourTextDelegate* colours : {playerColours_, ruleColours_}) colours->SetShowCodes(show);
  LV_Players->viewport()->update();
  LV_Settings->viewport()->update();
}

void TF_ServerMonitor::ClientData() {
  const std::string text = client_.ReceiveText();
  if (text.empty()) {
    session_.SetLamp(monitor::Lamp::Red);
    return;
  }
  session_.DataArrived(text);
}

void TF_ServerMonitor::closeEvent(QCloseEvent* event) {
  // FormClose: the client closes; the window frees itself (and with it the map list).
  session_.Closing();
  QWidget::closeEvent(event);
}

bool TF_ServerMonitor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == P_Details && event->type() == QEvent::Resize) {
    P_DetailsResize();
    return false;
  }
  if (watched == CB_Map->lineEdit() && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      CB_Map->lineEdit()->setModified(false);
      platform::Guarded([this] { session_.MapChosen(platform::ToAnsi(CB_Map->currentText())); });
      return true;
    }
  }
  if (watched == CB_Map || watched == CB_Map->lineEdit()) {
    // Stepping through the items with the arrow keys or the wheel would change the map at
    // every step: only a pick from the list or Enter chooses a map.
    if (event->type() == QEvent::Wheel) return true;
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool alt = key->modifiers() & Qt::AltModifier;
      switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
          if (!alt) return true;
          break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
          return true;
        default:
          break;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// monitor::MonitorView

void TF_ServerMonitor::ShowWarning(const std::string& text) {
  platform::MessageDlg(text, platform::MsgType::Warning, platform::MsgButtons::Ok, this);
}

bool TF_ServerMonitor::Confirm(const std::string& text) {
  return platform::MessageDlg(text, platform::MsgType::Confirmation, platform::MsgButtons::YesNo, this) ==
         platform::mrYes;
}

void TF_ServerMonitor::ShowMessage(const std::string& text) { platform::ShowMessage(text, this); }

void TF_ServerMonitor::SetRefreshHint(const std::string& hint) { TB_Refresh->setToolTip(platform::ToDisplay(hint)); }

void TF_ServerMonitor::ShowPlayers(const std::vector<monitor::PlayerRow>& rows) {
  // The selection follows its player, not its line, so that an action never hits another
  // player because the list was refreshed (or sorted) in between.
  const QList<QTreeWidgetItem*> selected = LV_Players->selectedItems();
  const bool hadSelection = !selected.isEmpty();
  monitor::PlayerKey player;
  if (hadSelection) {
    player.num = platform::ToAnsi(selected.front()->text(0));
    player.name = platform::ToAnsi(selected.front()->text(1));
  }
  monitor::FillListView(LV_Players, rows, traits_->wire->hasRateColumn ? 6 : 5);
  if (!hadSelection) return;

  QTreeWidgetItem* target = monitor::ItemOfRow(LV_Players, monitor::FindPlayer(player, rows));
  if (!target) {
    LV_Players->clearSelection();
    return;
  }
  const QList<QTreeWidgetItem*> now = LV_Players->selectedItems();
  if (now.isEmpty() || now.front() != target) LV_Players->setCurrentItem(target);
}

void TF_ServerMonitor::ShowRules(const std::vector<monitor::RuleRow>& rows) {
  monitor::FillListView(LV_Settings, rows, traits_->wire->colorCodes);
}

void TF_ServerMonitor::SetMapItems(const std::vector<std::string>& names) {
  // Replacing the items keeps the map shown in the box.
  const QString text = CB_Map->currentText();
  const bool modified = CB_Map->lineEdit()->isModified();
  QStringList items;
  items.reserve(static_cast<int>(names.size()));
  for (const std::string& name : names) items << platform::ToUnicode(name);
  CB_Map->clear();
  CB_Map->addItems(items);
  CB_Map->setEditText(text);
  CB_Map->lineEdit()->setModified(modified);
}

void TF_ServerMonitor::SetMapText(const std::string& text) {
  // A name the user is typing is not overwritten by a refresh.
  if (CB_Map->lineEdit()->hasFocus() && CB_Map->lineEdit()->isModified()) return;
  CB_Map->setEditText(platform::ToUnicode(text));
  CB_Map->lineEdit()->setModified(false);
}

void TF_ServerMonitor::SetMapDescription(const std::string& text) {
  L_MapName->setText(platform::ToUnicode(text));
  Image_Level->setToolTip(platform::ToDisplay(text));
}

void TF_ServerMonitor::SetGameTypeIndex(int index) {
  if (CB_GameType) CB_GameType->setCurrentIndex(index);
}

bool TF_ServerMonitor::ShowLevelPicture(const std::string& path, bool transparent) {
  return Image_Level->Load(path, transparent);
}

bool TF_ServerMonitor::ShowPlayerPicture(const std::string& path, bool transparent) {
  // A reply that comes after the dialog closed has nowhere to go.
  if (!FPlayerInfo) return true;
  return FPlayerInfo->ImagePlayer->Load(path, transparent);
}

int TF_ServerMonitor::RunPlayerInfo() {
  delete FPlayerInfo.data();
  FPlayerInfo = new TPlayerInfoForm(traits_->wire->colorCodes, ShowCodes1->isChecked(), this);
  TPlayerInfoForm* dialog = FPlayerInfo;
  const int result = platform::ExecModal(*dialog);
  delete FPlayerInfo.data();  // the dialog frees itself when it closes
  return result;
}

void TF_ServerMonitor::ShowUserInfo(const std::vector<monitor::UserInfoRow>& rows) {
  if (FPlayerInfo) FPlayerInfo->ShowRows(rows);
}

bool TF_ServerMonitor::RunChangeSetting(const std::string& cvar, const std::string& oldValue, std::string& value) {
  TF_ChangeSetting dialog(this);
  dialog.L_cVar->setText(platform::ToUnicode(cvar));
  dialog.L_OldValue->setText(platform::ToUnicode(oldValue));
  dialog.E_Value->setText(platform::ToUnicode(value));
  if (platform::ExecModal(dialog) != platform::mrOk) return false;
  value = platform::ToAnsi(dialog.E_Value->text());
  return true;
}

// ---------------------------------------------------------------------------------------------
// monitor::MonitorTransport

void TF_ServerMonitor::Send(const std::string& datagram, std::function<void()> onSent) {
  client_.SendText(datagram, std::move(onSent));
}

std::string TF_ServerMonitor::Password() { return platform::ToAnsi(E_Password->text()); }

void TF_ServerMonitor::StartRefreshTimer(int intervalMs) {
  RefreshTimer->setInterval(intervalMs);
  RefreshTimer->start();
}

void TF_ServerMonitor::StopRefreshTimer() { RefreshTimer->stop(); }

void TF_ServerMonitor::ArmReplyTimer(monitor::TimePoint deadline) {
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Now()).count();
  replyTimer_->start(static_cast<int>(std::max<long long>(0, wait) + 1));
}

void TF_ServerMonitor::Pause(unsigned milliseconds) { platform::Sleep(milliseconds); }

void TF_ServerMonitor::LookupHost(const std::string& address, std::function<void(const std::string&)> done) {
  net::CurrentResolver().ReverseLookup(address, [done = std::move(done)](const std::string& name) {
    platform::Guarded([&] { done(name); });
  });
}
