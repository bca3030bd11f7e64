#include "app/output_window_commands.h"

#include "app/key_note_map.h"
#include "performer/message_window.h"
#include "performer/performer.h"
#include "platform/sys/clock.h"
#include "platform/window/virtual_keys.h"

namespace lv {

OutputWindowCommands::OutputWindowCommands(Performer& performer, Connections connections)
    : performer_(performer), connections_(std::move(connections)) {
  if (connections_.clock == nullptr) connections_.clock = sys::TimeMs;
}

void OutputWindowCommands::Push(uint32_t message) {
  const MidiEvent event{message, connections_.clock()};
  if (connections_.push)
    connections_.push(event);
  else
    performer_.PushMidi(event);
}

void OutputWindowCommands::KeyDown(int key, bool autoRepeat) {
  if (key == window::vk::kEscape) {
    if (performer_.State() == PlayingCapture) {
      if (connections_.mainDialog != nullptr) connections_.mainDialog->Post(kPlaybackEndMessage, 0, 0);
    } else if (connections_.setWindowed) {
      connections_.setWindowed();
    }
    return;
  }
  if (key == window::vk::kSpace) {
    if (performer_.StopAllNotes() && connections_.clearPlayingMarks) connections_.clearPlayingMarks();
    return;
  }
  const KeyboardPlay play = connections_.keyboardPlay ? connections_.keyboardPlay() : KeyboardPlay{};
  if (!play.enabled || autoRepeat) return;
  const uint32_t channel = play.channel & 15u;
  if (key == window::vk::kUp || key == window::vk::kDown) {
    const Performance* performance = performer_.GetPerformance();
    Bank* bank = performer_.ChannelBank(static_cast<uint8_t>(channel));
    if (performance == nullptr || bank == nullptr) return;
    const ListNode* step = key == window::vk::kUp ? bank->Next() : bank->Prev();
    if (step == nullptr) return;
    Push(0xC0u | channel | uint32_t{static_cast<const Bank*>(step)->programNumber} << 8);
    return;
  }
  const int note = NoteOfKey(key);
  if (note >= 0) Push(0x90u | channel | static_cast<uint32_t>(note) << 8 | 127u << 16);
}

void OutputWindowCommands::KeyUp(int key) {
  const KeyboardPlay play = connections_.keyboardPlay ? connections_.keyboardPlay() : KeyboardPlay{};
  if (!play.enabled) return;
  const int note = NoteOfKey(key);
  if (note >= 0) Push(0x80u | (play.channel & 15u) | static_cast<uint32_t>(note) << 8);
}

void OutputWindowCommands::Deactivated() {
  const Performance* performance = performer_.GetPerformance();
  if (performer_.State() == FullScreen && performance != nullptr && performance->displayAdapter == 0 &&
      connections_.setWindowed)
    connections_.setWindowed();
}

}  // namespace lv
