#include "bans/banlistform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <memory>

#include "monitor/listview.h"
#include "monitor/messageform.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/mdi.h"
#include "platform/text.h"

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TF_BanList::TF_BanList(const protocol::GameTraits& game, QWidget* parent)
    : QWidget(parent), game_(&game), session_(game, *this, *this) {
  setObjectName("F_BanList");
  setWindowTitle("Bans");
  setAttribute(Qt::WA_DeleteOnClose);
  resize(560, 400);
  const protocol::BanCommands& commands = session_.Commands();

  L_Note = new QLabel(platform::ToUnicode(commands.keepingNote), this);
  L_Note->setObjectName("L_Note");
  L_Note->setWordWrap(true);
  L_File = new QLabel(this);
  L_File->setObjectName("L_File");
  L_File->setVisible(!commands.fileVariable.empty());
  if (!commands.filterVariable.empty()) {
    CB_FilterBan = new QCheckBox("The listed addresses are &banned (unticked: only they may connect)", this);
    CB_FilterBan->setObjectName("CB_FilterBan");
    CB_FilterBan->setChecked(true);
    connect(CB_FilterBan, &QCheckBox::clicked, this,
            platform::Handler([this](bool checked) { session_.SetFilterMode(checked); }));
  }

  LV_Bans = monitor::MakeListView(this, "LV_Bans", {{"Kind", 110}, {"Address", 220}, {"Mask", 110}});
  monitor::SortByHeadings(LV_Bans);
  connect(LV_Bans, &QTreeWidget::itemDoubleClicked, this, platform::Handler([this] { Btn_DeleteClick(); }));

  auto* buttons = new QVBoxLayout;
  Btn_Add = Button(this, "Btn_Add", "&Add...");
  buttons->addWidget(Btn_Add);
  connect(Btn_Add, &QPushButton::clicked, this, platform::Handler([this] { Btn_AddClick(); }));
  if (!commands.addException.empty()) {
    Btn_AddException = Button(this, "Btn_AddException", "Add &Exception...");
    buttons->addWidget(Btn_AddException);
    connect(Btn_AddException, &QPushButton::clicked, this, platform::Handler([this] { Btn_AddExceptionClick(); }));
  }
  Btn_Delete = Button(this, "Btn_Delete", "&Delete");
  Btn_Flush = Button(this, "Btn_Flush", "&Flush All");
  Btn_Reload = Button(this, "Btn_Reload", "&Reload");
  Btn_Reload->setToolTip("Lists the server's entries again");
  for (QPushButton* button : {Btn_Delete, Btn_Flush, Btn_Reload}) buttons->addWidget(button);
  connect(Btn_Delete, &QPushButton::clicked, this, platform::Handler([this] { Btn_DeleteClick(); }));
  connect(Btn_Flush, &QPushButton::clicked, this, platform::Handler([this] { Btn_FlushClick(); }));
  connect(Btn_Reload, &QPushButton::clicked, this, platform::Handler([this] { session_.Refresh(); }));
  if (!commands.reloadFile.empty()) {
    Btn_ReloadFile = Button(this, "Btn_ReloadFile", "Reload from the\nserver's &file");
    buttons->addWidget(Btn_ReloadFile);
    connect(Btn_ReloadFile, &QPushButton::clicked, this, platform::Handler([this] { session_.ReloadFromFile(); }));
  }
  if (!commands.saveFile.empty()) {
    Btn_SaveFile = Button(this, "Btn_SaveFile", "&Save to the\nserver's file");
    buttons->addWidget(Btn_SaveFile);
    connect(Btn_SaveFile, &QPushButton::clicked, this, platform::Handler([this] { session_.SaveToFile(); }));
  }
  buttons->addStretch();
  Btn_Close = Button(this, "Btn_Close", "&Close");
  buttons->addWidget(Btn_Close);
  connect(Btn_Close, &QPushButton::clicked, this, [this] { close(); });

  L_Answer = new QLabel(this);
  L_Answer->setObjectName("L_Answer");
  L_Answer->setTextFormat(Qt::PlainText);
  L_Answer->setFrameShape(QFrame::Panel);
  L_Answer->setFrameShadow(QFrame::Sunken);

  auto* middle = new QHBoxLayout;
  middle->addWidget(LV_Bans, 1);
  middle->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(L_Note);
  layout->addWidget(L_File);
  if (CB_FilterBan) layout->addWidget(CB_FilterBan);
  layout->addLayout(middle, 1);
  layout->addWidget(L_Answer);

  client_.Paced = game.rateLimited;
  client_.OnData = [this](TUDPClient& sender, int) {
    platform::Guarded([this, &sender] { session_.DataArrived(sender.ReceiveText()); });
  };
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, platform::Handler([this] { session_.TimerFired(); }));
}

TF_BanList::~TF_BanList() {
  session_.Closing();
  client_.OnData = nullptr;
  client_.Close();
}

void TF_BanList::SetServer(const std::string& host, const std::string& port, const std::string& password) {
  client_.Host = host;
  client_.Port = port;
  password_ = password;
}

bool TF_BanList::IsServer(const std::string& host, const std::string& port) const {
  return client_.Host == host && client_.Port == port;
}

void TF_BanList::Open() {
  client_.Open();
  session_.Open();
}

