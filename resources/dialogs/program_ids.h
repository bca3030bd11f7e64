#pragma once
// Resource ids of the program's own dialogs, menus and controls. Code finds
// controls by these ids, and the widgets carry them as object names.
namespace ids {

// Dialog layouts.
inline constexpr int kMainDialog = 101;
inline constexpr int kMainMenu = 102;
inline constexpr int kCreatePatchDialog = 104;
inline constexpr int kSelectNoteDialog = 105;
inline constexpr int kPatchListDialog = 111;
inline constexpr int kPriorityDialog = 112;
inline constexpr int kPatchNameDialog = 114;
inline constexpr int kSystemInfoDialog = 115;
inline constexpr int kProgressDialog = 170;
inline constexpr int kPluginChooserDialog = 181;

// Main dialog controls.
inline constexpr int kOutputArea = -1;
inline constexpr int kAssign = 1000;
inline constexpr int kEdit = 1001;
inline constexpr int kReassign = 1002;
inline constexpr int kListPatches = 1003;
inline constexpr int kCreateNew = 1005;
inline constexpr int kBankScroll = 1006;
inline constexpr int kBankNumber = 1007;
inline constexpr int kDeleteNote = 1008;
inline constexpr int kDeleteBank = 1009;
inline constexpr int kPriority = 1011;
inline constexpr int kRename = 1013;
inline constexpr int kBankName = 1052;
inline constexpr int kFull = 1079;
inline constexpr int kBankProgress = 1090;
inline constexpr int kUseKeyboard = 1106;
inline constexpr int kKeyboardField = 1113;
inline constexpr int kKeyboardHint1 = 1114;
inline constexpr int kKeyboardHint2 = 1115;
inline constexpr int kTextureMemory = 1116;
inline constexpr int kStopRecording = 1137;
inline constexpr int kNotesGroup = 1138;
inline constexpr int kBankGroup = 1139;
inline constexpr int kPatchList = 1141;
inline constexpr int kKnobShelf = 1147;
inline constexpr int kActiveNoteSelector = 1148;
inline constexpr int kKnobShelfScroll = 1192;

// Controls of the small dialogs.
inline constexpr int kNoteField = 1010;        // Select A Note
inline constexpr int kPatchNumberField = 1007; // Create New Patch
inline constexpr int kPatchLines = 1028;       // Patch List
inline constexpr int kPrioritySpin = 1030;
inline constexpr int kPriorityField = 1032;
inline constexpr int kPatchNameField = 1052;   // Set Patch Name
inline constexpr int kProcessorLine = 1097;    // System Info
inline constexpr int kMmxLine = 1098;
inline constexpr int kVertexShaderLine = 1099;
inline constexpr int kPixelShaderLine = 1100;
inline constexpr int kMemoryLine = 1101;
inline constexpr int kPluginList = 1017;       // Select a Plug-in
inline constexpr int kProgressBar = 1110;      // progress window
inline constexpr int kProgressText = 0xFFFF;

// Menu commands.
inline constexpr int kMenuNew = 57600;
inline constexpr int kMenuOpen = 57601;
inline constexpr int kMenuClose = 57602;
inline constexpr int kMenuSave = 57603;
inline constexpr int kMenuSaveAs = 40003;
inline constexpr int kMenuOptions = 40005;
inline constexpr int kMenuExit = 40006;
inline constexpr int kMenuAbout = 40011;
inline constexpr int kMenuFullScreen = 40012;
inline constexpr int kMenuBundle = 40013;
inline constexpr int kMenuSystemInfo = 40014;
inline constexpr int kMenuSaveDefaults = 40016;
inline constexpr int kMenuCaptureMidi = 40021;
inline constexpr int kMenuRenderCapture = 40023;
inline constexpr int kMenuPlayCapture = 40024;
inline constexpr int kMenuRecentFirst = 57616;  // one id per recent file
inline constexpr int kMenuRecentLast = 57619;
inline constexpr int kMenuRecentSeparator = 57631;

}  // namespace ids
