#!/usr/bin/env python3
"""Every way the real program is closed ends it, within its bound, with the
performer's files kept. One scenario per run:

  stuck-recording  the main dialog is closed while the render thread is stuck
                   in a patch's drawing (the test library's kind, asked to
                   block) during a MIDI capture recording: the process ends
                   within the bound, the settings file is written, the
                   recording is finished under its name with its last events,
                   and the log names the thread that did not end.
  stuck-render     the same during an offline render to AVI: the AVI file is
                   finished with its index and moved to its name.
  stuck-note       a note played from the keyboard sticks the render thread in
                   its patch while the Active Note Selector fills the knob
                   shelf: the user interface does not wait for the pass; a
                   "Plug-in Error" box names the patch, the main dialog
                   answers (a command that needs the pass is refused, System
                   Info opens), and a close through the window manager ends
                   the process within the bound with the settings written.
  stuck-note-terminate  the same, ended by SIGTERM.
  terminate-dialog SIGTERM while a patch's settings dialog (Edit, a note
                   number, Glow Source's parameters) is open: the dialogs are
                   closed first and the program ends with code 0.
  terminate-file   SIGTERM while the Open command's file dialog is open, and
  terminate-box    while a message box ("Note unused") is open: the window
                   is closed as its Cancel does and the program ends with 0.
  terminate-prompt SIGTERM with the performance modified: the save prompt's
                   Cancel keeps the program open and the prompt does not come
                   back; a second SIGTERM asks again, and No closes with 0.

Usage: close_paths_test.py <scenario> <lorvan-gpu> <plug-in library> <make_test_project>
"""
import os
import signal
import struct
import subprocess
import sys
import time

from program_support import (RunningProgram, WindowManager, assert_log_in_order, centre, click, close_window, wait_focused,
                             wait_for, xdotool)

NOTE = 25  # key Q
FREE_NOTE = 26  # key W: no patch
BLOCK = "render-blocks"  # the test library's kind blocks its Render while this file exists
CLOSE_WITHIN = 12  # seconds: the render thread's wait is 5 of them
STUCK_LINE = "Performer thread did not end within 5000 ms"


