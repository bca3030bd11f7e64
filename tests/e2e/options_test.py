#!/usr/bin/env python3
"""The real program under a virtual X server: Options from the main dialog's
menu, keeping one size on every page; the project's size, which the screen
does not list, shown as the custom size; a custom output size and two work
buffers chosen on the Video page, OK; the display is rebuilt at the new size
with the work buffers made, the patch still plays into the output area, and
the saved project holds the new values.

Usage: options_test.py <lorvan-gpu> <TestFill.so> <make_test_project> <read_test_project>
"""
import os
import subprocess
import sys

from program_support import (RunningProgram, centre, click, green_pixels, shown_windows, wait_for, wait_for_value,
                             xdotool)

NOTE = 25  # key Q
GREEN_MIN = 300 * 220


def read_controls(path):
    found = {}
    if not os.path.exists(path):
        return found
    with open(path) as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) >= 5:
                state = parts[5] if len(parts) > 5 else ""
                found[parts[0]] = (parts[1], tuple(int(v) for v in parts[2].split()), parts[3], state)
    return found


def main():
    program, library, make_project, read_project = sys.argv[1:5]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    run = RunningProgram(program, [library], prepare)
    sheet_path = run.geometry_path + ".options"
    try:
        run.open_first_recent()
        displays = run.log_lines().count("SetDisplay finished")

        run.menu("alt+o", "o")
        wait_for(lambda: "tab1" in read_controls(sheet_path), 30, "the Options sheet")
        # Every page in the same sheet: one size throughout.
        sizes = {}
        for tab, control in ((0, "1108"), (2, "1136"), (3, "1160"), (4, "1174"), (1, "1168")):
            click(*centre(read_controls(sheet_path)["tab%d" % tab][1]))
            wait_for(lambda: control in read_controls(sheet_path), 30, "page %d of the sheet" % tab)
            sizes[tab] = read_controls(sheet_path)["sheet"][1][2:]
        assert len(set(sizes.values())) == 1, "the sheet's size changes with its page: %s" % sizes
        controls = read_controls(sheet_path)
        # The project's 640 x 480 is no mode of this screen: it shows as the custom size.
        assert controls["1168"][3] == "checked", "Custom Resolution shows %r" % controls["1168"][3]
        assert (controls["1169"][2], controls["1170"][2]) == ("640", "480"), "custom size %s x %s" % (
            controls["1169"][2], controls["1170"][2])
        for field, value in (("1169", "800"), ("1170", "600")):
            click(*centre(controls[field][1]))
            xdotool("key", "ctrl+a")
            xdotool("type", value)
        lists = shown_windows(run.process.pid)
        click(*centre(controls["1023"][1]))  # Number of Work Buffers: its list opens
        wait_for(lambda: shown_windows(run.process.pid) - lists, 30, "the list of work buffer counts")
        xdotool("key", "2")
        xdotool("key", "Return")
        wait_for(lambda: read_controls(sheet_path).get("1023", ("", (), ""))[2] == "2", 10, "two work buffers shown")
        click(*centre(read_controls(sheet_path)["button:OK"][1]))

        wait_for(lambda: run.log_lines().count("SetDisplay finished") > displays, 30, "the display rebuild")

        def rebuilt():
            main = read_controls(run.geometry_path + ".display")
            return (main.get("backbuffer", ("", (0, 0, 0, 0), ""))[1][2:] == (800, 600) and
                    main.get("workbuffers", ("", (0, 0, 0, 0), ""))[1][2] == 2)
        wait_for(rebuilt, 30, "an 800 x 600 back buffer and two work buffers")

        main_controls = read_controls(run.geometry_path)
        click(*centre(main_controls["1106"][1]))  # Use Keyboard
        click(*centre(main_controls["1141"][1]))  # the patch list takes the keys
        xdotool("keydown", "q")
        try:
            held = wait_for_value(green_pixels, lambda count: count >= GREEN_MIN, 30,
                                  "the output area green after the rebuild while the key is held")
        finally:
            xdotool("keyup", "q")

        project = os.path.join(run.folder, "Test.LVP")
        saved_at = os.path.getmtime(project)
        run.menu("alt+f", "s")
        wait_for(lambda: os.path.getmtime(project) != saved_at, 30, "the project to be saved")
        values = subprocess.run([read_project, run.folder, "Test.LVP"], check=True, capture_output=True,
                                text=True).stdout.split()
        assert values == ["800", "600", "2"], "saved project holds %s" % values

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: 800 x 600 with two work buffers, %d green pixels, saved as %s" % (held, " ".join(values)))
    finally:
        run.cleanup()


if __name__ == "__main__":
    main()
