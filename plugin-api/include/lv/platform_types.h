#pragma once
// Platform types the plug-in contract names without needing their headers.
namespace gfx {
class Texture;
}

namespace lv {

// Opaque handle of a window of the window layer (a settings dialog's owner).
using WindowHandle = void*;

class LorvaneInterface;  // the host's service object
class Plug;

}  // namespace lv
