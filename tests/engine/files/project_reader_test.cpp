// Reading damaged, foreign and hostile project files: what can be used loads,
// nothing else is touched, nothing is read out of bounds.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "project_file_fixture.h"

namespace lvtest {
namespace {

using lv::ParamBinding;

Bytes Banks(std::initializer_list<uint8_t> programs) {
  Bytes body;
  body.U8(uint8_t(programs.size()));
  for (uint8_t p : programs) body.U8(p).U32(0);
  return body;
}

Bytes NoteBody(uint8_t program, uint8_t note, const lv::ClassId& id, const Bytes& modulation, int32_t state = 5) {
  Bytes body;
  body.U8(program).U8(note).U8(0).Raw(&id, 16).Chunk("STAT", I32s(state)).End();
  return body.Append(modulation).End();
}

Bytes Modulation(const char (&tag)[5], int32_t source, int32_t number, int32_t lfo) {
  return Bytes()
      .Chunk("PMID", Bytes().U32(lv::ChunkTag(tag)))
      .Chunk("PMOD", I32s(source))
      .Chunk("CNUM", I32s(number))
      .Chunk("LFOI", I32s(lfo));
}

Bytes NextBody(uint8_t program, uint8_t note, uint8_t target) {
  return Bytes().U8(program).U8(note).Chunk("BUFF", U8s(target)).End();
}

TEST_F(ProjectFileTest, UnknownSectionsAndChunksAreSkipped) {
  Bytes file;
  file.Section("ZZZZ", Bytes().U32(0xDEADBEEF))
      .Section("PERF", Bytes().Chunk("WHAT", I32s(1)).Chunk("XRES", I32s(1024)).Chunk("ODD!", Bytes()).End())
      .Section("CAPT", Bytes().Chunk("NAME", Bytes().Text("cam")).End())
      .Section("SAMP", Bytes().U32(1).U32(2))
      .Section("BNKS", Banks({7}))
      .Section("NOTE", NoteBody(7, 9, kStateKindId, Bytes().Chunk("JUNK", I32s(3)).Append(Modulation("PRMA", 1, 8, 0))));
  lv::PerformanceSettings settings;
  settings.midiDevice = "from settings";
  lv::Performance performance(settings);
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_EQ(performance.width, 1024);
  EXPECT_EQ(performance.height, 480);
  // A "PERF" without "DEVI" keeps the device the settings gave.
  EXPECT_STREQ(performance.MidiDevice(), "from settings");
  ASSERT_NE(PatchOf(performance, 7, 9), nullptr);
  EXPECT_EQ(performance.FindBank(7)->slots[9].bindings.records[0].controller, 8);
}

TEST_F(ProjectFileTest, IndicesOutsideTheirTablesAreReplaced) {
  struct Case {
    const char* what;
    int32_t source, number, lfo;
    int32_t wantSource, wantNumber, wantLfo;
  };
  const Case cases[] = {
      {"unknown source", 9, 3, 4, ParamBinding::None, 3, 4},
      {"negative source", -1, 3, 4, ParamBinding::None, 3, 4},
      {"controller past the pairs", 1, 156, 0, ParamBinding::None, -1, 0},
      {"negative controller", 1, -2, 0, ParamBinding::None, -1, 0},
      {"band 6", 3, 6, 0, ParamBinding::None, 6, 0},
      {"LFO 100", 2, -1, 100, ParamBinding::None, -1, 0},
      {"negative LFO", 2, -1, -1, ParamBinding::None, -1, 0},
      {"last controller", 1, 155, 0, ParamBinding::Controller, 155, 0},
      {"last band", 3, 5, 0, ParamBinding::AudioBand, 5, 0},
      {"last LFO", 2, -1, 99, ParamBinding::LfoOutput, -1, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file;
    file.Section("BNKS", Banks({0}))
        .Section("NOTE", NoteBody(0, 1, kStateKindId, Modulation("PRMB", c.source, c.number, c.lfo)));
    lv::Performance performance;
    ASSERT_TRUE(LoadBytes(performance, file));
    ASSERT_NE(PatchOf(performance, 0, 1), nullptr);
    const ParamBinding& b = performance.FindBank(0)->slots[1].bindings.records[1];
    EXPECT_EQ(b.source, c.wantSource);
    EXPECT_EQ(b.controller, c.wantNumber);
    EXPECT_EQ(b.lfo, c.wantLfo);
  }
}

TEST_F(ProjectFileTest, ParameterValuesStayWithinTheirRange) {
  Bytes modulation;
  modulation.Chunk("PMVL", I32s(50));  // before any "PMID": ignored
  modulation.Chunk("PMID", Bytes().U32(lv::ChunkTag("PRMA"))).Chunk("PMVL", I32s(1000));
  modulation.Chunk("PMID", Bytes().U32(lv::ChunkTag("PRMB"))).Chunk("PMVL", I32s(-7));
  modulation.Chunk("PMID", Bytes().U32(lv::ChunkTag("PRMC"))).Chunk("PMVL", I32s(64));
  Bytes file;
  file.Section("BNKS", Banks({0})).Section("NOTE", NoteBody(0, 1, kStateKindId, modulation));
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  StatePlug* patch = PatchOf(performance, 0, 1);
  ASSERT_NE(patch, nullptr);
  EXPECT_EQ(patch->GetParam(0), 100);
  EXPECT_EQ(patch->GetParam(1), 0);
  EXPECT_EQ(patch->GetParam(2), 64);
}

TEST_F(ProjectFileTest, PerformanceAndSlotValuesAreClampedToWhatExists) {
  struct Case {
    int32_t adapter, work;
    uint8_t target;
    int32_t width, height;
    int32_t wantAdapter, wantWork, wantTarget, wantWidth, wantHeight;
  };
  // Sizes go to the display as they stand: none may be one it cannot make.
  const Case cases[] = {
      {5, 99, 7, -1, 100000, 1, 4, -1, 1, 16384},
      {-3, -1, 0x80, 100000, -1, 0, 0, -1, 16384, 1},
      {1, 4, 3, 1920, 1080, 1, 4, 3, 1920, 1080},
      {0, 0, 0xFE, 0, INT32_MIN, 0, 0, -1, 1, 1},
      {0, 0, 0, 16384, 16385, 0, 0, 0, 16384, 16384},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.adapter);
    Bytes file;
    file.Section("PERF", Bytes()
                             .Chunk("DRVR", I32s(c.adapter))
                             .Chunk("WORK", I32s(c.work))
                             .Chunk("XRES", I32s(c.width))
                             .Chunk("YRES", I32s(c.height))
                             .End())
        .Section("BNKS", Banks({0}))
        .Section("NOTE", NoteBody(0, 1, kStateKindId, Bytes()))
        .Section("NEXT", NextBody(0, 1, c.target));
    lv::Performance performance;
    ASSERT_TRUE(LoadBytes(performance, file));
    EXPECT_EQ(performance.displayAdapter, c.wantAdapter);
    EXPECT_EQ(performance.workBuffers, c.wantWork);
    EXPECT_EQ(performance.FindBank(0)->slots[1].target, c.wantTarget);
    EXPECT_EQ(performance.width, c.wantWidth);
    EXPECT_EQ(performance.height, c.wantHeight);
  }
}

TEST_F(ProjectFileTest, LfoSectionsWithOddValues) {
  Bytes file;
  file.Section("LFOI", Bytes().Chunk("INDX", I32s(4)).Chunk("TYPE", I32s(12)).Chunk("RATE", F32s(3)).End())
      .Section("LFOI", Bytes().Chunk("INDX", I32s(150)).Chunk("TYPE", I32s(2)).End())
      .Section("LFOI", Bytes().Chunk("INDX", I32s(-1)).Chunk("TYPE", I32s(2)).End())
      .Section("LFOI", Bytes().Chunk("TYPE", I32s(lv::Lfo::Random)).Chunk("INDX", I32s(6)).End())
      .Section("LFOI", Bytes().Chunk("INDX", I32s(7)).Chunk("SCAL", F32s(2)).End());
  lfos[7].type = lv::Lfo::Triangle;
  const lv::LfoArray before = lfos;
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_EQ(lfos[4].type, 0);
  EXPECT_EQ(lfos[4].rate, 3.0f);
  EXPECT_EQ(lfos[4].parm, 0.0f);  // no "PARM": 0
  EXPECT_EQ(lfos[6].type, lv::Lfo::Random);
  EXPECT_EQ(lfos[7].type, lv::Lfo::Triangle);  // no "TYPE": kept
  EXPECT_EQ(lfos[7].scale, 2.0f);
  for (int i : {0, 5, 8, 99}) EXPECT_EQ(lfos[size_t(i)].rate, before[size_t(i)].rate);
}

TEST_F(ProjectFileTest, NotesThatCannotBeUsedAreDroppedAndTheRestLoads) {
  StatePlugKind notCreatable(kOtherKindId, {TaggedParam("PRMA", "a")}, lv::kKindNotCreatable);
  lv::PlugRegistry withLockedKind;
  withLockedKind.RegisterPlugKind(&notCreatable, nullptr);
  withLockedKind.RegisterPlugKind(&kind, nullptr);
  context.registry = &withLockedKind;
  const lv::ClassId missing{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  Bytes file;
  file.Section("BNKS", Banks({0, 1}))
      .Section("NOTE", NoteBody(0, 200, kStateKindId, Bytes()))   // note past 127
      .Section("NEXT", NextBody(0, 200, 1))
      .Section("NOTE", NoteBody(9, 1, kStateKindId, Bytes()))     // no such bank
      .Section("NOTE", NoteBody(0, 2, missing, Bytes()))          // library missing
      .Section("NEXT", NextBody(0, 2, 1))
      .Section("NOTE", NoteBody(0, 3, kOtherKindId, Bytes()))     // not creatable
      .Section("NOTE", NoteBody(1, 4, kStateKindId, Bytes(), 44));
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_EQ(performance.FindBank(0)->PatchCount(), 0);
  // The missing patch's "NEXT" only sets the empty slot's target.
  EXPECT_EQ(performance.FindBank(0)->slots[2].target, 1);
  ASSERT_NE(PatchOf(performance, 1, 4), nullptr);
  EXPECT_EQ(PatchOf(performance, 1, 4)->state, 44);
}

TEST_F(ProjectFileTest, ASecondNoteForASlotReplacesTheFirstPatch) {
  Bytes file;
  file.Section("BNKS", Banks({0}))
      .Section("NOTE", NoteBody(0, 1, kStateKindId, Bytes(), 1))
      .Section("NOTE", NoteBody(0, 1, kStateKindId, Bytes(), 2));
  {
    lv::Performance performance;
    ASSERT_TRUE(LoadBytes(performance, file));
    EXPECT_EQ(kind.destroyed, 1);
    EXPECT_EQ(PatchOf(performance, 0, 1)->state, 2);
  }
  EXPECT_EQ(kind.destroyed, 2);
}

TEST_F(ProjectFileTest, APlugInThatStopsReadingEarlyStillGetsItsBindings) {
  kind.stopEarly = true;
  Bytes note;
  note.U8(0).U8(1).U8(0).Raw(&kStateKindId, 16);
  note.Chunk("XTRA", I32s(0)).Chunk("STAT", I32s(9)).Chunk("MORE", I32s(0)).End();
  note.Append(Modulation("PRMC", 2, -1, 12)).End();
  Bytes file;
  file.Section("BNKS", Banks({0})).Section("NOTE", note);
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_EQ(performance.FindBank(0)->slots[1].bindings.records[2].lfo, 12);
}

TEST_F(ProjectFileTest, TextsAreBoundedByTheirChunkOrSection) {
  Bytes file;
  file.Section("PERF", Bytes().Chunk("DEVI", Bytes().Text("NoNul", false)).End())
      .Section("BNKS", Bytes().U8(3).U8(1).U32(4).Text("abcd", false).U8(2).U32(3).Text("ok").U8(3).U32(0x7FFFFFF0).Text("xy"));
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_STREQ(performance.MidiDevice(), "NoNul");
  EXPECT_STREQ(performance.FindBank(1)->Name(), "abcd");
  EXPECT_STREQ(performance.FindBank(2)->Name(), "ok");
  // A name longer than the section ends the list there.
  EXPECT_EQ(performance.FindBank(3), nullptr);
}

// Where each section of a project file ends.
std::vector<size_t> SectionEnds(const std::vector<uint8_t>& file) {
  std::vector<size_t> ends;
  for (size_t at = 0; at + 8 <= file.size();) {
    uint32_t size;
    std::memcpy(&size, file.data() + at + 4, 4);
    at += 8 + size;
    ends.push_back(at);
  }
  return ends;
}

TEST_F(ProjectFileTest, AFileCutShortIsRefusedWithAReasonAndTouchesNothing) {
  FakeShow show;
  show.samplers = {"Loop"};
  context.show = &show;
  lv::Performance original;
  original.width = 1280;
  lv::Bank* bank = original.CreateBank(6);
  AddPatch(*bank, 10, 1);
  AddPatch(*bank, 11, 2);
  for (lv::Lfo& lfo : lfos) lfo.rate = 7.0f;
  ASSERT_TRUE(Save(original));
  lfos = lv::LfoArray{};  // the live table, at 1 cycle per second
  const auto liveLfosKept = [&] {
    return std::all_of(lfos.begin(), lfos.end(), [](const lv::Lfo& lfo) { return lfo.rate == 1.0f; });
  };
  const std::vector<uint8_t> whole = ReadFileBytes(path);
  const std::vector<size_t> ends = SectionEnds(whole);
  ASSERT_EQ(ends.back(), whole.size());
  std::string failure;
  context.failure = &failure;

  lv::Performance current;
  AddPatch(*current.CreateBank(3), 1, 7);
  current.SelectBank(3);
  current.name.Assign("playing.LVP");
  for (size_t cut = 1; cut < whole.size(); cut += (cut < 100 || cut + 150 > whole.size()) ? 1 : 37) {
    SCOPED_TRACE(cut);
    WriteFileBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + long(cut)));
    failure.clear();
    const bool atSectionEnd = std::find(ends.begin(), ends.end(), cut) != ends.end();
    if (atSectionEnd) continue;  // indistinguishable from a shorter show
    ASSERT_FALSE(Load(current));
    EXPECT_NE(failure.find("cut short"), std::string::npos) << failure;
    EXPECT_TRUE(show.log.empty()) << "the show's captures and samplers were released";
    EXPECT_STREQ(current.name.CStr(), "playing.LVP");
    ASSERT_NE(PatchOf(current, 3, 1), nullptr);
    EXPECT_EQ(current.currentBankNumber, 3);
    EXPECT_TRUE(liveLfosKept()) << "the file's LFOs reached the live table";
  }

