#pragma once
// The frame window F_Main: the menus and the tool bar from which servers are opened, the
// Window commands that arrange and close the child windows, and the client area that holds
// them (monitor windows, remote consoles, to-do viewers).
//
// Commands that live in other units plug in with SetCommand: until a command is supplied its
// menu item and tool button stay hidden, so the frame never offers an item that does nothing.
//   F_Main->SetCommand(TFrameCommand::Connect, [] { ... });
// The handler runs under the general error handler: what it raises is shown in an error box
// and the frame stays open.
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/mdi.h"

class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace app {
class MdiClient;
}

enum class TFrameCommand {
  Connect,        // "&Connect", Ctrl+N, SB_New
  QuickConnect,   // "&Quick Connect", Ctrl+Q, CB_QuickConnect
  RemoteConsole,  // "Quick &Remote Console", Ctrl+R, SB_Remote
  Board,          // "Server &Board", Ctrl+B, SB_Board
  ToDoList,       // Help, "&To Do List"
  About,          // Help, "&About..."
};

class TF_Main : public QMainWindow, public platform::MdiHost {
  Q_OBJECT
 public:
  explicit TF_Main(QWidget* parent = nullptr);
  ~TF_Main() override;
  TF_Main(const TF_Main&) = delete;
  TF_Main& operator=(const TF_Main&) = delete;

  // Supplies the handler of a command and shows its menu item and tool button.
  void SetCommand(TFrameCommand command, std::function<void()> handler);

  // platform::MdiHost: the child widget is framed at its own size and shown.
  void AddChild(QWidget* child) override;
  std::vector<QWidget*> Children() const override;
  // The active child, or nullptr when there is none.
  QWidget* ActiveChild() const;
  app::MdiClient* ClientArea() const { return MDIClient; }
  // Makes the child the active window, restored if it was minimised.
  void ActivateChild(QWidget* child);

  // Shows a line of news in the status bar, right of its two panels (8-bit text; empty clears it).
  void ShowStatusText(const std::string& text);

  // "&File"
  QMenu* File1;
  QAction* Connect1;
  QAction* QuickConnect1;
  QAction* RemoteConsole1;
  QAction* Board1;
  QAction* Close1;
  QAction* Exit1;
  // "&Window", also the list of the open child windows
  QMenu* Window1;
  QAction* Tile1;
  QAction* Cascade1;
  QAction* ArrangeAll1;
  QAction* CloseAll1;
  QAction* MinimizeAll1;
  QAction* MaximizeAll1;
  QAction* RestoreAll1;
  // "&Help"
  QMenu* Help1;
  QAction* Contents1;
  QAction* ToDoList1;
  QAction* About1;
  // Tool bar
  QToolButton* SB_New;
  QToolButton* CB_QuickConnect;
  QToolButton* SB_Remote;
  QToolButton* SB_Board;
  QToolButton* SB_Close;

  void Connect1Click() { RunCommand(TFrameCommand::Connect); }
  void QuickConnect1Click() { RunCommand(TFrameCommand::QuickConnect); }
  void RemoteConsole1Click() { RunCommand(TFrameCommand::RemoteConsole); }
  void Board1Click() { RunCommand(TFrameCommand::Board); }
  void Close1Click();
  void Exit1Click() { close(); }
  void Tile1Click();
  void Cascade1Click();
  void ArrangeAll1Click();
  void CloseAll1Click();
  void MinimizeAll1Click();
  void MaximizeAll1Click();
  void RestoreAll1Click();
  void ToDoList1Click() { RunCommand(TFrameCommand::ToDoList); }
  void About1Click() { RunCommand(TFrameCommand::About); }
  void SB_NewClick() { Connect1Click(); }
  void CB_QuickConnectClick() { QuickConnect1Click(); }
  void SB_RemoteClick() { RemoteConsole1Click(); }
  void SB_BoardClick() { Board1Click(); }
  void SB_CloseClick() { Close1Click(); }

 protected:
  // The tool bar cannot be hidden, so the frame has no tool bar menu.
  QMenu* createPopupMenu() override { return nullptr; }
  // FormClose: the children close first, last index first; a child that refuses to close
  // keeps the frame open.
  void closeEvent(QCloseEvent* event) override;

 private:
  static constexpr int kCommandCount = 6;
  struct Command {
    QAction* item = nullptr;        // the menu item
    QAction* button = nullptr;      // the tool button's place on the tool bar, if it has one
    std::function<void()> handler;
  };

  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  // Adds a flat tool button and returns its place on the tool bar (which shows or hides it).
  QAction* AddToolButton(QToolBar* bar, QToolButton*& button, const char* name, const char* picture, const char* hint,
                         void (TF_Main::*click)());
  QAction* AddItem(QMenu* menu, const char* name, const char* caption, void (TF_Main::*click)());
  void RunCommand(TFrameCommand command);
  Command& CommandOf(TFrameCommand command) { return commands_[static_cast<int>(command)]; }

  // The frames of the children, index 0 (topmost) first.
  std::vector<QMdiSubWindow*> ChildFrames() const;
  QMdiSubWindow* ActiveFrame() const;
  void ActivateFrame(QMdiSubWindow* frame);
  // Calls op for every child frame, last index first, over the list as it was at the start.
  template <class Op>
  void ForEachLastToFirst(Op op);
  void CloseChildren();

  void ChildActivated(QMdiSubWindow* frame);
  void MergeMenuOf(QMdiSubWindow* frame);
  void UpdateWindowList();

  app::MdiClient* MDIClient;
  QLabel* StatusPanel1;
  QLabel* StatusPanel2;
  QLabel* StatusText;
  QAction* toolSeparator_ = nullptr;
  QAction* helpSeparator_ = nullptr;
  QAction* windowListSeparator_ = nullptr;
  std::vector<QAction*> windowList_;
  QPointer<QMenu> merged_;  // the active child's menu while it is shown in the menu bar
  std::array<Command, kCommandCount> commands_;
};

// The application's main window, created by main() and alive until the program ends.
extern TF_Main* F_Main;
