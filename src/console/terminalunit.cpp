#include "console/terminalunit.h"

#include <QCloseEvent>
#include <QFile>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <memory>

#include "console/globalparam.h"
#include "console/terminallog.h"
#include "console/terminallook.h"
#include "platform/colourtext.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/text.h"
#include "protocol/packets.h"

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

const QString kSaveFilter = QStringLiteral("Text file|*.txt|Log File|*.log|All files|*.*");

QFrame* LoweredPanel(QWidget* parent, const char* name) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  return panel;
}

// A log line as Memo1 shows it. The log keeps carriage returns as they came (a saved log has
// them), but the text control would break the paragraph at one, so it is not shown.
QString DisplayLine(const std::string& line) {
  QString text = platform::ToUnicode(line);
  text.remove(QLatin1Char('\r'));
  return text;
}

// The consoles among the frame's children, from the last to the first.
std::vector<TTerminalForm*> OpenConsoles() {
  std::vector<TTerminalForm*> consoles;
  if (!platform::Frame()) return consoles;
  const std::vector<QWidget*> children = platform::Frame()->Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (auto* console = dynamic_cast<TTerminalForm*>(*it)) consoles.push_back(console);
  return consoles;
}

}  // namespace

TTerminalForm::TTerminalForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TerminalForm"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Remote Console"));
  resize(667, 475);
  CreateControls();
  CreateMenu();

  // FormCreate
  FHistory.clear();
  FHistoryIndex = 0;
  E_Command->clear();
  SetLogFont(console::ToQFont(TerminalFont), console::ToQColor(TerminalFont.Color));
  SetLogBackground(console::ToQColor(TerminalBackColor));

  // Consoles share the program's pacer with the monitor windows, so that together they stay
  // within the server's request rate limit and none of their commands is dropped.
  Q3A_Client.Paced = true;
  Q3A_Client.OnData = [this](TUDPClient& sender, int socket) {
    platform::Guarded([&] { Q3A_ClientData(sender, socket); });
  };
}

TTerminalForm::~TTerminalForm() { Q3A_Client.OnData = nullptr; }

void TTerminalForm::CreateControls() {
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setFocusPolicy(Qt::ClickFocus);  // not a tab stop; Memo1Enter passes a click's focus on
  Memo1->viewport()->setCursor(Qt::ArrowCursor);
  Memo1->setUndoRedoEnabled(false);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(39);

  P_Command = LoweredPanel(Panel1, "P_Command");
  E_Command = new QLineEdit(P_Command);
  E_Command->setObjectName(QStringLiteral("E_Command"));
  E_Command->setGeometry(4, 9, 445, 21);

  Panel3 = LoweredPanel(Panel1, "Panel3");
  Panel3->setFixedWidth(200);
  Btn_Close = new QPushButton(QStringLiteral("&Close"), Panel3);
  Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
  Btn_Close->setGeometry(7, 7, 90, 25);
  Btn_Save = new QPushButton(QStringLiteral("&Save Log"), Panel3);
  Btn_Save->setObjectName(QStringLiteral("Btn_Save"));
  Btn_Save->setGeometry(103, 7, 90, 25);

  auto* bottom = new QHBoxLayout(Panel1);
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->setSpacing(0);
  bottom->addWidget(P_Command, 1);
  bottom->addWidget(Panel3);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1, 1);
  layout->addWidget(Panel1);

  setTabOrder(E_Command, Btn_Close);
  setTabOrder(Btn_Close, Btn_Save);
  setFocusProxy(E_Command);

  // The window sees key presses before its controls do (Enter sends from anywhere in it).
  for (QWidget* control : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(E_Command),
                           static_cast<QWidget*>(Btn_Close), static_cast<QWidget*>(Btn_Save)})
    control->installEventFilter(this);
  P_Command->installEventFilter(this);

  connect(Btn_Close, &QPushButton::clicked, this, platform::Handler([this] { Btn_CloseClick(); }));
  connect(Btn_Save, &QPushButton::clicked, this, platform::Handler([this] { Btn_SaveClick(); }));
}

