// The live frame loop as a show runs it: N notes held at once, each a Kestrix
// patch, drawn by the Performer's own pass on the program's device, at
// 640 x 480 and 1280 x 720. Each pass ends with the present's read-back, so
// its time includes the drawing.
//
// Counters:
//   fps      passes per second of the real loop (without the 3 ms pause the
//            live loop sleeps after each present)
//   passes   what the patches really fill per frame, in full-screen passes
//            (samples that reached a target, over width x height)
//   fill_fps the same machine's limit: hand-written GL drawing that many
//            full-screen blended textured passes and reading the picture
//            back, measured in the same run
//   ratio    fps / fill_fps
#define EGL_NO_X11
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "fill_rate_reference.h"
#include "live_rig.h"
#include "performer/midi_event.h"

namespace {

const std::vector<std::string> kEffects2d = {"Blend Source",       "Blur Source", "HSV Modify Source",
                                             "Kaleidoscope Source", "Radial Blur Source", "Glow Source",
                                             "Tile Source",         "Invert Source"};
const std::vector<std::string> kEffects3d = {"Cubist Source",    "Tunnel Source",       "Wormhole Source",
                                             "Cube Wall Source", "Sphere Pulse Source", "Display Spectrum"};
// The catalogue's generators (SuperShape is built but not offered to a performer).
const std::vector<std::string> kGenerators = {"String Theory", "Polarity", "Rays Generator", "Twister Generator",
                                              "Plasma Life"};

// Brackets the patches of a frame with an occlusion query: the opener draws
// first (lowest priority), the closer last. Armed for one frame at a time.
class SampleCounter {
 public:
  class Probe final : public lv::Plug {
   public:
    Probe(SampleCounter& counter, bool opens) : counter_(counter), opens_(opens) {}
    int32_t GetKind() override { return 1; }
    const lv::ClassId* GetClassId() override { return &kId; }
    int32_t GetNumInputs() override { return 0; }
    const char* GetInputName(int32_t) override { return nullptr; }
    void SetInputName(int32_t, const char*) override {}
    bool CreateDeviceObjects() override { return true; }
    void ReleaseDeviceObjects() override {}
    bool Configure(lv::WindowHandle) override { return true; }
    void NoteOn() override {}
    void NoteOff() override {}
    void Render(uint32_t) override { opens_ ? counter_.Open() : counter_.Close(); }
    bool KeepAfterNoteOff() override { return true; }
    bool Load(lv::ChunkStream*) override { return true; }
    bool Save(lv::ChunkStream*) override { return true; }
    int32_t GetNumParams() override { return 0; }
    bool IsParamEnabled(int32_t) override { return false; }
    const lv::ParamInfo* GetParamInfo(int32_t) override { return nullptr; }
    int32_t GetParam(int32_t) override { return 0; }
    void SetParam(int32_t, int32_t) override {}

   private:
    static constexpr lv::ClassId kId{0xBE7C4, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    SampleCounter& counter_;
    bool opens_;
  };

  void Arm() { armed_ = true; }
  // Samples of the last armed frame.
  uint64_t Samples() const { return samples_; }
  // On the render thread, inside the frame (the device's context is current).
  void Open() {
    if (!armed_) return;
    if (query_ == 0) glGenQueries(1, &query_);
    glBeginQuery(GL_SAMPLES_PASSED, query_);
    open_ = true;
  }
  void Close() {
    if (!open_) return;
    glEndQuery(GL_SAMPLES_PASSED);
    // Waits for the frame's drawing: this frame is not among the timed ones.
    GLuint64 samples = 0;
    glGetQueryObjectui64v(query_, GL_QUERY_RESULT, &samples);
    samples_ = samples;
    open_ = armed_ = false;
  }

 private:
  GLuint query_ = 0;
  uint64_t samples_ = 0;
  bool armed_ = false, open_ = false;
};

constexpr uint8_t kOpenerNote = 0, kCloserNote = 1, kFirstPatchNote = 36;
constexpr double kFrameStepMs = 1000.0 / 60.0;

void LiveFrameLoop(benchmark::State& state, const std::vector<std::string>& kinds) {
  const auto width = static_cast<uint32_t>(state.range(0));
  const auto height = static_cast<uint32_t>(state.range(1));
  const auto notes = static_cast<int>(state.range(2));
  bench::LiveRig rig(width, height, [](const gfx::PresentImage&) {});
  if (!rig.Error().empty()) {
    state.SkipWithError(rig.Error().c_str());
    return;
  }
  const std::string picture = bench::PictureFile(width, height);
  for (int i = 0; i < notes; ++i) {
    const std::string& kind = kinds[static_cast<size_t>(i) % kinds.size()];
    if (!rig.Assign(static_cast<uint8_t>(kFirstPatchNote + i), kind, picture)) {
      state.SkipWithError(("no kind " + kind + " in Plugins/").c_str());
      return;
    }
  }
  SampleCounter counter;
  rig.Assign(kOpenerNote, std::make_unique<SampleCounter::Probe>(counter, true), -128);
  rig.Assign(kCloserNote, std::make_unique<SampleCounter::Probe>(counter, false), 127);
  // The offline pace (a frame callback, as an offline render has): no waiting
  // and no pause, a fixed frame time per pass.
  rig.Performer().SetPlayback(kFrameStepMs, [](void*) { return true; }, nullptr);
  rig.Connect(lv::PlayingCapture);
  lv::Performer& performer = rig.Performer();
  auto play = [&performer](uint8_t note) { performer.PushMidi({0x00640090u | uint32_t(note) << 8, 0}); };
  play(kOpenerNote);
  for (int i = 0; i < notes; ++i) play(static_cast<uint8_t>(kFirstPatchNote + i));
  play(kCloserNote);
  for (int i = 0; i < 30; ++i) performer.RunPass();  // shaders compiled, sources open, animations under way
  if (performer.ActiveNoteCount() != notes + 2) {
    state.SkipWithError("not every note plays");
    return;
  }

  counter.Arm();
  performer.RunPass();
  const double passes = double(counter.Samples()) / (double(width) * height);

  for (auto _ : state) performer.RunPass();

  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["passes"] = passes;
  const double fillFps = bench::FillRateFramesPerSecond(width, height, passes);
  state.counters["fill_fps"] = fillFps;
  state.counters["ratio"] = benchmark::Counter(double(state.iterations()) / fillFps, benchmark::Counter::kIsRate);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1280, 720}})
    for (int n : {1, 4, 8, 16}) b->Args({w, h, n});
  b->ArgNames({"w", "h", "notes"})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
}

}  // namespace

BENCHMARK_CAPTURE(LiveFrameLoop, effects_2d, kEffects2d)->Apply(Sizes);
BENCHMARK_CAPTURE(LiveFrameLoop, effects_3d, kEffects3d)->Apply(Sizes);
BENCHMARK_CAPTURE(LiveFrameLoop, generators, kGenerators)->Apply(Sizes);
