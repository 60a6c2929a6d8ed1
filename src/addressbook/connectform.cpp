#include "addressbook/connectform.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>

#include "addressbook/newserverform.h"
#include "addressbook/spinedit.h"
#include "games/registry.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/errors.h"
#include "platform/reportview.h"
#include "platform/text.h"

TConnectForm* ConnectForm = nullptr;

namespace {

constexpr int kGameTypeRole = Qt::UserRole;

// The list view, telling of double-clicks anywhere in it (on a row or not). While no row is
// selected, the first Up, Down or Space selects the first row, as a desktop list does, so that
// the dialog is answered from the keyboard with Down and Enter. (Left alone, the view would
// move on from the row that has the focus frame and select the second row, or none at all.)
class ServerListView : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  std::function<void()> onDoubleClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
  }

  void keyPressEvent(QKeyEvent* event) override {
    const bool startsSelection = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                                 (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_Space);
    if (startsSelection && selectedItems().isEmpty() && topLevelItemCount() > 0) {
      setCurrentItem(topLevelItem(0));
      scrollToItem(topLevelItem(0));
      event->accept();
      return;
    }
    QTreeWidget::keyPressEvent(event);
  }
};

QPushButton* MakeButton(QWidget* parent, const char* caption, const char* name, int x, int y, int w) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(x, y, w, 25);
  return button;
}

std::string RowText(const QTreeWidgetItem* row, int column) { return platform::ToAnsi(row->text(column)); }

// How the delete confirmation names a server: "host:port (description)".
std::string ServerLabel(const QTreeWidgetItem* row) {
  std::string label = RowText(row, 0);
  if (!RowText(row, 1).empty()) label += ":" + RowText(row, 1);
  if (label.empty()) label = "this server";
  if (!RowText(row, 2).empty()) label += " (" + RowText(row, 2) + ")";
  return label;
}

}  // namespace

TConnectForm::TConnectForm(QWidget* parent) : QDialog(parent) {
  setObjectName("ConnectForm");
  setWindowTitle("Select Remote Server");
  setFixedSize(544, 259);

  auto* list = new ServerListView(this);
  LV_Servers = list;
  LV_Servers->setObjectName("LV_Servers");
  LV_Servers->setGeometry(8, 8, 433, 210);
  LV_Servers->setHeaderLabels({"Hostname / IP Address", "Port", "Description"});
  LV_Servers->setColumnWidth(0, 175);
  LV_Servers->setColumnWidth(1, 75);
  LV_Servers->setColumnWidth(2, 150);
  platform::SetReportStyle(*LV_Servers);
  LV_Servers->setIconSize(QSize(16, 16));
  list->onDoubleClick = [this] { platform::Guarded([this] { LV_ServersDblClick(); }); };

  Btn_New = MakeButton(this, "&New", "Btn_New", 449, 8, 87);
  Btn_Delete = MakeButton(this, "&Delete", "Btn_Delete", 449, 40, 87);
  Btn_Edit = MakeButton(this, "&Edit", "Btn_Edit", 449, 72, 87);
  Btn_Clone = MakeButton(this, "Cl&one", "Btn_Clone", 449, 104, 87);
  Btn_Ok = MakeButton(this, "&Connect", "Btn_Ok", 234, 226, 87);
  Btn_RemoteConsole = MakeButton(this, "&Remote Console", "Btn_RemoteConsole", 328, 226, 113);
  Btn_Cancel = MakeButton(this, "&Cancel", "Btn_Cancel", 449, 226, 87);
  Btn_Ok->setDefault(true);

  connect(Btn_New, &QPushButton::clicked, this, platform::Handler([this](auto&&...) { Btn_NewClick(); }));
  connect(Btn_Delete, &QPushButton::clicked, this, platform::Handler([this](auto&&...) { Btn_DeleteClick(); }));
  connect(Btn_Edit, &QPushButton::clicked, this, platform::Handler([this](auto&&...) { Btn_EditClick(); }));
  connect(Btn_Clone, &QPushButton::clicked, this, platform::Handler([this](auto&&...) { Btn_CloneClick(); }));
  connect(Btn_Ok, &QPushButton::clicked, this, platform::Handler([this](auto&&...) { Btn_AcceptClick(platform::mrOk); }));
  connect(Btn_RemoteConsole, &QPushButton::clicked, this,
          platform::Handler([this](auto&&...) { Btn_AcceptClick(platform::mrRemoteConsole); }));
  connect(Btn_Cancel, &QPushButton::clicked, this, [this](auto&&...) { done(platform::mrCancel); });

  // The game lists are in index order, so a game's icon sits at its index.
  for (const games::Game& game : games::All()) IL_Small.push_back(QIcon(platform::ToUnicode(game.icon)));
  FormCreate();
  LV_Servers->setFocus();
}

