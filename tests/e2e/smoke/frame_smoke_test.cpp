// Starts the corvane binary under xvfb-run, waits for its frame, takes a screenshot, asks the
// program to end and checks that it does so by itself. The screenshot is kept in the build
// tree as frame-smoke.png for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <optional>
#include <string>

#include "support/test_env.h"

namespace {

// Starts the program, waits at most 15 s for its window, screenshots the screen, sends it
// SIGTERM (as a session ending does) and gives it 10 s to end.
constexpr const char* kScript = R"(
exe="$1"
"$exe" >corvane.out 2>&1 &
pid=$!
alive() { [ -d /proc/$pid ] && ! grep -q ') Z' /proc/$pid/stat; }
shown=no
i=0
while [ $i -lt 150 ]; do
  if xwininfo -name Corvane 2>/dev/null | grep -q IsViewable; then shown=yes; break; fi
  alive || break
  sleep 0.1; i=$((i+1))
done
echo $shown > shown
if [ $shown = yes ]; then
  sleep 1
  xwininfo -name Corvane > wininfo
  import -window root shot.png
fi
kill -TERM $pid 2>/dev/null
i=0
while alive && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done
if alive; then echo hung > stopped; kill -KILL $pid; else echo stopped > stopped; fi
wait $pid
echo $? > status
)";

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

TEST(FrameSmoke, TheProgramShowsItsFrameAndEndsWhenAskedTo) {
  test::TempDir dir;
  dir.Write("run.sh", kScript);
  const QString where = QString::fromStdString(dir.Path());
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
  run.start("xvfb-run", {"-a", "-s", "-screen 0 1280x1024x24 -noreset", "sh", "run.sh", CORVANE_EXE});
  ASSERT_TRUE(run.waitForStarted(10000)) << "xvfb-run is missing (Debian package xvfb)";
  ASSERT_TRUE(run.waitForFinished(60000)) << "the run did not end";
  const std::string output = ReadTrimmed(where + "/corvane.out");
  ASSERT_EQ(ReadTrimmed(where + "/shown"), "yes") << run.readAll().toStdString() << output;

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

}  // namespace
