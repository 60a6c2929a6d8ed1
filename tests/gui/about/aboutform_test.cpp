#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QTest>

#include "about/aboutform.h"
#include "about/execunit.h"
#include "about/osversionlabel.h"
#include "about/verinfo.h"
#include "platform/shell.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "unit/about/executable_images.h"

namespace {

// Records the shell requests instead of handing them to the desktop.
class ScopedShell {
 public:
  ScopedShell() {
    platform::SetShellFunction([this](const platform::ShellRequest& request) {
      requests.push_back(request);
      const QCursor* cursor = QApplication::overrideCursor();
      cursorDuringCall = cursor ? cursor->shape() : Qt::ArrowCursor;
      return answer;
    });
  }
  ~ScopedShell() { platform::SetShellFunction({}); }
  ScopedShell(const ScopedShell&) = delete;
  ScopedShell& operator=(const ScopedShell&) = delete;

  std::vector<platform::ShellRequest> requests;
  bool answer = true;
  Qt::CursorShape cursorDuringCall = Qt::ArrowCursor;
};

QString OwnOSLine() { return QString::fromStdString(about::OSVersionText(platform::GetVersionEx())); }

class AboutBox : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string RecordFile(const about::record::Layout& layout) {
    return dir.Write("with-record", test::images::AsString(test::images::ElfImage(about::record::Build(layout))));
  }
};

TEST_F(AboutBox, ShowsTitleVersionSystemAndMailAddressWhereTheyBelong) {
  test::ScopedDialogs dialogs;
  TAboutForm form;  // this test program carries Corvane's own record
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.windowTitle(), "About");
  EXPECT_EQ(form.size(), QSize(313, 179));
  EXPECT_FALSE(form.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);

  EXPECT_EQ(form.Label1->text(), "Corvane");
  EXPECT_EQ(form.L_BuildNumber->text(), QString("Version 1.0.0.28 ") + QChar(0x00DF) + "eta");
  EXPECT_EQ(form.InfoLabel->text(), OwnOSLine());
  EXPECT_EQ(form.Label2->text(), "Please send bugreports to");
  EXPECT_EQ(form.Label3->text(), "corvane-bugs@example.org");
  EXPECT_EQ(form.Button1->text(), "&OK");
  EXPECT_TRUE(form.Button1->isDefault());

  EXPECT_EQ(form.Panel1->geometry(), QRect(1, 1, 147, 177));
  EXPECT_EQ(form.Image1->geometry(), QRect(3, 3, 140, 170));
  ASSERT_FALSE(form.Image1->pixmap().isNull());
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(140, 170));
  EXPECT_EQ(form.Label1->pos(), QPoint(152, 8));
  EXPECT_EQ(form.L_BuildNumber->pos(), QPoint(152, 32));
  EXPECT_EQ(form.InfoLabel->pos(), QPoint(152, 56));
  EXPECT_EQ(form.Label2->pos(), QPoint(152, 96));
  EXPECT_EQ(form.Label3->pos(), QPoint(152, 112));
  EXPECT_EQ(form.Button1->geometry(), QRect(232, 152, 75, 25));

  EXPECT_TRUE(form.Label3->font().underline());
  EXPECT_EQ(form.Label3->palette().color(QPalette::WindowText), QColor(Qt::blue));
  EXPECT_EQ(form.Label3->cursor().shape(), Qt::PointingHandCursor);
  // No line is cut off.
  for (QLabel* label : {form.Label1, form.L_BuildNumber, form.InfoLabel, form.Label2, static_cast<QLabel*>(form.Label3)}) {
    EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    EXPECT_LT(label->geometry().right(), form.width()) << label->objectName().toStdString();
  }
}

TEST_F(AboutBox, AMissingFileVersionLeavesTwoBlanksBeforeBeta) {
  test::ScopedDialogs dialogs;
  about::record::Layout layout = test::images::UsualLayout();
  layout.strings = {{"ProductVersion", "1.2"}};
  TAboutForm form(RecordFile(layout));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.L_BuildNumber->text(), QString("Version  ") + QChar(0x00DF) + "eta");
}

TEST_F(AboutBox, ShowAboutBoxShowsTheFormModallyAndOkClosesIt) {
  test::ScopedDialogs dialogs;
  bool sawForm = false;
  dialogs.modalAnswers.push_back([&](QDialog& dialog) {
    sawForm = AboutForm == &dialog && dialog.findChild<QLabel*>("L_BuildNumber") != nullptr;
    dialog.findChild<QPushButton*>("Button1")->click();
    return dialog.result();
  });
  EXPECT_EQ(ShowAboutBox(), platform::mrOk);
  EXPECT_TRUE(sawForm);
  EXPECT_EQ(dialogs.modalCount, 1);
  EXPECT_TRUE(AboutForm.isNull());

  // Escape presses "&OK" as well; a close by the window manager cancels.
  TAboutForm form;
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(form.result(), platform::mrOk);
  form.setResult(0);
  form.reject();
  EXPECT_EQ(form.result(), platform::mrCancel);
}

