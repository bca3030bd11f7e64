// The edit-field filter as a dialog procedure uses it: on every change of the
// edit's text, with keys typed into a real line edit.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "platform/window/edit_filter.h"

namespace {

using namespace window;

constexpr int kEditId = 1104;

struct Typed {
  std::string text;
  int caret = 0;
  // What each filter call answered, in the order they returned: a write-back
  // notifies the procedure again, whose inner call answers 0 first.
  std::vector<int> results;
};

// Starts the edit with `initial` and the caret at `caret`, types `keys`, and
// filters after each change, as the folder browser does.
Typed TypeInto(const char* rejected, int mode, const QString& initial, int caret, const QString& keys) {
  DialogFixture fixture({0, "Filter", 200, 40, {{ControlKind::kEdit, kEditId, "", 5, 5, 190, 14}}});
  Typed typed;
  bool started = false;
  fixture.Run(
      [&](Dialog& dialog) { dialog.SetItemText(kEditId, initial.toStdString()); },
      [&](Dialog&, QWidget* widget) {
        auto* edit = DialogFixture::Child<QLineEdit>(widget, kEditId);
        edit->setCursorPosition(caret);
        started = true;
        QTest::keyClicks(edit, keys);
        typed.text = edit->text().toStdString();
        typed.caret = edit->cursorPosition();
      },
      [&](Dialog& dialog, MessageId message, WParam w, LParam) -> std::intptr_t {
        if (started && message == msg::kCommand && CommandId(w) == kEditId &&
            CommandCode(w) == NotifyCode::kTextChanged) {
          typed.results.push_back(FilterEditChar(rejected, mode, dialog, kEditId));
        }
        return 0;
      });
  return typed;
}

TEST(FilterEditChar, FiltersTheCharacterBeforeTheCaret) {
  struct Case {
    const char* name;
    const char* rejected;
    int mode;
    QString initial;
    int caret;
    QString keys;
    std::string text;
    int finalCaret;
    std::vector<int> results;
  };
  const Case cases[] = {
      {"rejected characters are removed", "*?", 0, "", 0, "a*b?", "ab", 2, {0, 0, 2, 0, 0, 2}},
      {"upper case", nullptr, 1, "", 0, "aB", "AB", 2, {0, 1, 0}},
      {"lower case", nullptr, -1, "", 0, "Ab", "ab", 2, {0, 1, 0}},
      // Typed in the middle: the caret stays at the typed character, and the
      // write-back does not touch the character at the end.
      {"removed in the middle", "*?", 0, "ac", 1, "*", "ac", 1, {0, 2}},
      {"case changed in the middle", nullptr, 1, "ac", 1, "b", "aBc", 2, {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Typed typed = TypeInto(c.rejected, c.mode, c.initial, c.caret, c.keys);
    EXPECT_EQ(c.text, typed.text);
    EXPECT_EQ(c.finalCaret, typed.caret);
    EXPECT_EQ(c.results, typed.results);
  }
}

TEST(FilterEditChar, ReadsTheWholeOfALongText) {
  // Far past the 256 bytes a fixed buffer would hold.
  const QString path = QString(300, 'x');
  const Typed typed = TypeInto("*?", 0, path, 300, "*");
  EXPECT_EQ(path.toStdString(), typed.text);
  EXPECT_EQ(300, typed.caret);
  EXPECT_EQ((std::vector<int>{0, 2}), typed.results);
}

TEST(FilterEditChar, DoesNothingWithoutACharacterBeforeTheCaretOrAnEdit) {
  DialogFixture fixture({0, "Filter", 200, 40, {{ControlKind::kEdit, kEditId, "", 5, 5, 190, 14},
                                                {ControlKind::kStatic, 7, "*", 5, 25, 50, 10}}});
  fixture.Run({}, [&](Dialog& dialog, QWidget* widget) {
    auto* edit = DialogFixture::Child<QLineEdit>(widget, kEditId);
    EXPECT_EQ(0, FilterEditChar("*", 0, dialog, kEditId)) << "empty";
    edit->setText("*a");
    edit->setCursorPosition(0);
    EXPECT_EQ(0, FilterEditChar("*", 0, dialog, kEditId)) << "caret at the start";
    EXPECT_EQ("*a", edit->text().toStdString());
    EXPECT_EQ(0, FilterEditChar("*", 0, dialog, 7)) << "a label";
    edit->setText(QString::fromUtf8("a\xC3\xA9"));
    EXPECT_EQ(0, FilterEditChar("\xA9", 1, dialog, kEditId)) << "not ASCII";
    EXPECT_EQ("a\xC3\xA9", edit->text().toStdString());
    EXPECT_EQ(0, FilterEditChar("*", 0, dialog, 99)) << "no such control";
    // A selection counts from its end, as the caret after a typed character.
    edit->setText("*a");
    edit->setSelection(0, 1);
    EXPECT_EQ(2, FilterEditChar("*", 0, dialog, kEditId));
    EXPECT_EQ("a", edit->text().toStdString());
  });
}

}  // namespace
