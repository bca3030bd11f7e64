// The one-line text entry dialog run as the program runs it, answered like a
// user would.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "modal_driver.h"
#include "platform/window/text_entry_dialog.h"

namespace {

using namespace window;

class TextEntryDialogTest : public ::testing::Test {
 protected:
  TextEntryDialogTest() { templates_.Add(TextEntryDialogTemplate()); }
  DialogTemplateSet templates_;
};

TEST_F(TextEntryDialogTest, OkGivesACopyOfTheEditedText) {
  std::string caption, shown;
  WhenModal<QDialog>([&](QDialog* dialog) {
    caption = dialog->windowTitle().toStdString();
    auto* edit = dialog->findChild<QLineEdit*>(QString::number(kTextEntryEditId));
    shown = edit->text().toStdString();
    edit->setText(QString::fromUtf8("Gig 2024 \xC3\xA9t\xC3\xA9"));
    dialog->findChild<QPushButton*>(QString::number(kIdOk))->click();
  });
  std::unique_ptr<char[]> text = RunTextEntryDialog(templates_, nullptr, "Enter the project name", "Performance");
  EXPECT_EQ("Enter the project name", caption);
  EXPECT_EQ("Performance", shown);
  ASSERT_NE(nullptr, text);
  EXPECT_STREQ("Gig 2024 \xC3\xA9t\xC3\xA9", text.get());
}

TEST_F(TextEntryDialogTest, EnterPressesOkAndAnEmptyFieldGivesAnEmptyText) {
  WhenModal<QDialog>([](QDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::number(kTextEntryEditId));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  std::unique_ptr<char[]> text = RunTextEntryDialog(templates_, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, text);
  EXPECT_STREQ("", text.get());
}

TEST_F(TextEntryDialogTest, CancelAndEscapeGiveNothing) {
  for (bool escape : {false, true}) {
    WhenModal<QDialog>([escape](QDialog* dialog) {
      if (escape) {
        QTest::keyClick(dialog, Qt::Key_Escape);
      } else {
        dialog->findChild<QPushButton*>(QString::number(kIdCancel))->click();
      }
    });
    EXPECT_EQ(nullptr, RunTextEntryDialog(templates_, nullptr, "Enter the project name", "Performance"))
        << (escape ? "escape" : "cancel");
  }
}

TEST_F(TextEntryDialogTest, NoTemplateGivesNothingRatherThanABadPointer) {
  const DialogTemplateSet none;
  EXPECT_EQ(nullptr, RunTextEntryDialog(none, nullptr, "Enter the project name", "Performance"));
}

}  // namespace
