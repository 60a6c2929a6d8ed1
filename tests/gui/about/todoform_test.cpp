#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "about/aboutform.h"
#include "about/richtextview.h"
#include "about/todoform.h"
#include "gui/about/test_mdi_host.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace {

std::string ShippedDocument() {
  std::ifstream in(test::SourceDir() + "/data/Corvane.rtf", std::ios::binary | std::ios::ate);
  std::string bytes(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

class ToDoViewer : public ::testing::Test {
 protected:
  test::ScopedProgramDir programDir;
  test::ScopedDialogs dialogs;
  test::TestMdiHost host;
};

TEST_F(ToDoViewer, AMissingDocumentIsReportedAndTheWindowStaysOpenAndEmpty) {
  TF_ToDo* opened = OpenToDoViewer();
  QPointer<TF_ToDo> viewer = opened;
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot open file Corvane.rtf");
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Custom);
  EXPECT_EQ(dialogs.messages[0].buttons, platform::MsgButtons::Ok);
  test::TestMdiHost::Settle();
  ASSERT_FALSE(viewer.isNull());
  EXPECT_TRUE(opened->isVisible());
  EXPECT_EQ(host.Children(), std::vector<QWidget*>{opened});
  EXPECT_TRUE(opened->RichEdit1->toPlainText().isEmpty());

  // A folder of that name cannot be read either.
  programDir.Write("Corvane.rtf/inside", "x");
  OpenToDoViewer();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Cannot open file Corvane.rtf");
}

TEST_F(ToDoViewer, TheDocumentIsTakenFromTheProgramsDirectoryNotTheExecutables) {
  // A document beside the executable is not the program's.
  const std::string besideExecutable = QCoreApplication::applicationDirPath().toStdString() + "/Corvane.rtf";
  std::ofstream(besideExecutable) << "{\\rtf1 beside the executable}";
  struct Remove {
    std::string path;
    ~Remove() { std::remove(path.c_str()); }
  } remove{besideExecutable};
  OpenToDoViewer();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot open file Corvane.rtf");

  // The program's directory is what counts, and the name matches without regard to case.
  programDir.Write("CORVANE.RTF", ShippedDocument());
  TF_ToDo* viewer = OpenToDoViewer();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  const QString text = viewer->RichEdit1->toPlainText();
  EXPECT_TRUE(text.contains("What Corvane does"));
  EXPECT_TRUE(text.contains("Known limits"));
  EXPECT_FALSE(text.contains("Arial"));
  EXPECT_TRUE(viewer->RichEdit1->isReadOnly());

  // Headings are bold, body text is not.
  QTextBlock heading;
  for (QTextBlock b = viewer->RichEdit1->document()->begin(); b.isValid(); b = b.next())
    if (b.text() == "Known limits") heading = b;
  ASSERT_TRUE(heading.isValid());
  EXPECT_EQ(heading.begin().fragment().charFormat().fontWeight(), QFont::Bold);
  EXPECT_NE(heading.next().begin().fragment().charFormat().fontWeight(), QFont::Bold);
  EXPECT_GT(heading.next().blockFormat().leftMargin(), 0);  // the list is indented
}

TEST_F(ToDoViewer, APlainTextFileIsShownAsText) {
  programDir.Write("Corvane.rtf", "first line\r\nsecond \xDF line\r\n");
  TF_ToDo* viewer = OpenToDoViewer();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(viewer->RichEdit1->toPlainText(), QString("first line\nsecond ") + QChar(0xDF) + " line");
}

// 3 000 format changes in one paragraph froze the viewer for over a minute (each run was laid
// out anew as it came); they open at once with all their text, and at most so many formats.
TEST_F(ToDoViewer, AParagraphOfThousandsOfFormatChangesOpensAtOnceWithAllItsText) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 1500; ++i) rtf += "\\b x\\b0 y";
  programDir.Write("Corvane.rtf", rtf + "}");
  const auto start = std::chrono::steady_clock::now();
  TF_ToDo* viewer = OpenToDoViewer();
  QCoreApplication::processEvents();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  const QTextBlock block = viewer->RichEdit1->document()->begin();
  EXPECT_EQ(block.text(), QString("xy").repeated(1500));
  EXPECT_EQ(block.begin().fragment().charFormat().fontWeight(), QFont::Bold);
  int fragments = 0;
  for (auto it = block.begin(); !it.atEnd(); ++it) ++fragments;
  EXPECT_EQ(fragments, static_cast<int>(about::kMaxRunsPerParagraph));
}

