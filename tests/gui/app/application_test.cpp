// The application object: title, help file and icon, and the general error handler's last
// line for exceptions that escape an event handler or an unwrapped slot.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "platform/errors.h"
#include "support/scripted_dialogs.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace apptest {
namespace {

// Qt's widget code is built without exception cleanup: an exception unwinding through it skips
// the destructors of what those frames hold, which the leak checker then reports. The
// backstop is there for what should never happen; these tests make it happen on purpose.
struct UnwindingThroughQt {
#if defined(__SANITIZE_ADDRESS__)
  UnwindingThroughQt() { __lsan_disable(); }
  ~UnwindingThroughQt() { __lsan_enable(); }
#endif
};

class RaisingWidget : public QWidget {
 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_A) throw platform::EConvertError("'abc' is not a valid integer value");
    if (event->key() == Qt::Key_B) throw 42;
    QWidget::keyPressEvent(event);
  }
};

TEST(Application, TitleHelpFileAndIconAreRegistered) {
  EXPECT_EQ(QCoreApplication::applicationName(), "Corvane");
  EXPECT_EQ(TApplication::Title(), "Corvane");
  EXPECT_EQ(TApplication::HelpFile(), "Corvane.hlp");
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_EQ(QGuiApplication::desktopFileName(), "org.corvane.Corvane");
}

TEST(Application, AnExceptionEscapingAnEventHandlerIsShownAndTheProgramGoesOn) {
  test::ScopedDialogs dialogs;
  [[maybe_unused]] const UnwindingThroughQt unwinding;
  RaisingWidget widget;
  widget.show();
  QTest::keyClick(&widget, Qt::Key_A);
  QTest::keyClick(&widget, Qt::Key_B);
  QTest::keyClick(&widget, Qt::Key_A);
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].text, "'abc' is not a valid integer value.");
  EXPECT_EQ(dialogs.messages[1].text, "Unknown error.");
  EXPECT_EQ(dialogs.messages[2].text, "'abc' is not a valid integer value.");
  EXPECT_TRUE(widget.isVisible());
}

TEST(Application, AnExceptionFromAnUnwrappedSlotIsShownToo) {
  test::ScopedDialogs dialogs;
  [[maybe_unused]] const UnwindingThroughQt unwinding;
  QPushButton button("&Go");
  button.show();
  QObject::connect(&button, &QPushButton::clicked, [] { throw platform::EIniFileException("Unable to write to /x/Corvane.ini"); });
  QTest::mouseClick(&button, Qt::LeftButton);
  QTimer::singleShot(0, [] { throw std::runtime_error("Timer went off"); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.messages.size() == 2; }));
  EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Unable to write to /x/Corvane.ini.", "Timer went off."}));
  EXPECT_EQ(dialogs.messages[1].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[1].type, platform::MsgType::Error);
}

}  // namespace
}  // namespace apptest
