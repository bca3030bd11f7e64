#pragma once
// The main control dialog: the patch list, the bank ("Patch Bank") and note
// ("Notes") buttons, keyboard play, the output area and the main menu. Every
// button and menu command arrives at Command by its id.
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "dialogs/note_dialogs.h"
#include "main_dialog/keyboard_play.h"
#include "main_dialog/main_dialog_services.h"
#include "main_dialog/message_hub.h"
#include "patch_list/patch_list.h"
#include "performer/bank_progress.h"
#include "performer/performer.h"
#include "platform/window/message_box.h"

class QAction;
class QMenu;
class QScrollBar;

namespace ui {

class KeyboardField;
class KnobShelf;
class ProgramNoteDialogs;

struct MainDialogServices {
  lv::Performer* performer = nullptr;  // required
  const PluginKinds* kinds = nullptr;
  ProjectFiles* projects = nullptr;
  ProjectBundler* bundler = nullptr;
  RecentProjects* recent = nullptr;
  SettingsDefaults* settings = nullptr;
  DisplayControl* display = nullptr;
  MidiInputControl* midi = nullptr;
  OptionsSheetControl* options = nullptr;
  CaptureCommands* capture = nullptr;
  SystemFacts* facts = nullptr;
  KnobShelfView* shelf = nullptr;
  const WorkBufferNames* workBuffers = nullptr;
  NoteDialogs* dialogs = nullptr;  // null: the program's own dialogs
  KeyboardPlay::KeyNoteMap keyNoteMap;
  // True when some source kind opens the file (files dropped on the list).
  std::function<bool(const std::string& path)> opensAsSource;
  // Runs once the close is decided, before the performance goes: from here
  // the program bounds how long its end may take, writes what the performer
  // keeps and stops the render thread (which takes the performance away).
  std::function<void()> closing;
  // Runs when the program closes, after the performance is gone.
  std::function<void()> shutdown;
  // The output area's double click: the picture moves to the floating
  // preview, or back.
  std::function<void()> toggleFloatingPreview;
  // Help > About.
  std::function<void()> showTitleWindow;
};

class MainDialog final : public QMainWindow {
 public:
  static constexpr char kProductName[] = "Lorvane";
  static constexpr char kVersionText[] = "GPU v1.06";

  explicit MainDialog(MainDialogServices services, QWidget* parent = nullptr);
  ~MainDialog() override;

  // Makes this dialog the receiver of the Performer's reports and its bank
  // progress bar.
  void AttachToPerformer();
  MessageHub& NoteReports() { return noteReports_; }

  // A button (notification 0) or menu command; the output area's double
  // click comes with code 1.
  void Command(int id, int code = 0);
  // The Performer's posted reports (note on / off, end of playback).
  void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The bank scroll bar.
  void BankScroll(window::ScrollCode code, int position);

  window::MessageBoxResult PromptSaveModified();
  // 1 when the note had a patch to edit.
  // -1 when the render thread did not answer (nothing changed).
  int EditNotePatch(int note, window::WindowHandle owner);
  // 1 when a patch was assigned.
  int ChoosePlugInForNote(int note, window::WindowHandle owner);
  // Puts `instance` (owned from here on) on the note; with `configure` its
  // settings dialog runs first, owned by `owner`. 1 on success.
  int AssignPatchToNote(lv::Plug* instance, bool configure, window::WindowHandle owner, int note);

  void UpdateMainTitle();
  void EnablePerformanceButtons(bool enabled);
  void UpdateBankControls();
  void SetBankLabels(int number, const lv::Bank* bank);
  void StartCapture();
  void StopCapture();
  void ReopenMidiInput();
  // Greys the commands that cannot run now.
  void UpdateCommandStates();
  // Refills the File menu's recent-files entries from the list.
  void RebuildRecentFiles();

  PatchList& List() { return *list_; }
  QWidget* Item(int id) const;
  QAction* MenuAction(int id) const;
  QMenu* FileMenu() const { return fileMenu_; }
  window::WindowHandle Handle();
  const KeyboardPlay& Keyboard() const { return keyboard_; }
  // Where the windows that play from the keyboard send notes, Full and bank steps.
  KeyboardTargets KeyboardPlayTargets();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class ProgressBar;

  void BuildControls();
  void BuildMenu();
  void ButtonCommand(int id);
  bool MenuCommand(int id);

  // Commands.
  void NewPerformance();
  void OpenPerformance(const char* fileName);
  void ClosePerformance();
  void SavePerformance(bool saveAs);
  void BundleProject();
  void SaveOptionsAsDefaults();
  void ShowOptions();
  void FullScreen();
  void AssignNote();
  void EditNote();
  void ChangePriority();
  void DeleteNote();
  void CreateNewBank();
  void RenameBank();
  void DeleteBank();
  void UseKeyboard();
  void ShowBank(lv::Bank* bank);
  // False when the render thread did not answer: nothing changed.
  bool ReplacePerformance(lv::Performance* next);

  lv::Performance* Current() const { return performer().GetPerformance(); }
  lv::Performer& performer() const { return *services_.performer; }
  bool IsLive() const { return performer().State() == lv::Live; }
  // False when a pass does not end within the render thread's bound, or
  // still has not ended since: the command, which needs the frame lock, is
  // refused (the user is told once).
  bool RenderThreadAnswers() const { return performer().HoldFrame().owns_lock(); }
  // The commands that change what the render thread's passes read.
  static bool NeedsRenderThread(int id);
  bool CaptureOrPlayback() const;
  // The bits of the channels whose bank is `bank`.
  uint16_t ChannelsPlaying(const lv::Bank* bank) const;
  void CreateDeviceObjects(lv::Plug& patch, const lv::Bank& bank) const;
  window::MessageBoxResult Box(const char* text, const char* caption,
                               window::MessageBoxButtons buttons = window::MessageBoxButtons::kOk,
                               window::MessageBoxIcon icon = window::MessageBoxIcon::kNone,
                               int defaultButton = 0, window::WindowHandle owner = nullptr);
  bool NeedBank(const char* text);
  bool IsChecked(int id) const;
  void SetItemText(int id, const QString& text);

  MainDialogServices services_;
  KeyboardPlay keyboard_;
  MessageHub noteReports_;
  MessageHub mainReports_;
  std::unique_ptr<ProgramNoteDialogs> ownDialogs_;
  std::unique_ptr<KnobShelf> ownShelf_;
  NoteDialogs* dialogs_ = nullptr;
  std::unique_ptr<ProgressBar> progress_;
  KeyboardField* keyboardField_ = nullptr;  // while "Use Keyboard" is checked
  std::map<int, QWidget*> items_;
  std::map<int, QAction*> actions_;
  std::vector<QAction*> recentActions_;
  PatchList* list_ = nullptr;
  QScrollBar* bankScroll_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  bool attached_ = false;
};

}  // namespace ui
