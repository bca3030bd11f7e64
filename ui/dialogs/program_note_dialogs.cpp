#include "dialogs/program_note_dialogs.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <cstdio>

#include "dialogs/dialog_fields.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/program_ids.h"
#include "platform/window/dialog.h"
#include "platform/window/qt_keys.h"
#include "platform/window/qt_window_handle.h"

namespace ui {
namespace {

using window::Dialog;
using window::LParam;
using window::MessageId;
using window::WParam;

// Buffer sizes of the fields as the dialogs read them.
constexpr int kNumberBuffer = kNumberFieldChars + 1;
constexpr int kNameBuffer = 512;

bool IsCommand(MessageId message, WParam w, int id) {
  return message == window::msg::kCommand && window::CommandId(w) == id;
}

std::intptr_t Run(int templateId, window::WindowHandle owner, window::DialogProc proc) {
  return window::RunModalDialog(resources::ProgramDialogs(), templateId, owner, std::move(proc));
}

// While keyboard play is on, the note field turns mapped keys into notes
// and takes no typing.
class KeyboardNoteFilter final : public QObject {
 public:
  KeyboardNoteFilter(QObject* parent, Dialog& dialog, const KeyboardPlay& keyboard)
      : QObject(parent), dialog_(dialog), keyboard_(keyboard) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const int note = keyboard_.NoteOf(window::VirtualKeyOf(*key));
    if (note >= 0 && !key->isAutoRepeat()) dialog_.Post(lv::kNoteOnMessage, 0, note);
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
      case Qt::Key_Tab:
      case Qt::Key_Backtab: return false;
      default: return true;
    }
  }

 private:
  Dialog& dialog_;
  const KeyboardPlay& keyboard_;
};

}  // namespace

int ProgramNoteDialogs::SelectNote(window::WindowHandle owner) {
  auto proc = [this](Dialog& dialog, MessageId message, WParam w, LParam l) -> std::intptr_t {
    switch (message) {
      case window::msg::kInitDialog:
        noteReports_.Redirect([&dialog](uint32_t report, uintptr_t channel, intptr_t note) {
          dialog.Post(report, channel, note);
        });
        // A render thread that does not answer: no note can be chosen.
        if (!performer_.SetState(lv::NoteSelect)) {
          dialog.End(-1);
          return 1;
        }
        if (keyboard_.enabled) {
          auto* field = window::WidgetOf(dialog.Handle())->findChild<QLineEdit*>(QString::number(ids::kNoteField));
          if (field != nullptr) field->installEventFilter(new KeyboardNoteFilter(field, dialog, keyboard_));
        }
        return 1;
      case lv::kNoteOnMessage:
        dialog.End(l);
        return 1;
      case window::msg::kDestroy:
        noteReports_.EndRedirect();
        return 1;
      default: break;
    }
    if (IsCommand(message, w, window::kIdOk)) {
      dialog.End(OneBasedField(dialog.GetItemText(ids::kNoteField, kNumberBuffer)));
    } else if (IsCommand(message, w, window::kIdCancel)) {
      dialog.End(-1);
    }
    return message == window::msg::kCommand ? 1 : 0;
  };
  const std::intptr_t note = Run(ids::kSelectNoteDialog, owner, proc);
  // A dialog that could not run never redirected, but make sure.
  noteReports_.EndRedirect();
  return note >= 0 && note <= 127 ? static_cast<int>(note) : -1;
}

int ProgramNoteDialogs::CreateNewPatch(window::WindowHandle owner, int proposed) {
  auto proc = [proposed](Dialog& dialog, MessageId message, WParam w, LParam) -> std::intptr_t {
    if (message == window::msg::kInitDialog) {
      dialog.SetItemText(ids::kPatchNumberField, std::to_string(proposed + 1));
      return 1;
    }
    if (IsCommand(message, w, window::kIdOk)) {
      dialog.End(OneBasedField(dialog.GetItemText(ids::kPatchNumberField, kNumberBuffer)));
    } else if (IsCommand(message, w, window::kIdCancel)) {
      dialog.End(-1);
    }
    return message == window::msg::kCommand ? 1 : 0;
  };
  const std::intptr_t number = Run(ids::kCreatePatchDialog, owner, proc);
  return number >= 0 && number <= 127 ? static_cast<int>(number) : -1;
}

