// MIDI input: choosing the device by name, falling back to the first, no
// devices at all, and what reaches the Performer's ring.
#include "midi/midi_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/settings_file.h"
#include "performer/performer.h"

namespace {

struct FakePort final : midi::InputPort {
  explicit FakePort(std::vector<std::string>* journal) : journal(journal) {}
  ~FakePort() override { journal->push_back("close"); }
  void Start() override { journal->push_back("start"); }
  void Stop() override { journal->push_back("stop"); }
  std::vector<std::string>* journal;
};

struct FakeSystem final : midi::InputSystem {
  std::vector<std::string> DeviceNames() override { return names; }
  std::unique_ptr<midi::InputPort> Open(int index, midi::ShortMessageHandler h, std::string*) override {
    journal->push_back("open " + std::to_string(index));
    handler = std::move(h);
    return std::make_unique<FakePort>(journal);
  }
  std::unique_ptr<midi::InputPort> OpenByName(const std::string&, midi::ShortMessageHandler, std::string*) override {
    return nullptr;
  }
  std::vector<std::string> names;
  std::vector<std::string>* journal = nullptr;
  midi::ShortMessageHandler handler;
};

class MidiClassTest : public testing::Test {
 protected:
  explicit MidiClassTest(std::vector<std::string> names = {"USB Keys", "Port B"}) {
    auto fake = std::make_unique<FakeSystem>();
    fake->names = std::move(names);
    fake->journal = &journal;
    system = fake.get();
    midi = std::make_unique<lv::MidiClass>(std::move(fake));
    midi->Init();
  }

  std::vector<std::string> journal;
  FakeSystem* system = nullptr;
  std::unique_ptr<lv::MidiClass> midi;
  lv::Performer performer;
};

TEST_F(MidiClassTest, FindsDevicesIgnoringCaseOnly) {
  const std::pair<const char*, int> cases[] = {
      {"usb keys", 0}, {"PORT B", 1}, {"Port B ", -1}, {"Port", -1}, {nullptr, -1}};
  for (auto [name, index] : cases) EXPECT_EQ(midi->FindDevice(name), index) << (name ? name : "null");
}

TEST_F(MidiClassTest, OpensTheNamedDeviceOrTheFirstAndClosesInOrder) {
  EXPECT_TRUE(midi->Open("port b", &performer));
  EXPECT_TRUE(midi->Open("Unknown", &performer));
  midi->Close();
  EXPECT_FALSE(midi->IsOpen());
  EXPECT_EQ(journal, (std::vector<std::string>{"open 1", "start", "stop", "close", "open 0", "start", "stop", "close"}));
}

TEST_F(MidiClassTest, DataReachesTheRingAndOtherMessagesDoNot) {
  ASSERT_TRUE(midi->Open(nullptr, &performer));
  system->handler(0xB0 | 7u << 8 | 100u << 16, 1234);  // controller 7 on channel 0
  midi->OnMessage(lv::MidiClass::kLongData, 0xB1 | 7u << 8 | 55u << 16, 0);
  midi->OnMessage(lv::MidiClass::kError, 0xB1 | 7u << 8 | 55u << 16, 0);
  midi->OnMessage(lv::MidiClass::kOpen, 0xB1 | 7u << 8 | 55u << 16, 0);
  performer.RunPass();  // drains the ring even while halted
  EXPECT_EQ(performer.Controllers().Get(0, 7), 100);
  EXPECT_EQ(performer.Controllers().Get(1, 7), 0);
}

// Two ports of one client agree in their first 31 characters: both are
// listed whole and each opens itself, also after the settings file kept the
// name. A name an earlier version cut to 31 characters opens the one port it
// begins, and none when it begins several.
TEST_F(MidiClassTest, LongNamesAreToldApartAndOldCutNamesStillOpen) {
  const std::string first = "a2j:Scarlett 2i4 USB [20] (capture): Scarlett 2i4 USB MIDI 1";
  const std::string second = "a2j:Scarlett 2i4 USB [20] (capture): Scarlett 2i4 USB MIDI 2";
  system->names = {"Other Keys", first, second};
  midi->Init();
  EXPECT_EQ(midi->DeviceName(2), second);

  const std::string folder = testing::TempDir();
  lv::Settings saved;
  saved.folder = folder;
  saved.fileName = "long_names.cfg";
  saved.SetMidiDevice(second.c_str());
  ASSERT_TRUE(saved.Save());
  lv::Settings read;
  read.folder = folder;
  read.Load("long_names.cfg");
  ASSERT_STREQ(read.MidiDevice(), second.c_str());
  EXPECT_TRUE(midi->Open(read.MidiDevice(), &performer));
  EXPECT_EQ(journal.back(), "start");
  EXPECT_EQ(journal[journal.size() - 2], "open 2");

  system->names = {"Other Keys", first};
  midi->Init();
  const std::string cut = second.substr(0, 31);
  EXPECT_EQ(midi->FindDevice(cut.c_str()), 1);
  system->names = {"Other Keys", first, second};
  midi->Init();
  EXPECT_EQ(midi->FindDevice(cut.c_str()), -1) << "a cut name that begins two ports stands for neither";
  EXPECT_EQ(midi->FindDevice(cut.substr(0, 30).c_str()), -1) << "only names of the cut length are cut names";
}

class NoMidiTest : public MidiClassTest {
 protected:
  NoMidiTest() : MidiClassTest({}) {}
};

TEST_F(NoMidiTest, WithoutDevicesNothingOpensAndNothingBreaks) {
  EXPECT_EQ(midi->Count(), 0);
  EXPECT_FALSE(midi->Open("USB Keys", &performer));
  EXPECT_TRUE(journal.empty());
  midi->Close();

  lv::MidiClass noSystem{nullptr};
  noSystem.Init();
  EXPECT_EQ(noSystem.Count(), 0);
  EXPECT_FALSE(noSystem.Open(nullptr, &performer));
}

}  // namespace
