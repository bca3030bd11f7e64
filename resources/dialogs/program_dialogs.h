#pragma once
// The program's dialog layouts and its main menu, found by resource id.
#include <string>
#include <vector>

#include "platform/window/dialog_template.h"

namespace resources {

// Every dialog layout of the program (the main dialog, its small dialogs and
// the progress window).
const window::DialogTemplateSet& ProgramDialogs();

// One entry of a menu: id 0 is a separator.
struct MenuEntry {
  int id = 0;
  std::string text;
};

struct SubMenu {
  std::string title;
  std::vector<MenuEntry> entries;
};

// Menu 102 of the main dialog, File first. The recent files go in at
// kRecentFilesPosition of the File menu.
const std::vector<SubMenu>& MainMenu();
inline constexpr int kRecentFilesPosition = 9;

}  // namespace resources
