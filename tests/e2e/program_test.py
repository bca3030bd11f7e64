#!/usr/bin/env python3
"""The real program in a clean folder under a virtual X server: it starts,
loads the test plug-in library, opens a project from its recent-files menu
whose note plays the test library's kind, presents into its output area,
plays that patch while a key of the keyboard map is held (checked on
screenshots), shows the played patch's knob with readable labels, and ends
cleanly when its main dialog is closed, with its log in order.

Usage: program_test.py <lorvan-gpu> <TestFill.so> <make_test_project>
"""
import subprocess
import sys

from program_support import (RunningProgram, assert_log_in_order, centre, click, green_pixels, screenshot,
                             wait_for_value, xdotool)

GREEN_MIN = 300 * 220  # most of the 320 x 240 output area
WAIT = 30  # seconds at most for what a key changes on the screen
NOTE = 25  # key Q


def luminance(rgb):
    def linear(c):
        c = c / 255.0
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = rgb
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b)


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def knob_labels(shelf):
    """The knob's label band in the middle of the shelf: (band colour, the
    colour on it furthest from it, rows), or None when no band is there."""
    _, _, rows = screenshot()
    x, y, w, h = shelf
    left, right = x + w // 2 - 18, x + w // 2 + 18
    pixels = [[tuple(rows[row][3 * i:3 * i + 3]) for i in range(left, right)] for row in range(y, y + h)]
    plain = tuple(rows[y + h // 2][3 * (x + 4):3 * (x + 4) + 3])  # the shelf beside the knob
    counts = {}
    for line in pixels:
        for rgb in line:
            counts[rgb] = counts.get(rgb, 0) + 1
    # The commonest light colour that is not the plain shelf (the dial is dark).
    candidates = [rgb for rgb in sorted(counts, key=counts.get, reverse=True) if rgb != plain and luminance(rgb) > 0.3]
    if not candidates:
        return None
    band = candidates[0]
    label_rows = [line for line in pixels if line.count(band) * 2 >= len(line)]
    if len(label_rows) < 6:
        return None
    ink = max((rgb for line in label_rows for rgb in line), key=lambda rgb: contrast(rgb, band))
    return band, ink, len(label_rows)


def main():
    program, library, make_project = sys.argv[1:4]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    run = RunningProgram(program, [library], prepare)
    try:
        assert green_pixels() == 0, "green before the key went down"
        run.open_first_recent()

        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        click(*centre(controls["1141"][1]))  # the patch list takes the keys
        assert knob_labels(controls["1147"][1]) is None, "a knob before any note played"
        xdotool("keydown", "q")
        try:
            held = wait_for_value(green_pixels, lambda count: count >= GREEN_MIN, WAIT,
                                  "the output area green while the key is held")
        finally:
            xdotool("keyup", "q")
        # The Active Note Selector is on from the start: the played note's row
        # takes the focus and the shelf shows its patch's knob, whose name and
        # value are dark window text on the light label band.
        band, ink, label_rows = wait_for_value(lambda: knob_labels(controls["1147"][1]),
                                               lambda labels: labels is not None, WAIT,
                                               "a knob shown for the played note")
        assert contrast(ink, band) >= 4.5 and luminance(ink) < luminance(band), \
            "knob labels %s on %s (contrast %.2f)" % (ink, band, contrast(ink, band))
        wait_for_value(green_pixels, lambda count: count == 0, WAIT, "no green after the key was released")

        code = run.close()
        assert code == 0, "exit code %d" % code
        lines = run.log_lines()
        assert_log_in_order(lines, [
            "WinMain started", "InitInstance started", "Windows created", "Startup starting",
            "Initializing plugins and Performer", "Initializing Direct3D", "SetDisplay started", "Device created",
            "SetDisplay finished", "D3D::GetDriverInfo finished", "Initializing MIDI device", "MidiClass::Init",
            "Startup finished", "InitInstance finished", "Entering main message loop",
            "SetDisplay started", "SetDisplay finished",  # the project opened
            "Shutdown starting", "Shutdown finished", "Main message loop ended"])
        print("ok: %d green pixels while held, none after; %d log lines" % (held, len(lines)))
    finally:
        run.cleanup()


if __name__ == "__main__":
    main()
