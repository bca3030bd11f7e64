#pragma once
// The adapters and display modes the graphics system lists, as the Options
// video page offers them and the performance's display settings select them.
#include <array>
#include <cstdint>

#include "lv/list.h"
#include "lv/string_class.h"
#include "platform/gfx/formats.h"

namespace lv {

struct DisplayModeNode : ListNode {
  DisplayModeNode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t refreshRate, gfx::Format format)
      : width(width), height(height), bitsPerPixel(bitsPerPixel), refreshRate(refreshRate), format(format) {}
  uint32_t width;
  uint32_t height;
  uint32_t bitsPerPixel;
  uint32_t refreshRate;
  gfx::Format format;
};

struct AdapterInfo {
  StringClass description;
  StringClass deviceName;
  List modes;  // DisplayModeNode, in display-format table order
};

// The largest output side the display layer makes: every OpenGL 4.5
// implementation takes textures this wide, and the back buffer is one.
inline constexpr int32_t kMaxDisplaySide = 16384;

// What the next device is made for.
struct DisplayRequest {
  uint32_t adapter = 0;
  uint32_t width = 640;
  uint32_t height = 480;
  uint32_t bitsPerPixel = 32;
  uint32_t refreshRate = 60;
};

struct DisplayFormat {
  gfx::Format format;
  uint32_t bitsPerPixel;  // the label modes are offered and selected by
};

// Walked in this order when modes are listed. The 16/15 labels of the last
// two are the keys saved performances use, odd as they read.
inline constexpr std::array<DisplayFormat, 7> kDisplayFormats{{
    {gfx::Format::A8R8G8B8, 32},
    {gfx::Format::A8B8G8R8, 32},
    {gfx::Format::X8R8G8B8, 32},
    {gfx::Format::R8G8B8, 24},
    {gfx::Format::A1R5G5B5, 16},
    {gfx::Format::X1R5G5B5, 16},
    {gfx::Format::R5G6B5, 15},
}};

// The largest back buffer a device makes: its largest texture, as the back
// buffer is one.
struct BackBufferLimit {
  uint32_t width = kMaxDisplaySide;
  uint32_t height = kMaxDisplaySide;
};

// The format a full-screen device is made in for the request: that of the
// first mode whose size, bits and refresh rate all equal the request's.
// Full screen does not switch the display mode but scales the picture to the
// screen, so any other size up to the limit, at any refresh rate, takes the
// format of the first mode of the request's bits. Unknown when the size is
// beyond the limit or no mode has those bits.
gfx::Format ChooseBackBufferFormat(const List& modes, const DisplayRequest& request, BackBufferLimit limit);

}  // namespace lv
