#pragma once
// The patch list: 128 rows, one per MIDI note, showing what each note slot
// of the current bank holds; lights the rows of playing notes; edits
// priority and target from pop-up menus and keys, and plays notes from the
// computer keyboard.
#include <QTableWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "main_dialog/keyboard_play.h"
#include "main_dialog/main_dialog_services.h"
#include "patch_list/patch_list_menu.h"
#include "performer/performer.h"
#include "platform/window/messages.h"

namespace ui {

class PatchList final : public QTableWidget {
 public:
  static constexpr int kRows = 128;
  static constexpr int kColumns = 5;
  // Data role of column 0: true while the note plays.
  static constexpr int kPlayingRole = Qt::UserRole + 1;

  struct Links {
    lv::Performer* performer = nullptr;
    const PluginKinds* kinds = nullptr;
    const WorkBufferNames* workBuffers = nullptr;
    KnobShelfView* shelf = nullptr;
    const KeyboardPlay* keyboard = nullptr;
    std::function<void()> postFull;                          // backtick
    std::function<void(window::ScrollCode)> postBankScroll;  // Left / Right
    std::function<void(int note)> activated;                 // double click
    std::function<uint32_t()> clock;                         // keyboard event times
  };
  // Shows a pop-up menu at a screen point and gives the chosen id (0: none).
  using MenuRunner = std::function<int(const PopupMenu&, const QPoint&)>;

  PatchList(QWidget* parent, Links links);

  void Refresh();
  void UpdateItem(int note, const lv::Performance& performance);
  void RefreshNote(int note);
  void MarkNotePlaying(int note, int channel);
  void MarkNoteReleased(int note, int channel);
  void ClearPlaying();
  void AdjustPriority(int delta);
  void AdjustTarget(int delta);
  void OnContextMenu(const QPoint& screenPoint);

  void SetSelector(bool on) { selector_ = on; }
  bool Selector() const { return selector_; }
  bool IsPlaying(int note) const { return playing_[static_cast<size_t>(note & 127)] != 0; }
  void SetMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  lv::Performance* CurrentPerformance() const;
  void SetRowPlaying(int note, bool playing);
  void SetText(int row, int column, const std::string& text);
  void OnFocusChanged(int row, int previousRow);
  void PushKeyboardNote(int note, bool on);
  int WorkBufferCount() const;
  std::vector<std::string> WorkBufferList() const;

  Links links_;
  MenuRunner menuRunner_;
  std::array<uint16_t, kRows> playing_{};
  bool selector_ = false;
  bool refreshing_ = false;
};

}  // namespace ui
