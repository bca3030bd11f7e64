#pragma once
// The small dialogs of the main dialog's commands on the program's layouts.
#include "dialogs/note_dialogs.h"
#include "dialogs/plugin_chooser.h"
#include "main_dialog/keyboard_play.h"
#include "main_dialog/main_dialog_services.h"
#include "main_dialog/message_hub.h"
#include "performer/performer.h"

namespace ui {

class ProgramNoteDialogs final : public NoteDialogs {
 public:
  // `kinds` and `facts` may be null (no kinds to choose, no facts to show).
  ProgramNoteDialogs(lv::Performer& performer, MessageHub& noteReports, const KeyboardPlay& keyboard,
                     const PluginKinds* kinds, SystemFacts* facts)
      : performer_(performer), noteReports_(noteReports), keyboard_(keyboard), kinds_(kinds), facts_(facts) {}

  int SelectNote(window::WindowHandle owner) override;
  int CreateNewPatch(window::WindowHandle owner, int proposed) override;
  int SelectPriority(window::WindowHandle owner, int current) override;
  bool SetPatchName(window::WindowHandle owner, lv::Bank& bank) override;
  void ListPatches(window::WindowHandle owner, const lv::Performance& performance) override;
  void ShowSystemInfo(window::WindowHandle owner) override;
  int ChoosePlugin(window::WindowHandle owner) override;

  PluginChooserMemory& ChooserMemory() { return chooser_; }

 private:
  lv::Performer& performer_;
  MessageHub& noteReports_;
  const KeyboardPlay& keyboard_;
  const PluginKinds* kinds_;
  SystemFacts* facts_;
  PluginChooserMemory chooser_;
};

}  // namespace ui
