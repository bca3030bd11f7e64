#include "controllers/mini_ssc.h"

#include <algorithm>
#include <vector>

#include "module_dialogs.h"
#include "platform/window/dialog.h"
#include "platform/window/messages.h"

namespace kestrix {
namespace {

constexpr int kDialog = 104;
constexpr int kFirstShownBar = 1019;
constexpr int kRowBase = 2100;  // five controls a row: number, On, CControl, value text, value bar
constexpr int kRows = 8;
constexpr uint32_t kDataTag = lv::ChunkTag("DATA");

// The library's port statics live as long as the library.
ServoPort port1("COM1");
ServoPort port2("COM2");

// A scroll bar's new position for `code` from `current`; thumb moves bring
// their own position.
int Scrolled(window::ScrollCode code, int current, int thumb, int line, int page, int limit) {
  using window::ScrollCode;
  int position = current;
  switch (code) {
    case ScrollCode::kLineLeft: position = current - line; break;
    case ScrollCode::kLineRight: position = current + line; break;
    case ScrollCode::kPageLeft: position = current - page; break;
    case ScrollCode::kPageRight: position = current + page; break;
    case ScrollCode::kThumbPosition:
    case ScrollCode::kThumbTrack: position = thumb; break;
    case ScrollCode::kLeft: position = 0; break;
    case ScrollCode::kRight: position = limit; break;
    default: break;
  }
  return std::clamp(position, 0, limit);
}

}  // namespace

ServoPort& MiniSscPort1() { return port1; }
ServoPort& MiniSscPort2() { return port2; }

MiniSscController::MiniSscController(ServoPort& port) : port_(port) {
  port_.Acquire();
  for (int i = 0; i < kServos; ++i) {
    Put(value_, i, 127);
    Put(on_, i, 0);
    Put(control_, i, 0);
  }
}

MiniSscController::~MiniSscController() { port_.Release(); }

void MiniSscController::NoteOn() {
  std::vector<ServoCommand> commands;
  for (int i = 0; i < kServos; ++i) {
    if (Get(on_, i) != 0 && Get(control_, i) == 0) commands.push_back({uint8_t(i), Get(value_, i)});
  }
  port_.Send(commands);
}

void MiniSscController::Render(uint32_t) {
  std::vector<ServoCommand> commands;
  for (int i = 0; i < kServos; ++i) {
    if (Get(on_, i) == 0 || Get(control_, i) == 0) continue;
    const uint8_t controller = std::min(Get(value_, i), kMaxController);
    const uint8_t value = host != nullptr ? host->GetController(channel, controller) : 0;
    // Controller values 0-127 give positions 0-254.
    commands.push_back({uint8_t(i), uint8_t(std::min<int>(value, kMaxController) * 2)});
  }
  port_.Send(commands);
}

bool MiniSscController::Save(lv::ChunkStream* stream) {
  uint8_t data[3 * kServos];
  for (int i = 0; i < kServos; ++i) {
    data[i] = Get(value_, i);
    data[kServos + i] = Get(on_, i);
    data[2 * kServos + i] = Get(control_, i);
  }
  return stream->WriteChunk(kDataTag, data, int32_t(sizeof data)) && stream->WriteEnd();
}

bool MiniSscController::Load(lv::ChunkStream* stream) {
  for (uint32_t tag = stream->NextChunk(); tag != 0; tag = stream->NextChunk()) {
    if (tag != kDataTag) continue;
    uint8_t table[kServos];
    Table* tables[] = {&value_, &on_, &control_};
    for (Table* t : tables) {
      // A short chunk keeps the tables it does not reach.
      if (!stream->ReadChunkData(table, kServos)) break;
      for (int i = 0; i < kServos; ++i) Put(*t, i, table[i]);
    }
    // Saved bytes become what the wire and the host can take: flags 0 or 1,
    // controller numbers up to 127, positions up to 254 (never the sync byte).
    for (int i = 0; i < kServos; ++i) {
      Put(on_, i, Get(on_, i) != 0 ? 1 : 0);
      Put(control_, i, Get(control_, i) != 0 ? 1 : 0);
      Put(value_, i, std::min(Get(value_, i), Get(control_, i) != 0 ? kMaxController : kMaxPosition));
    }
  }
  return true;
}

// The dialog works on the instance directly: Cancel keeps what was changed.
class MiniSscController::SettingsDialog {
 public:
  explicit SettingsDialog(MiniSscController& plug) : plug_(plug) {}

