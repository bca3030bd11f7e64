#!/usr/bin/env python3
"""The real program under a virtual X server with its MIDI and audio input on
a JACK server of the test's own (dummy backend): the server is killed while
the program runs, and the performer is told once. Then, by scenario:
  new              File > New while the server is down opens nothing and
                   breaks nothing; with the server back, File > New opens the
                   device again;
  options-close    Options OK while the server is down, then the close;
  options-restart  Options OK while the server is down; with the server
                   back, Options, the device chosen on the MIDI page, OK: it
                   opens again.
Each ends with a close that exits with 0 and writes the settings file.

Usage: jack_loss_test.py <scenario> <lorvan-gpu> <TestFill.so>
"""
import os
import shutil
import subprocess
import sys
import time

from program_support import RunningProgram, centre, click, close_window, visible, wait_for, xdotool

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


class LossRun:
    """The program on the test's server, with what each scenario does to it."""

    def __init__(self, program, library, jack):
        self.jack = jack
        self.run = RunningProgram(program, [library], environment={"JACK_DEFAULT_SERVER": jack.name})
        self.sheet_path = self.run.geometry_path + ".options"
        self.lost = []

    def running(self):
        assert self.run.process.poll() is None, "the program ended with %s" % self.run.process.returncode
        return True

    def opened_count(self):
        return sum(1 for line in self.run.log_lines() if line.startswith("MIDI input opened: " + KEYS))

    def not_opened_count(self):
        return sum(1 for line in self.run.log_lines() if line.startswith("MIDI input not opened"))

    def reopens(self):
        return self.opened_count() + self.not_opened_count()

    def answer_save_prompt(self):
        # The save prompt of a modified performance: No.
        prompts = visible("^Are you sure")
        if prompts:
            xdotool("windowfocus", "--sync", prompts[0])
            xdotool("key", "n")
        return bool(prompts)

    def kill_server(self):
        self.jack.kill()
        wait_for(lambda: visible(LOST_CAPTION), 30, "the message that the devices were lost")
        box = visible(LOST_CAPTION)[0]
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        wait_for(lambda: not visible(LOST_CAPTION), 30, "the message to close")
        self.lost = [line for line in self.run.log_lines() if line.startswith("Device lost:")]
        assert any("MIDI input" in line for line in self.lost), "\n".join(self.run.log_lines())

    def restart_server(self):
        self.jack.remove_leftovers()
        self.jack.start()

    def file_new(self):
        tried = self.reopens()
        xdotool("windowfocus", "--sync", self.run.dialog)
        xdotool("key", "alt+f")
        time.sleep(0.5)
        xdotool("key", "n")
        wait_for(lambda: self.answer_save_prompt() or self.reopens() > tried, 30, "File > New")
        wait_for(lambda: self.running() and self.reopens() > tried, 30, "File > New to reopen the MIDI input")

    def options(self, choose_device):
        """Options, the MIDI page, the device chosen from its list when asked
        (its text is returned), OK."""
        if os.path.exists(self.sheet_path):
            os.remove(self.sheet_path)
        xdotool("windowfocus", "--sync", self.run.dialog)
        xdotool("key", "alt+o")
        time.sleep(0.5)
        xdotool("key", "o")
        wait_for(lambda: "tab0" in read_controls(self.sheet_path), 30, "the Options sheet")
        click(*centre(read_controls(self.sheet_path)["tab0"][1]))
        wait_for(lambda: "1108" in read_controls(self.sheet_path), 30, "the MIDI page")
        chosen = read_controls(self.sheet_path)["1108"][2]
        if choose_device:
            wait_for(lambda: read_controls(self.sheet_path)["1108"][2].startswith(KEYS), 10, "the device listed")
            click(*centre(read_controls(self.sheet_path)["1108"][1]))  # its list opens
            time.sleep(0.5)
            xdotool("key", "Home")
            xdotool("key", "Return")
            time.sleep(0.5)
            chosen = read_controls(self.sheet_path)["1108"][2]
        click(*centre(read_controls(self.sheet_path)["button:OK"][1]))
        wait_for(lambda: self.running() and not visible("^Performance Options"), 30, "the sheet to close")
        return chosen

    def close(self):
        settings = os.path.join(self.run.folder, "Lorvane.cfg")
        if os.path.exists(settings):
            os.remove(settings)
        close_window(self.run.dialog)
        wait_for(lambda: self.answer_save_prompt() or self.run.process.poll() is not None, 30, "the close")
        code = self.run.process.wait(timeout=30)
        assert code == 0, "exit code %d" % code
        assert os.path.exists(settings), "Lorvane.cfg was not written"

    def assert_told_once(self):
        self.running()
        lost_again = [line for line in self.run.log_lines() if line.startswith("Device lost:")]
        assert len(lost_again) == len(self.lost), "told again:\n" + "\n".join(lost_again)
        assert len(visible(LOST_CAPTION)) == 0, "a second message"


def file_new_scenario(run):
    # File > New while the server is down: nothing opens, nothing breaks.
    run.kill_server()
    run.file_new()
    assert run.opened_count() == 1
    # The server comes back: the next reopen (File > New) opens the device again.
    run.restart_server()
    run.file_new()
    assert run.opened_count() == 2, "\n".join(run.run.log_lines()[-20:])
    run.assert_told_once()
    return "File > New reopened it"


def options_close_scenario(run):
    # The sheet needs a performance; the client of the dead server stays
    # the program's until it ends.
    run.file_new()
    run.kill_server()
    run.options(choose_device=False)
    assert run.opened_count() == 2
    run.assert_told_once()
    return "Options OK with the server gone"


def options_restart_scenario(run):
    run.file_new()
    run.kill_server()
    listed = run.options(choose_device=False)
    assert listed == "", "a device listed with the server gone: %r" % listed
    run.restart_server()
    opened = run.opened_count()
    chosen = run.options(choose_device=True)
    assert chosen.startswith(KEYS), "the MIDI page lists %r" % chosen
    wait_for(lambda: run.running() and run.opened_count() > opened, 30, "the chosen device to open")
    run.assert_told_once()
    return "Options opened %s again" % chosen


SCENARIOS = {"new": file_new_scenario, "options-close": options_close_scenario,
             "options-restart": options_restart_scenario}


def main():
    scenario, program, library = sys.argv[1:4]
    if shutil.which("jackd") is None or shutil.which("jack_midiseq") is None:
        print("skipped: no jackd")
        return
    # One name throughout: libjack keeps a slot for each server name in its
    # registry, and only a server of the same name takes over the slot of a
    # killed one.
    jack = JackServer("lvjackloss" + scenario.replace("-", ""))
    jack.start()
    run = None
    try:
        run = LossRun(program, library, jack)
        wait_for(lambda: run.opened_count() == 1, 30, "the MIDI input to open")
        done = SCENARIOS[scenario](run)
        run.close()
        print("ok: lost once (%s), %s, exit 0" % ("; ".join(run.lost), done))
    except (AssertionError, subprocess.TimeoutExpired):
        if run is not None:
            if os.environ.get("LV_E2E_GDB"):
                subprocess.run(["gdb", "-p", str(run.run.process.pid), "-batch", "-ex", "thread apply all bt 30"])
            print("\n".join(run.run.log_lines()[-40:]))
        raise
    finally:
        if run is not None:
            run.run.cleanup()
        jack.kill(terminate=True)
        jack.remove_leftovers()


if __name__ == "__main__":
    main()