void TTerminalForm::CreateMenu() {
  MainMenu1 = new QMenu(QStringLiteral("&Q3A Terminal"), this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  Save = MainMenu1->addAction(QStringLiteral("&Save Log"));
  Save->setObjectName(QStringLiteral("Save"));
  Settings1 = MainMenu1->addMenu(QStringLiteral("Settings"));
  Settings1->setObjectName(QStringLiteral("Settings1"));
  Settings1->menuAction()->setObjectName(QStringLiteral("Settings1"));
  Font1 = Settings1->addAction(QStringLiteral("&Font"));
  Font1->setObjectName(QStringLiteral("Font1"));
  Background1 = Settings1->addAction(QStringLiteral("&Background"));
  Background1->setObjectName(QStringLiteral("Background1"));
  ShowCodes1 = MainMenu1->addAction(QStringLiteral("Show Colour &Codes"));
  ShowCodes1->setObjectName(QStringLiteral("ShowCodes1"));
  ShowCodes1->setCheckable(true);
  connect(ShowCodes1, &QAction::triggered, this, platform::Handler([this] { ShowCodes1Click(); }));

  connect(Save, &QAction::triggered, this, platform::Handler([this] { SaveClick(); }));
  connect(Font1, &QAction::triggered, this, platform::Handler([this] { Font1Click(); }));
  connect(Background1, &QAction::triggered, this, platform::Handler([this] { Background1Click(); }));
}

bool TTerminalForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                         !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
      if (enter && FormKeyPress(kKeyEnter)) return true;
      if (watched == E_Command) {
        if (key->key() == Qt::Key_Up) return E_CommandKeyDown(kKeyUp);
        if (key->key() == Qt::Key_Down) return E_CommandKeyDown(kKeyDown);
        // The log never has the focus, so the copy key copies what is selected in it when
        // nothing is selected in the command line.
        if (key->matches(QKeySequence::Copy) && !E_Command->hasSelectedText() && Memo1->textCursor().hasSelection()) {
          Memo1->copy();
          return true;
        }
      }
      break;
    }
    case QEvent::FocusIn:
      if (watched == Memo1) Memo1Enter();
      break;
    case QEvent::Resize:
      if (watched == P_Command) P_CommandResize();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

bool TTerminalForm::FormKeyPress(int key) {
  if (key != kKeyEnter || E_Command->text().isEmpty()) return false;
  const std::string command = platform::ToAnsi(E_Command->text());
  const size_t from = FLog.size();
  FLog.push_back("Command : [" + command + "]");
  ShowLinesFrom(from);
  Q3A_Client.SendText(protocol::ConsoleCommandDatagram(FPassword, command));
  FHistory.push_back(command);
  FHistoryIndex = static_cast<int>(FHistory.size());
  E_Command->clear();
  return true;
}

bool TTerminalForm::E_CommandKeyDown(int keyCode) {
  const int count = static_cast<int>(FHistory.size());
  if (keyCode == kKeyUp) {
    FHistoryIndex = std::max(FHistoryIndex - 1, 0);
    if (FHistoryIndex >= count) return false;  // no history: nothing to show
    E_Command->setText(platform::ToUnicode(FHistory[static_cast<size_t>(FHistoryIndex)]));
  } else if (keyCode == kKeyDown) {
    ++FHistoryIndex;
    if (FHistoryIndex > count - 1) {
      FHistoryIndex = count;
      E_Command->clear();
    } else {
      E_Command->setText(platform::ToUnicode(FHistory[static_cast<size_t>(FHistoryIndex)]));
    }
  } else {
    return false;
  }
  E_Command->end(false);
  return true;
}

void TTerminalForm::Q3A_ClientData(TUDPClient& sender, int /*socket*/) {
  ShowReply(sender.ReceiveText());
}

void TTerminalForm::ShowReply(const std::string& datagram) {
  const size_t from = FLog.size();
  console::AppendReply(FLog, datagram);
  ShowLinesFrom(from);
}

