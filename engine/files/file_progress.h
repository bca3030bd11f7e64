#pragma once
// The progress window shown while a project is saved or loaded.
namespace lv {

class FileProgress {
 public:
  virtual ~FileProgress() = default;
  virtual void Open(const char* caption) = 0;
  virtual void SetPosition(int percent) = 0;
  virtual void SetText(const char* text) = 0;
  virtual void Close() = 0;
};

}  // namespace lv
