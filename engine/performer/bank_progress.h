#pragma once
// The main dialog's progress bar, shown in place of the bank name while a
// bank's patches create their device objects. A program change drives it
// from the render thread while the user-interface thread may be waiting for
// that thread: implementations must never wait for the user-interface thread.
namespace lv {

class BankProgress {
 public:
  virtual ~BankProgress() = default;
  // Bar at 0, bank name hidden, bar shown.
  virtual void Begin() = 0;
  virtual void SetPosition(int percent) = 0;
  // Bank name shown again, bar hidden.
  virtual void End() = 0;
};

}  // namespace lv
