#pragma once
// The modal questions the Options pages ask: the folder browser, the popup
// menus of the capture page and the sample parameters dialog. The real ones
// are Qt dialogs; tests script the answers. Message boxes go through the
// window layer's own prompts.
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace ui {

struct SampleRequest;

class OptionsPrompts {
 public:
  virtual ~OptionsPrompts() = default;
  // The folder chosen, nothing when the browser was cancelled.
  virtual std::optional<std::string> BrowseForFolder(QWidget* parent, const std::string& title,
                                                     const std::string& start) = 0;
  // A popup menu at the cursor: the index of the chosen item, -1 when dismissed.
  virtual int ChooseFromMenu(QWidget* parent, const std::vector<std::string>& items) = 0;
  // Edits `request` in "Enter Video Sample Parameters"; false on Cancel.
  virtual bool EditSampleRequest(QWidget* parent, SampleRequest& request) = 0;
};

// The Qt dialogs and menus.
OptionsPrompts& QtOptionsPrompts();

}  // namespace ui
