// The real boxes: caption, text, icon and buttons as asked, and the button
// pressed as the answer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "fake_prompts.h"
#include "modal_driver.h"

namespace {

using namespace window;

struct BoxCase {
  MessageBoxButtons buttons;
  int defaultButton;
  QMessageBox::StandardButton press;  // NoButton: press Enter
  std::vector<QMessageBox::StandardButton> shown;
  MessageBoxResult expected;
};

TEST(MessageBox, ShowsTheButtonSetAndAnswersWithThePressedOne) {
  using B = QMessageBox;
  const BoxCase cases[] = {
      {MessageBoxButtons::kOk, 0, B::NoButton, {B::Ok}, kIdOk},
      {MessageBoxButtons::kOkCancel, 0, B::Cancel, {B::Ok, B::Cancel}, kIdCancel},
      {MessageBoxButtons::kYesNo, 1, B::NoButton, {B::Yes, B::No}, kIdNo},  // "No" is the default
      {MessageBoxButtons::kYesNo, 0, B::Yes, {B::Yes, B::No}, kIdYes},
      {MessageBoxButtons::kYesNoCancel, 0, B::No, {B::Yes, B::No, B::Cancel}, kIdNo},
  };
  for (const BoxCase& c : cases) {
    WhenModal<QMessageBox>([&c](QMessageBox* box) {
      EXPECT_EQ(box->windowTitle(), "Are you sure?");
      EXPECT_EQ(box->text(), "The current performance has been modified - Do you wish to save it?");
      EXPECT_EQ(box->icon(), QMessageBox::Question);
      std::vector<QMessageBox::StandardButton> shown;
      for (QAbstractButton* button : box->buttons()) shown.push_back(box->standardButton(button));
      std::sort(shown.begin(), shown.end());
      std::vector<QMessageBox::StandardButton> expected = c.shown;
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(shown, expected);
      if (c.press == QMessageBox::NoButton) {
        QTest::keyClick(box, Qt::Key_Return);
      } else {
        box->button(c.press)->click();
      }
    });
    EXPECT_EQ(ShowMessageBox({nullptr, "The current performance has been modified - Do you wish to save it?",
                              "Are you sure?", c.buttons, MessageBoxIcon::kQuestion, c.defaultButton}),
              c.expected);
  }
}

TEST(MessageBox, EscapeCancelsAndTextStaysPlain) {
  WhenModal<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(ShowMessageBox({nullptr, "<b>error</b> X3000", "Vertex shader error", MessageBoxButtons::kOkCancel,
                            MessageBoxIcon::kError, 0}),
            kIdCancel);
}

TEST(MessageBox, InstalledPromptsSeeEveryRequest) {
  FakePrompts prompts;
  prompts.answer = kIdNo;
  EXPECT_EQ(ShowMessageBox({nullptr, "Are you sure you wish to delete the current patch?", "Delete Patch",
                            MessageBoxButtons::kYesNo, MessageBoxIcon::kNone, 1}),
            kIdNo);
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  EXPECT_EQ(prompts.Boxes()[0].caption, "Delete Patch");
  EXPECT_EQ(prompts.Boxes()[0].defaultButton, 1);
}

}  // namespace
