#include "app/mainunit.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#include "app/mdiclient.h"
#include "app/windowops.h"
#include "platform/errorhandler.h"
#include "platform/text.h"

TF_Main* F_Main = nullptr;

namespace {

constexpr int kToolButtonSize = 25;
constexpr int kStatusPanelWidth = 50;

// A sensible first size where the system leaves it to the program: three quarters of the screen.
QSize FirstSize(const QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return QSize(800, 600);
  return screen->availableGeometry().size() * 3 / 4;
}

}  // namespace

TF_Main::TF_Main(QWidget* parent) : QMainWindow(parent) {
  setObjectName("F_Main");
  setWindowTitle("Corvane");
  MDIClient = new app::MdiClient(this);
  MDIClient->setObjectName("MDIClient");
  setCentralWidget(MDIClient);
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  connect(MDIClient, &QMdiArea::subWindowActivated, this, &TF_Main::ChildActivated);
  resize(FirstSize(*this));
  platform::SetFrame(this);
}

TF_Main::~TF_Main() {
  // The children go with the client area after this body; nothing of the frame may answer
  // their last activation changes.
  disconnect(MDIClient, nullptr, this, nullptr);
  if (platform::Frame() == this) platform::SetFrame(nullptr);
  if (F_Main == this) F_Main = nullptr;
}

QAction* TF_Main::AddItem(QMenu* menu, const char* name, const char* caption, void (TF_Main::*click)()) {
  QAction* item = menu->addAction(QString::fromLatin1(caption));
  item->setObjectName(QString::fromLatin1(name));
  if (click) connect(item, &QAction::triggered, this, platform::Handler([this, click] { (this->*click)(); }));
  return item;
}

void TF_Main::CreateMenus() {
  menuBar()->setObjectName("MainMenu1");

  File1 = menuBar()->addMenu("&File");
  File1->setObjectName("File1");
  Connect1 = AddItem(File1, "Connect1", "&Connect", &TF_Main::Connect1Click);
  Connect1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  QuickConnect1 = AddItem(File1, "QuickConnect1", "&Quick Connect", &TF_Main::QuickConnect1Click);
  QuickConnect1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  RemoteConsole1 = AddItem(File1, "RemoteConsole1", "Quick &Remote Console", &TF_Main::RemoteConsole1Click);
  RemoteConsole1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  Board1 = AddItem(File1, "Board1", "Server &Board", &TF_Main::Board1Click);
  Board1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  Close1 = AddItem(File1, "Close1", "&Close", &TF_Main::Close1Click);
  File1->addSeparator();
  Exit1 = AddItem(File1, "Exit1", "E&xit", &TF_Main::Exit1Click);

  // A child's own menu is shown here, between File and Window, while the child is active.
  Window1 = menuBar()->addMenu("&Window");
  Window1->setObjectName("Window1");
  Tile1 = AddItem(Window1, "Tile1", "&Tile", &TF_Main::Tile1Click);
  Cascade1 = AddItem(Window1, "Cascade1", "&Cascade", &TF_Main::Cascade1Click);
  ArrangeAll1 = AddItem(Window1, "ArrangeAll1", "&Arrange Icons", &TF_Main::ArrangeAll1Click);
  CloseAll1 = AddItem(Window1, "CloseAll1", "C&lose All", &TF_Main::CloseAll1Click);
  Window1->addSeparator();
  MinimizeAll1 = AddItem(Window1, "MinimizeAll1", "&Minimize All", &TF_Main::MinimizeAll1Click);
  MaximizeAll1 = AddItem(Window1, "MaximizeAll1", "M&aximize All", &TF_Main::MaximizeAll1Click);
  RestoreAll1 = AddItem(Window1, "RestoreAll1", "&Restore All", &TF_Main::RestoreAll1Click);
  connect(Window1, &QMenu::aboutToShow, this, &TF_Main::UpdateWindowList);

  Help1 = menuBar()->addMenu("&Help");
  Help1->setObjectName("Help1");
  Contents1 = AddItem(Help1, "Contents1", "&Contents", nullptr);  // no help viewer is attached
  ToDoList1 = AddItem(Help1, "ToDoList1", "&To Do List", &TF_Main::ToDoList1Click);
  helpSeparator_ = Help1->addSeparator();
  About1 = AddItem(Help1, "About1", "&About...", &TF_Main::About1Click);

  CommandOf(TFrameCommand::Connect).item = Connect1;
  CommandOf(TFrameCommand::QuickConnect).item = QuickConnect1;
  CommandOf(TFrameCommand::RemoteConsole).item = RemoteConsole1;
  CommandOf(TFrameCommand::Board).item = Board1;
  CommandOf(TFrameCommand::ToDoList).item = ToDoList1;
  CommandOf(TFrameCommand::About).item = About1;
  for (Command& command : commands_) command.item->setVisible(false);
  helpSeparator_->setVisible(false);
}

