#include "dialogs/program_dialogs.h"

#include "dialogs/program_ids.h"
#include "platform/window/messages.h"

namespace resources {
namespace {

using window::ControlKind;
using window::ControlTemplate;
using window::DialogTemplate;

ControlTemplate Control(ControlKind kind, int id, const char* text, int x, int y, int width, int height,
                        unsigned style = window::kStyleNone) {
  ControlTemplate control;
  control.kind = kind;
  control.id = id;
  control.text = text;
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  control.style = style;
  return control;
}

ControlTemplate Ok(int x, int y) {
  return Control(ControlKind::kButton, window::kIdOk, "OK", x, y, 50, 14, window::kDefaultButton);
}
ControlTemplate Cancel(int x, int y) { return Control(ControlKind::kButton, window::kIdCancel, "Cancel", x, y, 50, 14); }

DialogTemplate MainDialogLayout() {
  using K = ControlKind;
  const unsigned hidden = window::kHidden;
  const unsigned disabled = window::kDisabled;
  DialogTemplate layout{ids::kMainDialog, "Lorvane GPU v1.06", 404, 392, {}};
  layout.controls = {
      // The output area on the left, the keyboard-play controls below it.
      Control(K::kStatic, ids::kOutputArea, "", 4, 4, 184, 138),
      Control(K::kStatic, ids::kTextureMemory, "Texture Mem: 128Mb", 4, 146, 110, 10),
      Control(K::kButton, ids::kFull, "&`Full", 140, 145, 48, 14),
      Control(K::kCheckBox, ids::kUseKeyboard, "Use Keyboard", 4, 162, 90, 10),
      Control(K::kCheckBox, ids::kActiveNoteSelector, "Enable Active Note Selector", 4, 176, 150, 10),
      Control(K::kStatic, ids::kKeyboardHint1, "Click in the window below", 4, 190, 150, 9, hidden),
      Control(K::kStatic, ids::kKeyboardHint2, "to perform with the keyboard", 4, 199, 150, 9, hidden),
      Control(K::kEdit, ids::kKeyboardField, "", 4, 210, 150, 12, hidden | window::kReadOnly),
      // Banks ("patches") and notes on the right.
      Control(K::kGroupBox, ids::kBankGroup, "Patch Bank", 196, 2, 204, 66),
      Control(K::kStatic, ids::kBankNumber, "128", 204, 15, 22, 10),
      Control(K::kStatic, ids::kBankName, "", 228, 15, 164, 10),
      Control(K::kProgressBar, ids::kBankProgress, "", 228, 15, 164, 10, hidden),
      Control(K::kHScrollBar, ids::kBankScroll, "", 204, 28, 188, 10),
      Control(K::kButton, ids::kCreateNew, "&Create New", 204, 45, 48, 14),
      Control(K::kButton, ids::kListPatches, "&List Patches", 254, 45, 50, 14),
      Control(K::kButton, ids::kRename, "Rename", 306, 45, 42, 14),
      Control(K::kButton, ids::kDeleteBank, "Delete", 350, 45, 42, 14),
      Control(K::kGroupBox, ids::kNotesGroup, "Notes", 196, 72, 204, 38),
      Control(K::kButton, ids::kAssign, "&Assign", 204, 87, 36, 14),
      Control(K::kButton, ids::kEdit, "&Edit", 242, 87, 32, 14),
      Control(K::kButton, ids::kPriority, "Priority", 276, 87, 36, 14),
      Control(K::kButton, ids::kReassign, "Reassign", 314, 87, 40, 14),
      Control(K::kButton, ids::kDeleteNote, "Delete", 356, 87, 36, 14),
      Control(K::kButton, ids::kStopRecording, "Recording MIDI - Press to stop", 204, 40, 188, 20, hidden),
      // The patch list and the knob shelf across the bottom.
      Control(K::kListView, ids::kPatchList, "", 4, 226, 396, 110),
      Control(K::kStatic, ids::kKnobShelf, "", 4, 340, 396, 36),
      Control(K::kHScrollBar, ids::kKnobShelfScroll, "", 4, 378, 396, 10, disabled),
  };
  return layout;
}


}  // namespace

const window::DialogTemplateSet& ProgramDialogs() {
  static const window::DialogTemplateSet set = [] {
    using K = ControlKind;
    window::DialogTemplateSet dialogs;
    dialogs.Add(MainDialogLayout());
    dialogs.Add({ids::kCreatePatchDialog, "Create New Patch", 160, 52,
                 {Control(K::kStatic, -1, "Patch Number :", 8, 10, 60, 10),
                  Control(K::kEdit, ids::kPatchNumberField, "", 72, 8, 80, 12, window::kNumberOnly),
                  Ok(24, 30), Cancel(84, 30)}});
    dialogs.Add({ids::kSelectNoteDialog, "Select A Note", 180, 52,
                 {Control(K::kStatic, -1, "Hit a MIDI (or keyboard) key :", 8, 10, 112, 10),
                  Control(K::kEdit, ids::kNoteField, "", 122, 8, 50, 12), Ok(34, 30), Cancel(94, 30)}});
    dialogs.Add({ids::kPatchListDialog, "Patch List", 200, 150,
                 {Control(K::kListBox, ids::kPatchLines, "", 8, 8, 184, 114), Ok(44, 128), Cancel(104, 128)}});
    ControlTemplate spin = Control(K::kSpin, ids::kPrioritySpin, "", 102, 8, 12, 12);
    spin.buddyId = ids::kPriorityField;
    dialogs.Add({ids::kPriorityDialog, "Select a new Priority", 160, 52,
                 {Control(K::kStatic, -1, "Priority :", 8, 10, 50, 10),
                  Control(K::kEdit, ids::kPriorityField, "", 60, 8, 40, 12, window::kNumberOnly), spin,
                  Ok(24, 30), Cancel(84, 30)}});
    dialogs.Add({ids::kPatchNameDialog, "Set Patch Name", 220, 52,
                 {Control(K::kStatic, -1, "Patch Name :", 8, 10, 50, 10),
                  Control(K::kEdit, ids::kPatchNameField, "", 60, 8, 152, 12), Ok(54, 30), Cancel(114, 30)}});
    dialogs.Add({ids::kSystemInfoDialog, "System Info", 160, 100,
                 {Control(K::kStatic, ids::kProcessorLine, "", 8, 8, 144, 10),
                  Control(K::kStatic, ids::kMmxLine, "", 8, 20, 144, 10),
                  Control(K::kStatic, ids::kVertexShaderLine, "", 8, 32, 144, 10),
                  Control(K::kStatic, ids::kPixelShaderLine, "", 8, 44, 144, 10),
                  Control(K::kStatic, ids::kMemoryLine, "", 8, 56, 144, 10), Ok(55, 78)}});
    dialogs.Add({ids::kPluginChooserDialog, "Select a Plug-in", 300, 180,
                 {Control(K::kListView, ids::kPluginList, "", 8, 8, 284, 144), Ok(94, 158), Cancel(156, 158)}});
    dialogs.Add({ids::kProgressDialog, "", 180, 40,
                 {Control(K::kStatic, ids::kProgressText, ".", 8, 6, 164, 10),
                  Control(K::kProgressBar, ids::kProgressBar, "", 8, 20, 164, 12)}});
    return dialogs;
  }();
  return set;
}

const std::vector<SubMenu>& MainMenu() {
  static const std::vector<SubMenu> menu = {
      {"&File",
       {{ids::kMenuNew, "&New"},
        {ids::kMenuOpen, "&Open"},
        {ids::kMenuClose, "&Close"},
        {0, ""},
        {ids::kMenuSave, "&Save"},
        {ids::kMenuSaveAs, "Save &As"},
        {0, ""},
        {ids::kMenuBundle, "&Bundle Project"},
        {0, ""},
        // The recent files go in here.
        {ids::kMenuExit, "E&xit"}}},
      {"&Options",
       {{ids::kMenuOptions, "&Options"},
        {ids::kMenuSaveDefaults, "&Save Options as Defaults"},
        {0, ""},
        {ids::kMenuFullScreen, "&Full Screen"}}},
      {"&Capture",
       {{ids::kMenuCaptureMidi, "&Capture MIDI to file"},
        {ids::kMenuPlayCapture, "&Play captured MIDI file"},
        {ids::kMenuRenderCapture, "&Render captured MIDI file"}}},
      {"&Help", {{ids::kMenuAbout, "&About"}, {ids::kMenuSystemInfo, "System Info"}}},
  };
  return menu;
}

}  // namespace resources
