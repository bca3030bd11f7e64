#pragma once
// What device calls answer: success or the reason of a failure.

namespace gfx {

enum class Result {
  Ok,
  InvalidCall,        // bad arguments or a call the object cannot serve
  NotAvailable,       // format, size or feature not supported
  OutOfVideoMemory,
  DeviceLost,
};

inline bool Failed(Result r) { return r != Result::Ok; }
inline bool Succeeded(Result r) { return r == Result::Ok; }
const char* ResultName(Result r);

}  // namespace gfx
