#!/usr/bin/env python3
"""The real program in a clean folder under a virtual X server: it starts,
loads the test plug-in library, opens a project from its recent-files menu
whose note plays the test library's kind, presents into its output area,
plays that patch while a key of the keyboard map is held (checked on
screenshots), and ends cleanly when its main dialog is closed, with its log
in order.

Usage: program_test.py <lorvan-gpu> <TestFill.so> <make_test_project>
"""
import subprocess
import sys
import time

from program_support import RunningProgram, assert_log_in_order, click, green_pixels, wait_for, xdotool

GREEN_MIN = 300 * 220  # most of the 320 x 240 output area
NOTE = 25  # key Q


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def main():
    program, library, make_project = sys.argv[1:4]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    run = RunningProgram(program, [library], prepare)
    try:
        time.sleep(1.0)
        assert green_pixels() == 0, "green before the key went down"
        displays = run.log_lines().count("SetDisplay finished")

        # File, then the first recent file.
        xdotool("windowfocus", "--sync", run.dialog)
        xdotool("key", "alt+f")
        time.sleep(0.5)
        xdotool("key", "1")
        wait_for(lambda: run.log_lines().count("SetDisplay finished") > displays, 30, "the project to open")

        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        click(*centre(controls["1141"][1]))  # the patch list takes the keys
        xdotool("keydown", "q")
        time.sleep(1.0)
        held = green_pixels()
        xdotool("keyup", "q")
        time.sleep(1.0)
        released = green_pixels()
        assert held >= GREEN_MIN, "only %d green pixels while the key was held" % held
        assert released == 0, "%d green pixels after the key was released" % released

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