  std::intptr_t Handle(window::Dialog& dialog, window::MessageId message, window::WParam w, window::LParam l) {
    namespace msg = window::msg;
    switch (message) {
      case msg::kInitDialog:
        Refresh(dialog);
        dialog.SetRange(kFirstShownBar, 0, kFirstShownMax);
        dialog.SetPosition(kFirstShownBar, plug_.firstShown_);
        return 1;
      case msg::kCommand: {
        const int id = window::CommandId(w);
        if (window::CommandCode(w) != window::NotifyCode::kClicked) return 0;
        if (id == window::kIdOk || id == window::kIdCancel) {
          dialog.End(id == window::kIdOk ? 1 : 0);
          return 1;
        }
        if (id >= kRowBase && id < kRowBase + 5 * kRows) Toggled(dialog, id);
        return 1;
      }
      case msg::kClose:
        dialog.End(0);
        return 1;
      case msg::kHScroll: {
        const int id = int(l);
        if (id < kRowBase || id >= kRowBase + 5 * kRows || (id - kRowBase) % 5 != 4) return 0;
        ValueScrolled(dialog, id, window::ScrollCodeOf(w), window::ScrollPositionOf(w));
        return 1;
      }
      case msg::kVScroll: {
        if (int(l) != kFirstShownBar) return 0;
        const int position = Scrolled(window::ScrollCodeOf(w), dialog.GetPosition(kFirstShownBar),
                                      window::ScrollPositionOf(w), 1, 8, kFirstShownMax);
        dialog.SetPosition(kFirstShownBar, position);
        plug_.firstShown_ = position;
        Refresh(dialog);
        return 1;
      }
      default:
        return 0;
    }
  }

 private:
  int Servo(int row) const { return plug_.firstShown_ + row; }

  void EnableRow(window::Dialog& dialog, int row, bool on) {
    for (int column : {2, 3, 4}) dialog.EnableItem(kRowBase + 5 * row + column, on);
  }

  void Refresh(window::Dialog& dialog) {
    for (int row = 0; row < kRows; ++row) {
      const int s = Servo(row);
      const int base = kRowBase + 5 * row;
      const bool on = Get(plug_.on_, s) != 0;
      const bool control = Get(plug_.control_, s) != 0;
      dialog.SetItemInt(base, s);
      dialog.CheckButton(base + 1, on ? window::CheckState::kChecked : window::CheckState::kUnchecked);
      dialog.SetRange(base + 4, 0, control ? 127 : 255);
      dialog.SetPosition(base + 4, Get(plug_.value_, s));
      EnableRow(dialog, row, on);
      dialog.CheckButton(base + 2, control ? window::CheckState::kChecked : window::CheckState::kUnchecked);
      dialog.SetItemInt(base + 3, Get(plug_.value_, s));
    }
  }

  void Toggled(window::Dialog& dialog, int id) {
    const int row = (id - kRowBase) / 5;
    const int column = (id - kRowBase) % 5;
    const int s = Servo(row);
    const bool checked = dialog.GetCheck(id) == window::CheckState::kChecked;
    if (column == 1) {
      Put(plug_.on_, s, checked ? 1 : 0);
      EnableRow(dialog, row, checked);
    } else if (column == 2) {
      Put(plug_.control_, s, checked ? 1 : 0);
      if (checked && Get(plug_.value_, s) > kMaxController) Put(plug_.value_, s, kMaxController);
      Refresh(dialog);
    }
  }

  void ValueScrolled(window::Dialog& dialog, int id, window::ScrollCode code, int thumb) {
    const int row = (id - kRowBase) / 5;
    const int s = Servo(row);
    const bool control = Get(plug_.control_, s) != 0;
    const int limit = control ? kMaxController : kMaxPosition;
    const int position = Scrolled(code, dialog.GetPosition(id), thumb, 1, 16, limit);
    dialog.SetPosition(id, position);
    // A fixed servo follows its bar live.
    if (!control) {
      const ServoCommand command{uint8_t(s), uint8_t(position)};
      plug_.port_.Send({&command, 1});
    }
    dialog.SetItemInt(kRowBase + 5 * row + 3, position);
    Put(plug_.value_, s, uint8_t(position));
  }

  MiniSscController& plug_;
};

bool MiniSscController::Configure(lv::WindowHandle owner) {
  SettingsDialog settings(*this);
  return window::RunModalDialog(ModuleDialogs(), kDialog, static_cast<window::WindowHandle>(owner),
                                [&settings](window::Dialog& d, window::MessageId m, window::WParam w,
                                            window::LParam l) { return settings.Handle(d, m, w, l); }) == 1;
}

}  // namespace kestrix
