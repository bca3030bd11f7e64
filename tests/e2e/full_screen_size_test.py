#!/usr/bin/env python3
"""The real program under a virtual X server with a window manager
(openbox), on a screen whose only size is not the project's: Full shows the
project's 800 x 600 picture over the whole screen, scaled to it, without a
message that the size is not available; Esc gives the window back.

Usage: full_screen_size_test.py <lorvan-gpu> <TestFill.so> <make_test_project> <screenshot.png>
"""
import subprocess
import sys

from program_support import (RunningProgram, WindowManager, centre, click, green_pixels, save_png, screen_size,
                             screenshot, visible, wait_for, xdotool)

NOTE = 25  # key Q
WIDTH, HEIGHT = 800, 600


def main():
    program, library, make_project, artifact = sys.argv[1:5]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE), "--size=%dx%d" % (WIDTH, HEIGHT)], check=True)

    manager = WindowManager()
    run = RunningProgram(program, [library], prepare)
    try:
        screen_w, screen_h = screen_size()
        assert (screen_w, screen_h) != (WIDTH, HEIGHT)
        displays = run.displays_set
        run.open_first_recent()

        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        before = displays()
        click(*centre(controls["1079"][1]))  # Full
        wait_for(lambda: displays() > before, 30, "the switch to full screen")
        refused = [line for line in run.log_lines() if "is not available" in line]
        assert not refused, "full screen was refused: %s" % refused
        wait_for(lambda: visible("^Lorvane$"), 30, "the full-screen output window")

        xdotool("keydown", "q")
        full = lambda: green_pixels() >= screen_w * screen_h * 95 // 100
        try:
            wait_for(full, 20, "the held note's picture over the whole screen")
        finally:
            shot = screenshot()
            xdotool("keyup", "q")
            save_png(artifact, shot)
        held = green_pixels(shot)
        # The switch is long over, with the picture on the screen: no message came with it.
        assert not visible("^Display Mode Not Available$"), "a message says the size is not available"
        wait_for(lambda: green_pixels() == 0, 20, "the picture after the key went up")

        before = displays()
        xdotool("key", "Escape")
        wait_for(lambda: displays() > before, 30, "the switch back to the window")
        wait_for(lambda: not visible("^Lorvane$"), 10, "the full-screen window to go")

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: %d x %d shown over the %d x %d screen (%d green pixels while held)" %
              (WIDTH, HEIGHT, screen_w, screen_h, held))
    finally:
        run.cleanup()
        manager.stop()


if __name__ == "__main__":
    main()
