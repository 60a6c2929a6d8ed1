// Starts the corvane binary under xvfb-run (tests/support/show-frame.sh), waits for its frame,
// takes a screenshot, asks the program to end and checks that it does so by itself. The screenshot is kept in the build
// tree as frame-smoke.png for a person to look at. Then presses the menus' Alt letters with
// xdotool, as a person would, before and after a monitor window is opened.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "support/test_env.h"

namespace {

// Presses Alt and each menu's letter, then Escape twice, and writes the letter and the left
// edge of the menu that opened (or "none") to the file menus: first in the bare frame, then with
// a monitor window opened through Quick Connect (a modal dialog) on a port where nothing answers.
constexpr const char* kMenuScript = R"sh(
exe="$1"
"$exe" >corvane.out 2>&1 &
pid=$!
frame=
i=0
while [ $i -lt 150 ] && [ -z "$frame" ]; do
  frame=$(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -n 1)
  sleep 0.1; i=$((i+1))
done
[ -n "$frame" ] || exit 3
xdotool windowfocus --sync "$frame"
sleep 0.5
popup_left() {
  for w in $(xdotool search --onlyvisible --pid $pid 2>/dev/null); do
    [ "$w" = "$frame" ] || xwininfo -id "$w" | awk '/Absolute upper-left X/ { print $4 }'
  done
}
# wait_for COMMAND: up to 5 s until the command prints something.
wait_for() {
  i=0
  while [ -z "$($1)" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i+1)); done
}
wait_until_gone() {
  i=0
  while [ -n "$($1)" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i+1)); done
}
open_menu() {
  xdotool key "alt+$1"
  wait_for popup_left
  left=$(popup_left | head -n 1)
  echo "$2 $1 ${left:-none}" >>menus
  xdotool key Escape Escape
  wait_until_gone popup_left
  sleep 0.2
}
quick_connect() { xdotool search --onlyvisible --name '^Quick Connect' 2>/dev/null; }
for key in f w h; do open_menu $key frame; done
xdotool key ctrl+q
wait_for quick_connect
sleep 0.3
xdotool type 127.0.0.1
xdotool key Tab Tab ctrl+a
xdotool type 9
xdotool key Tab
xdotool type pw
xdotool key Return
wait_until_gone quick_connect
sleep 0.5
for key in q f w h; do open_menu $key monitor; done
kill -TERM $pid
wait $pid
)sh";

std::string ReadTrimmed(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "";
  return file.readAll().trimmed().toStdString();
}

int WindowValue(const std::string& info, const char* label) {
  const QRegularExpression pattern(QString("%1:\\s+(-?\\d+)").arg(label));
  const QRegularExpressionMatch match = pattern.match(QString::fromStdString(info));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The top-left corner where `picture` appears unchanged in `shot` inside `area`.
std::optional<QPoint> Find(const QImage& shot, const QImage& picture, const QRect& area) {
  const QRect search = area.intersected(shot.rect());
  for (int y = search.top(); y + picture.height() <= search.bottom() + 1; ++y)
    for (int x = search.left(); x + picture.width() <= search.right() + 1; ++x) {
      bool same = true;
      for (int py = 0; same && py < picture.height(); ++py) {
        const QRgb* want = reinterpret_cast<const QRgb*>(picture.constScanLine(py));
        const QRgb* have = reinterpret_cast<const QRgb*>(shot.constScanLine(y + py)) + x;
        for (int px = 0; px < picture.width(); ++px)
          if ((want[px] & 0xFFFFFF) != (have[px] & 0xFFFFFF)) {
            same = false;
            break;
          }
      }
      if (same) return QPoint(x, y);
    }
  return std::nullopt;
}

// Runs the shell script with the program under a virtual X server, in the folder `where`;
// false when xvfb-run is missing or the run did not end in time.
bool RunUnderXvfb(const QString& where, const QString& script, std::string& output) {
  QProcess run;
  run.setWorkingDirectory(where);
  run.setProcessChannelMode(QProcess::MergedChannels);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "xcb");  // the tests themselves run offscreen
  // Under the sanitizers: the X keyboard library copies X replies with strndup past their
  // end, which the strict string checks report; the program's own code keeps every check.
  if (environment.contains("ASAN_OPTIONS"))
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":strict_string_checks=0");
  run.setProcessEnvironment(environment);
  // -noreset: the X server would otherwise reset each time its last client (a look with
  // xwininfo) leaves, and a program connecting just then is refused.
  run.start("xvfb-run", {"-a", "-s", "-screen 0 1280x1024x24 -noreset", "sh", script, CORVANE_EXE});
  if (!run.waitForStarted(10000)) {
    output = "xvfb-run is missing (Debian package xvfb)";
    return false;
  }
  const bool ended = run.waitForFinished(90000);
  output = run.readAll().toStdString() + ReadTrimmed(where + "/corvane.out");
  return ended;
}

