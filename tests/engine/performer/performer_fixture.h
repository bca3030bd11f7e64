#pragma once
// A Performer driven pass by pass from the test thread, with a fake device,
// recording windows, a test clock and a performance whose bank 0 plays on
// channel 0 (channel 1 is not played).
#include <atomic>
#include <initializer_list>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "fake_frame_device.h"
#include "performer/performer.h"
#include "recording_window.h"
#include "test_plug.h"

namespace lvtest {

inline std::atomic<uint32_t> testNow{1000};
inline uint32_t TestClock() { return testNow.load(); }

inline uint32_t NoteOnMessage(int channel, int note, int velocity) {
  return static_cast<uint32_t>(0x90 | channel) | static_cast<uint32_t>(note) << 8 |
         static_cast<uint32_t>(velocity) << 16;
}
inline uint32_t NoteOffMessage(int channel, int note) {
  return static_cast<uint32_t>(0x80 | channel) | static_cast<uint32_t>(note) << 8;
}
inline uint32_t Message(int status, int data1 = 0, int data2 = 0) {
  return static_cast<uint32_t>(status) | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

class PerformerTest : public testing::Test {
 protected:
  PerformerTest() {
    performance->channelMask = 0x0001;
    bank = performance->CreateBank(0);
    performance->SelectBank(0);
    performer.SetDevice(&device);
    performer.SetNoteWindow(&noteWindow);
    performer.SetMainDialog(&mainDialog);
  }

  // Puts a test patch on the note of `target` (bank 0 by default); call
  // before Play so its device objects are made with the bank.
  TestPlug* AddPatch(int note, const std::string& name, int priority = 0, int target = -1, lv::Bank* into = nullptr) {
    lv::NoteSlot& slot = (into != nullptr ? into : bank)->slots[note];
    slot.patch = std::make_unique<TestPlug>(&journal, name);
    slot.priority = static_cast<int8_t>(priority);
    slot.target = target;
    auto* plug = static_cast<TestPlug*>(slot.patch.get());
    slot.bindings.Attach(plug);
    return plug;
  }

  // Hands the performance over, plays its channels and enters `state`.
  void Play(lv::PerformerState state = lv::Live) {
    performer.SetPerformance(performance);
    performer.SetChannelMask(performance->channelMask);
    performer.SetState(state);
    journal.Clear();
  }

  // Queues the messages and runs one pass. The test clock moves on by a
  // frame first, so no pass waits for pacing.
  void Pass(std::initializer_list<uint32_t> messages = {}) {
    for (uint32_t message : messages) performer.PushMidi({message, 0});
    testNow += 16;
    performer.RunPass();
  }

  Journal journal;
  FakeFrameDevice device{&journal};
  RecordingWindow noteWindow;
  RecordingWindow mainDialog;
  lv::Performer performer{TestClock};
  lv::Performance* performance = new lv::Performance;  // the Performer deletes it
  lv::Bank* bank = nullptr;
};

}  // namespace lvtest