QAction* TF_Main::AddToolButton(QToolBar* bar, QToolButton*& button, const char* name, const char* picture,
                                const char* hint, void (TF_Main::*click)()) {
  button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(QIcon(QString::fromLatin1(picture)));
  button->setToolTip(QString::fromLatin1(hint));
  button->setAutoRaise(true);
  button->setFixedSize(kToolButtonSize, kToolButtonSize);
  button->setFocusPolicy(Qt::NoFocus);
  connect(button, &QToolButton::clicked, this, platform::Handler([this, click] { (this->*click)(); }));
  return bar->addWidget(button);
}

void TF_Main::CreateToolBar() {
  QToolBar* bar = addToolBar("Tool Bar");
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(20, 20));
  CommandOf(TFrameCommand::Connect).button =
      AddToolButton(bar, SB_New, "SB_New", ":/images/toolbar/connect.png", "Connect to remote server", &TF_Main::SB_NewClick);
  CommandOf(TFrameCommand::QuickConnect).button = AddToolButton(
      bar, CB_QuickConnect, "CB_QuickConnect", ":/images/toolbar/quickconnect.png", "Quick Connect", &TF_Main::CB_QuickConnectClick);
  CommandOf(TFrameCommand::RemoteConsole).button = AddToolButton(
      bar, SB_Remote, "SB_Remote", ":/images/toolbar/remote.png", "Quick Remote Console", &TF_Main::SB_RemoteClick);
  CommandOf(TFrameCommand::Board).button =
      AddToolButton(bar, SB_Board, "SB_Board", ":/images/toolbar/board.png", "Server Board", &TF_Main::SB_BoardClick);
  toolSeparator_ = bar->addSeparator();
  AddToolButton(bar, SB_Close, "SB_Close", ":/images/toolbar/close.png", "Close current window", &TF_Main::SB_CloseClick);
  for (Command& command : commands_)
    if (command.button) command.button->setVisible(false);
  toolSeparator_->setVisible(false);
}

void TF_Main::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar1");
  QLabel** panels[] = {&StatusPanel1, &StatusPanel2};
  for (int i = 0; i < 2; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString("StatusPanel%1").arg(i + 1));
    panel->setFixedWidth(kStatusPanelWidth);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(panel);
    *panels[i] = panel;
  }
  StatusText = new QLabel(bar);
  StatusText->setObjectName("StatusText");
  StatusText->setTextFormat(Qt::PlainText);
  bar->addWidget(StatusText, 1);
}

void TF_Main::ShowStatusText(const std::string& text) {
  StatusText->setText(platform::ToUnicode(text));
  StatusText->setToolTip(StatusText->text());  // the whole line, should the window be too narrow
}

void TF_Main::SetCommand(TFrameCommand which, std::function<void()> handler) {
  Command& command = CommandOf(which);
  command.handler = std::move(handler);
  const bool offered = static_cast<bool>(command.handler);
  command.item->setVisible(offered);
  if (command.button) command.button->setVisible(offered);
  helpSeparator_->setVisible(About1->isVisible());
  toolSeparator_->setVisible(std::any_of(commands_.begin(), commands_.end(),
                                         [](const Command& c) { return c.button && c.button->isVisible(); }));
}

