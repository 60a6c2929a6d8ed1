#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "console/terminalunit.h"
#include "gui/about/test_mdi_host.h"
#include "monitor/q3server.h"
#include "platform/colourtext.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "unit/monitor/replies.h"

namespace {

class ColoursAndSorting : public ::testing::Test {
 protected:
  TF_Q3Server* Window(const std::vector<test::TableRow>& rows) {
    auto* window = new TF_Q3Server;
    host_.AddChild(window);
    window->resize(700, 500);
    window->Session().FState = msPolling;
    std::vector<std::string> names;
    for (const test::TableRow& row : rows) names.push_back(row.name);
    window->Session().DataArrived(test::Q3StatusResponse(names));
    window->Session().DataArrived(test::Q3Table(rows));
    return window;
  }
  static std::vector<std::string> Column(const QTreeWidget* list, int column) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts.push_back(list->topLevelItem(i)->text(column).toStdString());
    return texts;
  }
  // How many pixels of the cell are close to the colour.
  static int PixelsLike(const QTreeWidget* list, const QTreeWidgetItem* item, int column, QColor colour) {
    const QImage image = list->viewport()->grab().toImage();
    const QRect cell = list->visualItemRect(item).intersected(
        QRect(list->header()->sectionViewportPosition(column), 0, list->columnWidth(column), image.height()));
    int count = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                std::abs(pixel.blue() - colour.blue()) < 40)
          ++count;
      }
    return count;
  }

  test::TestMdiHost host_;
  test::ScopedDialogs dialogs_;
  test::ScopedProgramDir dir_;
};

TEST_F(ColoursAndSorting, ANameIsDrawnInItsColoursAndItsCodesOnRequest) {
  TF_Q3Server* window = Window({{0, "^1Red"}, {1, "Plain"}});
  QTreeWidget* list = window->LV_Players;
  QTreeWidgetItem* red = list->topLevelItem(0);
  ASSERT_EQ(red->text(1), "Red");  // the clean name, for sorting, searching and copying
  const QColor shown = platform::ShownColour(1, list->palette().color(QPalette::Base));
  EXPECT_GT(shown.red(), 150);
  EXPECT_LT(shown.green(), 80);
  EXPECT_GT(PixelsLike(list, red, 1, shown), 5);
  EXPECT_EQ(PixelsLike(list, list->topLevelItem(1), 1, shown), 0);
  // The codes shown instead: no red at all.
  window->ShowCodes1->trigger();
  EXPECT_EQ(PixelsLike(list, red, 1, shown), 0);
}

TEST_F(ColoursAndSorting, AHeadingSortsAsNumbersOrTextAndASecondClickReverses) {
  TF_Q3Server* window = Window({{2, "bob", 5, 40}, {10, "Al", -1, 120}, {1, "carl", 12, 7}});
  QTreeWidget* list = window->LV_Players;
  // The default order: client numbers as text.
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"1", "10", "2"}));
  QHeaderView* header = list->header();
  const auto click = [header](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  click(0);
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"1", "2", "10"}));
  click(0);
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"10", "2", "1"}));
  click(2);  // frags
  EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"-1", "5", "12"}));
  click(1);  // names without regard to case
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Al", "bob", "carl"}));

  // The selection and the actions stay with the player the row shows, across a refresh too.
  list->setCurrentItem(list->topLevelItem(2));  // carl
  ASSERT_NE(window->SelectedPlayer(), nullptr);
  EXPECT_EQ(window->SelectedPlayer()->name, "carl");
  window->Session().DataArrived(test::Q3Table({{2, "bob", 5, 40}, {10, "Al", -1, 120}, {1, "carl", 13, 7}}));
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Al", "bob", "carl"}));
  ASSERT_NE(window->SelectedPlayer(), nullptr);
  EXPECT_EQ(window->SelectedPlayer()->name, "carl");
  EXPECT_EQ(list->selectedItems().front()->text(2), "13");
  dialogs_.messageAnswers = {platform::mrYes};
  window->Kickplayer1Click();
  ASSERT_EQ(dialogs_.Texts().back(), "Are you sure you want to kick carl?");
}

TEST_F(ColoursAndSorting, TheConsoleShowsColouredLinesAndKeepsItsOwnColourElsewhere) {
  TTerminalForm console;
  console.resize(600, 300);
  console.show();
  console.SetLogFont(console.Memo1->font(), Qt::white);
  console.SetLogBackground(QColor(0x51, 0x51, 0x51));
  console.ShowReply(std::string("\xFF\xFF\xFF\xFF") + "print\n^1RRRRRRRRRRRRRRRRRRRR\nplain\n");
  EXPECT_EQ(console.Memo1->toPlainText(), "print\nRRRRRRRRRRRRRRRRRRRR\nplain\n");
  EXPECT_EQ(console.LogLines()[1], "^1RRRRRRRRRRRRRRRRRRRR");  // the log (and a saved file) keeps the codes
  const QColor red = platform::ShownColour(1, QColor(0x51, 0x51, 0x51));
  const auto count = [&console](const QColor& colour) {
    const QImage image = console.Memo1->viewport()->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (std::abs(image.pixelColor(x, y).red() - colour.red()) + std::abs(image.pixelColor(x, y).green() - colour.green()) +
                std::abs(image.pixelColor(x, y).blue() - colour.blue()) < 30)
          ++n;
    return n;
  };
  EXPECT_GT(count(red), 20);
  EXPECT_GT(count(Qt::white), 10);  // "print" and "plain" in the console's own colour
  console.ShowCodes1->trigger();
  EXPECT_EQ(console.Memo1->toPlainText(), "print\n^1RRRRRRRRRRRRRRRRRRRR\nplain\n");
  EXPECT_EQ(count(red), 0);
}

}  // namespace
