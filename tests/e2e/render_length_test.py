#!/usr/bin/env python3
"""The real program under a virtual X server with a window manager renders a
capture file to AVI from its Capture menu: the file holds exactly the frames
up to the capture's last event, one second after its first at 29.97 frames
per second, however long the main dialog takes to stop the render.

Usage: render_length_test.py <lorvan-gpu> <TestFill.so> <make_test_project>
"""
import os
import struct
import subprocess
import sys

from program_support import RunningProgram, WindowManager, visible, wait_focused, wait_for, xdotool

NOTE = 25
# Frame n shows the clock (int)(n * 1000 / 29.97) ms; frame 30's, 1001 ms, is
# the first to reach the last event at 1000 ms.
FRAMES = 31


def wait_window(title):
    wait_for(lambda: visible("^%s$" % title), 30, "the window " + title)
    window = visible("^%s$" % title)[0]
    xdotool("windowactivate", "--sync", window)
    wait_focused(window)


def answer_file_dialog(title, path):
    wait_window(title)
    xdotool("key", "ctrl+a")
    xdotool("type", "--delay", "5", path)
    xdotool("key", "Return")


def video_frames(path):
    """The video frames an AVI file's index lists."""
    data = open(path, "rb").read()
    assert data[:4] == b"RIFF" and data[8:12] == b"AVI ", "not an AVI file"
    at = data.find(b"idx1")
    assert at > 0, "the AVI file has no index"
    size = struct.unpack_from("<I", data, at + 4)[0]
    entries = [data[at + 8 + i:at + 8 + i + 4] for i in range(0, size, 16)]
    return sum(1 for tag in entries if tag[2:] in (b"dc", b"db"))


def main():
    program, library, make_project = sys.argv[1:4]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE), "--size=64x48"], check=True)
        with open(os.path.join(folder, "show.midicap"), "wb") as f:
            f.write(struct.pack("<BII", 1, 0x90 | NOTE << 8 | 127 << 16, 5000))
            f.write(struct.pack("<BII", 1, 0x80 | NOTE << 8, 6000))

    manager = WindowManager()
    run = RunningProgram(program, [library], prepare)
    try:
        run.open_first_recent()
        target = os.path.join(run.folder, "out.avi")
        run.menu("alt+f", "Right", "Right", "r")  # Capture, Render captured MIDI file
        answer_file_dialog("Choose MIDI capture file to render", os.path.join(run.folder, "show.midicap"))
        answer_file_dialog("Choose AVI file to save", target)
        wait_window("Video Compression")
        xdotool("key", "Return")  # uncompressed
        # The file takes its name once the render has stopped and finished it.
        wait_for(lambda: os.path.exists(target) and not os.path.exists(target + ".partial"), 60,
                 "the render to finish")
        frames = video_frames(target)
        assert frames == FRAMES, "the AVI file holds %d frames, not %d" % (frames, FRAMES)
        lines = run.log_lines()
        assert lines.count("RenderController::StopRenderFile()  Stopping performer playback") == 1, "\n".join(lines)

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: %d frames rendered" % frames)
    finally:
        run.cleanup()
        manager.stop()


if __name__ == "__main__":
    main()