void TF_Main::RunCommand(TFrameCommand which) {
  // A copy: the handler may replace itself while it runs.
  const std::function<void()> handler = CommandOf(which).handler;
  if (handler) handler();
}

// ---- children ----

void TF_Main::AddChild(QWidget* child) {
  const QSize size = child->testAttribute(Qt::WA_Resized) ? child->size() : child->sizeHint();
  child->setAttribute(Qt::WA_DeleteOnClose);
  auto* frame = new app::ChildFrame(child);
  MDIClient->addSubWindow(frame);
  frame->show();
  // The frame's border and title bar are known once it is shown; the child keeps its size.
  if (size.isValid()) frame->resize(size.grownBy(frame->contentsMargins()));
}

std::vector<QMdiSubWindow*> TF_Main::ChildFrames() const {
  std::vector<QMdiSubWindow*> frames;
  const QList<QMdiSubWindow*> stack = MDIClient->subWindowList(QMdiArea::StackingOrder);  // topmost last
  for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
    QMdiSubWindow* frame = *it;
    const QWidget* child = frame->widget();
    if (!child || frame->isHidden()) continue;  // closed, waiting to be freed
    // A minimised or rolled-up frame hides its child; any other hidden child has closed itself.
    if (child->isHidden() && !frame->isMinimized() && !frame->isShaded()) continue;
    frames.push_back(frame);
  }
  return frames;
}

std::vector<QWidget*> TF_Main::Children() const {
  std::vector<QWidget*> children;
  for (QMdiSubWindow* frame : ChildFrames()) children.push_back(frame->widget());
  return children;
}

QMdiSubWindow* TF_Main::ActiveFrame() const {
  const std::vector<QMdiSubWindow*> frames = ChildFrames();
  if (frames.empty()) return nullptr;
  // The client area keeps its current child while the frame itself is not the active window.
  QMdiSubWindow* current = MDIClient->currentSubWindow();
  if (std::find(frames.begin(), frames.end(), current) != frames.end()) return current;
  return frames.front();
}

QWidget* TF_Main::ActiveChild() const {
  const QMdiSubWindow* frame = ActiveFrame();
  return frame ? frame->widget() : nullptr;
}

void TF_Main::ActivateChild(QWidget* child) {
  for (QMdiSubWindow* frame : ChildFrames())
    if (frame->widget() == child) return ActivateFrame(frame);
}

void TF_Main::ActivateFrame(QMdiSubWindow* frame) {
  if (frame->isMinimized()) frame->showNormal();
  MDIClient->setActiveSubWindow(frame);
}

template <class Op>
void TF_Main::ForEachLastToFirst(Op op) {
  // Closing or minimising one child may reorder the others or free them: walk a snapshot.
  std::vector<QPointer<QMdiSubWindow>> frames;
  for (QMdiSubWindow* frame : app::LastToFirst(ChildFrames())) frames.emplace_back(frame);
  for (const QPointer<QMdiSubWindow>& frame : frames)
    if (frame) op(frame.data());
}

void TF_Main::CloseChildren() {
  ForEachLastToFirst([](QMdiSubWindow* frame) { frame->close(); });
}

void TF_Main::closeEvent(QCloseEvent* event) {
  CloseChildren();
  if (!ChildFrames().empty()) {
    event->ignore();  // a child would not close: the frame stays open with it
    return;
  }
  QMainWindow::closeEvent(event);
}

// ---- File and Window commands ----

void TF_Main::Close1Click() {
  if (QMdiSubWindow* frame = ActiveFrame()) frame->close();
}

void TF_Main::CloseAll1Click() { CloseChildren(); }

void TF_Main::MinimizeAll1Click() {
  ForEachLastToFirst([](QMdiSubWindow* frame) { frame->showMinimized(); });
}

