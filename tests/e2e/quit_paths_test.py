#!/usr/bin/env python3
"""Quits of the real program under a virtual X server with a window manager
(openbox) end its message loop at once, with code 0, whatever window is up
beside the main dialog. One scenario per run:

  full-screen-close      the output is full screen; the main dialog is closed
                         through the window manager.
  full-screen-terminate  the same with SIGTERM.
  full-screen-yes        a patch is renamed; full screen, the close's save
                         prompt is answered Yes: the project is saved.
  full-screen-no         the same through SIGTERM, answered No.
  preview-close          the picture is in the floating preview; the main
                         dialog is closed: no display is set up once the
                         shutdown has started.

The exit watch would end a loop that does not end after 8 s with code 1: a
code of 0 and "Main message loop ended" in the log show the loop ended by
itself; the time is only bounded loosely, for a busy machine.

Usage: quit_paths_test.py <scenario> <lorvan-gpu> <TestFill.so> <make_test_project>
"""
import os
import signal
import subprocess
import sys
import time

from program_support import (RunningProgram, WindowManager, assert_log_in_order, centre, click, close_window,
                             visible, wait_for, xdotool)

NOTE = 25  # key Q
PROMPT = "^Are you sure\\?$"
PREVIEW = "^Lorvane GPU Preview$"
QUIT_WITHIN = 6  # seconds: far above a prompt quit, below the exit watch's 8


def start(program, library, make_project):
    run = RunningProgram(program, [library],
                         lambda folder: subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True))
    run.open_first_recent()
    return run


def rename_patch(run, name):
    """The patch gets a new name: the performance is modified."""
    click(*centre(run.controls()["1013"][1]))  # Rename
    wait_for(lambda: visible("^Set Patch Name$"), 10, "the Set Patch Name dialog")
    xdotool("type", name)
    xdotool("key", "Return")
    wait_for(lambda: not visible("^Set Patch Name$"), 10, "the Set Patch Name dialog to close")


def full_screen(run):
    before = run.displays_set()
    click(*centre(run.controls()["1079"][1]))  # Full
    wait_for(lambda: run.displays_set() > before, 30, "the switch to full screen")
    wait_for(lambda: visible("^Lorvane$"), 10, "the full-screen output window")


def ended_at_once(run, asked):
    """The program ended by its own loop's end, with 0, soon after `asked`."""
    code = run.process.wait(timeout=30)
    took = time.time() - asked
    lines = run.log_lines()
    assert code == 0, "exit code %d after %.1f s; the log ends:\n%s" % (code, took, "\n".join(lines[-8:]))
    assert_log_in_order(lines, ["Shutdown starting", "Shutdown finished", "Main message loop ended"])
    assert took < QUIT_WITHIN, "the quit took %.1f s" % took
    return took, lines


def full_screen_close(program, library, make_project):
    run = start(program, library, make_project)
    try:
        full_screen(run)
        asked = time.time()
        close_window(run.dialog)
        took, _ = ended_at_once(run, asked)
        print("ok: closed from full screen with 0 in %.1f s" % took)
    finally:
        run.cleanup()


def full_screen_terminate(program, library, make_project):
    run = start(program, library, make_project)
    try:
        full_screen(run)
        asked = time.time()
        run.process.send_signal(signal.SIGTERM)
        took, _ = ended_at_once(run, asked)
        print("ok: terminated from full screen with 0 in %.1f s" % took)
    finally:
        run.cleanup()


def full_screen_answered(program, library, make_project, ask, key):
    run = start(program, library, make_project)
    try:
        project = os.path.join(run.folder, "Test.LVP")
        rename_patch(run, "Renamed")
        full_screen(run)
        ask(run)
        wait_for(lambda: visible(PROMPT), 10, "the save prompt")
        xdotool("windowactivate", "--sync", visible(PROMPT)[0])
        asked = time.time()
        xdotool("key", key)
        took, _ = ended_at_once(run, asked)
        saved = b"Renamed" in open(project, "rb").read()
        assert saved == (key == "y"), "the project was %s" % ("saved" if saved else "not saved")
        print("ok: answered %s from full screen, ended with 0 in %.1f s" % (key, took))
    finally:
        run.cleanup()


def full_screen_yes(program, library, make_project):
    full_screen_answered(program, library, make_project, lambda run: close_window(run.dialog), "y")


def full_screen_no(program, library, make_project):
    full_screen_answered(program, library, make_project, lambda run: run.process.send_signal(signal.SIGTERM), "n")


def preview_close(program, library, make_project):
    run = start(program, library, make_project)
    try:
        before = run.displays_set()
        run.double_click_output_area()
        wait_for(lambda: run.displays_set() > before, 30, "the display to move into the preview")
        wait_for(lambda: visible(PREVIEW), 10, "the floating preview")

        asked = time.time()
        close_window(run.dialog)
        took, lines = ended_at_once(run, asked)
        after = lines[lines.index("Shutdown starting"):]
        displays = [line for line in after if line.startswith("SetDisplay")]
        assert not displays, "a display was set up after the shutdown started: %s" % displays
        print("ok: closed with the preview open, no display after the shutdown, 0 in %.1f s" % took)
    finally:
        run.cleanup()


def main():
    scenarios = {"full-screen-close": full_screen_close, "full-screen-terminate": full_screen_terminate,
                 "full-screen-yes": full_screen_yes, "full-screen-no": full_screen_no, "preview-close": preview_close}
    wm = WindowManager()
    try:
        scenarios[sys.argv[1]](*sys.argv[2:5])
    finally:
        wm.stop()


if __name__ == "__main__":
    main()
