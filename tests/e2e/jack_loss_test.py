#!/usr/bin/env python3
"""The real program under a virtual X server with its MIDI and audio input on
a JACK server of the test's own (dummy backend): the server is killed while
the program runs. The performer is told once; File > New while the server
is down opens nothing and breaks nothing; with the server back, the next
reopen opens the device again; the close ends with 0 and writes the
settings file.

Usage: jack_loss_test.py <lorvan-gpu> <TestFill.so>
"""
import os
import shutil
import subprocess
import sys
import time

from program_support import RunningProgram, close_window, visible, wait_for, xdotool

LOST_CAPTION = "Device Lost"
KEYS = "lvlosskeys"


def read_controls(path):
    found = {}
    if not os.path.exists(path):
        return found
    with open(path) as f:
        text = f.read()
    # The program rewrites the file while the sheet is open: a partial read
    # keeps its whole lines only.
    for line in text.splitlines(keepends=True):
        if line.endswith("\n"):
            parts = line.rstrip("\n").split("\t")
            if len(parts) >= 5:
                state = parts[5] if len(parts) > 5 else ""
                found[parts[0]] = (parts[1], tuple(int(v) for v in parts[2].split()), parts[3], state)
    return found


class JackServer:
    """jackd on its dummy backend under a name of the test's own, with one
    MIDI output client (jack_midiseq) for the program to open."""

    def __init__(self, name):
        self.name = name
        self.server = None
        self.keys = None

    def listening(self):
        prefix = "jack_%s_%d_" % (self.name, os.getuid())
        return any(entry.startswith(prefix) for entry in os.listdir("/dev/shm"))

    def start(self):
        self.server = subprocess.Popen(["jackd", "-n", self.name, "--no-realtime", "-t", "20000", "-d", "dummy",
                                        "-r", "44100", "-p", "1024"], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        wait_for(self.listening, 30, "the JACK server")
        env = dict(os.environ, JACK_DEFAULT_SERVER=self.name)
        # A note every second, so the port is a live source.
        self.keys = subprocess.Popen(["jack_midiseq", KEYS, "44100", "0", "60", "4410"], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def listed():
            ports = subprocess.run(["jack_lsp"], env=env, capture_output=True, text=True).stdout
            return KEYS + ":out" in ports
        wait_for(listed, 30, "the MIDI output port")

    def kill(self, terminate=False):
        for process in (self.keys, self.server):
            if process is not None and process.poll() is None:
                if terminate:
                    process.terminate()
                else:
                    process.kill()
                process.wait()
        self.keys = self.server = None

    def remove_leftovers(self):
        # A killed server leaves its shared memory behind.
        for entry in os.listdir("/dev/shm"):
            if "_%s_" % self.name in entry or entry.endswith("_" + self.name):
                try:
                    os.remove(os.path.join("/dev/shm", entry))
                except OSError:
                    pass


def main():
    program, library = sys.argv[1:3]
    if shutil.which("jackd") is None or shutil.which("jack_midiseq") is None:
        print("skipped: no jackd")
        return
    # One name throughout: libjack keeps a slot for each server name in its
    # registry, and only a server of the same name takes over the slot of a
    # killed one.
    jack = JackServer("lvjacklosstest")
    jack.start()
    run = None
    try:
        run = RunningProgram(program, [library], environment={"JACK_DEFAULT_SERVER": jack.name})

        def opened_count():
            return sum(1 for line in run.log_lines() if line.startswith("MIDI input opened: " + KEYS))
        wait_for(lambda: opened_count() == 1, 30, "the MIDI input to open")

        def not_opened_count():
            return sum(1 for line in run.log_lines() if line.startswith("MIDI input not opened"))

        jack.kill()
        wait_for(lambda: visible(LOST_CAPTION), 30, "the message that the devices were lost")
        box = visible(LOST_CAPTION)[0]
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        wait_for(lambda: not visible(LOST_CAPTION), 30, "the message to close")
        lost = [line for line in run.log_lines() if line.startswith("Device lost:")]
        assert any("MIDI input" in line for line in lost), "\n".join(run.log_lines())

        def answer_save_prompt():
            # The save prompt of a modified performance: No.
            prompts = visible("^Are you sure")
            if prompts:
                xdotool("windowfocus", "--sync", prompts[0])
                xdotool("key", "n")
            return bool(prompts)

        def file_new():
            tried = opened_count() + not_opened_count()
            xdotool("windowfocus", "--sync", run.dialog)
            xdotool("key", "alt+f")
            time.sleep(0.5)
            xdotool("key", "n")
            wait_for(lambda: answer_save_prompt() or opened_count() + not_opened_count() > tried, 30, "File > New")
            wait_for(lambda: opened_count() + not_opened_count() > tried, 30, "File > New to reopen the MIDI input")

        # File > New while the server is down: nothing opens, nothing breaks.
        file_new()
        assert opened_count() == 1
        # The server comes back: the next reopen (File > New) opens the device again.
        jack.remove_leftovers()
        jack.start()
        file_new()
        assert opened_count() == 2, "\n".join(run.log_lines()[-20:])
        assert run.process.poll() is None, "the program ended with %s" % run.process.returncode
        lost_again = [line for line in run.log_lines() if line.startswith("Device lost:")]
        assert len(lost_again) == len(lost), "told again:\n" + "\n".join(lost_again)
        assert len(visible(LOST_CAPTION)) == 0, "a second message"

        settings = os.path.join(run.folder, "Lorvane.cfg")
        if os.path.exists(settings):
            os.remove(settings)
        close_window(run.dialog)
        wait_for(lambda: answer_save_prompt() or run.process.poll() is not None, 30, "the close")
        code = run.process.wait(timeout=30)
        assert code == 0, "exit code %d" % code
        assert os.path.exists(settings), "Lorvane.cfg was not written"
        print("ok: lost once (%s), opened again, exit 0" % "; ".join(lost))
    except (AssertionError, subprocess.TimeoutExpired):
        if run is not None:
            if os.environ.get("LV_E2E_GDB"):
                subprocess.run(["gdb", "-p", str(run.process.pid), "-batch", "-ex", "thread apply all bt 30"])
            print("\n".join(run.log_lines()[-40:]))
        raise
    finally:
        if run is not None:
            run.cleanup()
        jack.kill(terminate=True)
        jack.remove_leftovers()


if __name__ == "__main__":
    main()
