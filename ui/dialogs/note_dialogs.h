#pragma once
// The small modal dialogs the main dialog's commands open. The real ones run
// the program's dialog layouts; tests script the answers.
#include "performance/performance.h"
#include "platform/window/window_handle.h"

namespace ui {

class NoteDialogs {
 public:
  static constexpr int kNoPriority = -128;

  virtual ~NoteDialogs() = default;
  // Select A Note: a note 0..127, or -1.
  virtual int SelectNote(window::WindowHandle owner) = 0;
  // Create New Patch, showing proposed + 1: a bank number 0..127, or -1.
  virtual int CreateNewPatch(window::WindowHandle owner, int proposed) = 0;
  // Select a new Priority: -127..127, or kNoPriority for no change.
  virtual int SelectPriority(window::WindowHandle owner, int current) = 0;
  // Set Patch Name: true when the bank took the typed name.
  virtual bool SetPatchName(window::WindowHandle owner, lv::Bank& bank) = 0;
  // Patch List (informational).
  virtual void ListPatches(window::WindowHandle owner, const lv::Performance& performance) = 0;
  virtual void ShowSystemInfo(window::WindowHandle owner) = 0;
  // Select a Plug-in: a plug-in kind index, or -1.
  virtual int ChoosePlugin(window::WindowHandle owner) = 0;
};

}  // namespace ui