def windows_named(name):
    """The visible windows whose title is exactly `name`."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name.replace("?", "\\?")],
                           capture_output=True, text=True)
    return [int(w) for w in found.stdout.split()]


def wait_window(name, timeout=15):
    wait_for(lambda: windows_named(name), timeout, "the window " + name)
    window = windows_named(name)[0]
    xdotool("windowactivate", "--sync", window)
    return window


def type_file_name(title, path):
    """Answers the file dialog of that title with the path."""
    wait_focused(wait_window(title))
    xdotool("key", "ctrl+a")
    xdotool("type", "--delay", "5", path)
    xdotool("key", "Return")


def capture_menu(run, key):
    """A command of the Capture menu, reached from the File menu (Alt+C is also the Create New button's)."""
    run.menu("alt+f", "Right", "Right", key)


def capture_messages(path):
    """The MIDI messages of the capture file's event records; fails on a record cut short."""
    data = open(path, "rb").read()
    messages, at = [], 0
    while at < len(data):
        size = 9 if data[at] == 1 else 4097
        assert at + size <= len(data), "a record cut short at byte %d of %d" % (at, len(data))
        if data[at] == 1:
            messages.append(struct.unpack_from("<I", data, at + 1)[0])
        at += size
    return messages


def block_render(run):
    """Makes the next Render of the test kind never return."""
    open(os.path.join(run.folder, BLOCK), "w").close()


def wait_blocked(run):
    wait_for(lambda: os.path.exists(os.path.join(run.folder, BLOCK + ".entered")), 15, "the render thread to be stuck")


def close_stuck(run):
    started = time.time()
    code = run.close()
    took = time.time() - started
    assert took < CLOSE_WITHIN, "the close took %.1f s" % took
    # What the stuck pass holds is never released: the process ends without
    # the destructors, with a failure code.
    assert code == 1, "exit code %d" % code
    assert os.path.exists(os.path.join(run.folder, "Lorvane.cfg")), "the settings were not written"
    lines = run.log_lines()
    assert_log_in_order(lines, ["Shutdown starting", STUCK_LINE, "Shutdown finished"])
    return took


def stuck_recording(program, library, make_project):
    os.environ["LV_TEST_FILL_BLOCK"] = BLOCK
    run = RunningProgram(program, [library],
                         lambda folder: subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True))
    try:
        run.open_first_recent()
        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        recording = os.path.join(run.folder, "show.midicap")
        capture_menu(run, "c")  # Capture MIDI to file
        type_file_name("Save As", recording)
        wait_for(lambda: os.path.exists(recording + ".partial"), 15, "the recording to start")
        click(*centre(controls["1141"][1]))  # the patch list takes the keys
        xdotool("key", "w")
        block_render(run)
        xdotool("keydown", "q")
        wait_blocked(run)
        xdotool("keyup", "q")  # recorded after the pass got stuck: the file's tail

        took = close_stuck(run)
        assert os.path.exists(recording), "the recording was not finished under its name"
        assert not os.path.exists(recording + ".partial"), "the recording's temporary file is left"
        played = [m for m in capture_messages(recording) if m & 0xF0 in (0x80, 0x90)]
        assert played == [0x90 | FREE_NOTE << 8 | 127 << 16, 0x80 | FREE_NOTE << 8,
                          0x90 | NOTE << 8 | 127 << 16, 0x80 | NOTE << 8], [hex(m) for m in played]
        print("ok: closed in %.1f s, recording of %d notes kept" % (took, len(played) // 2))
    finally:
        run.cleanup()


def open_system_info(run):
    """Help, then System Info (the menu's last item): a window that needs no pass."""
    xdotool("windowactivate", "--sync", run.dialog)
    run.menu("alt+h", "Up")
    xdotool("key", "Return")
    return wait_window("System Info")


def stuck_note(program, library, make_project, terminate=False):
    os.environ["LV_TEST_FILL_BLOCK"] = BLOCK
    run = RunningProgram(program, [library],
                         lambda folder: subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True))
    try:
        run.open_first_recent()
        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        click(*centre(controls["1141"][1]))  # the patch list takes the keys
        block_render(run)
        xdotool("keydown", "q")  # the Active Note Selector (on) moves to the note's row
        wait_blocked(run)
        xdotool("keyup", "q")

        # Told once, naming the plug-in kind and the note.
        box = wait_window("Plug-in Error", timeout=20)
        told = [line for line in run.log_lines() if line.startswith("Plug-in Error: ")]
        assert len(told) == 1, told
        assert '"Test Fill"' in told[0] and "(%d)" % NOTE in told[0], told[0]
        xdotool("windowactivate", "--sync", box)
        xdotool("key", "Return")
        wait_for(lambda: not windows_named("Plug-in Error"), 10, "the box to go")

        # The main dialog answers: a command that needs the pass is refused
        # at once, and one that does not opens its window.
        refusals = sum("the change that needs it is refused" in line for line in run.log_lines())
        click(*centre(controls["1001"][1]))  # Edit
        wait_for(lambda: sum("the change that needs it is refused" in line for line in run.log_lines()) > refusals,
                 10, "the Edit command to be refused")
        info = open_system_info(run)
        close_window(info)
        wait_for(lambda: not windows_named("System Info"), 10, "System Info to close")
        assert not windows_named("Select A Note"), "a refused command opened its dialog"
        assert not windows_named("Plug-in Error"), "the user was told twice"

        if terminate:
            started = time.time()
            run.process.send_signal(signal.SIGTERM)
            code = run.process.wait(timeout=30)
            took = time.time() - started
            assert took < CLOSE_WITHIN, "the end took %.1f s" % took
            assert code == 1, "exit code %d" % code
            assert os.path.exists(os.path.join(run.folder, "Lorvane.cfg")), "the settings were not written"
            assert_log_in_order(run.log_lines(), ["Shutdown starting", STUCK_LINE, "Shutdown finished"])
        else:
            took = close_stuck(run)
        print("ok: the main dialog answered while the render thread was stuck; ended in %.1f s" % took)
        print(told[0])
    finally:
        run.cleanup()


def riff_finished(path):
    """True when the AVI file's RIFF size covers the file and it holds its index."""
    data = open(path, "rb").read()
    if len(data) < 12 or data[:4] != b"RIFF" or data[8:12] != b"AVI ":
        return False
    return struct.unpack_from("<I", data, 4)[0] + 8 == len(data) and b"idx1" in data


def stuck_render(program, library, make_project):
    os.environ["LV_TEST_FILL_BLOCK"] = BLOCK

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE), "--size=64x48"], check=True)
        # The note from the start; a last event an hour later keeps the render going.
        with open(os.path.join(folder, "show.midicap"), "wb") as f:
            f.write(struct.pack("<BII", 1, 0x90 | NOTE << 8 | 127 << 16, 1000))
            f.write(struct.pack("<BII", 1, 0xF8, 1000 + 3600 * 1000))

    run = RunningProgram(program, [library], prepare)
    try:
        run.open_first_recent()
        target = os.path.join(run.folder, "out.avi")
        capture_menu(run, "r")  # Render captured MIDI file
        type_file_name("Choose MIDI capture file to render", os.path.join(run.folder, "show.midicap"))
        type_file_name("Choose AVI file to save", target)
        wait_focused(wait_window("Video Compression"))
        xdotool("key", "Return")  # uncompressed
        # The AVI file is written under a temporary name until it is finished.
        partial = target + ".partial"
        wait_for(lambda: os.path.exists(partial) and os.path.getsize(partial) > 200 * 1000, 20,
                 "frames in the AVI file")
        block_render(run)
        wait_blocked(run)
        assert not os.path.exists(target), "the AVI file was finished before the close"

        took = close_stuck(run)
        assert not os.path.exists(partial), "the AVI file was left unfinished"
        assert riff_finished(target), "the AVI file was left without its index"
        print("ok: closed in %.1f s, AVI file of %d bytes finished" % (took, os.path.getsize(target)))
    finally:
        run.cleanup()


