// The progress window: placement, updates, and that only its owner closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include "progress/progress_window.h"

namespace {

TEST(ProgressWindowTest, OpensCentredBelowTheOffsetAndShowsItsUpdates) {
  QWidget main;
  main.setGeometry(100, 100, 600, 400);
  main.show();
  ui::ProgressWindow centred;
  centred.Open(&main, "Saving Performance...");
  ui::ProgressWindow lower;
  lower.Open(&main, "Saving Performance...", 40);
  const QRect frame = main.frameGeometry();
  const QRect window = centred.Window()->frameGeometry();
  EXPECT_EQ(window.left(), frame.left() + (frame.width() - window.width()) / 2);
  EXPECT_EQ(window.top(), frame.top() + (frame.height() - window.height()) / 2);
  EXPECT_EQ(lower.Window()->frameGeometry().top(), window.top() + 40);
  EXPECT_EQ(centred.Window()->windowTitle(), "Saving Performance...");

  centred.SetText("Saving notes...");
  centred.SetPosition(55);
  EXPECT_EQ(centred.Window()->findChild<QLabel*>("65535")->text(), "Saving notes...");
  EXPECT_EQ(centred.Window()->findChild<QProgressBar*>("1110")->value(), 55);
}

TEST(ProgressWindowTest, TheUserCannotCloseItAndTheCountFollowsItsOwners) {
  const int before = ui::ProgressWindow::OpenCount();
  ui::ProgressWindow first;
  ui::ProgressWindow second;
  first.Open(nullptr, "Copying Files...");
  second.Open(nullptr, "Copying Files...");
  EXPECT_EQ(ui::ProgressWindow::OpenCount(), before + 2);
  EXPECT_FALSE(first.Window()->close());
  EXPECT_TRUE(first.Window()->isVisible());
  first.Close();
  EXPECT_EQ(ui::ProgressWindow::OpenCount(), before + 1);
  second.Close();
  second.Close();
  EXPECT_EQ(ui::ProgressWindow::OpenCount(), before);
}

}  // namespace
