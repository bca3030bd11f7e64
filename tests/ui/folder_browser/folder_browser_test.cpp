#include "folder_browser/folder_browser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// root/
//   a/ a1/
//   b/
//   bc/   (a sibling whose name starts with "b")
class FolderBrowserTest : public testing::Test {
 protected:
  FolderBrowserTest() {
    QDir top(dir.path());
    top.mkpath("root/a/a1");
    top.mkpath("root/b");
    top.mkpath("root/bc");
    top.mkpath("outside");
    root = QDir::cleanPath(dir.path() + "/root");
  }
  QString At(const QString& relative) const { return QDir::cleanPath(root + "/" + relative); }
  static QStringList Rows(const ui::FolderBrowser& browser) {
    QStringList rows;
    for (int i = 0; i < browser.List().count(); ++i) rows << browser.List().item(i)->text();
    return rows;
  }

  QTemporaryDir dir;
  QString root;
};

TEST_F(FolderBrowserTest, ListsSubfoldersSortedAndOpensThemFromTheList) {
  ui::FolderBrowser browser(root.toStdString(), "");
  EXPECT_EQ(QStringList({"a", "b", "bc"}), Rows(browser));
  EXPECT_EQ(root, browser.PathLine().text());

  browser.List().setCurrentRow(0);
  browser.OpenSelected();
  EXPECT_EQ(At("a"), browser.CurrentFolder());
  EXPECT_EQ(QStringList({"a1"}), Rows(browser));
}

TEST_F(FolderBrowserTest, OkAnswersTheSelectedSubfolderAndCancelTheStartAsPassed) {
  {
    ui::FolderBrowser browser(root.toStdString(), "");
    browser.List().setCurrentRow(1);
    EXPECT_EQ(At("b"), browser.PathLine().text());
    browser.accept();
    EXPECT_EQ(At("b").toStdString(), browser.Path());
  }
  {
    const std::string start = (root + "/a/../a").toStdString();  // not clean on purpose
    ui::FolderBrowser browser(start, "");
    browser.List().setCurrentRow(0);
    browser.reject();
    EXPECT_EQ(start, browser.Path());
  }
}

TEST_F(FolderBrowserTest, TheRootConfinesBackTypedPathsAndTheStart) {
  ui::FolderBrowser browser(At("a").toStdString(), root.toStdString());
  QTest::mouseClick(&browser.BackButton(), Qt::LeftButton);
  EXPECT_EQ(root, browser.CurrentFolder());
  browser.Back();
  EXPECT_EQ(root, browser.CurrentFolder());

  browser.Edit().setText(QDir(root).filePath(".."));
  browser.GoToTypedPath();
  EXPECT_EQ(root, browser.CurrentFolder());
  // A sibling that only shares the root's name as a string prefix.
  EXPECT_FALSE(browser.Navigate(dir.path() + "/rootx"));
  ui::FolderBrowser inB(At("b").toStdString(), At("b").toStdString());
  EXPECT_FALSE(inB.Navigate(At("bc")));

  ui::FolderBrowser outside((dir.path() + "/outside").toStdString(), root.toStdString());
  EXPECT_EQ(root, outside.CurrentFolder());
}

TEST_F(FolderBrowserTest, TypedPathsResolveRelativeOrAbsoluteElseNothingChanges) {
  ui::FolderBrowser browser(root.toStdString(), "");
  struct Case {
    QString typed;
    QString expected;
  } cases[] = {
      {"a", At("a")},
      {"a1", At("a/a1")},
      {"missing", At("a/a1")},
      {At("bc"), At("bc")},
  };
  for (const Case& c : cases) {
    QTest::keyClicks(&browser.Edit(), c.typed);
    QTest::keyClick(&browser.Edit(), Qt::Key_Return);
    EXPECT_EQ(c.expected, browser.CurrentFolder()) << c.typed.toStdString();
    EXPECT_TRUE(browser.Edit().text().isEmpty());
  }
}

TEST_F(FolderBrowserTest, WildcardsAreRemovedAsTyped) {
  ui::FolderBrowser browser(root.toStdString(), "");
  QTest::keyClicks(&browser.Edit(), "su?b*");
  EXPECT_EQ("sub", browser.Edit().text());
}

}  // namespace
