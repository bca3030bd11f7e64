// The title window's states: About while it runs or stops makes no second
// window, a click of either button stops it, and it opens again once gone;
// its frames follow the mouse pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTest>

#include "title_picture.h"
#include "title_window/title_window.h"

namespace uitest {
namespace {

using State = ui::TitleWindow::State;

int TitleWindowsShown() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets())
    count += widget->isVisible() && widget->windowTitle() == ui::TitleView::kTitle;
  return count;
}

class TitleWindowTest : public testing::Test {
 protected:
  // Flat heights: the frame is the light table around the pointer.
  std::vector<uint8_t> dib = TitleDib(320, 240, [](int, int) { return 50; });
  ui::TitleWindow title{dib};
};

TEST_F(TitleWindowTest, AboutWhileRunningOrStoppingMakesNoSecondWindow) {
  EXPECT_EQ(title.CurrentState(), State::kNotRunning);
  title.Show();
  ASSERT_EQ(title.CurrentState(), State::kRunning);
  ui::TitleView* first = title.View();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->size(), QSize(320, 240));
  EXPECT_TRUE(first->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(first->pos(), QPoint(screen.width() / 2 - 160, screen.height() / 2 - 120));
  title.Show();
  EXPECT_EQ(title.View(), first);
  EXPECT_EQ(TitleWindowsShown(), 1);

  QTest::mouseClick(first, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  EXPECT_EQ(title.CurrentState(), State::kStopping);
  title.Show();  // while the thread is still cleaning up
  EXPECT_EQ(title.CurrentState(), State::kStopping);
  EXPECT_EQ(TitleWindowsShown(), 1);
  QTRY_COMPARE(title.CurrentState(), State::kNotRunning);
  EXPECT_EQ(title.View(), nullptr);
  EXPECT_EQ(TitleWindowsShown(), 0);

  title.Show();
  EXPECT_EQ(title.CurrentState(), State::kRunning) << "About opens it again";
  QTest::mouseClick(title.View(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
  EXPECT_EQ(title.CurrentState(), State::kStopping) << "the right button stops it too";
  QTRY_COMPARE(title.CurrentState(), State::kNotRunning);
}

TEST_F(TitleWindowTest, TheLightFollowsThePointer) {
  title.Show();
  ui::TitleView* view = title.View();
  QCursor::setPos(view->mapToGlobal(QPoint(40, 120)));
  // Bright under the pointer, dark 260 pixels away.
  QTRY_VERIFY(view->grab().toImage().pixel(40, 120) == qRgb(255, 255, 255));
  EXPECT_EQ(view->grab().toImage().pixel(300, 200) & 0xFFFFFF, 0u);
  QCursor::setPos(view->mapToGlobal(QPoint(300, 200)));
  QTRY_VERIFY(view->grab().toImage().pixel(300, 200) == qRgb(255, 255, 255));
  EXPECT_NE(view->grab().toImage().pixel(40, 120), qRgb(255, 255, 255));
}

TEST(TitleWindowPictureTest, WithoutAReadablePictureAboutDoesNothing) {
  ui::TitleWindow title(std::vector<uint8_t>(30, 0));
  title.Show();
  EXPECT_EQ(title.CurrentState(), State::kNotRunning);
  EXPECT_EQ(title.View(), nullptr);
}

TEST(TitleWindowPictureTest, GoingAwayWhileRunningEndsTheThread) {
  const std::vector<uint8_t> dib = TitleDib(64, 48, [](int x, int) { return static_cast<uint8_t>(x); });
  auto title = std::make_unique<ui::TitleWindow>(dib);
  title->Show();
  ASSERT_EQ(title->CurrentState(), State::kRunning);
  title.reset();
  EXPECT_EQ(TitleWindowsShown(), 0);
}

}  // namespace
}  // namespace uitest
