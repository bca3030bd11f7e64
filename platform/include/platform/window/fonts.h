#pragma once
#include <string>
#include <vector>

namespace window {

// A font for a control, like a logical font: an empty face is the default
// face; height in pixels (0: the default size).
struct FontDescription {
  std::string face;
  int height = 0;
  int weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// The font families the user can choose from, sorted by name.
std::vector<std::string> ListFontFamilies();

}  // namespace window
