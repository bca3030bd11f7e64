#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/dialog_template.h"
#include "platform/window/fonts.h"
#include "platform/window/message_target.h"
#include "platform/window/window_handle.h"

namespace window {

enum class CheckState { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

// A running dialog as its procedure sees it: its controls by id. Operations
// on an id the dialog lacks, or on a control of another kind, do nothing and
// give 0, -1 or an empty text. Changes made through these operations send no
// notification, except edits, which report every change of their text.
class Dialog : public MessageTarget {
 public:
  ~Dialog() override = default;

  virtual WindowHandle Handle() = 0;
  virtual void SetCaption(const std::string& text) = 0;
  virtual bool HasItem(int id) = 0;

  // Text of any control. `bufferSize` bounds the answer like a character
  // buffer with its terminating NUL: at most bufferSize - 1 characters.
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id, int bufferSize = 0x7FFFFFFF) = 0;
  // Numbers in a control's text. GetItemInt accepts blanks around an
  // optional minus (signed only) and decimal digits, nothing else; `ok` says
  // whether it did (the answer is then 0 when it did not).
  virtual void SetItemInt(int id, int value, bool isSigned = true) = 0;
  virtual int GetItemInt(int id, bool* ok = nullptr, bool isSigned = true) = 0;
  virtual void SetItemFont(int id, const FontDescription& font) = 0;

  // Check boxes and radio buttons.
  virtual void CheckButton(int id, CheckState state) = 0;
  virtual CheckState GetCheck(int id) = 0;
  // Checks `id` and unchecks the other radio buttons with ids first..last.
  virtual void CheckRadioButton(int first, int last, int id) = 0;

  // Entries of combo boxes, list boxes and list views (rows; the text is the
  // first column). Indexes count from 0; -1 is no entry.
  virtual int AddString(int id, const std::string& text) = 0;
  virtual void ResetContent(int id) = 0;
  virtual int GetCount(int id) = 0;
  virtual std::string GetString(int id, int index) = 0;
  virtual int FindStringExact(int id, const std::string& text) = 0;  // case ignored
  virtual void SetItemData(int id, int index, std::intptr_t data) = 0;
  virtual std::intptr_t GetItemData(int id, int index) = 0;  // 0 when out of range
  virtual void SetCurSel(int id, int index) = 0;
  virtual int GetCurSel(int id) = 0;
  // List views only.
  virtual void AddColumn(int id, const std::string& title, int widthPixels) = 0;
  virtual void SetCellText(int id, int row, int column, const std::string& text) = 0;

  // Spins, sliders, scroll bars and progress bars.
  virtual void SetRange(int id, int minimum, int maximum) = 0;
  virtual void SetPosition(int id, int position) = 0;
  virtual int GetPosition(int id) = 0;

  virtual void EnableItem(int id, bool enabled) = 0;
  virtual bool IsItemEnabled(int id) = 0;
  virtual void ShowItem(int id, bool shown) = 0;
  virtual bool IsItemShown(int id) = 0;
  virtual void SetFocus(int id) = 0;

  // A timer that sends msg::kTimer with `timerId` every `milliseconds`;
  // setting an id again restarts it.
  virtual void SetTimer(int timerId, int milliseconds) = 0;
  virtual void KillTimer(int timerId) = 0;

  // Ends the dialog once the procedure returns; RunModalDialog gives `result`.
  virtual void End(std::intptr_t result) = 0;
};

// The procedure: non-zero when it handled the message (for kNotify, its
// answer). Messages: msg::kInitDialog, kCommand, kNotify, kHScroll,
// kVScroll, kTimer, kClose, kDestroy, and whatever is posted to the dialog.
// Esc and the close box without a handler send kCommand kIdCancel.
using DialogProc = std::function<std::intptr_t(Dialog&, MessageId, WParam, LParam)>;

// Builds dialog `templateId` of `templates`, owned by `owner`, sends it
// msg::kInitDialog with `param`, runs it until End and gives End's result;
// -1 when the template is missing or no user interface can run it (no
// application object, or a call from another thread).
std::intptr_t RunModalDialog(const DialogTemplateSet& templates, int templateId,
                             WindowHandle owner, DialogProc proc, LParam param = 0);

}  // namespace window