def terminate_dialog(program, kestrix, make_project):
    run = RunningProgram(program, [kestrix], lambda folder: subprocess.run(
        [make_project, folder, "Glow.LVP", str(NOTE), "Glow Source"], check=True))
    try:
        run.open_first_recent()
        click(*centre(run.controls()["1001"][1]))  # Edit
        wait_window("Select A Note")
        xdotool("type", str(NOTE + 1))
        xdotool("key", "Return")
        wait_window("Edit Glow Source Parameters")
        run.process.send_signal(signal.SIGTERM)
        code = run.process.wait(timeout=30)
        assert code == 0, "exit code %d" % code
        assert_log_in_order(run.log_lines(), ["Shutdown starting", "Shutdown finished", "Main message loop ended"])
        print("ok: ended with 0 from the settings dialog")
    finally:
        run.cleanup()


def terminate_open_window(run, title):
    """SIGTERM with the window of that title open: it goes first, then the program, with code 0."""
    wait_window(title)
    run.process.send_signal(signal.SIGTERM)
    code = run.process.wait(timeout=30)
    assert code == 0, "exit code %d" % code
    assert_log_in_order(run.log_lines(), ["Shutdown starting", "Shutdown finished", "Main message loop ended"])
    print("ok: ended with 0 from " + title)


def terminate_file(program, library, make_project):
    run = RunningProgram(program, [library],
                         lambda folder: subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True))
    try:
        run.open_first_recent()
        run.menu("alt+f", "o")  # Open
        terminate_open_window(run, "Load Lorvan file")
    finally:
        run.cleanup()


def terminate_box(program, library, make_project):
    run = RunningProgram(program, [library],
                         lambda folder: subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True))
    try:
        run.open_first_recent()
        click(*centre(run.controls()["1001"][1]))  # Edit
        wait_window("Select A Note")
        xdotool("type", str(FREE_NOTE + 1))
        xdotool("key", "Return")
        terminate_open_window(run, "Note unused")
    finally:
        run.cleanup()


def terminate_prompt(program, library, make_project):
    prompt = "Are you sure?"
    run = RunningProgram(program, [library],
                         lambda folder: subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True))
    try:
        run.open_first_recent()
        click(*centre(run.controls()["1141"][1]))
        xdotool("key", "ctrl+Up")  # the row's priority: the performance is modified
        run.process.send_signal(signal.SIGTERM)
        wait_window(prompt)
        xdotool("key", "Escape")  # Cancel
        wait_for(lambda: not windows_named(prompt), 10, "the prompt to go")
        time.sleep(2.0)  # not a wait for something expected: the time the prompt has to come back in
        assert not windows_named(prompt), "the save prompt came back"
        assert run.process.poll() is None, "the program ended after Cancel (%s)" % run.process.returncode

        run.process.send_signal(signal.SIGTERM)
        wait_window(prompt)
        xdotool("key", "n")  # No: close without saving
        code = run.process.wait(timeout=30)
        assert code == 0, "exit code %d" % code
        assert_log_in_order(run.log_lines(), ["Shutdown starting", "Shutdown finished", "Main message loop ended"])
        print("ok: Cancel kept the program open, the second request closed it")
    finally:
        run.cleanup()


def main():
    scenario = sys.argv[1]
    scenarios = {"stuck-recording": stuck_recording, "stuck-render": stuck_render, "stuck-note": stuck_note,
                 "stuck-note-terminate": lambda *args: stuck_note(*args, terminate=True),
                 "terminate-dialog": terminate_dialog, "terminate-file": terminate_file, "terminate-box": terminate_box,
                 "terminate-prompt": terminate_prompt}
    wm = WindowManager()
    try:
        scenarios[scenario](*sys.argv[2:5])
    finally:
        wm.stop()


if __name__ == "__main__":
    main()
