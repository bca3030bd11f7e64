#include "platform/window/file_filter.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct FilterCase {
  std::string filter;
  std::vector<std::string> expected;
};

TEST(FileFilter, ConvertsNulSeparatedPairs) {
  const std::vector<FilterCase> cases = {
      {"Lorvane MIDI capture\0*.midicap\0\0"s, {"Lorvane MIDI capture (*.midicap)"}},
      {"Images\0*.bmp;*.png; *.jpg\0All files\0*.*\0\0"s, {"Images (*.bmp *.png *.jpg)", "All files (*.*)"}},
      // A name that already shows its patterns keeps them; Qt reads the last pair of parentheses.
      {"AVI (*.avi)\0*.avi\0\0"s, {"AVI (*.avi) (*.avi)"}},
      // Without the final NULs the text still ends the list.
      {"Text\0*.txt"s, {"Text (*.txt)"}},
      {""s, {}},
      {"\0\0"s, {}},
      // A name without patterns, and a pair whose patterns are only separators, are dropped.
      {"Images\0*.bmp\0Dangling\0"s, {"Images (*.bmp)"}},
      {"Empty\0;;\0Text\0*.txt\0\0"s, {"Text (*.txt)"}},
      {"\0*.x\0"s, {}},  // the leading NUL is the end of the list
  };
  for (const FilterCase& c : cases) {
    EXPECT_EQ(window::ConvertFileFilter(c.filter), c.expected) << "filter of " << c.filter.size() << " bytes";
  }
}

}  // namespace
