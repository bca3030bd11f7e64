#!/usr/bin/env python3
"""The real program's main dialog under a virtual X server, laid out as a
user sees it: the output area's inside is 320 x 240, every visible control
lies inside the dialog, no two overlap (a group box holds its own), and no
text is cut. Saves a screenshot of the dialog beside the test binaries.

Usage: main_dialog_layout_test.py <lorvan-gpu> <TestFill.so> <screenshot.png>
"""
import sys

from program_support import RunningProgram, save_png, screenshot, wait_for_value

# What a control's frame and decoration take besides its text.
TEXT_ROOM = {"QPushButton": 8, "QCheckBox": 18, "QRadioButton": 18, "QGroupBox": 8, "QLabel": 0}


def inside(inner, outer):
    x, y, w, h = inner
    ox, oy, ow, oh = outer
    return x >= ox and y >= oy and x + w <= ox + ow and y + h <= oy + oh


def overlap(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def main():
    program, library, artifact = sys.argv[1:4]
    run = RunningProgram(program, [library])
    try:
        x, y, w, h = run.controls()["101"][1]

        def painted(shot):
            # More than the one colour of an unpainted window.
            _, _, rows = shot
            return len({rows[row][3 * col:3 * col + 3] for row in range(y, y + h, 8) for col in range(x, x + w, 8)}) > 1
        # From the window's corner, so the menu bar shows too (no window manager here).
        save_png(artifact, wait_for_value(screenshot, painted, 30, "the dialog painted", show_last=False),
                 (0, 0, x + w, y + h))
        controls = run.controls()
        dialog = controls.pop("101")[1]
        faults = []

        kind, (x, y, w, h), _, _ = controls["-1"]
        # The frame's border lies around the 320 x 240 picture.
        if not (320 <= w <= 326 and 240 <= h <= 246):
            faults.append("output area is %d x %d" % (w, h))

        for name, (kind, box, text, needed) in controls.items():
            if not inside(box, dialog):
                faults.append("%s %s lies outside the dialog %s" % (name, box, dialog))
            if text and kind in TEXT_ROOM and needed + TEXT_ROOM[kind] > box[2]:
                faults.append("%s %r needs %d pixels, has %d" % (name, text, needed + TEXT_ROOM[kind], box[2]))
        names = sorted(controls)
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                (kind_a, box_a, _, _), (kind_b, box_b, _, _) = controls[a], controls[b]
                if not overlap(box_a, box_b):
                    continue
                if (kind_a == "QGroupBox" and inside(box_b, box_a)) or (kind_b == "QGroupBox" and inside(box_a, box_b)):
                    continue
                faults.append("%s %s overlaps %s %s" % (a, box_a, b, box_b))
        assert not faults, "\n".join(faults)

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: %d controls laid out, screenshot in %s" % (len(controls), artifact))
    finally:
        run.cleanup()


if __name__ == "__main__":
    main()
