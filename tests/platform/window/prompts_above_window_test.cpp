// Prompts opened while a window covers the screen from above all others: they
// are shown as windows of it, and it has the keys again once they are gone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <functional>

#include "modal_driver.h"
#include "platform/window/message_box.h"
#include "platform/window/prompts_above_window.h"
#include "platform/window/qt_window_handle.h"

namespace {

using namespace window;

class PromptsAboveWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.resize(320, 240);
    owner_.show();
    owner_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner_));
    covering_ = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    covering_->setFocusPolicy(Qt::StrongFocus);
    new PromptsAboveWindow(covering_);
  }
  void TearDown() override { delete covering_; }

  void CoverTheScreen() {
    covering_->showFullScreen();
    covering_->activateWindow();
    covering_->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(covering_));
  }

  bool CoveringHasTheKeys() {
    return QTest::qWaitFor([this] { return QApplication::activeWindow() == covering_ && covering_->hasFocus(); });
  }

  // The save prompt, owned by the dialog under the covering window; `answer`
  // closes it once it is up. Gives its answer and the window it belonged to.
  MessageBoxResult AskToSave(std::function<void(QMessageBox*)> answer, QWindow** belongedTo) {
    WhenModal<QMessageBox>([answer, belongedTo](QMessageBox* box) {
      *belongedTo = box->windowHandle()->transientParent();
      answer(box);
    });
    return ShowMessageBox({HandleOf(&owner_), "The current performance has been modified - Do you wish to save it?",
                           "Are you sure?", MessageBoxButtons::kYesNoCancel, MessageBoxIcon::kQuestion, 0});
  }

  QWidget owner_;
  QWidget* covering_ = nullptr;
};

TEST_F(PromptsAboveWindowTest, BoxOverTheCoveringWindowGivesItTheKeysBackHoweverAnswered) {
  struct Case {
    const char* how;
    std::function<void(QMessageBox*)> answer;
    MessageBoxResult expected;
  };
  const Case cases[] = {
      {"Esc", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, kIdCancel},
      {"Enter", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, kIdYes},
      {"No clicked", [](QMessageBox* box) { box->button(QMessageBox::No)->click(); }, kIdNo},
  };
  CoverTheScreen();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    QWindow* belongedTo = nullptr;
    EXPECT_EQ(AskToSave(c.answer, &belongedTo), c.expected);
    EXPECT_EQ(belongedTo, covering_->windowHandle());
    EXPECT_TRUE(CoveringHasTheKeys());
  }
}

TEST_F(PromptsAboveWindowTest, PromptOfAPromptStaysWithItAndTheKeysComeBackAfterTheLast) {
  CoverTheScreen();
  QDialog dialog(&owner_);
  dialog.resize(200, 100);
  QWindow* outerBelongedTo = nullptr;
  QWindow* innerBelongedTo = nullptr;
  bool coveringActiveBetween = true;
  WhenModal<QDialog>([&](QDialog* outer) {
    outerBelongedTo = outer->windowHandle()->transientParent();
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      innerBelongedTo = box->windowHandle()->transientParent();
      QTest::keyClick(box, Qt::Key_Escape);
    });
    ShowMessageBox({HandleOf(outer), "File not found.", "Open", MessageBoxButtons::kOk, MessageBoxIcon::kWarning, 0});
    QTest::qWait(50);
    coveringActiveBetween = QApplication::activeWindow() == covering_;
    outer->reject();
  });
  dialog.exec();
  EXPECT_EQ(outerBelongedTo, covering_->windowHandle());
  EXPECT_EQ(innerBelongedTo, dialog.windowHandle());
  EXPECT_FALSE(coveringActiveBetween) << "the keys went back while a prompt was still open";
  EXPECT_TRUE(CoveringHasTheKeys());
}

TEST_F(PromptsAboveWindowTest, WindowedPromptsKeepTheirOwnerAndAKeptDialogGetsItBack) {
  QDialog kept(&owner_);
  kept.resize(200, 100);
  QWindow* belongedTo = nullptr;
  auto showKept = [&] {
    WhenModal<QDialog>([&](QDialog* dialog) {
      belongedTo = dialog->windowHandle()->transientParent();
      dialog->reject();
    });
    kept.exec();
  };
  CoverTheScreen();
  showKept();
  EXPECT_EQ(belongedTo, covering_->windowHandle());

  covering_->hide();
  owner_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&owner_));
  showKept();
  EXPECT_EQ(belongedTo, owner_.windowHandle());
  EXPECT_EQ(AskToSave([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, &belongedTo), kIdCancel);
  EXPECT_EQ(belongedTo, owner_.windowHandle());
  QTest::qWait(50);
  EXPECT_FALSE(covering_->isVisible());
  EXPECT_NE(QApplication::activeWindow(), covering_);
}

}  // namespace