TEST(FrameSmoke, TheProgramShowsItsFrameAndEndsWhenAskedTo) {
  test::TempDir dir;
  const QString where = QString::fromStdString(dir.Path());
  std::string output;
  const QString script = QString::fromStdString(test::SourceDir() + "/tests/support/show-frame.sh");
  ASSERT_TRUE(RunUnderXvfb(where, script, output)) << output;
  ASSERT_EQ(ReadTrimmed(where + "/shown"), "yes") << output;

  QImage shot(where + "/shot.png");
  ASSERT_FALSE(shot.isNull()) << "no screenshot (Debian package imagemagick)";
  shot = shot.convertToFormat(QImage::Format_RGB32);
  const QString kept = QString::fromUtf8(CORVANE_BINARY_DIR) + "/tests/e2e/smoke/frame-smoke.png";
  shot.save(kept);

  const std::string info = ReadTrimmed(where + "/wininfo");
  const QRect window(WindowValue(info, "Absolute upper-left X"), WindowValue(info, "Absolute upper-left Y"),
                     WindowValue(info, "Width"), WindowValue(info, "Height"));
  ASSERT_TRUE(window.isValid()) << info;
  EXPECT_GE(window.width(), 640) << "a first size that shows the pictures";

  // The emblem in the middle of the client area, which spans the frame's width; the banner
  // 50 pixels above the client area's bottom, and the emblem halfway down.
  const QImage emblem = QImage(":/images/emblem.bmp").convertToFormat(QImage::Format_RGB32);
  const QImage banner = QImage(":/images/banner.bmp").convertToFormat(QImage::Format_RGB32);
  const std::optional<QPoint> emblemAt = Find(shot, emblem, window);
  const std::optional<QPoint> bannerAt = Find(shot, banner, window);
  ASSERT_TRUE(emblemAt && bannerAt) << "emblem and banner in " << kept.toStdString();
  EXPECT_EQ(emblemAt->x(), window.x() + (window.width() - 140) / 2);
  EXPECT_EQ(bannerAt->x(), window.x() + (window.width() - 600) / 2);
  bool consistent = false;
  for (int top = window.top() + 1; top < emblemAt->y(); ++top) {
    const int height = bannerAt->y() + 50 - top;
    if (emblemAt->y() == top + (height - 170) / 2) consistent = true;
  }
  EXPECT_TRUE(consistent) << "emblem and banner placed for one client area";
  EXPECT_LT(bannerAt->y() + 46, window.bottom()) << "the status bar lies below the client area";
  EXPECT_EQ(shot.pixel(window.x() + 5, emblemAt->y()) & 0xFFFFFF, 0u) << "black background";

  EXPECT_EQ(ReadTrimmed(where + "/stopped"), "stopped") << "the program did not end within 10 s";
  EXPECT_EQ(ReadTrimmed(where + "/status"), "0") << output;
  EXPECT_EQ(output.find("QObject::"), std::string::npos) << output;
}

// Every menu opens with Alt and its letter, the monitor window's merged menu included, also
// right after the Quick Connect dialog has closed; each opens below its own title, in the order
// of the menu bar.
TEST(FrameSmoke, EveryMenuOpensWithItsAltLetter) {
  test::TempDir dir;
  const QString where = QString::fromStdString(dir.Path());
  dir.Write("menus.sh", kMenuScript);
  std::string output;
  ASSERT_TRUE(RunUnderXvfb(where, where + "/menus.sh", output)) << output;
  const std::string menus = ReadTrimmed(where + "/menus");
  ASSERT_FALSE(menus.empty()) << "no frame, or xdotool is missing (Debian package xdotool)\n" << output;
  std::map<std::string, int> left;  // "frame f" -> the left edge of the menu that opened
  std::istringstream lines(menus);
  std::string window, key, edge;
  while (lines >> window >> key >> edge) left[window + " " + key] = edge == "none" ? -1 : std::stoi(edge);
  for (const char* menu : {"frame f", "frame w", "frame h", "monitor q", "monitor f", "monitor w", "monitor h"}) {
    ASSERT_TRUE(left.count(menu)) << menus;
    EXPECT_GE(left[menu], 0) << menu << " opened nothing\n" << menus;
  }
  EXPECT_LT(left["frame f"], left["frame w"]) << menus;
  EXPECT_LT(left["frame w"], left["frame h"]) << menus;
  EXPECT_LT(left["monitor f"], left["monitor q"]) << menus;
  EXPECT_LT(left["monitor q"], left["monitor w"]) << menus;
  EXPECT_LT(left["monitor w"], left["monitor h"]) << menus;
  EXPECT_GT(left["monitor w"], left["frame w"]) << "the monitor window's menu stands before Window\n" << menus;
}

}  // namespace
