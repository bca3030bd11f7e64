// What the small dialogs read from their fields, and the Patch List lines.
#include <gtest/gtest.h>

#include "dialogs/dialog_fields.h"
#include "test_plug.h"

namespace {

TEST(DialogFieldsTest, NotesAndBankNumbersAreTypedFromOne) {
  struct Case {
    const char* typed;
    int expected;
  };
  for (const Case& c : {Case{"1", 0}, Case{"128", 127}, Case{"0", -1}, Case{"129", -1}, Case{"abc", -1},
                        Case{"", -1}, Case{" 12x", 11}, Case{"-5", -1},
                        Case{"1234567890", -1},  // only nine characters count: 123456789
                        Case{"000000064", 63}, Case{"0000000064", 5}}) {
    EXPECT_EQ(ui::OneBasedField(c.typed), c.expected) << '"' << c.typed << '"';
  }
}

TEST(DialogFieldsTest, PrioritiesOutsideTheRangeMeanNoChange) {
  struct Case {
    const char* typed;
    int expected;
  };
  for (const Case& c : {Case{"-127", -127}, Case{"127", 127}, Case{"+3", 3}, Case{"128", -128},
                        Case{"-128", -128}, Case{"x", 0}}) {
    EXPECT_EQ(ui::PriorityField(c.typed, -128), c.expected) << '"' << c.typed << '"';
  }
}

TEST(DialogFieldsTest, PatchListLinesCountUsedNotesPerBank) {
  lv::Performance performance;
  lv::Bank* named = performance.CreateBank(2);
  named->SetName("Verse");
  named->slots[5].patch = std::make_unique<lvtest::TestPlug>(nullptr, "a");
  named->slots[9].patch = std::make_unique<lvtest::TestPlug>(nullptr, "b");
  performance.CreateBank(0);
  EXPECT_EQ(ui::PatchListLines(performance),
            (std::vector<std::string>{"1  -  0 notes used", "3 (Verse) -  2 notes used"}));
}

}  // namespace
