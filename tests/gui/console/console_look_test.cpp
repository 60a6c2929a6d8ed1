// The look all consoles share: what a new console shows, and changes made from any console.
#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QImage>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>

#include "app/startup.h"
#include "console/terminallook.h"
#include "console_fixture.h"
#include "monitor/q3server.h"
#include "platform/paths.h"

namespace consoletest {
namespace {

QColor Background(const TTerminalForm* console) { return console->Memo1->palette().color(QPalette::Base); }
QColor TextColor(const TTerminalForm* console) { return console->Memo1->palette().color(QPalette::Text); }

class ConsoleLook : public ConsoleTest {
 protected:
  // A monitor window beside the consoles (not connected).
  TF_Q3Server* OtherChild() {
    auto* child = new TF_Q3Server;
    frame.AddChild(child);
    return child;
  }
  std::string Ini() const { return dir.Read("Corvane.ini"); }
};

TEST_F(ConsoleLook, ANewConsoleShowsTheDefaultLookInAFixedPitchFace) {
  TTerminalForm* console = Open();
  const QFont font = console->Memo1->font();
  EXPECT_EQ(font.family(), "Fixedsys");
  EXPECT_EQ(font.pointSize(), 9);
  EXPECT_FALSE(font.bold());
  EXPECT_TRUE(QFontInfo(font).fixedPitch()) << QFontInfo(font).family().toStdString();
  EXPECT_EQ(TextColor(console), QColor(255, 255, 255));
  EXPECT_EQ(Background(console), QColor(0x51, 0x51, 0x51));
  // The buttons and the command line keep the ordinary look.
  EXPECT_NE(console->E_Command->font().family(), "Fixedsys");
}

TEST_F(ConsoleLook, ColoursInTheFileHaveRedInTheLowByte) {
  dir.Write("Corvane.ini", "[Common]\r\nTerminalColor=0x0000FF\r\nTerminalFontColor=$FF0000\r\nTerminalFontSize=-20\r\n");
  LoadTerminalSettings();
  TTerminalForm* console = Open();
  EXPECT_EQ(Background(console), QColor(255, 0, 0));
  EXPECT_EQ(TextColor(console), QColor(0, 0, 255));
  EXPECT_EQ(console->Memo1->font().pixelSize(), 20);  // a negative size is a height in pixels

  dir.Write("Corvane.ini", "[Common]\r\nTerminalColor=blue\r\nTerminalFontName=Noto Mono\r\n");
  LoadTerminalSettings();
  console = Open();
  EXPECT_EQ(Background(console), QColor(0x51, 0x51, 0x51));
  EXPECT_EQ(QFontInfo(console->Memo1->font()).family(), "Noto Mono");  // a face this machine has is used
}

TEST_F(ConsoleLook, ProgramStartReadsTheLook) {
  dir.Write("Corvane.ini", "[Common]\r\nTerminalColor=255\r\nTerminalFontSize=12\r\n");
  app::LoadUnitSettings();
  EXPECT_EQ(TerminalBackColor, 255);
  EXPECT_EQ(Open()->Memo1->font().pointSize(), 12);
}

TEST_F(ConsoleLook, AFontChosenInOneConsoleReachesEveryConsole) {
  TTerminalForm* first = Open();
  TF_Q3Server* monitor = OtherChild();
  const QFont monitorFont = monitor->LV_Players->font();
  TTerminalForm* second = Open();

  QFont bold("DejaVu Sans", 14);
  bold.setBold(true);
  dialogs.fontAnswers.push_back({bold, QColor(255, 255, 0)});
  first->Font1->trigger();
  EXPECT_EQ(dialogs.fontRequests, 1);
  EXPECT_TRUE(dialogs.messages.empty());

  for (TTerminalForm* console : {first, second}) {
    EXPECT_EQ(console->Memo1->font().family(), "DejaVu Sans");
    EXPECT_EQ(console->Memo1->font().pointSize(), 14);
    EXPECT_TRUE(console->Memo1->font().bold());
    EXPECT_EQ(TextColor(console), QColor(255, 255, 0));
    EXPECT_EQ(Background(console), QColor(0x51, 0x51, 0x51));
  }
  EXPECT_EQ(monitor->LV_Players->font(), monitorFont);
  // Name, size and colour are stored, the style is not.
  EXPECT_EQ(Ini(), "[Common]\r\nTerminalFontName=DejaVu Sans\r\nTerminalFontSize=14\r\nTerminalFontColor=65535\r\n"
                   "TerminalColor=5329233\r\n");

  // The console it was chosen in closes; the others keep the font, and so do consoles opened later.
  first->close();
  Settle();
  EXPECT_TRUE(second->Memo1->font().bold());
  TTerminalForm* third = Open();
  EXPECT_EQ(third->Memo1->font(), second->Memo1->font());
  EXPECT_EQ(TextColor(third), QColor(255, 255, 0));

  // After a restart the font is regular.
  LoadTerminalSettings();
  TTerminalForm* later = Open();
  EXPECT_EQ(later->Memo1->font().family(), "DejaVu Sans");
  EXPECT_EQ(later->Memo1->font().pointSize(), 14);
  EXPECT_FALSE(later->Memo1->font().bold());
}

// The real font dialog opens on the face and size the log shows, whatever the stored name (it
// opened on Sans Serif for the default "Fixedsys", which this machine lacks, and OK stored that);
// OK without a change stores nothing, and a colour changed alone keeps name and size as stored.
TEST_F(ConsoleLook, TheFontDialogOpensOnTheShownFaceAndOkWithoutAChangeKeepsTheStoredLook) {
  platform::Dialogs* scripted = platform::SetDialogs(nullptr);
  const std::string looks[] = {"", "[Common]\r\nTerminalFontName=No Such Face\r\nTerminalFontSize=11\r\n",
                               "[Common]\r\nTerminalFontName=noto mono\r\nTerminalFontSize=-20\r\n"};
  for (const std::string& look : looks) {
    if (!look.empty()) dir.Write("Corvane.ini", look);
    LoadTerminalSettings();
    const TTerminalFont stored = TerminalFont;
    TTerminalForm* console = Open();
    const QFontInfo shown(console->Memo1->font());
    QFont offered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        offered = dialog->findChild<QFontDialog*>()->currentFont();
        dialog->accept();
      }
    });
    answer.start(10);
    console->Font1->trigger();
    EXPECT_EQ(offered.family(), shown.family()) << look;
    EXPECT_NEAR(offered.pointSizeF(), shown.pointSizeF(), 0.5) << look;
    EXPECT_EQ(TerminalFont, stored) << look;
    EXPECT_EQ(Ini(), look);
  }
  platform::SetDialogs(scripted);
  dialogs.fontAnswers.push_back({console::ShownFont(Open()->Memo1->font()), QColor(0, 255, 0)});
  Open()->Font1->trigger();
  EXPECT_EQ(Ini(), "[Common]\r\nTerminalFontName=noto mono\r\nTerminalFontSize=-20\r\nTerminalFontColor=65280\r\n"
                   "TerminalColor=5329233\r\n");
}

