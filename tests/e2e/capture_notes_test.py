#!/usr/bin/env python3
"""The real program plays Glow Source over the test-pattern capture device
(LV_CAPTURE_TEST_PATTERN=1) for hundreds of notes from the keyboard, while
the capture thread delivers frames and the render thread draws them inside
its frames. The picture must still follow the key afterwards (it froze when
two threads took the device and a lock of their own in opposite orders),
and the program must end on its own close within seconds, with exit code 0.

Usage: capture_notes_test.py <lorvan-gpu> <Kestrix.so> <make_test_project>
"""
import os
import subprocess
import sys
import time

from program_support import RunningProgram, assert_log_in_order, centre, click, green_pixels, wait_for, xdotool

NOTE = 25  # key Q
NOTES = 300
# The test pattern's green bar: the 320 x 240 frame drawn unstretched at the
# middle of the output area shows it 32 x 128.
GREEN_MIN = 2000
CLOSE_WITHIN = 15  # seconds: the render thread's wait is 5 of them


def main():
    program, kestrix, make_project = sys.argv[1:4]
    os.environ["LV_CAPTURE_TEST_PATTERN"] = "1"

    def prepare(folder):
        subprocess.run([make_project, folder, "Capture.LVP", str(NOTE), "Glow Source", "Cap0-Test Pattern:",
                        "test-pattern"], check=True)

    run = RunningProgram(program, [kestrix], prepare)
    try:
        run.open_first_recent()

        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        click(*centre(controls["1141"][1]))  # the patch list takes the keys

        # Key down and up in turn, each for about two frames.
        presses = []
        for _ in range(NOTES):
            presses += ["keydown", "q", "sleep", "0.03", "keyup", "q", "sleep", "0.03"]
        xdotool(*presses)

        xdotool("keydown", "q")
        wait_for(lambda: green_pixels() >= GREEN_MIN, 10, "the capture's green bar while the key is held")
        xdotool("keyup", "q")
        wait_for(lambda: green_pixels() == 0, 10, "the picture to be erased after the key went up")

        started = time.time()
        code = run.close()
        took = time.time() - started
        assert code == 0, "exit code %d" % code
        assert took < CLOSE_WITHIN, "the close took %.1f s" % took
        lines = run.log_lines()
        assert_log_in_order(lines, ["Entering main message loop", "SetDisplay started", "SetDisplay finished",
                                    "Shutdown starting", "Shutdown finished", "Main message loop ended"])
        assert not any("did not end" in line for line in lines), "\n".join(lines)
        print("ok: %d notes, closed in %.1f s" % (NOTES, took))
    finally:
        run.cleanup()


if __name__ == "__main__":
    main()
