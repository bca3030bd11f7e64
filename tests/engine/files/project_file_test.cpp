// The project file's bytes and round trips through save and load.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "files/file_progress.h"
#include "files/project_file.h"
#include "files/project_file_dialogs.h"
#include "project_file_fixture.h"

namespace lvtest {
namespace {

using lv::ParamBinding;

Bytes DefaultPerformanceBody() {
  return Bytes()
      .Chunk("CHAN", Bytes().U32(1))
      .Chunk("DRVR", I32s(0))
      .Chunk("XRES", I32s(640))
      .Chunk("YRES", I32s(480))
      .Chunk("BITS", I32s(32))
      .Chunk("RFRS", I32s(60))
      .Chunk("WORK", I32s(0))
      .Chunk("NPW2", U8s(1))
      .Chunk("HOLD", U8s(0))
      .Chunk("HIDE", U8s(1))
      .End();
}

Bytes LfoSections(const lv::LfoArray& lfos) {
  Bytes bytes;
  for (int i = 0; i < lv::kLfoCount; ++i) {
    const lv::Lfo& lfo = lfos[size_t(i)];
    bytes.Section("LFOI", Bytes()
                              .Chunk("INDX", I32s(i))
                              .Chunk("TYPE", I32s(lfo.type))
                              .Chunk("OFST", F32s(lfo.offset))
                              .Chunk("SCAL", F32s(lfo.scale))
                              .Chunk("RATE", F32s(lfo.rate))
                              .Chunk("PHAS", F32s(lfo.phase))
                              .Chunk("PARM", F32s(lfo.parm))
                              .End());
  }
  return bytes;
}

Bytes Binding(const char (&tag)[5], int32_t value, int32_t source, int32_t number, int32_t lfo) {
  return Bytes()
      .Chunk("PMID", Bytes().U32(lv::ChunkTag(tag)))
      .Chunk("PMVL", I32s(value))
      .Chunk("PMOD", I32s(source))
      .Chunk("CNUM", I32s(number))
      .Chunk("LFOI", I32s(lfo));
}

TEST_F(ProjectFileTest, DefaultPerformanceHasExactBytesAndLoadsWithoutACurrentBank) {
  lv::Performance performance;
  performance.modified = 1;
  ASSERT_TRUE(Save(performance));
  EXPECT_EQ(performance.modified, 0);

  const std::vector<uint8_t> file = ReadFileBytes(path);
  // The head spelled out: section letters in reading order, chunk letters reversed.
  const uint8_t head[] = {'P', 'E', 'R', 'F', 0x77, 0, 0, 0, 'N', 'A', 'H', 'C', 12, 0, 0, 0, 1, 0, 0, 0};
  ASSERT_GE(file.size(), sizeof head);
  EXPECT_EQ(0, std::memcmp(file.data(), head, sizeof head));

  Bytes expected;
  expected.Section("PERF", DefaultPerformanceBody()).Append(LfoSections(lfos)).Section("BNKS", U8s(0));
  EXPECT_EQ(file, expected.data);

  lv::Performance loaded;
  ASSERT_TRUE(Load(loaded));
  EXPECT_EQ(loaded.banks.Count(), 0);
  EXPECT_EQ(loaded.currentBank, nullptr);
  EXPECT_EQ(loaded.currentBankNumber, -1);
  EXPECT_STREQ(loaded.name.CStr(), path.c_str());
}

TEST_F(ProjectFileTest, CaptureAndSamplerSectionsFollowTheHeaderAndGoBackToTheShow) {
  FakeShow show;
  show.captures = {"cam A", "cam B"};
  show.samplers = {"loop"};
  context.show = &show;
  lv::Performance performance;
  ASSERT_TRUE(Save(performance));

  auto named = [](const char* name) { return Bytes().Chunk("NAME", Bytes().Text(name)).End(); };
  Bytes expected;
  expected.Section("PERF", DefaultPerformanceBody())
      .Section("CAPT", named("cam A"))
      .Section("CAPT", named("cam B"))
      .Section("SAMP", named("loop"))
      .Append(LfoSections(lfos))
      .Section("BNKS", U8s(0));
  EXPECT_EQ(ReadFileBytes(path), expected.data);

  lv::Performance loaded;
  ASSERT_TRUE(Load(loaded));
  EXPECT_EQ(show.log, (std::vector<std::string>{"release", "capture cam A", "capture cam B", "sampler loop"}));

  // A section that cannot be written fails the save and keeps the file.
  const std::vector<uint8_t> before = ReadFileBytes(path);
  show.failWrite = true;
  EXPECT_FALSE(Save(performance));
  EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(ProjectFileTest, NoteAndNextCarryThePatchStateBindingsAndSignedBytes) {
  lv::Performance performance;
  lv::Bank* bank = performance.CreateBank(3);
  bank->SetName("Hi");
  StatePlug* plug = AddPatch(*bank, 60, 0x1234);
  lv::NoteSlot& slot = bank->slots[60];
  slot.priority = -5;
  slot.target = -1;
  plug->SetParam(0, 55);
  slot.bindings.records[0].source = ParamBinding::Controller;
  slot.bindings.records[0].controller = 7;
  slot.bindings.records[1].source = ParamBinding::LfoOutput;
  slot.bindings.records[1].lfo = 42;
  slot.bindings.records[2].source = ParamBinding::AudioBand;
  slot.bindings.records[2].controller = 5;
  ASSERT_TRUE(Save(performance));

  Bytes note;
  note.U8(3).U8(60).U8(0xFB).Raw(&kStateKindId, 16);
  note.Chunk("STAT", I32s(0x1234)).Chunk("XTRA", Bytes().U32(0xABCD)).End();
  note.Append(Binding("PRMA", 55, 1, 7, 0)).Append(Binding("PRMB", 10, 2, -1, 42)).Append(Binding("PRMC", 10, 3, 5, 0)).End();
  Bytes expected;
  expected.Section("PERF", DefaultPerformanceBody())
      .Append(LfoSections(lfos))
      .Section("BNKS", Bytes().U8(1).U8(3).U32(3).Text("Hi"))
      .Section("NOTE", note)
      .Section("NEXT", Bytes().U8(3).U8(60).Chunk("BUFF", U8s(0xFF)).End());
  EXPECT_EQ(ReadFileBytes(path), expected.data);
}

TEST_F(ProjectFileTest, RoundTripKeepsSettingsBanksPatchesBindingsAndLfos) {
  lv::Performance performance;
  performance.channelMask = 0x8005;
  performance.displayAdapter = 1;
  performance.width = 800;
  performance.height = 600;
  performance.bitsPerPixel = 16;
  performance.refreshRate = 75;
  performance.workBuffers = 3;
  performance.npw2 = 0;
  performance.hold = 1;
  performance.hide = 0;
  performance.SetMidiDevice("USB MIDI 1");
  const std::string longName(300, 'n');
  performance.CreateBank(9)->SetName(longName.c_str());
  performance.CreateBank(2)->SetName("Intro");
  performance.CreateBank(5);
  performance.CreateBank(12)->SetName("");

  lv::Bank& intro = *performance.FindBank(2);
  AddPatch(intro, 10, 111)->SetParam(2, 99);
  intro.slots[10].priority = -5;
  intro.slots[10].target = 2;
  intro.slots[10].bindings.records[0].source = ParamBinding::Controller;
  intro.slots[10].bindings.records[0].controller = ParamBinding::kLastPair;
  intro.slots[10].bindings.records[1].source = ParamBinding::LfoOutput;
  intro.slots[10].bindings.records[1].lfo = 99;
  intro.slots[10].bindings.records[2].source = ParamBinding::AudioBand;
  intro.slots[10].bindings.records[2].controller = 0;
  AddPatch(intro, 64, 222);
  intro.slots[64].priority = 127;
  AddPatch(*performance.FindBank(9), 127, 333);
  performance.FindBank(9)->slots[127].target = 3;

  lfos[3] = lv::Lfo{};
  lfos[3].type = lv::Lfo::Square;
  lfos[3].offset = 0.1f;
  lfos[3].scale = 0.5f;
  lfos[3].rate = 2.5f;
  lfos[3].phase = 0.75f;
  lfos[3].parm = 0.25f;
  lfos[99].type = lv::Lfo::Brownian;
  const lv::LfoArray saved = lfos;
  ASSERT_TRUE(Save(performance));

  lfos = lv::LfoArray{};
  lv::Performance loaded;
  ASSERT_TRUE(Load(loaded));
  EXPECT_EQ(loaded.channelMask, 0x8005u);
  EXPECT_EQ(loaded.displayAdapter, 1);
  EXPECT_EQ(loaded.width, 800);
  EXPECT_EQ(loaded.height, 600);
  EXPECT_EQ(loaded.bitsPerPixel, 16);
  EXPECT_EQ(loaded.refreshRate, 75);
  EXPECT_EQ(loaded.workBuffers, 3);
  EXPECT_EQ(loaded.npw2, 0);
  EXPECT_EQ(loaded.hold, 1);
  EXPECT_EQ(loaded.hide, 0);
  EXPECT_STREQ(loaded.MidiDevice(), "USB MIDI 1");
  EXPECT_EQ(loaded.modified, 0);

  ASSERT_EQ(loaded.banks.Count(), 4);
  EXPECT_STREQ(loaded.FindBank(2)->Name(), "Intro");
  EXPECT_EQ(loaded.FindBank(5)->Name(), nullptr);
  EXPECT_STREQ(loaded.FindBank(9)->Name(), longName.c_str());
  EXPECT_STREQ(loaded.FindBank(12)->Name(), "");
  // The first bank of the list becomes current.
  EXPECT_EQ(loaded.currentBank, loaded.FindBank(2));
  EXPECT_EQ(loaded.currentBankNumber, 2);

  const lv::NoteSlot& a = loaded.FindBank(2)->slots[10];
  ASSERT_NE(PatchOf(loaded, 2, 10), nullptr);
  EXPECT_EQ(PatchOf(loaded, 2, 10)->state, 111);
  EXPECT_EQ(PatchOf(loaded, 2, 10)->GetParam(2), 99);
  EXPECT_EQ(a.patch->host, registry.Host());
  EXPECT_EQ(a.priority, -5);
  EXPECT_EQ(a.target, 2);
  ASSERT_EQ(a.bindings.Count(), 3);
  EXPECT_EQ(a.bindings.instance, a.patch.get());
  EXPECT_EQ(a.bindings.records[0].source, ParamBinding::Controller);
  EXPECT_EQ(a.bindings.records[0].controller, ParamBinding::kLastPair);
  EXPECT_EQ(a.bindings.records[1].source, ParamBinding::LfoOutput);
  EXPECT_EQ(a.bindings.records[1].lfo, 99);
  EXPECT_EQ(a.bindings.records[2].source, ParamBinding::AudioBand);
  EXPECT_EQ(a.bindings.records[2].controller, 0);
  // Ranges come from the parameter table again.
  EXPECT_EQ(a.bindings.records[2].min, 0);
  EXPECT_EQ(a.bindings.records[2].max, 100);

  EXPECT_EQ(PatchOf(loaded, 2, 64)->state, 222);
  EXPECT_EQ(loaded.FindBank(2)->slots[64].priority, 127);
  EXPECT_EQ(loaded.FindBank(2)->slots[64].target, -1);
  EXPECT_EQ(loaded.FindBank(2)->slots[64].bindings.records[0].source, ParamBinding::None);
  EXPECT_EQ(PatchOf(loaded, 9, 127)->state, 333);
  EXPECT_EQ(loaded.FindBank(9)->slots[127].target, 3);
  EXPECT_EQ(loaded.FindBank(5)->PatchCount(), 0);

  for (int i = 0; i < lv::kLfoCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lfos[size_t(i)].type, saved[size_t(i)].type);
    EXPECT_EQ(lfos[size_t(i)].offset, saved[size_t(i)].offset);
    EXPECT_EQ(lfos[size_t(i)].scale, saved[size_t(i)].scale);
    EXPECT_EQ(lfos[size_t(i)].rate, saved[size_t(i)].rate);
    EXPECT_EQ(lfos[size_t(i)].phase, saved[size_t(i)].phase);
    EXPECT_EQ(lfos[size_t(i)].parm, saved[size_t(i)].parm);
  }
}

TEST_F(ProjectFileTest, AllTwoHundredFiftySixBanksComeBack) {
  lv::Performance performance;
  for (int program = 255; program >= 0; --program) performance.CreateBank(uint8_t(program));
  AddPatch(*performance.FindBank(255), 1, 7);
  ASSERT_TRUE(Save(performance));
  // The count byte wraps to 0 as it always has.
  const std::vector<uint8_t> file = ReadFileBytes(path);
  Bytes head;
  head.Section("PERF", DefaultPerformanceBody()).Append(LfoSections(lfos));
  ASSERT_GT(file.size(), head.data.size() + 8);
  EXPECT_EQ(file[head.data.size() + 8], 0);

  lv::Performance loaded;
  ASSERT_TRUE(Load(loaded));
  EXPECT_EQ(loaded.banks.Count(), 256);
  ASSERT_NE(PatchOf(loaded, 255, 1), nullptr);
  EXPECT_EQ(PatchOf(loaded, 255, 1)->state, 7);
}

// Saved by a plug-in with parameters a, b, c; loaded by its next version,
// which has c, a and a new d, and no longer b.
TEST_F(ProjectFileTest, ValuesAndBindingsFollowTheParameterTagNotItsPosition) {
  lv::Performance performance;
  lv::Bank* bank = performance.CreateBank(0);
  StatePlug* plug = AddPatch(*bank, 5, 1);
  plug->SetParam(0, 41);
  plug->SetParam(1, 42);
  plug->SetParam(2, 43);
  bank->slots[5].bindings.records[0].source = ParamBinding::LfoOutput;
  bank->slots[5].bindings.records[0].lfo = 17;
  bank->slots[5].bindings.records[1].source = ParamBinding::Controller;
  bank->slots[5].bindings.records[1].controller = 3;
  bank->slots[5].bindings.records[2].source = ParamBinding::AudioBand;
  bank->slots[5].bindings.records[2].controller = 4;
  ASSERT_TRUE(Save(performance));

  StatePlugKind reordered(kStateKindId, {TaggedParam("PRMC", "c"), TaggedParam("PRMA", "a"), TaggedParam("PRMD", "d")});
  lv::PlugRegistry nextVersion;
  nextVersion.RegisterPlugKind(&reordered, nullptr);
  context.registry = &nextVersion;
  lv::Performance loaded;
  ASSERT_TRUE(Load(loaded));

  StatePlug* patch = PatchOf(loaded, 0, 5);
  ASSERT_NE(patch, nullptr);
  EXPECT_EQ(patch->GetParam(0), 43);
  EXPECT_EQ(patch->GetParam(1), 41);
  EXPECT_EQ(patch->GetParam(2), 10);  // new: its default
  const auto& records = loaded.FindBank(0)->slots[5].bindings.records;
  EXPECT_EQ(records[0].source, ParamBinding::AudioBand);
  EXPECT_EQ(records[0].controller, 4);
  EXPECT_EQ(records[1].source, ParamBinding::LfoOutput);
  EXPECT_EQ(records[1].lfo, 17);
  EXPECT_EQ(records[2].source, ParamBinding::None);
}

class RecordingProgress : public lv::FileProgress {
 public:
  void Open(const char* caption) override { events.push_back(std::string("open ") + caption); }
  void SetPosition(int percent) override { positions.push_back(percent); }
  void SetText(const char* text) override { events.push_back(text); }
  void Close() override { events.push_back("close"); }
  std::vector<std::string> events;
  std::vector<int> positions;
};

TEST_F(ProjectFileTest, ProgressStepsThroughTheNotesWhenSavingAndEndsFullWhenLoading) {
  lv::Performance performance;
  lv::Bank* bank = performance.CreateBank(1);
  for (uint8_t note : {3, 4, 5}) AddPatch(*bank, note, note);
  RecordingProgress saving;
  context.progress = &saving;
  ASSERT_TRUE(Save(performance));
  EXPECT_EQ(saving.positions, (std::vector<int>{0, 2, 10, 40, 70, 100}));
  EXPECT_EQ(saving.events.front(), "open Saving Performance...");
  EXPECT_EQ(saving.events.back(), "close");

  RecordingProgress loading;
  context.progress = &loading;
  lv::Performance loaded;
  ASSERT_TRUE(Load(loaded));
  ASSERT_FALSE(loading.positions.empty());
  EXPECT_EQ(loading.positions.back(), 100);
  EXPECT_TRUE(std::is_sorted(loading.positions.begin(), loading.positions.end()));
  EXPECT_EQ(loading.events.front(), "open Loading Performance...");
}

class ScriptedDialogs : public lv::ProjectFileDialogs {
 public:
  std::optional<std::string> AskSaveName(const std::string& current) override {
    askedWith = current;
    return answer;
  }
  std::optional<std::string> AskLoadName() override { return answer; }
  std::optional<std::string> answer;
  std::string askedWith;
};

TEST_F(ProjectFileTest, DialogsChooseTheNameAndCancellingChangesNothing) {
  ScriptedDialogs dialogs;
  context.dialogs = &dialogs;
  lv::Performance performance;
  performance.modified = 1;
  EXPECT_FALSE(lv::SavePerformance(performance, false, context));
  EXPECT_EQ(performance.modified, 1);
  EXPECT_EQ(performance.name.Text(), nullptr);

  dialogs.answer = path;
  ASSERT_TRUE(lv::SavePerformance(performance, false, context));
  EXPECT_STREQ(performance.name.CStr(), path.c_str());
  // Saving again under the name asks nothing; "save as" asks from it.
  dialogs.answer.reset();
  EXPECT_TRUE(lv::SavePerformance(performance, false, context));
  EXPECT_FALSE(lv::SavePerformance(performance, true, context));
  EXPECT_EQ(dialogs.askedWith, path);

  lv::Performance loaded;
  loaded.CreateBank(4);
  EXPECT_FALSE(lv::LoadPerformance(loaded, nullptr, context));
  EXPECT_EQ(loaded.banks.Count(), 1);
  dialogs.answer = path;
  EXPECT_TRUE(lv::LoadPerformance(loaded, nullptr, context));
  EXPECT_EQ(loaded.banks.Count(), 0);
}

}  // namespace
}  // namespace lvtest