TEST_F(ConsoleLook, ABackgroundChosenInOneConsoleReachesEveryConsole) {
  TTerminalForm* first = Open();
  TF_Q3Server* monitor = OtherChild();
  const QPalette monitorPalette = monitor->LV_Players->palette();
  TTerminalForm* second = Open();

  dialogs.colorAnswers.push_back(QColor(0, 0, 255));
  second->Background1->trigger();
  EXPECT_EQ(dialogs.colorRequests, 1);
  EXPECT_EQ(TerminalBackColor, 0xFF0000);
  for (TTerminalForm* console : {first, second}) {
    EXPECT_EQ(Background(console), QColor(0, 0, 255));
    EXPECT_EQ(TextColor(console), QColor(255, 255, 255));
  }
  EXPECT_EQ(monitor->LV_Players->palette(), monitorPalette);
  EXPECT_EQ(Ini(), "[Common]\r\nTerminalFontName=Fixedsys\r\nTerminalFontSize=9\r\nTerminalFontColor=16777215\r\n"
                   "TerminalColor=16711680\r\n");
  EXPECT_EQ(Background(Open()), QColor(0, 0, 255));
}

TEST_F(ConsoleLook, CancellingChangesAndWritesNothing) {
  TTerminalForm* console = Open();
  const QFont font = console->Memo1->font();
  console->Font1->trigger();
  console->Background1->trigger();
  EXPECT_EQ(dialogs.fontRequests, 1);
  EXPECT_EQ(dialogs.colorRequests, 1);
  EXPECT_EQ(console->Memo1->font(), font);
  EXPECT_EQ(Background(console), QColor(0x51, 0x51, 0x51));
  EXPECT_EQ(TerminalFont, TTerminalFont{});
  struct stat st{};
  EXPECT_NE(::stat(platform::IniFileName().c_str(), &st), 0);
}

