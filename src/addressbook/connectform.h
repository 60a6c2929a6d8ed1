#pragma once
// The select-server dialog: the stored server list, from which the administrator picks a server
// to connect to (result 1) or to open a remote console on (result 4), and in which servers are
// added, edited, cloned and deleted. Created once at program start, when it loads the list;
// between showings it keeps its list, its selection and SelectedEntry.
#include <QDialog>
#include <QIcon>
#include <QList>

#include "addressbook/serverstore.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TConnectForm : public QDialog {
  Q_OBJECT

 public:
  explicit TConnectForm(QWidget* parent = nullptr);

  // The entry read from the file at the last acceptance (password unscrambled); cancelling
  // leaves it as it was.
  ServerEntry SelectedEntry;

  QTreeWidget* LV_Servers;
  QPushButton* Btn_New;
  QPushButton* Btn_Delete;
  QPushButton* Btn_Edit;
  QPushButton* Btn_Clone;
  QPushButton* Btn_Ok;             // "&Connect", result 1
  QPushButton* Btn_RemoteConsole;  // "&Remote Console", result 4
  QPushButton* Btn_Cancel;         // "&Cancel", result 2
  // The game icons by game type.
  QList<QIcon> IL_Small;

  void FormCreate();
  // Closes the dialog with `result` after reading the selected entry from the file; with no
  // row selected it says so and stays open.
  void Btn_AcceptClick(int result);
  void LV_ServersDblClick();
  void Btn_NewClick();
  void Btn_EditClick();
  void Btn_CloneClick();
  void Btn_DeleteClick();

 signals:
  // The stored list has changed: a server was added, edited, cloned or deleted, and the file
  // has been written.
  void ServerListChanged();

 protected:
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  QTreeWidgetItem* SelectedRow() const;
  void SetRow(QTreeWidgetItem* row, const ServerEntry& entry);
  // Fills F_NewServer from a row for Edit and Clone and shows it; true after OK.
  bool ExecFilledFromRow(QTreeWidgetItem* row, const char* caption);
  void AddRowAndStore(const ServerEntry& entry);
  // Tells of a change of the stored list when it goes, also when a write raised half-way
  // through and left part of the change in the file.
  struct ChangeNotice {
    TConnectForm& form;
    ~ChangeNotice();
  };
};

extern TConnectForm* ConnectForm;