void TF_Main::MaximizeAll1Click() {
  ForEachLastToFirst([](QMdiSubWindow* frame) { frame->showMaximized(); });
}

void TF_Main::RestoreAll1Click() {
  ForEachLastToFirst([](QMdiSubWindow* frame) { frame->showNormal(); });
}

void TF_Main::Cascade1Click() {
  if (!ChildFrames().empty()) MDIClient->cascadeSubWindows();
}

void TF_Main::ArrangeAll1Click() {
  const std::vector<QMdiSubWindow*> live = ChildFrames();
  std::vector<QMdiSubWindow*> icons;
  QSize icon(0, 0);
  for (QMdiSubWindow* frame : MDIClient->subWindowList(QMdiArea::CreationOrder)) {
    if (!frame->isMinimized() || std::find(live.begin(), live.end(), frame) == live.end()) continue;
    icons.push_back(frame);
    icon = icon.expandedTo(frame->size());
  }
  const QRect area(QPoint(0, 0), MDIClient->viewport()->size());
  const std::vector<QPoint> places = app::ArrangeIcons(area, icon, static_cast<int>(icons.size()));
  for (size_t i = 0; i < icons.size(); ++i) icons[i]->move(places[i]);
}

void TF_Main::Tile1Click() {
  std::vector<QMdiSubWindow*> tiled;
  int iconRow = 0;
  for (QMdiSubWindow* frame : ChildFrames()) {
    if (frame->isMinimized())
      iconRow = std::max(iconRow, frame->height());
    else
      tiled.push_back(frame);
  }
  if (tiled.empty()) return;
  for (QMdiSubWindow* frame : tiled)
    if (frame->isMaximized() || frame->isShaded()) frame->showNormal();
  // Minimised children keep a row of their own along the bottom.
  if (iconRow > 0) ArrangeAll1Click();
  const QSize client = MDIClient->viewport()->size();
  const QRect area(0, 0, client.width(), std::max(0, client.height() - iconRow));
  const std::vector<QRect> strips = app::TileHorizontally(area, static_cast<int>(tiled.size()));
  for (size_t i = 0; i < tiled.size(); ++i) tiled[i]->setGeometry(strips[i]);
}

// ---- menu merging and the window list ----

void TF_Main::ChildActivated(QMdiSubWindow* frame) {
  // No active child also means the frame itself lost the focus: its current child stays.
  MergeMenuOf(frame ? frame : ActiveFrame());
}

void TF_Main::MergeMenuOf(QMdiSubWindow* frame) {
  QMenu* wanted = nullptr;
  if (frame && !frame->isHidden())
    if (auto* owner = dynamic_cast<platform::MergedMenuOwner*>(frame->widget())) wanted = owner->MergedMenu();
  if (wanted == merged_) return;
  if (merged_) menuBar()->removeAction(merged_->menuAction());
  merged_ = wanted;
  if (wanted) menuBar()->insertMenu(Window1->menuAction(), wanted);
}

void TF_Main::UpdateWindowList() {
  for (QAction* entry : windowList_) delete entry;
  windowList_.clear();
  delete windowListSeparator_;
  windowListSeparator_ = nullptr;

  const std::vector<QMdiSubWindow*> live = ChildFrames();
  if (live.empty()) return;
  const QMdiSubWindow* active = ActiveFrame();
  windowListSeparator_ = Window1->addSeparator();
  int number = 0;
  for (QMdiSubWindow* frame : MDIClient->subWindowList(QMdiArea::CreationOrder)) {
    if (std::find(live.begin(), live.end(), frame) == live.end()) continue;
    ++number;
    QString title = frame->widget()->windowTitle();
    title.replace('&', "&&");
    const QString text = number <= 9 ? QString("&%1 %2").arg(number).arg(title) : QString("%1 %2").arg(number).arg(title);
    QAction* entry = Window1->addAction(text);
    entry->setCheckable(true);
    entry->setChecked(frame == active);
    connect(entry, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(frame)] {
      if (target) ActivateFrame(target);
    });
    windowList_.push_back(entry);
  }
}