  // The 21-byte head of a real project: "PERF" says more than follows.
  WriteFileBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + 21));
  EXPECT_FALSE(Load(current));
  EXPECT_NE(failure.find("\"PERF\" at byte 0"), std::string::npos) << failure;

  // The first section claims far more than the file holds.
  std::vector<uint8_t> oversized = whole;
  oversized[4] = 0xF0;
  oversized[7] = 0x7F;
  WriteFileBytes(path, oversized);
  EXPECT_FALSE(Load(current));
  EXPECT_TRUE(show.log.empty());

  // Cut at a section's end, the sections before it load.
  WriteFileBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + long(ends[0])));
  lv::Performance header;
  EXPECT_TRUE(Load(header));
  EXPECT_EQ(header.width, 1280);
  EXPECT_TRUE(liveLfosKept());

  // Whole, the file's LFOs arrive.
  WriteFileBytes(path, whole);
  lv::Performance loaded;
  EXPECT_TRUE(Load(loaded));
  EXPECT_EQ(lfos[99].rate, 7.0f);
}

TEST_F(ProjectFileTest, ChunksThatEndEarlyInsideWholeSectionsStillLoad) {
  // No end marker, and a last chunk whose size runs past its section.
  Bytes perf = Bytes().Chunk("XRES", I32s(800)).Raw("YRES", 4).U32(100).U32(600);
  Bytes file;
  file.Section("PERF", perf).Section("BNKS", Banks({4})).Section("NOTE", NoteBody(4, 9, kStateKindId, Bytes()));
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_EQ(performance.width, 800);
  ASSERT_NE(PatchOf(performance, 4, 9), nullptr);
}

