#include "board/boardform.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTime>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "board/boardmodel.h"
#include "board/watchlistform.h"
#include "games/registry.h"
#include "platform/dialogs.h"
#include "platform/colourtext.h"
#include "platform/errorhandler.h"
#include "platform/reportview.h"
#include "platform/text.h"

namespace {

constexpr int kAgeTickMs = 1000;

constexpr std::array<int, board::kColumnCount> kColumnWidths{26, 200, 140, 100, 90, 110, 70, 50, 90};

QTreeWidgetItem* LogItem(const board::Alert& alert) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, QTime::currentTime().toString("HH:mm:ss"));
  item->setText(1, platform::ToUnicode(alert.server));
  item->setText(2, platform::ToUnicode(alert.event));
  return item;
}

}  // namespace

TF_Board::TF_Board(QWidget* parent)
    : QWidget(parent), settings_(board::LoadBoardSettings()), session_(*this, *this) {
  setObjectName("F_Board");
  setWindowTitle("Server Board");
  setAttribute(Qt::WA_DeleteOnClose);

  PollTimer = new QTimer(this);
  PollTimer->setObjectName("PollTimer");
  PollTimer->setSingleShot(true);
  connect(PollTimer, &QTimer::timeout, this, platform::Handler([this] { session_.TimerFired(); }));
  AgeTimer = new QTimer(this);
  AgeTimer->setObjectName("AgeTimer");
  connect(AgeTimer, &QTimer::timeout, this, platform::Handler([this] { AgeTimerTimer(); }));

  model_ = new board::BoardModel(session_.Rows(), [] { return board::Clock::now(); }, this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(board::BoardModel::SortRole);
  sorted_->setDynamicSortFilter(true);

  CreateTop();
  CreateLists();

  session_.SetInterval(settings_.intervalSeconds);
  session_.SetWatchList(board::WatchList(settings_.watchPatterns));
  session_.SetAlertKinds(settings_.alerts);
  client_.OnDatagram = [this](const net::Endpoint& from, const std::string& datagram) {
    platform::Guarded([&] { session_.DatagramArrived(from, datagram); });
  };
  client_.OnRefused = [this](const net::Endpoint& to, int code) {
    platform::Guarded([&] { session_.Refused(to, code); });
  };
  client_.Open();
  AgeTimer->start(kAgeTickMs);
  resize(sizeHint());
}

TF_Board::~TF_Board() {
  // Nothing may call back into the session or the model while they go.
  client_.Close();
  PollTimer->stop();
  AgeTimer->stop();
  delete LV_Servers;
  delete sorted_;
  delete model_;
}

void TF_Board::CreateTop() {
  L_Interval = new QLabel("Refresh &every", this);
  L_Interval->setObjectName("L_Interval");
  SE_Interval = new QSpinBox(this);
  SE_Interval->setObjectName("SE_Interval");
  SE_Interval->setRange(board::kMinIntervalSeconds, board::kMaxIntervalSeconds);
  SE_Interval->setSuffix(" s");
  SE_Interval->setKeyboardTracking(false);
  SE_Interval->setValue(settings_.intervalSeconds);
  L_Interval->setBuddy(SE_Interval);
  connect(SE_Interval, &QSpinBox::valueChanged, this, platform::Handler([this] { SE_IntervalChange(); }));

  Btn_Refresh = new QPushButton("R&efresh", this);
  Btn_Refresh->setObjectName("Btn_Refresh");
  connect(Btn_Refresh, &QPushButton::clicked, this, platform::Handler([this] { Btn_RefreshClick(); }));
  Btn_WatchList = new QPushButton("&Watch List...", this);
  Btn_WatchList->setObjectName("Btn_WatchList");
  connect(Btn_WatchList, &QPushButton::clicked, this, platform::Handler([this] { Btn_WatchListClick(); }));

  L_Summary = new QLabel(this);
  L_Summary->setObjectName("L_Summary");
  L_Summary->setTextFormat(Qt::PlainText);
}

void TF_Board::CreateLists() {
  SP_Board = new QSplitter(Qt::Vertical, this);
  SP_Board->setObjectName("SP_Board");
  SP_Board->setChildrenCollapsible(false);

  LV_Servers = new QTreeView(SP_Board);
  LV_Servers->setObjectName("LV_Servers");
  LV_Servers->setModel(sorted_);
  platform::SetReportStyle(*LV_Servers);
  LV_Servers->setSortingEnabled(true);
  LV_Servers->sortByColumn(-1, Qt::AscendingOrder);  // the address book's order until a heading is clicked
  LV_Servers->header()->setSortIndicatorShown(true);
  // Server names in their colours, each read with its game's colour codes.
  LV_Servers->setItemDelegateForColumn(board::kNameColumn,
                                       new platform::ColourTextDelegate(common::ColorCodes::None, LV_Servers));
  for (int column = 0; column < board::kColumnCount; ++column)
    LV_Servers->setColumnWidth(column, kColumnWidths[static_cast<std::size_t>(column)]);
  connect(LV_Servers, &QTreeView::doubleClicked, this,
          platform::Handler([this](const QModelIndex& index) { LV_ServersDblClick(index.row()); }));

  LV_Log = new QTreeWidget(SP_Board);
  LV_Log->setObjectName("LV_Log");
  LV_Log->setHeaderLabels({"Time", "Server", "Event"});
  LV_Log->setColumnWidth(0, 70);
  LV_Log->setColumnWidth(1, 200);
  platform::SetReportStyle(*LV_Log);
  SP_Board->setStretchFactor(0, 3);
  SP_Board->setStretchFactor(1, 1);

  auto* top = new QHBoxLayout;
  top->setContentsMargins(6, 6, 6, 0);
  top->addWidget(L_Interval);
  top->addWidget(SE_Interval);
  top->addWidget(Btn_Refresh);
  top->addWidget(Btn_WatchList);
  top->addSpacing(12);
  top->addWidget(L_Summary, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(top);
  layout->addWidget(SP_Board, 1);
}

QSize TF_Board::sizeHint() const { return {900, 460}; }

void TF_Board::SetServers(const std::vector<ServerEntry>& entries) {
  std::vector<board::BoardServer> servers;
  servers.reserve(entries.size());
  for (const ServerEntry& entry : entries) {
    board::BoardServer server{entry.HostName, entry.Port, entry.Description, entry.GameType, {}, nullptr};
    if (const games::Game* game = games::Find(entry.GameType)) {
      server.gameName = game->name;
      if (game->HasWindow()) server.wire = &game->Wire();
    } else {
      server.gameName = "Game " + std::to_string(entry.GameType);
    }
    servers.push_back(std::move(server));
  }
  session_.SetServers(servers);
}

const board::ServerRow* TF_Board::RowAt(int viewRow) const {
  const QModelIndex index = sorted_->mapToSource(sorted_->index(viewRow, 0));
  if (!index.isValid()) return nullptr;
  return &session_.Rows()[static_cast<std::size_t>(index.row())];
}

int TF_Board::ViewRow(int sessionRow) const { return sorted_->mapFromSource(model_->index(sessionRow, 0)).row(); }

// ---- event handlers ----

void TF_Board::SE_IntervalChange() {
  session_.SetInterval(SE_Interval->value());
  settings_.intervalSeconds = session_.IntervalSeconds();
  SaveSettings();
}

void TF_Board::Btn_RefreshClick() { session_.PollAll(); }

void TF_Board::Btn_WatchListClick() {
  TF_WatchList dialog(settings_.watchPatterns, settings_.alerts, this);
  if (platform::ExecModal(dialog) != platform::mrOk) return;
  // Taken into use before it is stored: a file that cannot be written is reported, and the
  // list still works until the board closes.
  settings_.watchPatterns = dialog.Patterns();
  settings_.alerts = dialog.Kinds();
  session_.SetWatchList(board::WatchList(settings_.watchPatterns));
  session_.SetAlertKinds(settings_.alerts);
  SaveSettings();
}

void TF_Board::LV_ServersDblClick(int viewRow) {
  const board::ServerRow* row = RowAt(viewRow);
  if (!row) return;
  ServerEntry entry;
  entry.HostName = row->server.host;
  entry.Port = row->server.port;
  entry.GameType = row->server.gameType;
  entry.Description = row->server.description;
  emit ServerWindowRequested(entry);
}

void TF_Board::AgeTimerTimer() {
  model_->TickAges();
  UpdateSummary();
}

void TF_Board::UpdateSummary() {
  int answering = 0;
  int people = 0;
  int bots = 0;
  for (const board::ServerRow& row : session_.Rows()) {
    if (row.lamp != board::Lamp::Answering) continue;
    ++answering;
    people += row.humans;
    bots += row.bots;
  }
  const int count = static_cast<int>(session_.Rows().size());
  L_Summary->setText(QString("%1 of %2 servers answering, %3 people and %4 bots on them")
                         .arg(answering)
                         .arg(count)
                         .arg(people)
                         .arg(bots));
}

void TF_Board::SaveSettings() { board::SaveBoardSettings(settings_); }

void TF_Board::closeEvent(QCloseEvent* event) {
  client_.Close();
  PollTimer->stop();
  AgeTimer->stop();
  QWidget::closeEvent(event);
}

// ---- board::BoardTransport ----

void TF_Board::Resolve(const std::string& host, const std::string& port, Resolved done) {
  try {
    client_.Resolve(host, port, [done, host](std::optional<net::Endpoint> server, int error) {
      done(server, server ? std::string() : "The host cannot be found: " + net::WinsockErrorText(error));
    });
  } catch (const std::exception&) {
    done(std::nullopt, "The port is not a number: " + port);
  }
}

void TF_Board::Send(const net::Endpoint& server, const std::string& datagram, bool paced,
                    std::function<void()> onSent) {
  client_.SendTo(server, datagram, paced, std::move(onSent));
}

void TF_Board::ArmTimer(board::TimePoint when) {
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - board::Clock::now()).count();
  PollTimer->start(static_cast<int>(std::clamp<long long>(wait, 0, 24LL * 3600 * 1000)));
}

// ---- board::BoardListener ----

void TF_Board::RowsReset() {
  model_->Reset();
  UpdateSummary();
}

void TF_Board::RowChanged(std::size_t row) { model_->RowChanged(static_cast<int>(row)); }

void TF_Board::ShowAlert(const board::Alert& alert) {
  LV_Log->insertTopLevelItem(0, LogItem(alert));
  while (LV_Log->topLevelItemCount() > kLogLimit) delete LV_Log->takeTopLevelItem(LV_Log->topLevelItemCount() - 1);
  emit AlertRaised(alert);
}
