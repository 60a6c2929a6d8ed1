#include "app/desktopnotice.h"

#include <QApplication>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/convert.h"
#include "platform/text.h"

namespace app {

namespace {

constexpr int kNoticeMs = 10000;
constexpr int kGatherMs = 300;

std::vector<std::pair<std::string, std::string>> pending;

void ShowGathered() {
  const auto [title, text] = GatheredNotice(pending);
  pending.clear();
  // Made with the first notice, and goes with the application.
  static QPointer<QSystemTrayIcon> icon;
  if (!icon) {
    icon = new QSystemTrayIcon(QApplication::windowIcon(), qApp);
    icon->setToolTip(QApplication::applicationName());
    icon->show();
  }
  icon->showMessage(platform::ToUnicode(title), platform::ToUnicode(text), QSystemTrayIcon::Information, kNoticeMs);
}

}  // namespace

std::pair<std::string, std::string> GatheredNotice(const std::vector<std::pair<std::string, std::string>>& notices) {
  if (notices.size() == 1) return notices.front();
  std::string text;
  for (std::size_t i = 0; i < notices.size() && i < kNoticeLines; ++i)
    text += (i ? "\n" : "") + notices[i].first + ": " + notices[i].second;
  if (notices.size() > kNoticeLines) text += "\nand " + platform::IntToStr(static_cast<long long>(notices.size() - kNoticeLines)) + " more";
  return {platform::IntToStr(static_cast<long long>(notices.size())) + " alerts", text};
}

void ShowDesktopNotice(const std::string& title, const std::string& text) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  pending.emplace_back(title, text);
  if (pending.size() == 1) QTimer::singleShot(kGatherMs, qApp, [] { ShowGathered(); });
}

}  // namespace app