TEST_F(ProjectFileTest, ASectionThatThrowsIsDroppedAndTheRestLoads) {
  class ThrowingShow final : public lv::ShowObjects {
   public:
    void Release() override {}
    bool SaveCaptures(const SectionSink&) override { return true; }
    bool SaveSamplers(const SectionSink&) override { return true; }
    void LoadCapture(lv::ChunkStream&) override { throw std::length_error("capture"); }
    void LoadSampler(lv::ChunkStream&) override { throw std::bad_alloc(); }
  } show;
  context.show = &show;
  Bytes file;
  file.Section("CAPT", Bytes().End()).Section("SAMP", Bytes().End()).Section("BNKS", Banks({2}));
  lv::Performance performance;
  ASSERT_TRUE(LoadBytes(performance, file));
  EXPECT_NE(performance.FindBank(2), nullptr);
}

TEST_F(ProjectFileTest, AFileThatDoesNotOpenLeavesEverythingAsItWas) {
  FakeShow show;
  context.show = &show;
  lv::Performance performance;
  AddPatch(*performance.CreateBank(3), 1, 1);
  performance.SelectBank(3);
  performance.name.Assign("old.LVP");
  for (const Bytes& content : {Bytes(), Bytes().U32(1)}) {
    WriteFileBytes(path, content.data);
    EXPECT_FALSE(Load(performance));
  }
  EXPECT_FALSE(lv::LoadPerformance(performance, folder.File("absent.LVP").c_str(), context));
  EXPECT_TRUE(show.log.empty()) << "captures and samplers are left running";
  EXPECT_EQ(performance.banks.Count(), 1);
  EXPECT_NE(performance.currentBank, nullptr);
  EXPECT_STREQ(performance.name.CStr(), "old.LVP");

  WriteFileBytes(path, Bytes().Section("BNKS", Banks({8})).data);
  EXPECT_TRUE(Load(performance));
  EXPECT_EQ(show.log, std::vector<std::string>{"release"});
  EXPECT_EQ(performance.FindBank(3), nullptr);
  EXPECT_EQ(performance.currentBankNumber, 8);
}

}  // namespace
}  // namespace lvtest
