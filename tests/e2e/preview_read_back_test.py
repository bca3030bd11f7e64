#!/usr/bin/env python3
"""The real program under a virtual X server with a window manager, with no
window surface for its device: it reaches the server through "-display"
with DISPLAY unset, so every frame is read back and handed to the widget
that shows it. The floating preview is opened and closed round after round
while passes run, freed memory scrambled (MALLOC_PERTURB_): a picture on
its way to the preview's surface when the preview closes must not reach the
deleted widget. The program then closes with exit code 0.

Usage: preview_read_back_test.py <lorvan-gpu> <TestFill.so> <make_test_project>
"""
import os
import subprocess
import sys
import time

from program_support import RunningProgram, WindowManager, centre, close_window, pointer_at, wait_for, xdotool

NOTE = 25
TITLE = "^Lorvane GPU Preview$"
ROUND_TRIPS = 10


def preview():
    found = subprocess.run(["xdotool", "search", "--name", TITLE], capture_output=True, text=True)
    ids = found.stdout.split()
    return int(ids[0]) if ids else None


def main():
    program, library, make_project = sys.argv[1:4]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    manager = WindowManager()
    # The device finds no X display of its own and presents by read-back.
    run = RunningProgram(program, [library], prepare, arguments=["-display", os.environ["DISPLAY"]],
                         environment={"DISPLAY": None, "MALLOC_PERTURB_": "165"})

    def alive(when):
        if run.process.poll() is not None:
            raise AssertionError("the program ended (exit %s) %s; the log ends:\n%s" %
                                 (run.process.returncode, when, "\n".join(run.log_lines()[-8:])))

    try:
        displays = run.displays_set
        run.open_first_recent()
        controls = run.controls()
        area = controls["-1"][1]
        for number in range(1, ROUND_TRIPS + 1):
            before = displays()
            # Without --sync, which waits for a move that never comes when the pointer is already there.
            xdotool("mousemove", *centre(area))
            wait_for(lambda: pointer_at(*centre(area)), 30, "the pointer over the output area")
            for attempt in range(3):
                # A loaded machine may split the two clicks; the double click is tried again.
                xdotool("click", "--repeat", "2", "--delay", "80", "1")
                try:
                    wait_for(lambda: preview() is not None or run.process.poll() is not None, 5,
                             "the preview to open")
                    break
                except AssertionError:
                    if attempt == 2:
                        raise
            alive("opening preview %d" % number)
            wait_for(lambda: displays() > before or run.process.poll() is not None, 30,
                     "the display to move into preview %d" % number)
            alive("moving into preview %d" % number)
            # Not a wait for something expected: passes presenting into the
            # preview for a while, for its close to meet pictures on their way.
            time.sleep(0.3)
            before = displays()
            close_window(preview())
            wait_for(lambda: (displays() > before and preview() is None) or run.process.poll() is not None,
                     30, "preview %d to close" % number)
            # Likewise: the user-interface thread runs what was queued for the closed preview.
            time.sleep(0.3)
            alive("after closing preview %d" % number)

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: %d preview round trips on the read-back path, exit 0" % ROUND_TRIPS)
    finally:
        run.cleanup()
        manager.stop()


if __name__ == "__main__":
    main()
