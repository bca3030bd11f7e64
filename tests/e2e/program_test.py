#!/usr/bin/env python3
"""The real program in a clean folder under a virtual X server: it starts,
loads the test plug-in library, presents into its output area, plays the
test patch while a key of the keyboard map is held (checked on screenshots),
and ends cleanly when its main dialog is closed, with its log in order.

Usage: program_test.py <lorvan-gpu> <TestFill.so>
"""
import ctypes
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

GREEN_MIN = 300 * 220  # most of the 320 x 240 output area


def wait_for(predicate, timeout, what):
    end = time.time() + timeout
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


def green_pixels():
    """Pixels of the whole screen that are the test patch's green."""
    data = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    header = struct.unpack(">25I", data[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = header[7], header[11], header[12], header[19]
    assert bits_per_pixel in (24, 32), bits_per_pixel
    step = bits_per_pixel // 8
    pixels = data[header_size + ncolors * 12:]
    count = 0
    for y in range(height):
        row = pixels[y * bytes_per_line: y * bytes_per_line + width * step]
        for x in range(0, len(row), step):
            b, g, r = (row[x], row[x + 1], row[x + 2]) if byte_order == 0 else (row[x + step - 1], row[x + step - 2], row[x + step - 3])
            if g > 150 and r < 60 and b < 60:
                count += 1
    return count


def close_window(window_id):
    """Asks the window to close, as a window manager's close button does."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x.XOpenDisplay(None)
    protocols = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    delete = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_char * 128)]

    event = ClientMessage(type=33, window=window_id, message_type=protocols, format=32)
    event.data[0] = delete
    event.data[1] = 0  # CurrentTime
    x.XSendEvent(display, window_id, 0, 0, ctypes.byref(event))
    x.XFlush(display)
    x.XCloseDisplay(display)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout


def main():
    program, library = sys.argv[1], sys.argv[2]
    folder = tempfile.mkdtemp(prefix="lorvan-e2e-")
    try:
        shutil.copy(program, os.path.join(folder, "lorvan-gpu"))
        os.mkdir(os.path.join(folder, "Plugins"))
        shutil.copy(library, os.path.join(folder, "Plugins", os.path.basename(library)))
        log_path = os.path.join(folder, "lorvan-gpu Log.txt")
        open(log_path, "w").close()  # the log is written only when it exists

        def log_lines():
            with open(log_path) as f:
                return [line.rstrip("\n") for line in f]

        env = dict(os.environ, QT_QPA_PLATFORM="xcb", LV_TEST_PATCH_NOTE="25")  # note 25: key Q
        process = subprocess.Popen([os.path.join(folder, "lorvan-gpu")], cwd=folder, env=env)
        try:
            wait_for(lambda: "Entering main message loop" in log_lines(), 60, "the message loop")
            dialog = int(xdotool("search", "--name", "^Lorvane GPU$").split()[0])
            time.sleep(1.0)
            assert green_pixels() == 0, "green before the key went down"

            xdotool("windowfocus", "--sync", str(dialog))
            xdotool("keydown", "q")
            time.sleep(1.0)
            held = green_pixels()
            xdotool("keyup", "q")
            time.sleep(1.0)
            released = green_pixels()
            assert held >= GREEN_MIN, "only %d green pixels while the key was held" % held
            assert released == 0, "%d green pixels after the key was released" % released

            close_window(dialog)
            assert process.wait(timeout=30) == 0, "exit code %d" % process.returncode
        finally:
            if process.poll() is None:
                process.kill()

        lines = log_lines()
        expected = ["WinMain started", "InitInstance started", "Windows created", "Startup starting",
                    "Initializing plugins and Performer", "Loaded plug-in library TestFill.so",
                    "Initializing Direct3D", "SetDisplay started", "Device created", "SetDisplay finished",
                    "D3D::GetDriverInfo finished", "Initializing MIDI device", "MidiClass::Init",
                    "Startup finished", "Test patch on note 25", "InitInstance finished",
                    "Entering main message loop", "Shutdown starting", "Shutdown finished",
                    "Main message loop ended"]
        at = 0
        for want in expected:
            while at < len(lines) and lines[at] != want:
                at += 1
            assert at < len(lines), "log line missing or out of order: %r\n%s" % (want, "\n".join(lines))
            at += 1
        print("ok: %d green pixels while held, none after; %d log lines" % (held, len(lines)))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