void TTerminalForm::ShowLinesFrom(size_t from) {
  if (from >= FLog.size()) return;
  // A console talks to any game; the colour codes are those of the Quake 3 servers, which a
  // Quake 2 server never prints.
  const common::ColorCodes codes = ShowCodes1->isChecked() ? common::ColorCodes::None : common::ColorCodes::IoQuake3;
  const QColor background = Memo1->palette().color(QPalette::Base);
  for (size_t i = from; i < FLog.size(); ++i) {
    if (common::HasColourCodes(FLog[i], codes)) {
      std::string line = FLog[i];
      std::erase(line, '\r');
      Memo1->appendHtml(platform::ColouredHtml(line, codes, background));
    } else {
      Memo1->appendPlainText(DisplayLine(FLog[i]));
    }
  }
  // The newest output is what the administrator waits for.
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TTerminalForm::closeEvent(QCloseEvent* event) {
  Q3A_Client.Close();
  QWidget::closeEvent(event);
}

void TTerminalForm::ShowAllLines() {
  Memo1->clear();
  ShowLinesFrom(0);
}

void TTerminalForm::ShowCodes1Click() { ShowAllLines(); }

void TTerminalForm::Memo1Enter() { E_Command->setFocus(Qt::OtherFocusReason); }

void TTerminalForm::P_CommandResize() { E_Command->resize(P_Command->width() - 10, E_Command->height()); }

void TTerminalForm::Btn_CloseClick() { close(); }

void TTerminalForm::Btn_SaveClick() {
  platform::SaveDialogRequest request;
  request.defaultExtension = QStringLiteral("txt");
  request.filter = kSaveFilter;
  request.filterIndex = 1;
  request.overwritePrompt = true;
  QString fileName;
  if (!platform::CurrentDialogs().SaveFile(this, request, fileName)) return;
  console::SaveLogFile(QFile::encodeName(fileName).toStdString(), FLog);
}

void TTerminalForm::Font1Click() {
  const QFont offered = console::ShownFont(Memo1->font());
  QFont font = offered;
  QColor color = Memo1->palette().color(QPalette::Text);
  if (!platform::CurrentDialogs().ChooseFont(this, font, color)) return;
  TTerminalFont chosen = TerminalFont;
  console::AssignChosenFont(chosen, font, color, offered);
  if (chosen == TerminalFont) return;  // OK without a change: the stored look stays as it is
  TerminalFont = chosen;
  SaveTerminalSettings();
  const QFont shared = console::ToQFont(TerminalFont);
  const QColor sharedColor = console::ToQColor(TerminalFont.Color);
  for (TTerminalForm* console : OpenConsoles()) console->SetLogFont(shared, sharedColor);
}

void TTerminalForm::Background1Click() {
  QColor color = Memo1->palette().color(QPalette::Base);
  if (!platform::CurrentDialogs().ChooseColor(this, color)) return;
  TerminalBackColor = console::FromQColor(color);
  SaveTerminalSettings();
  const QColor shared = console::ToQColor(TerminalBackColor);
  for (TTerminalForm* console : OpenConsoles()) console->SetLogBackground(shared);
}

void TTerminalForm::SetLogFont(const QFont& font, const QColor& color) {
  Memo1->setFont(font);
  QPalette palette = Memo1->palette();
  palette.setColor(QPalette::Text, color);
  Memo1->setPalette(palette);
}

void TTerminalForm::SetLogBackground(const QColor& color) {
  QPalette palette = Memo1->palette();
  palette.setColor(QPalette::Base, color);
  Memo1->setPalette(palette);
  ShowAllLines();
}

TTerminalForm* OpenTerminal(const std::string& caption, const std::string& password, const std::string& host,
                            const std::string& port) {
  auto form = std::make_unique<TTerminalForm>();
  form->setWindowTitle(platform::ToUnicode(caption));
  form->FPassword = password;
  form->Q3A_Client.Port = port;
  form->Q3A_Client.Host = host;
  form->Q3A_Client.Open();  // raises for a port that is not a number; the console goes with it
  TTerminalForm* console = form.release();
  if (platform::MdiHost* frame = platform::Frame())
    frame->AddChild(console);
  else
    console->show();
  console->E_Command->setFocus(Qt::OtherFocusReason);
  console->Q3A_Client.SendText(protocol::ConsoleOpeningDatagram(console->FPassword));
  return console;
}