int ProgramNoteDialogs::SelectPriority(window::WindowHandle owner, int current) {
  auto proc = [current](Dialog& dialog, MessageId message, WParam w, LParam) -> std::intptr_t {
    if (message == window::msg::kInitDialog) {
      dialog.SetRange(ids::kPrioritySpin, -127, 127);
      dialog.SetPosition(ids::kPrioritySpin, current);
      return 1;
    }
    if (IsCommand(message, w, window::kIdOk)) {
      dialog.End(PriorityField(dialog.GetItemText(ids::kPriorityField, kNumberBuffer), kNoPriority));
    } else if (IsCommand(message, w, window::kIdCancel)) {
      dialog.End(kNoPriority);
    }
    return message == window::msg::kCommand ? 1 : 0;
  };
  const std::intptr_t priority = Run(ids::kPriorityDialog, owner, proc);
  return priority >= -127 && priority <= 127 ? static_cast<int>(priority) : kNoPriority;
}

bool ProgramNoteDialogs::SetPatchName(window::WindowHandle owner, lv::Bank& bank) {
  auto proc = [&bank](Dialog& dialog, MessageId message, WParam w, LParam) -> std::intptr_t {
    if (message == window::msg::kInitDialog) {
      if (bank.Name() != nullptr) dialog.SetItemText(ids::kPatchNameField, bank.Name());
      return 1;
    }
    if (IsCommand(message, w, window::kIdOk)) {
      bank.SetName(dialog.GetItemText(ids::kPatchNameField, kNameBuffer).c_str());
      dialog.End(1);
    } else if (IsCommand(message, w, window::kIdCancel)) {
      dialog.End(0);
    }
    return message == window::msg::kCommand ? 1 : 0;
  };
  return Run(ids::kPatchNameDialog, owner, proc) == 1;
}

void ProgramNoteDialogs::ListPatches(window::WindowHandle owner, const lv::Performance& performance) {
  auto proc = [&performance](Dialog& dialog, MessageId message, WParam w, LParam) -> std::intptr_t {
    if (message == window::msg::kInitDialog) {
      for (const std::string& line : PatchListLines(performance)) dialog.AddString(ids::kPatchLines, line);
      return 1;
    }
    if (IsCommand(message, w, window::kIdOk)) {
      dialog.End(0);
    } else if (IsCommand(message, w, window::kIdCancel)) {
      dialog.End(-1);
    }
    return message == window::msg::kCommand ? 1 : 0;
  };
  Run(ids::kPatchListDialog, owner, proc);
}

void ProgramNoteDialogs::ShowSystemInfo(window::WindowHandle owner) {
  if (facts_ == nullptr) return;
  auto proc = [this](Dialog& dialog, MessageId message, WParam w, LParam) -> std::intptr_t {
    if (message == window::msg::kInitDialog) {
      char line[160];
      std::snprintf(line, sizeof line, "%d MHz Processor", facts_->CpuMHz());
      dialog.SetItemText(ids::kProcessorLine, line);
      dialog.SetItemText(ids::kMmxLine, facts_->HasMmx() ? "MMX Detected" : "No MMX Support");
      std::snprintf(line, sizeof line, "VertexShader: %.100s", facts_->VertexShaderProfile().c_str());
      dialog.SetItemText(ids::kVertexShaderLine, line);
      std::snprintf(line, sizeof line, "PixelShader: %.100s", facts_->PixelShaderProfile().c_str());
      dialog.SetItemText(ids::kPixelShaderLine, line);
      std::snprintf(line, sizeof line, "%d MB RAM",
                    static_cast<int>((static_cast<long long>(facts_->MemoryKB()) + 1023) / 1024));
      dialog.SetItemText(ids::kMemoryLine, line);
      return 1;
    }
    if (IsCommand(message, w, window::kIdOk) || IsCommand(message, w, window::kIdCancel)) dialog.End(0);
    return message == window::msg::kCommand ? 1 : 0;
  };
  Run(ids::kSystemInfoDialog, owner, proc);
}

int ProgramNoteDialogs::ChoosePlugin(window::WindowHandle owner) {
  if (kinds_ == nullptr) return -1;
  return RunPluginChooser(*kinds_, owner, chooser_);
}

}  // namespace ui