TEST_F(ConsoleLook, AnIniFileThatCannotBeWrittenLeavesOpenConsolesAsTheyWere) {
  dir.Write("Corvane.ini", "[Common]\r\nNumServers=0\r\n");
  ::chmod(platform::IniFileName().c_str(), 0444);
  TTerminalForm* console = Open();
  dialogs.colorAnswers.push_back(QColor(0, 128, 0));
  console->Background1->trigger();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].text, "Unable to write to " + platform::IniFileName() + ".");
  EXPECT_EQ(Ini(), "[Common]\r\nNumServers=0\r\n");
  // The shared value has changed: open consoles keep their look, the next one takes the new one.
  EXPECT_EQ(Background(console), QColor(0x51, 0x51, 0x51));
  EXPECT_EQ(TerminalBackColor, 0x008000);
  EXPECT_EQ(Background(Open()), QColor(0, 128, 0));
}

// What the administrator sees: grey log, white fixed-pitch text, the command line below.
// CORVANE_SCREENSHOT=<file.png> keeps a picture of it.
TEST_F(ConsoleLook, TheLogIsPaintedInTheSharedColours) {
  TTerminalForm* console = Open();
  Type(console, "status");
  Reply(console, kMarker + "print\nmap: oa_dm1\nnum score ping name            lastmsg address               qport rate\n"
                           "--- ----- ---- --------------- ------- --------------------- ----- -----\n"
                           "  0     3   48 ^1Sarge^7           50 127.0.0.1:27961       1234 25000\n\n");
  Reply(console, kMarker + "print\nBad rconpassword.\n");
  ASSERT_TRUE(WaitForLog(console, 10));
  Settle();
  const QImage shot = console->grab().toImage();
  if (const char* file = std::getenv("CORVANE_SCREENSHOT")) shot.save(QString::fromLocal8Bit(file));
  const QRect log = console->Memo1->viewport()->geometry().translated(console->Memo1->pos());
  EXPECT_EQ(shot.pixelColor(log.right() - 5, log.bottom() - 5), QColor(0x51, 0x51, 0x51));
  bool white = false;
  for (int y = log.top(); y < log.top() + 40 && !white; ++y)
    for (int x = log.left(); x < log.left() + 200 && !white; ++x) white = shot.pixelColor(x, y).lightness() > 200;
  EXPECT_TRUE(white);
}

TEST(ConsoleColour, ValuesHaveRedInTheLowByte) {
  EXPECT_EQ(console::ToQColor(5329233), QColor(0x51, 0x51, 0x51));
  EXPECT_EQ(console::ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(console::ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(console::FromQColor(QColor(0x56, 0x34, 0x12)), 0x123456);
  EXPECT_EQ(console::FromQColor(QColor::fromHsv(240, 255, 255)), 0xFF0000);
}

}  // namespace
}  // namespace consoletest
