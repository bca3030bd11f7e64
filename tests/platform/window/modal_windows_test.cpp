// Closing the modal windows from the innermost out, as a terminate request
// does before the program closes: each answers as its Cancel, and the one it
// was opened from stays open until its caller has gone on.
#include "platform/window/modal_windows.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>
#include <vector>

#include "platform/window/message_box.h"

namespace {

using namespace window;

TEST(ModalWindows, TheInnermostClosesFirstAndEachAnswersAsItsCancel) {
  const struct {
    MessageBoxButtons buttons;
    MessageBoxResult answer;
  } cases[] = {
      {MessageBoxButtons::kYesNoCancel, kIdCancel},
      {MessageBoxButtons::kYesNo, kIdNo},
      {MessageBoxButtons::kOk, kIdOk},
  };
  for (const auto& c : cases) {
    QDialog outer;
    MessageBoxResult inner = -1;
    bool outerOpenAfterInner = false;
    QTimer::singleShot(0, &outer, [&] {
      inner = ShowMessageBox({nullptr, "The current performance has been modified - Do you wish to save it?",
                              "Are you sure?", c.buttons, MessageBoxIcon::kQuestion, 0});
      outerOpenAfterInner = outer.isVisible();
    });
    std::vector<bool> nested;  // at each close
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      nested.push_back(InNestedEventLoop());
      CloseInnermostModal();
    });
    closer.start(20);
    EXPECT_EQ(outer.exec(), QDialog::Rejected);
    EXPECT_EQ(inner, c.answer);
    EXPECT_TRUE(outerOpenAfterInner) << "the outer dialog closed under the box's caller";
    EXPECT_EQ(nested, (std::vector<bool>{true, false}));
    EXPECT_FALSE(CloseInnermostModal());
  }
}

}  // namespace
