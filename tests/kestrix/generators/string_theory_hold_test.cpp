// String Theory played by the Performer: a note kept by the performance's
// hold goes on giving birth after its key is up; a released note plays out
// the loops it has and ends.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "performer_fixture.h"
#include "generators/string_theory.h"
#include "kestrix_library.h"
#include "test_host.h"

namespace {

using kestrix::StringTheory;

// The library's String Theory as a patch the fake frame device can play:
// its own device objects need a real device, and only its notes count here.
class NotesOnly final : public lv::Plug {
 public:
  explicit NotesOnly(KestrixLibrary::PlugPtr inner) : inner_(std::move(inner)) {}
  StringTheory& Inner() { return *static_cast<StringTheory*>(inner_.get()); }

  int32_t GetKind() override { return inner_->GetKind(); }
  const lv::ClassId* GetClassId() override { return inner_->GetClassId(); }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override { return true; }
  void ReleaseDeviceObjects() override {}
  bool Configure(lv::WindowHandle) override { return false; }
  void NoteOn() override {
    inner_->velocity = velocity;
    inner_->channel = channel;
    inner_->NoteOn();
  }
  void NoteOff() override { inner_->NoteOff(); }
  void Render(uint32_t milliseconds) override { inner_->Render(milliseconds); }
  bool KeepAfterNoteOff() override { return inner_->KeepAfterNoteOff(); }
  bool Load(lv::ChunkStream*) override { return true; }
  bool Save(lv::ChunkStream*) override { return true; }
  int32_t GetNumParams() override { return 0; }
  bool IsParamEnabled(int32_t) override { return false; }
  const lv::ParamInfo* GetParamInfo(int32_t) override { return nullptr; }
  int32_t GetParam(int32_t) override { return 0; }
  void SetParam(int32_t, int32_t) override {}

 private:
  KestrixLibrary::PlugPtr inner_;
};

class StringTheoryNotes : public lvtest::PerformerTest {
 protected:
  void SetUp() override {
    KestrixLibrary::PlugPtr plug = library_.Create("String Theory");
    ASSERT_NE(plug, nullptr);
    plug->SetParam(StringTheory::kLifeSpan, 2);     // a life of 300 ms
    plug->SetParam(StringTheory::kBirthRate, 196);  // a birth every 125 ms
    lv::NoteSlot& slot = bank->slots[60];
    auto patch = std::make_unique<NotesOnly>(std::move(plug));
    theory_ = &patch->Inner();
    slot.patch = std::move(patch);
    slot.bindings.Attach(slot.patch.get());
  }
  // The patches belong to the library's code: gone before it is closed.
  void TearDown() override { performer.Stop(); }

  // A second of 16 ms passes with the key down, then the key goes up.
  void PlayAndRelease() {
    Play();
    Pass({lvtest::NoteOnMessage(0, 60, 100)});
    for (int i = 0; i < 60; ++i) Pass();
    Pass({lvtest::NoteOffMessage(0, 60)});
  }

  TestHost host_;
  KestrixLibrary library_{&host_};
  StringTheory* theory_ = nullptr;
};

TEST_F(StringTheoryNotes, UnderHoldLoopsGoOnBeingBornAfterTheKeyIsUp) {
  performance->hold = 1;
  PlayAndRelease();
  // Seven life spans: with births stopped the last loop would die in one.
  for (int i = 0; i < 130; ++i) {
    Pass();
    ASSERT_EQ(performer.ActiveNoteCount(), 1);
    ASSERT_GT(theory_->LoopCount(), 0) << "pass " << i << " after the release";
  }
}

TEST_F(StringTheoryNotes, AReleasedNotePlaysOutItsLoopsAndEnds) {
  PlayAndRelease();
  EXPECT_EQ(performer.ActiveNoteCount(), 1) << "its loops are alive";
  for (int i = 0; i < 25; ++i) Pass();  // 400 ms: more than a life
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
}

}  // namespace