void TConnectForm::FormCreate() {
  LV_Servers->clear();
  for (const ServerEntry& entry : LoadServerList()) SetRow(new QTreeWidgetItem(LV_Servers), entry);
}

void TConnectForm::SetRow(QTreeWidgetItem* row, const ServerEntry& entry) {
  row->setText(0, platform::ToUnicode(entry.HostName));
  row->setText(1, platform::ToUnicode(entry.Port));
  row->setText(2, platform::ToUnicode(entry.Description));
  row->setData(0, kGameTypeRole, entry.GameType);
  const bool known = entry.GameType >= 0 && entry.GameType < IL_Small.size();
  row->setIcon(0, known ? IL_Small[entry.GameType] : QIcon());
}

QTreeWidgetItem* TConnectForm::SelectedRow() const {
  const auto selected = LV_Servers->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TConnectForm::Btn_AcceptClick(int result) {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) {
    platform::MessageDlg("You should select a server...", platform::MsgType::Information, platform::MsgButtons::Ok, this);
    LV_Servers->setFocus();
    return;
  }
  SelectedEntry = ReadEntry(LV_Servers->indexOfTopLevelItem(row));
  done(result);
}

void TConnectForm::LV_ServersDblClick() { Btn_AcceptClick(platform::mrOk); }

void TConnectForm::AddRowAndStore(const ServerEntry& entry) {
  SetRow(new QTreeWidgetItem(LV_Servers), entry);
  const int count = LV_Servers->topLevelItemCount();
  const ChangeNotice notice{*this};
  WriteEntry(count - 1, entry, count);
}

void TConnectForm::Btn_NewClick() {
  F_NewServer->Prepare("New Server");
  if (platform::ExecModal(*F_NewServer) != platform::mrOk) return;
  AddRowAndStore(F_NewServer->EnteredEntry());
}

bool TConnectForm::ExecFilledFromRow(QTreeWidgetItem* row, const char* caption) {
  // A port that is not a number stops here, before the dialog is touched.
  const int port = platform::StrToInt(RowText(row, 1));
  F_NewServer->Prepare(caption);
  F_NewServer->E_Hostname->setText(row->text(0));
  F_NewServer->SE_Port->SetValue(port);
  F_NewServer->CB_GameType->setCurrentIndex(row->data(0, kGameTypeRole).toInt());  // outside the list: none
  F_NewServer->E_Description->setText(row->text(2));
  F_NewServer->E_rconPassword->setText(platform::ToUnicode(ReadEntryPassword(LV_Servers->indexOfTopLevelItem(row))));
  return platform::ExecModal(*F_NewServer) == platform::mrOk;
}

void TConnectForm::Btn_EditClick() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row || !ExecFilledFromRow(row, "Edit Server")) return;
  const ServerEntry entry = F_NewServer->EnteredEntry();
  SetRow(row, entry);
  const ChangeNotice notice{*this};
  WriteEntry(LV_Servers->indexOfTopLevelItem(row), entry, LV_Servers->topLevelItemCount());
}

void TConnectForm::Btn_CloneClick() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row || !ExecFilledFromRow(row, "Clone Server")) return;
  AddRowAndStore(F_NewServer->EnteredEntry());
}

void TConnectForm::Btn_DeleteClick() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) return;
  const std::string question = "Are you sure you want to delete " + ServerLabel(row) + "?";
  if (platform::MessageDlg(question, platform::MsgType::Confirmation, platform::MsgButtons::YesNo, this) != platform::mrYes)
    return;
  // The file first: when it cannot be written the row stays, and list and file still agree.
  DeleteEntry(LV_Servers->indexOfTopLevelItem(row), LV_Servers->topLevelItemCount());
  delete row;
  LV_Servers->clearSelection();
  emit ServerListChanged();
}

TConnectForm::ChangeNotice::~ChangeNotice() { emit form.ServerListChanged(); }

void TConnectForm::reject() { done(platform::mrCancel); }

void TConnectForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::CentreOnScreen(*this);
  LV_Servers->setFocus();
}
