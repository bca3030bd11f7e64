#include "performance/performance.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_plug.h"

namespace lv {
namespace {

std::vector<int> ProgramNumbers(const Performance& performance) {
  std::vector<int> numbers;
  for (ListNode* node = performance.banks.Head(); node != nullptr; node = node->Next())
    numbers.push_back(static_cast<Bank*>(node)->programNumber);
  return numbers;
}

// Puts a counted test patch with one parameter in the slot.
lvtest::TestPlug* Assign(NoteSlot& slot, int* destroyed) {
  auto plug = std::make_unique<lvtest::TestPlug>(nullptr, "p");
  plug->SetParams({{0, 10, 0, 0, 0, "x", nullptr}});
  plug->destroyed = destroyed;
  lvtest::TestPlug* raw = plug.get();
  slot.patch = std::move(plug);
  slot.bindings.Attach(raw);
  slot.priority = 3;
  slot.target = 1;
  return raw;
}

TEST(Performance, BanksStayInProgramOrderAndCreateReturnsAnExistingBank) {
  Performance performance;
  Bank* five = performance.CreateBank(5);
  Bank* two = performance.CreateBank(2);
  performance.CreateBank(9);
  performance.modified = 0;
  EXPECT_EQ(performance.CreateBank(2), two);
  EXPECT_EQ(performance.modified, 1);
  EXPECT_EQ(ProgramNumbers(performance), (std::vector<int>{2, 5, 9}));
  EXPECT_EQ(performance.BankAt(1), five);
  EXPECT_EQ(performance.BankAt(3), nullptr);
  EXPECT_EQ(performance.BankAt(-1), nullptr);
  EXPECT_EQ(performance.IndexOfBank(five), 1);
  Bank stray(5);
  EXPECT_EQ(performance.IndexOfBank(&stray), -1);
  EXPECT_EQ(performance.FindBank(9)->programNumber, 9);
  EXPECT_EQ(performance.FindBank(7), nullptr);
}

TEST(Performance, SelectBankMatchesTheLowByteAndKeepsAnUnknownNumber) {
  Performance performance;
  Bank* two = performance.CreateBank(2);
  performance.SelectBank(2);
  EXPECT_EQ(performance.currentBank, two);
  performance.SelectBank(7);
  EXPECT_EQ(performance.currentBankNumber, 7);
  EXPECT_EQ(performance.currentBank, nullptr);
  performance.SelectBank(258);
  EXPECT_EQ(performance.currentBank, two);
  performance.SelectBank(-1);
  EXPECT_EQ(performance.currentBankNumber, -1);
  EXPECT_EQ(performance.currentBank, nullptr);
  for (int note = 0; note < 128; ++note) {
    EXPECT_EQ(performance.NotePatch(static_cast<uint8_t>(note)), nullptr);
    EXPECT_EQ(performance.NoteSlotAt(static_cast<uint8_t>(note)), nullptr);
  }
}

TEST(Performance, ClearNoteDeletesThePatchOnceAndResetsTheSlot) {
  Performance performance;
  performance.SelectBank(0);
  Bank* bank = performance.CreateBank(0);
  performance.SelectBank(0);
  performance.modified = 0;
  performance.ClearNote(60);  // no patch: nothing changes
  EXPECT_EQ(performance.modified, 0);

  int destroyed = 0;
  lvtest::TestPlug* plug = Assign(bank->slots[60], &destroyed);
  EXPECT_EQ(performance.NotePatch(60), plug);
  performance.ClearNote(60);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(performance.modified, 1);
  const NoteSlot& slot = bank->slots[60];
  EXPECT_EQ(slot.patch, nullptr);
  EXPECT_EQ(slot.priority, 0);
  EXPECT_EQ(slot.target, -1);
  EXPECT_EQ(slot.bindings.Count(), 0);
  EXPECT_EQ(slot.bindings.instance, nullptr);

  Assign(bank->slots[61], &destroyed);
  performance.modified = 0;
  bank->ClearNote(61);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(performance.modified, 0);
}

TEST(Performance, DeletingBanksAndThePerformanceDeletesTheirPatches) {
  int destroyed = 0;
  {
    Performance performance;
    Assign(performance.CreateBank(1)->slots[0], &destroyed);
    Assign(performance.CreateBank(1)->slots[127], &destroyed);
    Assign(performance.CreateBank(4)->slots[5], &destroyed);
    performance.modified = 0;
    performance.DeleteBank(3);  // absent: nothing but the flag
    EXPECT_EQ(performance.modified, 1);
    EXPECT_EQ(destroyed, 0);
    performance.DeleteBank(1);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(ProgramNumbers(performance), (std::vector<int>{4}));
  }
  EXPECT_EQ(destroyed, 3);
}

TEST(Performance, StartsFromTheSettingsWithItsOwnCopyOfTheDeviceName) {
  std::string device = "USB Keys";
  PerformanceSettings settings;
  settings.channelMask = 0x0005;
  settings.width = 1024;
  settings.hold = 1;
  settings.workBuffers = 3;
  settings.midiDevice = device.c_str();
  Performance performance(settings);
  device[0] = 'X';
  EXPECT_STREQ(performance.MidiDevice(), "USB Keys");
  EXPECT_EQ(performance.channelMask, 0x0005u);
  EXPECT_EQ(performance.width, 1024);
  EXPECT_EQ(performance.height, 480);
  EXPECT_EQ(performance.hold, 1);
  EXPECT_EQ(performance.workBuffers, 3);
  EXPECT_EQ(performance.currentBankNumber, -1);
  EXPECT_EQ(performance.modified, 0);
  EXPECT_EQ(performance.banks.Count(), 0);
  performance.SetMidiDevice(nullptr);
  EXPECT_EQ(performance.MidiDevice(), nullptr);

  Performance untitled;
  EXPECT_EQ(untitled.channelMask, 0x0001u);
  EXPECT_EQ(untitled.MidiDevice(), nullptr);
  EXPECT_EQ(untitled.name.Length(), 0);
}

}  // namespace
}  // namespace lv
