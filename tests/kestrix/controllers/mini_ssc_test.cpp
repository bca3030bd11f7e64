// The servo controllers: what reaches the serial line (read from the other
// side of a pseudo-terminal standing in for COM1), the fold of queued
// commands, and the saved tables.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>

#include "chunk_list.h"
#include "controllers/servo_port.h"
#include "kestrix_library.h"
#include "pseudo_terminal.h"
#include "test_host.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(ServoFold, LatestPositionInTheFirstPlaceAndOnlyChanges) {
  const struct {
    const char* what;
    std::vector<kestrix::ServoCommand> queued;
    Bytes wire;
  } cases[] = {
      {"the line starts at 127", {{5, 127}}, {}},
      {"three for one servo", {{3, 10}, {3, 20}, {3, 30}}, {0xFF, 3, 30}},
      {"3, 7, 3", {{3, 10}, {7, 50}, {3, 40}}, {0xFF, 3, 40, 0xFF, 7, 50}},
      {"servo 255 would read as a sync", {{255, 10}, {254, 254}}, {0xFF, 254, 254}},
      {"back to the start position", {{9, 0}, {9, 127}}, {}},
  };
  for (const auto& c : cases) {
    std::array<uint8_t, 256> lastSent;
    lastSent.fill(127);
    EXPECT_EQ(kestrix::FoldServoCommands(c.queued, lastSent), c.wire) << c.what;
    EXPECT_EQ(kestrix::FoldServoCommands(c.queued, lastSent), Bytes{}) << c.what << ": sent once only";
  }
}


// The DATA chunk: value, On and CControl tables.
std::string Data(std::initializer_list<std::tuple<int, uint8_t, bool, bool>> servos) {
  std::string data(768, '\0');
  for (int i = 0; i < 256; ++i) data[size_t(i)] = char(127);
  for (auto [servo, value, on, control] : servos) {
    data[size_t(servo)] = char(value);
    data[size_t(256 + servo)] = on;
    data[size_t(512 + servo)] = control;
  }
  return data;
}

class MiniSsc : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ::setenv("LV_SERIAL_COM1", pty.SlavePath().c_str(), 1);
    ::setenv("LV_SERIAL_COM2", "/nonexistent/servo-port", 1);
    host.controller = [this](uint8_t channel, uint8_t number) { return controllers[{channel, number}]; };
  }
  void TearDown() override {
    ::unsetenv("LV_SERIAL_COM1");
    ::unsetenv("LV_SERIAL_COM2");
  }
  PseudoTerminal pty;
  std::map<std::pair<int, int>, uint8_t> controllers;
  TestHost host;
  KestrixLibrary library{&host};
};

TEST_F(MiniSsc, NoteOnSendsFixedServosThatMovedAndNoteOffLeavesThem) {
  auto plug = library.Create("MiniSSC COM1");
  ASSERT_NE(plug, nullptr);
  // 0 and 200 fixed, 4 fixed at the start position, 6 off, 8 follows a controller.
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"DATA", Data({{0, 10, true, false},
                                                        {200, 250, true, false},
                                                        {4, 127, true, false},
                                                        {6, 60, false, false},
                                                        {8, 7, true, true}})}})));
  plug->NoteOn();
  EXPECT_EQ(pty.Read(6), (Bytes{0xFF, 0, 10, 0xFF, 200, 250}));
  plug->NoteOff();
  plug->NoteOn();
  EXPECT_EQ(pty.ReadFor(200), Bytes{}) << "nothing moved since";
}

TEST_F(MiniSsc, ControlledServosFollowTheNotesChannelEachFrame) {
  auto plug = library.Create("MiniSSC COM1");
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"DATA", Data({{1, 7, true, true}, {2, 10, true, false}})}})));
  plug->channel = 3;
  const struct {
    uint8_t value;
    Bytes wire;
  } frames[] = {{127, {0xFF, 1, 254}}, {127, {}}, {0, {0xFF, 1, 0}}, {64, {0xFF, 1, 128}}};
  for (const auto& f : frames) {
    controllers[{3, 7}] = f.value;
    controllers[{0, 7}] = 99;  // another channel's controller
    plug->Render(16);
    EXPECT_EQ(f.wire.empty() ? pty.ReadFor(200) : pty.Read(f.wire.size()), f.wire) << int(f.value);
  }
}

TEST_F(MiniSsc, TwoInstancesShareTheLineAndTheLastCloseSendsWhatIsQueued) {
  auto first = library.Create("MiniSSC COM1");
  auto second = library.Create("MiniSSC COM1");
  ASSERT_TRUE(LoadInto(*first, ChunkList({{"DATA", Data({{3, 30, true, false}})}})));
  ASSERT_TRUE(LoadInto(*second, ChunkList({{"DATA", Data({{3, 40, true, false}, {9, 90, true, false}})}})));
  first->NoteOn();
  EXPECT_EQ(pty.Read(3), (Bytes{0xFF, 3, 30}));
  first.reset();
  second->NoteOn();
  second.reset();  // the writer drains before the port closes
  EXPECT_EQ(pty.Read(6), (Bytes{0xFF, 3, 40, 0xFF, 9, 90}));
}

TEST_F(MiniSsc, AMissingPortIsQuiet) {
  auto plug = library.Create("MiniSSC COM2");
  ASSERT_NE(plug, nullptr);
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"DATA", Data({{1, 7, true, true}, {2, 10, true, false}})}})));
  for (int i = 0; i < 100; ++i) {
    plug->NoteOn();
    plug->Render(16);
  }
  plug.reset();
  EXPECT_EQ(pty.ReadFor(100), Bytes{}) << "COM2 is not COM1";
}

TEST_F(MiniSsc, TablesRoundTripAndSavedBytesAreKeptToWhatTheWireTakes) {
  auto plug = library.Create("MiniSSC COM1");
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (std::vector<std::pair<std::string, std::string>>{{"DATA", Data({})}}))
      << "new: all 127, nothing on";
  const std::string saved = Data({{0, 10, true, false}, {5, 100, true, true}, {254, 254, false, false}});
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"DATA", saved}})));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)).at(0).second, saved);

  // 255 as a position is the sync byte; 200 names no controller; flags are 0/1.
  std::string damaged = Data({{1, 255, true, false}, {2, 200, true, true}});
  damaged[256 + 3] = char(7);
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"DATA", damaged}})));
  const std::string reloaded = ReadChunkList(SavedBy(*plug)).at(0).second;
  EXPECT_EQ(uint8_t(reloaded[1]), 254);
  EXPECT_EQ(uint8_t(reloaded[2]), 127);
  EXPECT_EQ(uint8_t(reloaded[256 + 3]), 1);

  // A short chunk keeps the tables it does not reach; no chunk keeps everything.
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"DATA", std::string(256, char(20))}})));
  const std::string partial = ReadChunkList(SavedBy(*plug)).at(0).second;
  EXPECT_EQ(partial.substr(0, 256), std::string(256, char(20)));
  EXPECT_EQ(partial.substr(256), reloaded.substr(256));
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"FLAG", U32(1)}})));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)).at(0).second, partial);
}

}  // namespace
