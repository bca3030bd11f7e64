#pragma once

namespace lv {

// What the render thread does with notes and frames.
enum PerformerState : int {
  Halted = 0,          // no notes drawn, nothing presented
  Live = 1,            // windowed display, paced by presentation
  NoteSelect = 2,      // notes are only reported (the note chooser waits for a key)
  FullScreen = 5,
  Editing = 6,         // notes are ignored while a patch is chosen or configured
  Recording = 7,       // live, and every event and frame goes to the capture file
  PlayingCapture = 8,  // the capture file plays on its own clock
};

// States whose passes begin a scene and draw the playing notes.
inline bool IsDrawingState(int state) {
  return state == Live || state == FullScreen || state == Recording || state == PlayingCapture;
}

}  // namespace lv
