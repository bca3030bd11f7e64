#pragma once
// Small title pictures made by the tests: bitmap resources (header, grey
// palette, bottom-up rows) of given heights.
#include <cstdint>
#include <functional>
#include <vector>

namespace uitest {

// `height(x, y)` with y counted from the top.
inline std::vector<uint8_t> TitleDib(int width, int height, const std::function<uint8_t(int x, int y)>& heightAt) {
  const int pitch = (width + 3) & ~3;
  std::vector<uint8_t> dib(40 + 1024 + static_cast<size_t>(pitch * height), 0);
  auto put32 = [&dib](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, static_cast<uint32_t>(width));
  put32(8, static_cast<uint32_t>(height));
  dib[12] = 1;
  dib[14] = 8;
  for (int i = 0; i < 256; ++i) {
    dib[40 + i * 4] = dib[41 + i * 4] = dib[42 + i * 4] = static_cast<uint8_t>(i);
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) dib[1064 + static_cast<size_t>((height - 1 - y) * pitch + x)] = heightAt(x, y);
  }
  return dib;
}

}  // namespace uitest