TEST_F(AboutBox, AnUnreadableRecordGoesToTheErrorBoxAndTheBoxOpensAnyway) {
  struct Case {
    std::string file;
    std::string shown;
  };
  about::record::Writer w;  // a fixed block too short
  const size_t root = w.Begin("VS_VERSION_INFO", 0);
  w.Binary(root, test::images::Bytes(40, 0));
  const size_t vfi = w.Begin("VarFileInfo", 1);
  const size_t var = w.Begin("Translation", 0);
  w.Binary(var, {0x09, 0x04, 0xE4, 0x04});
  w.End(var);
  w.End(vfi);
  w.End(root);
  const std::vector<Case> cases = {
      {dir.Write("plain.txt", "no record here"), "No Version Info Available."},
      {dir.Write("short-fixed", test::images::AsString(test::images::ElfImage(w.bytes))), "No fixed file info."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    test::ScopedDialogs dialogs;
    QString buildLine;
    QString osLine;
    size_t boxesBeforeForm = 0;
    dialogs.modalAnswers.push_back([&](QDialog& dialog) {
      boxesBeforeForm = dialogs.messages.size();
      buildLine = dialog.findChild<QLabel*>("L_BuildNumber")->text();
      osLine = dialog.findChild<QLabel*>("InfoLabel")->text();
      return static_cast<int>(platform::mrOk);
    });
    EXPECT_EQ(about::ShowAboutBoxFor(c.file), platform::mrOk);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(boxesBeforeForm, 1u);
    EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
    EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
    EXPECT_EQ(dialogs.messages[0].buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(dialogs.messages[0].text, c.shown);
    EXPECT_EQ(buildLine, "Version unknown");
    EXPECT_EQ(osLine, OwnOSLine());
  }
}

TEST_F(AboutBox, TheMailLinkOpensAMailtoUrlUnderTheHourglass) {
  test::ScopedDialogs dialogs;
  ScopedShell shell;
  TAboutForm form;
  form.show();
  QTest::mouseClick(form.Label3, Qt::LeftButton);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].verb, "open");
  EXPECT_EQ(shell.requests[0].fileName, "mailto:corvane-bugs@example.org");
  EXPECT_EQ(shell.requests[0].parameters, "");
  EXPECT_EQ(shell.requests[0].showCmd, 1);
  EXPECT_EQ(shell.cursorDuringCall, Qt::WaitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // No mail program: nothing is reported.
  shell.answer = false;
  QTest::mouseClick(form.Label3, Qt::LeftButton);
  EXPECT_EQ(shell.requests.size(), 2u);
  EXPECT_TRUE(dialogs.messages.empty());
  // Another button than the left one does nothing.
  QTest::mouseClick(form.Label3, Qt::RightButton);
  EXPECT_EQ(shell.requests.size(), 2u);
}

TEST(ExecUnit, ModesChooseTheVerbAndTheResultIsTheShells) {
  ScopedShell shell;
  EXPECT_TRUE(ExecFileEx("/tmp", "-x", 0, 5));
  EXPECT_TRUE(ExecFile("/tmp", 1, 1));
  shell.answer = false;
  EXPECT_FALSE(ExecFile("readme.txt", 2, 1));
  EXPECT_FALSE(ExecFile("readme.txt", 7, 1));
  ASSERT_EQ(shell.requests.size(), 4u);
  EXPECT_EQ(shell.requests[0].verb, "explore");
  EXPECT_EQ(shell.requests[0].parameters, "-x");
  EXPECT_EQ(shell.requests[0].showCmd, 5);
  EXPECT_EQ(shell.requests[0].directory, "");
  EXPECT_EQ(shell.requests[1].verb, "explore");
  EXPECT_EQ(shell.requests[1].parameters, "");
  EXPECT_EQ(shell.requests[2].verb, "open");
  EXPECT_EQ(shell.requests[2].fileName, "readme.txt");
  EXPECT_EQ(shell.requests[3].verb, "");  // the desktop's default action
}

TEST(ExecUnit, TheDesktopRefusesWhatDoesNotExist) {
  // Only requests that cannot reach a desktop program: nothing is started.
  auto request = [](const char* verb, const char* file) {
    platform::ShellRequest r;
    r.verb = verb;
    r.fileName = file;
    return r;
  };
  EXPECT_FALSE(platform::DesktopShellExecute(request("open", "")));
  EXPECT_FALSE(platform::DesktopShellExecute(request("open", "/no/such/file/anywhere.txt")));
  EXPECT_FALSE(platform::DesktopShellExecute(request("explore", "/no/such/folder")));
}

TEST(OSVersionLabel, WritesTheLineAndTellsWhetherThisIsWindowsNT) {
  platform::OSVersionInfo nt;
  nt.majorVersion = 4;
  nt.buildNumber = 1381;
  nt.platformId = platform::kPlatformWin32NT;
  QLabel label;
  EXPECT_TRUE(ShowOSVersion(&label, nt));
  EXPECT_EQ(label.text(), "Windows NT 4.0 (Build 1381)");
  EXPECT_TRUE(ShowOSVersion(nullptr, nt));
  EXPECT_FALSE(ShowOSVersion(nullptr));
  EXPECT_FALSE(ShowOSVersion(&label));
  EXPECT_EQ(label.text(), OwnOSLine());
}

}  // namespace