void TF_BanList::BanPlayer(const std::string& clientNumber, const std::string& name, const std::string& address) {
  session_.BanPlayer(clientNumber, name, address);
}

void TF_BanList::AddEntry(protocol::BanKind kind) {
  const bool exception = kind == protocol::BanKind::Exception;
  QString typed;
  // Asked again, with what was typed, until the address reads or the administrator cancels.
  for (;;) {
    TF_Message dialog(exception ? "Add exception" : "Add ban", this,
                      "&Address, with an optional mask (such as 203.0.113.7 or 198.51.100.0/24):");
    dialog.E_Message->setText(typed);
    if (platform::ExecModal(dialog) != platform::mrOk) return;
    typed = dialog.E_Message->text();
    if (session_.Add(platform::ToAnsi(typed), kind)) return;
  }
}

void TF_BanList::Btn_AddClick() { AddEntry(protocol::BanKind::Ban); }
void TF_BanList::Btn_AddExceptionClick() { AddEntry(protocol::BanKind::Exception); }

void TF_BanList::Btn_DeleteClick() {
  const int index = monitor::SelectedIndex(LV_Bans);
  const auto& entries = session_.Entries();
  if (index < 0 || index >= static_cast<int>(entries.size())) return;
  session_.Delete(entries[static_cast<std::size_t>(index)]);
}

void TF_BanList::Btn_FlushClick() { session_.Flush(); }

void TF_BanList::ShowEntries(const std::vector<protocol::BanEntry>& entries) {
  std::vector<protocol::InfoRow> rows;  // the list's first two columns, the mask apart
  rows.reserve(entries.size());
  for (const protocol::BanEntry& entry : entries) {
    std::string kind = entry.kind == protocol::BanKind::Exception ? "Exception" : listBans_ ? "Ban" : "Admitted";
    if (entry.suspect) kind += " (suspect)";
    rows.push_back({kind, entry.address});
  }
  monitor::FillListView(LV_Bans, rows, common::ColorCodes::None);
  for (int i = 0; i < LV_Bans->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = LV_Bans->topLevelItem(i);
    const protocol::BanEntry& entry = entries[static_cast<std::size_t>(item->data(0, monitor::kRowRole).toInt())];
    item->setText(2, platform::ToUnicode(entry.mask));
    item->setToolTip(0, entry.suspect ? "The server lists this entry oddly (a /0 mask, or listed twice): it may "
                                        "stand for an entry of its file it could not read, such as an IPv6 address "
                                        "on a server without IPv6. It bans nobody; deleting it is safe."
                                      : QString());
  }
  if (entries.empty()) ShowAnswer(session_.Commands().reloadFile.empty() ? "The list is empty."
                                                                          : "The list is empty. After a restart the "
                                                                            "server may need its file reloaded.");
}

void TF_BanList::ShowAnswer(const std::string& text) { L_Answer->setText(platform::ToUnicode(text)); }

void TF_BanList::ShowError(const std::string& text) {
  platform::MessageDlg(text, platform::MsgType::Warning, platform::MsgButtons::Ok, this);
}

bool TF_BanList::Confirm(const std::string& text) {
  return platform::MessageDlg(text, platform::MsgType::Confirmation, platform::MsgButtons::YesNo, this) ==
         platform::mrYes;
}

void TF_BanList::ShowFileName(const std::string& name) {
  L_File->setText(platform::ToUnicode("The server's ban file: " + name));
}

void TF_BanList::ShowFilterMode(bool listBans) {
  listBans_ = listBans;
  if (CB_FilterBan) CB_FilterBan->setChecked(listBans);
  ShowEntries(session_.Entries());
}

void TF_BanList::SetBusy(bool busy) {
  for (QPushButton* button : {Btn_Add, Btn_AddException, Btn_Delete, Btn_Flush, Btn_ReloadFile, Btn_SaveFile})
    if (button) button->setEnabled(!busy);
  if (CB_FilterBan) CB_FilterBan->setEnabled(!busy);
}

void TF_BanList::Send(const std::string& datagram, std::function<void()> onSent) {
  client_.SendText(datagram, std::move(onSent));
}

void TF_BanList::ArmTimer(bans::TimePoint deadline) {
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Now()).count();
  timer_->start(static_cast<int>(std::max<long long>(0, wait) + 1));
}

TF_BanList* OpenBanList(const protocol::GameTraits& game, const std::string& caption, const std::string& host,
                        const std::string& port, const std::string& password) {
  platform::MdiHost* frame = platform::Frame();
  if (frame) {
    for (QWidget* child : frame->Children()) {
      auto* open = dynamic_cast<TF_BanList*>(child);
      if (open && open->IsServer(host, port)) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget()); sub && sub->mdiArea())
          sub->mdiArea()->setActiveSubWindow(sub);
        return open;
      }
    }
  }
  auto window = std::make_unique<TF_BanList>(game);
  window->setWindowTitle(platform::ToUnicode(caption));
  window->SetServer(host, port, password);
  window->Client().Open();  // raises for a port that is not a number; the window goes with it
  TF_BanList* shown = window.release();
  if (frame)
    frame->AddChild(shown);
  else
    shown->show();
  shown->Session().Open();
  return shown;
}