TEST_F(ToDoViewer, LayoutAndControls) {
  programDir.Write("Corvane.rtf", "{\\rtf1 x}");
  TF_ToDo* viewer = OpenToDoViewer();
  EXPECT_EQ(viewer->windowTitle(), "To Do List");
  EXPECT_EQ(viewer->size(), QSize(532, 318));
  EXPECT_TRUE(viewer->testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_EQ(viewer->RichEdit1->geometry(), QRect(0, 0, 529, 281));
  EXPECT_EQ(viewer->RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(viewer->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(viewer->RichEdit1->focusPolicy() & Qt::TabFocus);
  EXPECT_EQ(viewer->Button1->text(), "&Close");
  EXPECT_EQ(viewer->Button1->geometry(), QRect(448, 288, 75, 25));
  EXPECT_TRUE(viewer->Button1->isDefault());
  EXPECT_EQ(viewer->findChild<QTextEdit*>("RichEdit1"), viewer->RichEdit1);
  // Its child window in the frame has a title bar and no system buttons.
  auto* sub = qobject_cast<QMdiSubWindow*>(viewer->parentWidget());
  ASSERT_NE(sub, nullptr);
  EXPECT_TRUE(sub->windowFlags() & Qt::WindowTitleHint);
  EXPECT_FALSE(sub->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint));
  EXPECT_TRUE(sub->isVisible());
}

TEST_F(ToDoViewer, ViewersAreIndependentAndCloseWithCloseOrEscape) {
  programDir.Write("Corvane.rtf", "{\\rtf1 x}");
  QPointer<TF_ToDo> first = OpenToDoViewer();
  QPointer<TF_ToDo> second = OpenToDoViewer();
  ASSERT_NE(first, second);
  ASSERT_EQ(host.Children().size(), 2u);

  QTest::mouseClick(first->Button1, Qt::LeftButton);
  test::TestMdiHost::Settle();
  EXPECT_TRUE(first.isNull());
  ASSERT_FALSE(second.isNull());
  EXPECT_EQ(host.Children(), std::vector<QWidget*>{second.data()});
  EXPECT_EQ(host.area.subWindowList().size(), 1);  // its frame window went with it

  QTest::keyClick(second->Button1, Qt::Key_Escape);
  test::TestMdiHost::Settle();
  EXPECT_TRUE(second.isNull());
  EXPECT_TRUE(host.Children().empty());
  EXPECT_TRUE(host.area.subWindowList().isEmpty());
}

TEST_F(ToDoViewer, WithoutAFrameTheViewerIsAWindowOfItsOwn) {
  platform::SetFrame(nullptr);
  programDir.Write("Corvane.rtf", "{\\rtf1 x}");
  TF_ToDo* opened = OpenToDoViewer();
  QPointer<TF_ToDo> viewer = opened;
  EXPECT_TRUE(opened->isWindow());
  EXPECT_TRUE(opened->isVisible());
  opened->Button1->click();
  test::TestMdiHost::Settle();
  EXPECT_TRUE(viewer.isNull());
  platform::SetFrame(&host);
}

// Renders both windows to PNG files in $CORVANE_SHOTS, for looking at them.
TEST(Look, RenderBothWindows) {
  const char* shots = std::getenv("CORVANE_SHOTS");
  if (!shots) GTEST_SKIP() << "set CORVANE_SHOTS to a folder to render the windows";
  test::ScopedDialogs dialogs;
  TAboutForm about;
  about.show();
  QTest::qWait(50);
  EXPECT_TRUE(about.grab().save(QString(shots) + "/about.png"));

  test::ScopedProgramDir programDir;
  programDir.Write("Corvane.rtf", ShippedDocument());
  test::TestMdiHost host;
  TF_ToDo* viewer = OpenToDoViewer();
  QTest::qWait(50);
  EXPECT_TRUE(host.area.grab().save(QString(shots) + "/todo.png"));
  for (int page = 1; page <= 3; ++page) {
    viewer->RichEdit1->verticalScrollBar()->setValue(page * 260);
    QTest::qWait(20);
    EXPECT_TRUE(viewer->grab().save(QString(shots) + "/todo" + QString::number(page) + ".png"));
  }
}

}  // namespace
