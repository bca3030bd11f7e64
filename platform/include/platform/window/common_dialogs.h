#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/window/window_handle.h"

namespace window {

struct FileDialogRequest {
  WindowHandle owner = nullptr;
  std::string title;
  // Pairs of display name and patterns, each ended by a NUL, the list ended
  // by one more: "Images\0*.bmp;*.png\0All\0*.*\0\0" (see file_filter.h).
  std::string filter;
  int filterIndex = 1;       // 1-based, as the pairs are counted
  std::string initialPath;   // a file name, a folder, or both
  std::string defaultExtension;  // without the dot; added when the name has none
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool overwritePrompt = false;
};

// The chosen path, or nothing when the user cancelled.
std::optional<std::string> GetOpenFileName(const FileDialogRequest& request);
std::optional<std::string> GetSaveFileName(const FileDialogRequest& request);

// Colours as 0x00BBGGRR: red in the low byte.
using ColourRef = std::uint32_t;

struct ColourRequest {
  WindowHandle owner = nullptr;
  ColourRef initial = 0;
  // The caller's table of 16 custom colours, shown in the dialog and written
  // back after it (null: the dialog keeps its own).
  std::array<ColourRef, 16>* customColours = nullptr;
};

std::optional<ColourRef> ChooseColour(const ColourRequest& request);

}  // namespace window
