#!/usr/bin/env python3
"""The real program under a virtual X server with a window manager
(openbox): the project is changed, Full, and the main dialog is closed
through the window manager. The save prompt shows above the full-screen
output (on top of the stacking order, and the output's picture of a held
note is not seen where the prompt is), takes the keys, and Esc cancels it;
the output then has the keys again, so the next Esc leaves full screen.

Usage: full_screen_prompt_test.py <lorvan-gpu> <TestFill.so> <make_test_project> <screenshot.png>
"""
import subprocess
import sys

from program_support import (RunningProgram, WindowManager, centre, click, client_geometry, close_window, green_pixels,
                             poll, save_png, screen_size, screenshot, visible, wait_for, window_property, xdotool)

NOTE = 25  # key Q
PROMPT = "^Are you sure\\?$"


def stacking():
    return [int(w, 16) for w in window_property(None, "_NET_CLIENT_LIST_STACKING")]


def green_share(box, shot):
    """The share of the box's pixels on the screen that are the test patch's green."""
    _, _, rows = shot
    x, y, w, h = box
    cropped = (w, h, [rows[row][3 * x:3 * (x + w)] for row in range(y, y + h)])
    return green_pixels(cropped) / (w * h)


def main():
    program, library, make_project, artifact = sys.argv[1:5]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    manager = WindowManager()
    run = RunningProgram(program, [library], prepare)
    try:
        displays = run.displays_set
        run.open_first_recent()
        controls = run.controls()

        click(*centre(controls["1106"][1]))  # Use Keyboard
        click(*centre(controls["1013"][1]))  # Rename: the project is changed
        wait_for(lambda: visible("^Set Patch Name$"), 10, "the Set Patch Name dialog")
        xdotool("type", "Renamed")
        xdotool("key", "Return")
        wait_for(lambda: not visible("^Set Patch Name$"), 10, "the Set Patch Name dialog to close")

        before = displays()
        click(*centre(controls["1079"][1]))  # Full
        wait_for(lambda: displays() > before, 30, "the switch to full screen")
        wait_for(lambda: visible("^Lorvane$"), 10, "the full-screen output window")
        output = visible("^Lorvane$")[0]
        # A held note fills the screen with green, so the output shows wherever it is on top.
        screen_w, screen_h = screen_size()
        xdotool("keydown", "q")
        wait_for(lambda: green_pixels() >= screen_w * screen_h * 95 // 100, 20, "the held note over the whole screen")

        close_window(run.dialog)
        wait_for(lambda: visible(PROMPT), 10, "the save prompt")
        prompt = visible(PROMPT)[0]
        box = client_geometry(prompt)
        # Until the window manager has settled the prompt's place in the
        # stacking order and the output has drawn around it.
        wait_for(lambda: prompt in stacking() and output in stacking(), 10, "both windows in the stacking order")

        def settled(view):
            order, shot = view
            return (order.index(prompt) > order.index(output) and
                    green_pixels(shot) >= (screen_w * screen_h - box[2] * box[3]) * 90 // 100 and
                    green_share(box, shot) < 0.05)
        order, shot = poll(lambda: (stacking(), screenshot()), settled, 30)
        save_png(artifact, shot)
        assert order.index(prompt) > order.index(output), \
            "the prompt %#x is stacked under the output %#x: %s" % (prompt, output, [hex(w) for w in order])
        # The output still plays around the prompt, but not over it. (What the
        # prompt itself shows is not checked: the virtual server's screenshots
        # read a window that overlaps another of the program as black.)
        assert green_pixels(shot) >= (screen_w * screen_h - box[2] * box[3]) * 90 // 100, "the output stopped showing"
        assert green_share(box, shot) < 0.05, "the prompt's place on the screen shows the output"
        xdotool("keyup", "q")

        xdotool("key", "Escape")
        wait_for(lambda: not visible(PROMPT), 10, "Esc to cancel the prompt")
        assert run.process.poll() is None, "the program ended after Cancel"
        assert visible("^Lorvane$"), "Cancel left full screen"

        before = displays()
        xdotool("key", "Escape")
        wait_for(lambda: displays() > before, 30, "Esc in the output to leave full screen")
        wait_for(lambda: not visible("^Lorvane$"), 10, "the full-screen window to go")

        # The changed project is asked about again; No ends the program.
        close_window(run.dialog)
        wait_for(lambda: visible(PROMPT), 10, "the save prompt in the window")
        xdotool("key", "n")
        code = run.process.wait(timeout=30)
        assert code == 0, "exit code %d" % code
        print("ok: the prompt was stacked above the output and answered; Esc then left full screen")
    finally:
        run.cleanup()
        manager.stop()


if __name__ == "__main__":
    main()
