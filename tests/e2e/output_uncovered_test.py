#!/usr/bin/env python3
"""The real program under a virtual X server, presenting into the output
area's own window: a patch's green plays in the output area, then while
"Select A Note" is open no pass presents, and the dialog is moved over the
output area and off it again. The uncovered area shows its green again, not
what lay over it. The program then closes with exit code 0.

Usage: output_uncovered_test.py <lorvan-gpu> <TestFill.so> <make_test_project>
"""
import subprocess
import sys

from program_support import RunningProgram, centre, click, screenshot, wait_for, xdotool

NOTE = 25
USE_KEYBOARD = "1106"
PATCH_LIST = "1141"
BORDER = 4  # the area's frame, left out of the comparison


def area_pixels(box):
    x, y, w, h = box
    _, _, rows = screenshot()
    return [rows[row][(x + BORDER) * 3:(x + w - BORDER) * 3] for row in range(y + BORDER, y + h - BORDER)]


def green_share(pixels):
    green = total = 0
    for row in pixels:
        for i in range(0, len(row), 3):
            total += 1
            green += row[i + 1] > 150 and row[i] < 60 and row[i + 2] < 60
    return green / total if total else 0.0


def matching_share(a, b):
    same = total = 0
    for row_a, row_b in zip(a, b):
        for i in range(0, len(row_a), 3):
            total += 1
            same += row_a[i:i + 3] == row_b[i:i + 3]
    return same / total if total else 0.0


def window_named(title):
    found = subprocess.run(["xdotool", "search", "--name", title], capture_output=True, text=True)
    ids = found.stdout.split()
    return int(ids[0]) if ids else None


def main():
    program, library, make_project = sys.argv[1:4]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    run = RunningProgram(program, [library], prepare)
    try:
        run.open_first_recent()
        controls = run.controls()
        area = controls["-1"][1]
        # The patch's green in the output area, its key held throughout.
        click(*centre(controls[USE_KEYBOARD][1]))
        click(*centre(controls[PATCH_LIST][1]))
        xdotool("keydown", "q")
        wait_for(lambda: green_share(area_pixels(area)) > 0.95, 30, "the patch's green in the output area")
        before = area_pixels(area)

        xdotool("key", "alt+a")  # Assign, the list keeping the keys
        wait_for(lambda: window_named("^Select A Note$") is not None, 30, "Select A Note")
        dialog = window_named("^Select A Note$")
        xdotool("windowmove", "--sync", dialog, area[0] + 10, area[1] + 10)
        wait_for(lambda: matching_share(area_pixels(area), before) < 0.9, 10, "the dialog over the output area")
        xdotool("windowmove", "--sync", dialog, area[0] + area[2] + 40, area[1])
        try:
            wait_for(lambda: matching_share(area_pixels(area), before) > 0.99, 10, "the output area's picture again")
        except AssertionError:
            raise AssertionError("the uncovered output area matches its picture in only %.0f%% of its pixels" %
                                 (100 * matching_share(area_pixels(area), before))) from None

        xdotool("keyup", "q")
        xdotool("windowfocus", "--sync", dialog)
        xdotool("key", "Escape")
        wait_for(lambda: window_named("^Select A Note$") is None, 30, "Select A Note to close")
        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: the uncovered output area shows its picture again")
    finally:
        run.cleanup()


if __name__ == "__main__":
    main()
