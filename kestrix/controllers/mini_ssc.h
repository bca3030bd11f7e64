#pragma once
// "MiniSSC COM1" and "MiniSSC COM2": controllers that drive up to 255
// servos of a MiniSSC board on a serial port. Each servo is off, held at a
// fixed position sent when the note starts, or follows a MIDI controller of
// the note's channel frame by frame. The classes differ only in their port.
#include <array>
#include <atomic>

#include "class_id_bytes.h"
#include "controllers/servo_port.h"
#include "lv/lorvane_interface.h"
#include "lv/plug.h"

namespace kestrix {

class MiniSscController : public lv::Plug {
 public:
  static constexpr int kServos = 256;
  static constexpr int kFirstShownMax = 247;  // eight rows: the dialog reaches servo 254
  static constexpr uint8_t kMaxPosition = 254;  // 255 is the sync byte
  static constexpr uint8_t kMaxController = 127;

  ~MiniSscController() override;

  int32_t GetKind() override { return 0; }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override { return true; }
  void ReleaseDeviceObjects() override {}
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override {}
  void Render(uint32_t milliseconds) override;
  bool KeepAfterNoteOff() override { return false; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  int32_t GetNumParams() override { return 0; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t) override { return nullptr; }
  int32_t GetParam(int32_t) override { return 0; }
  void SetParam(int32_t, int32_t) override {}

 protected:
  explicit MiniSscController(ServoPort& port);

 private:
  class SettingsDialog;
  // Read by the note thread while the dialog writes them: single bytes.
  using Table = std::array<std::atomic<uint8_t>, kServos>;
  static uint8_t Get(const Table& t, int i) { return t[size_t(i)].load(std::memory_order_relaxed); }
  static void Put(Table& t, int i, uint8_t v) { t[size_t(i)].store(v, std::memory_order_relaxed); }

  ServoPort& port_;
  Table value_;     // position, or controller number in controller mode
  Table on_;        // 0 or 1
  Table control_;   // 1: follows a controller
  int firstShown_ = 0;
};

ServoPort& MiniSscPort1();
ServoPort& MiniSscPort2();

class MiniSscCom1 final : public MiniSscController {
 public:
  static constexpr int32_t kKind = 0;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("66a572f302968a4b89338f7b50317aff");
  static constexpr const char* kCategory = "Controller";
  static constexpr const char* kName = "MiniSSC COM1";
  static constexpr const char* kDescription = "Serial Servo Controller for COM1";
  MiniSscCom1() : MiniSscController(MiniSscPort1()) {}
  const lv::ClassId* GetClassId() override { return &kClassId; }
};

class MiniSscCom2 final : public MiniSscController {
 public:
  static constexpr int32_t kKind = 0;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("23a693c637302e42ad9aa45dfda4b835");
  static constexpr const char* kCategory = "Controller";
  static constexpr const char* kName = "MiniSSC COM2";
  static constexpr const char* kDescription = "Serial Servo Controller for COM2";
  MiniSscCom2() : MiniSscController(MiniSscPort2()) {}
  const lv::ClassId* GetClassId() override { return &kClassId; }
};

}  // namespace kestrix
