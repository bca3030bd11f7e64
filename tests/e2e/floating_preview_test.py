#!/usr/bin/env python3
"""The real program under a virtual X server: a double click on the output
area moves the picture into the floating preview "Lorvane GPU Preview",
which keeps the picture's shape when made wider, plays the note of a held
key while "Use Keyboard" is on (its picture checked on a screenshot of the
window, moved away from the dialog) and gives the picture back to the
dialog when closed.

Usage: floating_preview_test.py <lorvan-gpu> <TestFill.so> <make_test_project> <screenshot.png>
"""
import subprocess
import sys

from program_support import (RunningProgram, centre, click, close_window, save_png, screenshot, wait_for,
                             wait_for_value, xdotool)

NOTE = 25  # key Q
WAIT = 30  # seconds at most for what a key or a window change shows on the screen


def geometry(window):
    """(x, y, w, h) of a window, from xdotool's shell output."""
    values = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def green_in(box, shot):
    x0, y0, w, h = box
    _, _, rows = shot
    count = 0
    for y in range(y0, y0 + h):
        row = rows[y]
        for x in range(x0, x0 + w):
            r, g, b = row[x * 3], row[x * 3 + 1], row[x * 3 + 2]
            if g > 150 and r < 60 and b < 60:
                count += 1
    return count


def main():
    program, library, make_project, artifact = sys.argv[1:5]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    run = RunningProgram(program, [library], prepare)
    try:
        displays = run.displays_set
        run.open_first_recent()

        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        before = displays()
        run.double_click_output_area()
        try:
            wait_for(lambda: displays() > before, 30, "the display to move into the preview")
        except AssertionError:
            raise AssertionError("the switch into the preview did not finish (program %s); the log ends:\n%s" %
                                 ("running" if run.process.poll() is None else "gone, exit %s" % run.process.returncode,
                                  "\n".join(run.log_lines()[-8:])))
        preview = int(xdotool("search", "--name", "^Lorvane GPU Preview$").split()[0])

        # Away from the dialog, so what shows there is the preview's own picture.
        xdotool("windowmove", "--sync", preview, 600, 420)
        wait_for_value(lambda: geometry(preview)[2:], lambda size: size == (320, 240), WAIT,
                       "the preview at the output area's size")
        xdotool("windowsize", preview, 400, 240)  # wider: the height follows the 640 x 480 picture
        wait_for(lambda: geometry(preview)[2:] == (400, 300), 10, "the preview to keep the picture's shape")
        box = geometry(preview)

        click(*centre(box))
        xdotool("keydown", "q")
        shot = None

        def preview_green():
            nonlocal shot
            shot = screenshot()
            return green_in(box, shot)
        try:
            held = wait_for_value(preview_green, lambda count: count >= box[2] * box[3] * 9 // 10, WAIT,
                                  "the preview green while the key is held")
        finally:
            xdotool("keyup", "q")
            if shot is not None:
                save_png(artifact, shot, box)
        wait_for_value(lambda: green_in(box, screenshot()), lambda count: count == 0, WAIT,
                       "no green in the preview after the key was released")

        before = displays()
        close_window(preview)
        wait_for(lambda: displays() > before, 30, "the display to come back to the dialog")
        wait_for(lambda: subprocess.run(["xdotool", "search", "--name", "^Lorvane GPU Preview$"],
                                        capture_output=True).returncode != 0, 10, "the preview to go")
        area = run.controls()["-1"][1]
        click(*centre(area))
        xdotool("keydown", "q")
        try:
            docked = wait_for_value(lambda: green_in(area, screenshot()),
                                    lambda count: count >= area[2] * area[3] * 9 // 10, WAIT,
                                    "the output area green again while the key is held")
        finally:
            xdotool("keyup", "q")

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: %d green pixels in the preview while held, none after; %d back in the dialog" % (held, docked))
    finally:
        run.cleanup()


if __name__ == "__main__":
    main()
